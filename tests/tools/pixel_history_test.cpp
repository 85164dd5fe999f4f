// A pixel's history, and the model of OpenGL's rules that --explain recomputes it with,
// on the CPU alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/view_setup.h"
#include "raster/depth_buffer.h"
#include "raster/software_frame.h"
#include "tests/support/random_scenes.h"
#include "tests/support/recording_points.h"
#include "tools/compare/opengl_coverage.h"
#include "tools/compare/opengl_model.h"
#include "tools/compare/polygon_planes.h"
#include "tools/history/pixel_history.h"

namespace {

void drawInto(RenderContext& context, const ViewOptions& view, PointSink& points, bool plain) {
  context.useOpenGL = false;
  context.useMipmaps = view.mipmaps;
  setupView(context, view.width, view.height, view.pose);
  FrameState frame;
  frame.points = &points;
  frame.fragmentPath = plain ? FragmentPath::Plain : FragmentPath::Fast;
  renderSoftwareFrame(context, view.width, view.height, frame);
}

// Every `step`-th pixel of the picture.
std::vector<PicturePixel> everyNth(const ViewOptions& view, int step) {
  std::vector<PicturePixel> pixels;
  for (int i = 0; i < view.width * view.height; i += step)
    pixels.push_back({i % view.width, i / view.width});
  return pixels;
}

TEST(PixelHistory, EveryFragmentOfAPixelInTheOrderItCameAndTheColourItShows) {
  const SceneOptions box{QUADRELLE_SOURCE_DIR "/tests/data/models/box.obj", false, {}};
  RenderContext& context = sceneOf(box);
  const ViewOptions view;
  // The middle of the box: its front face over its back one. Asked twice, told twice.
  const std::vector<PicturePixel> watched = {{240, 240}, {5, 5}, {240, 240}};
  HistoryPoints history(context, view.width, view.height, watched);
  drawInto(context, view, history, true);
  RecordingPoints drawn;
  drawInto(context, view, drawn, false);

  const PixelHistory& middle = history.pixels[0];
  ASSERT_EQ(middle.fragments.size(), 2u);
  EXPECT_EQ(middle.fragments[0].depthBefore, kEmptyDepth);
  EXPECT_TRUE(middle.fragments[0].passed);
  EXPECT_EQ(middle.fragments[1].depthBefore, middle.fragments[0].depth);
  EXPECT_NE(middle.fragments[0].polygon.frameNumber, middle.fragments[1].polygon.frameNumber);
  Color last{};
  for (const RecordedPoint& p : drawn.points)
    if (p.x == 240 && p.y == middle.windowY) last = p.color;
  ASSERT_NE(middle.shown(), nullptr);
  EXPECT_EQ(middle.shown()->handed, last);
  for (const FragmentRecord& f : middle.fragments) {
    const Mesh& mesh = context.meshes[std::size_t(f.polygon.mesh)];
    EXPECT_EQ(history.outlines.at(f.polygon.frameNumber).corners.size(),
              mesh.polygons[std::size_t(f.polygon.polygon)].vertices.size());
    EXPECT_EQ(f.firstColumn + f.steps, f.x);
  }
  EXPECT_TRUE(history.pixels[1].fragments.empty());
  EXPECT_EQ(history.pixels[2].fragments.size(), 2u);
}

// With none of OpenGL's rules the model is the pipeline itself, to the 8-bit rounding
// of its texels: a fault in the model's own sampling, or in what the history recorded,
// shows here without any OpenGL.
TEST(OpenGLModel, WithNoRuleOfOpenGLsItColoursEveryPixelAsThePipeline) {
  std::mt19937 random(31);
  for (int pose = 0; pose < 24; ++pose) {
    const Pose p = randomScenePose(random);
    RenderContext& context = sceneOf(p.scene);
    std::vector<MeshTexels> texels;
    for (const Mesh& mesh : context.meshes)
      texels.push_back(mesh.texture ? meshTexels(*mesh.texture, {}) : MeshTexels{});
    const ModelScene scene{&context, &texels, p.view.width, p.view.height, p.view.mipmaps};
    HistoryPoints history(context, p.view.width, p.view.height, everyNth(p.view, 13));
    drawInto(context, p.view, history, true);
    for (const PixelHistory& pixel : history.pixels) {
      const FragmentRecord* f = pixel.shown();
      if (f == nullptr) continue;
      const Rgb modelled =
          to8Bit(modelledColor(scene, *f, history.outlines.at(f->polygon.frameNumber), 0));
      const Rgb pipeline = to8Bit(f->handed);
      ASSERT_LE(std::max({std::abs(modelled.r - pipeline.r), std::abs(modelled.g - pipeline.g),
                          std::abs(modelled.b - pipeline.b)}),
                1)
          << commandFor(p) << " --pixel " << pixel.pixel.x << "," << pixel.pixel.y;
    }
  }
}

ScreenCorner corner(float x, float y, float sOverW = 0) {
  ScreenCorner c;
  c.x = x;
  c.y = y;
  c.sOverW = sOverW;
  return c;
}

PolygonOutline outlineOf(std::vector<ScreenCorner> corners) {
  PolygonOutline outline;
  outline.corners = corners;
  for (std::size_t k = 0; k < corners.size(); ++k) {
    ScreenCorner a = corners[k], b = corners[(k + corners.size() - 1) % corners.size()];
    if (a.y > b.y) std::swap(a, b);
    outline.sides.push_back({a, b});
  }
  return outline;
}

TEST(OpenGLCoverage, APixelIsItsCentreInsideOutsideOrOnAnEdge) {
  // A triangle whose slanted side, x + y = 8, runs through the centre of pixel (3, 4).
  const PolygonOutline t = outlineOf({corner(0, 0), corner(8, 0), corner(0, 8)});
  EXPECT_EQ(centreIn(t, 1, 1), CentreIn::Inside);
  EXPECT_EQ(centreIn(t, 3, 3), CentreIn::Inside);
  EXPECT_EQ(centreIn(t, 3, 4), CentreIn::OnEdge);
  EXPECT_EQ(centreIn(t, 4, 4), CentreIn::Outside);
  EXPECT_EQ(centreIn(t, 8, 0), CentreIn::Outside);
  EXPECT_FLOAT_EQ(t.top(), 8.0f);
}

// A quad whose texture coordinates lie in no one plane is two triangles to OpenGL, cut
// from its first corner: a point takes the plane of the one that holds it.
TEST(OpenGLCoverage, AQuadIsTheFanOfItsFirstCorner) {
  const PolygonOutline quad =
      outlineOf({corner(0, 0, 0), corner(10, 0, 1), corner(10, 10, 4), corner(0, 10, 0)});
  const auto s = [](const Triangle& t, double x, double y) {
    return planeOf(t, [](const ScreenCorner& k) { return double(k.sOverW); }).at(x, y);
  };
  // Below the diagonal from the first corner, (a, b, c); above it, (a, c, d).
  EXPECT_DOUBLE_EQ(s(triangleAt(quad, 8, 2), 8, 2), 0.8 + 3 * 0.2);
  EXPECT_DOUBLE_EQ(s(triangleAt(quad, 2, 8), 2, 8), 0.8);
}

}  // namespace
