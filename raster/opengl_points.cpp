#include "raster/opengl_points.h"

#include <GL/gl.h>

#include "raster/span_fill.h"

namespace {

// The one place where the software pipeline hands a pixel to OpenGL.
class OpenGLPoints final : public PointSink {
 public:
  void fillSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right) override {
    ::fillSpan(target, y, left, right, *this);
  }
  void beginSpan() override { glBegin(GL_POINTS); }
  void endSpan() override { glEnd(); }
  void point(int x, int y, Color color) override {
    glColor3f(color.x, color.y, color.z);
    glVertex2i(x, y);
  }
};

}  // namespace

PointSink& openGLPoints() {
  static OpenGLPoints points;
  return points;
}
