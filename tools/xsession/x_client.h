#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <string>

#include "tools/imaging/image.h"

// A connection to an X server that finds a top-level window by its title, reads its
// pixels back and drives it with synthetic input (XTest), as a user would.
class XClient {
 public:
  explicit XClient(const std::string& display);
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;

  // Waits for a mapped window of that exact title; returns 0 on timeout.
  Window waitForWindow(const std::string& title,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20));
  std::string title(Window window);
  // Moves a window to the top-left corner of the screen, as a window manager would
  // place it, so that all of it can be read back.
  void placeAtOrigin(Window window);
  // Resizes a window, as a user dragging its border would.
  void resize(Window window, int width, int height);
  XWindowAttributes attributes(Window window);
  Image grab(Window window);

  // Input goes to the window under the pointer, which these first move into `window`.
  void key(Window window, const std::string& keysym, bool shift = false);
  void moveTo(Window window, int x, int y);
  void press(int button);
  void release(int button);
  // A drag with `button` held from (x0, y0) to (x1, y1), in a few motion steps.
  void drag(Window window, int button, int x0, int y0, int x1, int y1);
  // Wheel steps, each a press and a release: X button 4 (GLUT 3) brings the scene
  // closer, X button 5 (GLUT 4) moves it away.
  void wheel(Window window, bool closer, int steps = 1);

 private:
  Display* display_;
};
