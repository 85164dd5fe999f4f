// Closed surfaces through the software pipeline. Where two faces share an edge, both
// round it to the same pixel column, one span ending where the next begins, so no
// pixel between them is left uncovered: a crack would show the background through the
// surface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/view_setup.h"
#include "raster/software_frame.h"
#include "raster/span_sink.h"
#include "tests/support/closed_meshes.h"

namespace {

// Which pixels got a point.
class CoveredPixels final : public SpanSink<CoveredPixels> {
 public:
  CoveredPixels(int width, int height) : width(width), height(height), covered(width * height) {}
  void beginSpan() override {}
  void endSpan() override {}
  void point(int x, int y, Color) override { covered[std::size_t(y) * width + x] = 1; }
  bool at(int x, int y) const { return covered[std::size_t(y) * width + x] != 0; }

  int width;
  int height;
  std::vector<unsigned char> covered;
};

// Uncovered pixels whose eight neighbours are all covered.
std::vector<std::string> cracks(const CoveredPixels& p) {
  std::vector<std::string> found;
  for (int y = 1; y + 1 < p.height; ++y) {
    for (int x = 1; x + 1 < p.width; ++x) {
      if (p.at(x, y)) continue;
      bool surrounded = true;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx)
          surrounded = surrounded && (dx == 0 && dy == 0 ? true : p.at(x + dx, y + dy));
      }
      if (surrounded) found.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
    }
  }
  return found;
}

struct Pose {
  int width;
  int height;
  CameraPose camera;
};

// Seen from several sides and sizes: far off, near, and from inside, where the surface
// crosses the near plane and clipping cuts shared edges.
const Pose kPoses[] = {
    {480, 480, {-135, -60, 0.25f, 0, 0}},      {97, 61, {-135, -60, 0.25f, 0, 0}},
    {640, 480, {30, -100, 4, 20, -10}},        {480, 640, {-20, 35, -12, 0, 0}},
    {1280, 720, {75.5f, -42.25f, 7, -60, 30}}, {480, 480, {10, -80, 10.5f, 0, 0}},
    {320, 240, {-150, -20, 11.6f, 5, 5}},
};

void expectNoCracks(const ClosedMesh& mesh, const char* name) {
  RenderContext context;
  mesh.capture(context, {0.5f, 0.6f, 0.7f, 1});
  context.useOpenGL = false;
  for (const Pose& pose : kPoses) {
    CoveredPixels points(pose.width, pose.height);
    FrameState frame;
    frame.points = &points;
    setupView(context, pose.width, pose.height, pose.camera);
    renderSoftwareFrame(context, pose.width, pose.height, frame);
    const std::vector<std::string> found = cracks(points);
    EXPECT_TRUE(found.empty()) << name << " at " << pose.width << " x " << pose.height << ", zoom "
                               << pose.camera.zoom << ": " << found.size()
                               << " cracks, the first at " << found.front();
  }
}

TEST(ClosedMesh, AnIcosphereHasNoCracks) {
  expectNoCracks(icosphere(3), "icosphere");
}

TEST(ClosedMesh, ACubeCutIntoConcaveAndConvexPolygonsHasNoCracks) {
  expectNoCracks(cutCube(8), "cut cube");
}

}  // namespace
