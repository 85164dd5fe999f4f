#define GL_GLEXT_PROTOTYPES
#include "tools/xsession/gl_surface.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <X11/Xlib.h>
#include <stdlib.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// GLUT ends the program when it cannot open the display; asked first, a display that is
// set but does not answer is said plainly.
void checkDisplay(const char* display) {
  Display* connection = XOpenDisplay(display);
  if (connection == nullptr) {
    throw std::runtime_error(std::string("cannot open the X display ") + display +
                             " named by DISPLAY; unset DISPLAY to draw on a private X server");
  }
  XCloseDisplay(connection);
}

}  // namespace

GlSurface::GlSurface(int width, int height) {
  const char* display = getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    server_ = std::make_unique<XvfbServer>();
    setenv("DISPLAY", server_->display().c_str(), 1);
  } else {
    checkDisplay(display);
  }
  int argc = 1;
  char name[] = "quadrelle";
  char* argv[] = {name, nullptr};
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(64, 64);
  glutInit(&argc, argv);
  window_ = glutCreateWindow("quadrelle offscreen");
  glutHideWindow();
  glGenFramebuffers(1, &framebuffer_);
  glGenRenderbuffers(1, &color_);
  glGenRenderbuffers(1, &depth_);
  resize(width, height);
}

GlSurface::~GlSurface() {
  glDeleteRenderbuffers(1, &depth_);
  glDeleteRenderbuffers(1, &color_);
  glDeleteFramebuffers(1, &framebuffer_);
  // Closes the connection while the X server, if it is ours, still runs.
  glutDestroyWindow(window_);
  glutExit();
}

void GlSurface::resize(int width, int height) {
  width_ = width;
  height_ = height;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glBindRenderbuffer(GL_RENDERBUFFER, color_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_);
  glBindRenderbuffer(GL_RENDERBUFFER, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    throw std::runtime_error("cannot make an offscreen framebuffer of that size");
  }
  glViewport(0, 0, width, height);
}

std::vector<unsigned char> GlSurface::readDepthWritten() const {
  glFinish();
  std::vector<float> depth(std::size_t(width_) * height_);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width_, height_, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  std::vector<unsigned char> written(depth.size());
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      // The clear leaves 1, the far end of the range; a fragment drawn writes less.
      written[std::size_t(height_ - 1 - y) * width_ + x] =
          depth[std::size_t(y) * width_ + x] < 1.0f;
    }
  }
  return written;
}

Image GlSurface::read() const {
  glFinish();
  std::vector<unsigned char> rgb(std::size_t(width_) * height_ * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  Image image(width_, height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const unsigned char* p = &rgb[(std::size_t(y) * width_ + x) * 3];
      image.at(x, height_ - 1 - y) = {p[0], p[1], p[2]};
    }
  }
  return image;
}
