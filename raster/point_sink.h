#pragma once

#include "math/vec4.h"

// Where finished pixels go. The viewer hands each one to OpenGL as a point in the
// pixel-space projection of the frame; tests and tools record or count them.
class PointSink {
 public:
  virtual ~PointSink() = default;
  // Brackets the points of one span.
  virtual void beginSpan() = 0;
  virtual void endSpan() = 0;
  // Pixel column x of scanline y gets colour's red, green and blue.
  virtual void point(int x, int y, Color color) = 0;
};

// glBegin(GL_POINTS), then glColor3f and glVertex2i per point, then glEnd().
PointSink& openGLPoints();

// Counts the points and draws nothing: the pipeline's own work, measured alone.
class CountingPoints final : public PointSink {
 public:
  void beginSpan() override {}
  void endSpan() override {}
  void point(int, int, Color) override { ++count; }
  long count = 0;
};
