// Closed surfaces through the software pipeline. Where two faces share an edge, both
// round it to the same pixel column, one span ending where the next begins, so no
// pixel between them is left uncovered: a crack would show the background through the
// surface. Every pixel inside a convex mesh's outline on screen must be covered, and no
// uncovered pixel anywhere may have all its neighbours covered.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
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

// The corners of the mesh in window coordinates, as the vertex stage puts them; empty
// when any lies at or behind the near plane, where the outline on screen is not theirs.
std::vector<std::array<double, 2>> windowCorners(const RenderContext& context, int width,
                                                 int height) {
  std::vector<std::array<double, 2>> corners;
  for (const Mesh& mesh : context.meshes) {
    for (const Polygon& polygon : mesh.polygons) {
      for (const Vertex& v : polygon.vertices) {
        const Vec4 c = context.projectionStack.transform(context.viewStack.transform(v.position));
        if (!(c.w > 0.1f)) return {};
        corners.push_back({(c.x / c.w + 1) * width / 2, (c.y / c.w + 1) * height / 2});
      }
    }
  }
  return corners;
}

// The convex hull of points, counter-clockwise (Andrew's monotone chain).
std::vector<std::array<double, 2>> hullOf(std::vector<std::array<double, 2>> p) {
  std::sort(p.begin(), p.end());
  auto cross = [](auto o, auto a, auto b) {
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0]);
  };
  std::vector<std::array<double, 2>> hull(2 * p.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], p[i]) <= 0)
      --k;
    hull[k++] = p[i];
  }
  for (std::size_t i = p.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && cross(hull[k - 2], hull[k - 1], p[i]) <= 0)
      --k;
    hull[k++] = p[i];
  }
  hull.resize(k - 1);
  return hull;
}

// Pixels (at whole window coordinates, as spans sample them) more than 1.5 pixels inside
// the outline of a convex mesh that got no point: a crack along a shared edge is a line
// of them. Nothing to look at where the outline is not known.
std::vector<std::string> uncoveredInside(const CoveredPixels& p,
                                         const std::vector<std::array<double, 2>>& corners) {
  std::vector<std::string> found;
  if (corners.size() < 3) return found;
  const std::vector<std::array<double, 2>> hull = hullOf(corners);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      bool inside = true;
      for (std::size_t i = 0; i < hull.size() && inside; ++i) {
        const auto& a = hull[i];
        const auto& b = hull[(i + 1) % hull.size()];
        const double along = std::hypot(b[0] - a[0], b[1] - a[1]);
        const double distance = ((b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0])) / along;
        inside = distance > 1.5;
      }
      if (inside && !p.at(x, y))
        found.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
    }
  }
  return found;
}

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
    std::vector<std::string> found = cracks(points);
    const std::vector<std::string> inside =
        uncoveredInside(points, windowCorners(context, pose.width, pose.height));
    found.insert(found.end(), inside.begin(), inside.end());
    EXPECT_TRUE(found.empty()) << name << " at " << pose.width << " x " << pose.height << ", zoom "
                               << pose.camera.zoom << ": " << found.size()
                               << " uncovered pixels, the first at " << found.front();
  }
}

TEST(ClosedMesh, AnIcosphereHasNoCracks) {
  expectNoCracks(icosphere(3), "icosphere");
}

TEST(ClosedMesh, ACubeCutIntoConcaveAndConvexPolygonsHasNoCracks) {
  expectNoCracks(cutCube(8), "cut cube");
}

}  // namespace
