#include "raster/opengl_points.h"

#include <GL/gl.h>

#include <vector>

#include "raster/span_sink.h"

namespace {

// The one place where the software pipeline hands a pixel to OpenGL.
void handOn(int x, int y, Color color) {
  glColor3f(color.x, color.y, color.z);
  glVertex2i(x, y);
}

// The points of one band of a frame drawn on several threads, kept until the frame's
// points hand them to OpenGL: only the thread that holds the OpenGL context may.
class alignas(64) KeptPoints final : public SpanSink<KeptPoints> {
 public:
  void beginSpan() override { spans.push_back(points.size()); }
  void endSpan() override {}
  void point(int x, int y, Color color) override { points.push_back({x, y, color}); }

  struct Point {
    int x;
    int y;
    Color color;
  };
  std::vector<std::size_t> spans;  // where each span's points start
  std::vector<Point> points;
};

class OpenGLPoints final : public SpanSink<OpenGLPoints> {
 public:
  explicit OpenGLPoints(bool banded) : banded_(banded) {}
  void beginSpan() override { glBegin(GL_POINTS); }
  void endSpan() override { glEnd(); }
  void point(int x, int y, Color color) override { handOn(x, y, color); }

  std::unique_ptr<PointSink> bandOf(int, int) override {
    if (!banded_) return nullptr;
    return std::make_unique<KeptPoints>();
  }
  // Each band's spans, in their order: a pixel gets its points in the order one thread
  // gives them, and so the colour the last of them leaves.
  void joinBand(PointSink& band) override {
    const auto& kept = static_cast<const KeptPoints&>(band);
    for (std::size_t s = 0; s < kept.spans.size(); ++s) {
      const std::size_t end = s + 1 < kept.spans.size() ? kept.spans[s + 1] : kept.points.size();
      glBegin(GL_POINTS);
      for (std::size_t i = kept.spans[s]; i < end; ++i)
        handOn(kept.points[i].x, kept.points[i].y, kept.points[i].color);
      glEnd();
    }
  }

 private:
  bool banded_;
};

}  // namespace

PointSink& openGLPoints() {
  static OpenGLPoints points(false);
  return points;
}

PointSink& bandedOpenGLPoints() {
  static OpenGLPoints points(true);
  return points;
}
