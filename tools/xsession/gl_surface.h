#pragma once

#include <memory>
#include <vector>

#include "tools/imaging/image.h"
#include "tools/xsession/xvfb_server.h"

// An OpenGL context for programs that draw without showing anything: a small hidden
// GLUT window on $DISPLAY (or on a private Xvfb when there is none) whose context
// renders into an offscreen framebuffer of any size, with colour and depth.
class GlSurface {
 public:
  GlSurface(int width, int height);
  ~GlSurface();
  GlSurface(const GlSurface&) = delete;
  GlSurface& operator=(const GlSurface&) = delete;

  // Re-creates the framebuffer at the new size and sets the viewport to it.
  void resize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }

  // Waits for drawing to finish and reads the framebuffer, rows from the top.
  Image read() const;
  // The pixels whose depth was written since the clear, rows from the top: one byte a
  // pixel, 1 where written.
  std::vector<unsigned char> readDepthWritten() const;

 private:
  std::unique_ptr<XvfbServer> server_;
  int window_ = 0;
  int width_ = 0;
  int height_ = 0;
  unsigned framebuffer_ = 0;
  unsigned color_ = 0;
  unsigned depth_ = 0;
};
