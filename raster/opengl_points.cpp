#include "raster/opengl_points.h"

#include <GL/gl.h>

#include "raster/span_sink.h"

namespace {

// The one place where the software pipeline hands a pixel to OpenGL.
class OpenGLPoints final : public SpanSink<OpenGLPoints> {
 public:
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
