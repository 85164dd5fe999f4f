#include "tools/xsession/x_client.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <thread>

namespace {

// A window the client asks about may be gone (the program under test ended or
// crashed); Xlib's default handler would end this program too. The request just fails:
// attributes come back zero.
int ignoreError(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

XClient::XClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
  if (display_ == nullptr) throw std::runtime_error("cannot open display " + display);
  XSetErrorHandler(ignoreError);
}

XClient::~XClient() {
  XCloseDisplay(display_);
}

std::string XClient::title(Window window) {
  char* name = nullptr;
  std::string result;
  if (XFetchName(display_, window, &name) && name != nullptr) {
    result = name;
    XFree(name);
  }
  return result;
}

void XClient::placeAtOrigin(Window window) {
  XMoveWindow(display_, window, 0, 0);
  XSync(display_, False);
}

void XClient::resize(Window window, int width, int height) {
  XResizeWindow(display_, window, unsigned(width), unsigned(height));
  XSync(display_, False);
}

XWindowAttributes XClient::attributes(Window window) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display_, window, &attributes);
  return attributes;
}

Window XClient::waitForWindow(const std::string& wanted, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
      if (title(children[i]) == wanted && attributes(children[i]).map_state == IsViewable) {
        found = children[i];
      }
    }
    if (children != nullptr) XFree(children);
    if (found != 0) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return 0;
}

Image XClient::grab(Window window) {
  const XWindowAttributes a = attributes(window);
  XImage* x = XGetImage(display_, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (x == nullptr) throw std::runtime_error("XGetImage failed");
  Image image(a.width, a.height);
  for (int y = 0; y < a.height; ++y) {
    for (int column = 0; column < a.width; ++column) {
      const unsigned long p = XGetPixel(x, column, y);
      image.at(column, y) = {std::uint8_t((p & x->red_mask) >> 16),
                             std::uint8_t((p & x->green_mask) >> 8),
                             std::uint8_t(p & x->blue_mask)};
    }
  }
  XDestroyImage(x);
  return image;
}

void XClient::moveTo(Window window, int x, int y) {
  int rootX = 0;
  int rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                        &child);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
  XSync(display_, False);
}

void XClient::key(Window window, const std::string& keysym, bool shift) {
  moveTo(window, 240, 240);
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keysym.c_str()));
  const KeyCode shiftCode = XKeysymToKeycode(display_, XStringToKeysym("Shift_L"));
  if (shift) XTestFakeKeyEvent(display_, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(display_, shiftCode, False, CurrentTime);
  XSync(display_, False);
}

void XClient::press(int button) {
  XTestFakeButtonEvent(display_, unsigned(button), True, CurrentTime);
  XSync(display_, False);
}

void XClient::release(int button) {
  XTestFakeButtonEvent(display_, unsigned(button), False, CurrentTime);
  XSync(display_, False);
}

void XClient::drag(Window window, int button, int x0, int y0, int x1, int y1) {
  moveTo(window, x0, y0);
  press(button);
  constexpr int kSteps = 4;
  for (int i = 1; i <= kSteps; ++i) {
    moveTo(window, x0 + (x1 - x0) * i / kSteps, y0 + (y1 - y0) * i / kSteps);
  }
  release(button);
}

void XClient::wheel(Window window, bool closer, int steps) {
  moveTo(window, 240, 240);
  const int button = closer ? 4 : 5;
  for (int i = 0; i < steps; ++i) {
    press(button);
    release(button);
  }
}
