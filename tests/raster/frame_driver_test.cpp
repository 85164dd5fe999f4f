#include <gtest/gtest.h>

#include <random>
#include <set>

#include "app/view_setup.h"
#include "app/viewer_scene.h"
#include "raster/depth_buffer.h"
#include "raster/scan_convert.h"
#include "raster/software_frame.h"
#include "raster/vertex_stage.h"
#include "tests/support/recording_points.h"

namespace {

// The demo scene in a software frame whose points are recorded.
struct SceneFrame {
  SceneFrame() {
    buildViewerScene(context);
    context.useOpenGL = false;
    state.points = &points;
  }
  void draw(int width, int height, const CameraPose& pose = {}) {
    setupView(context, width, height, pose);
    renderSoftwareFrame(context, width, height, state);
  }
  RenderContext context;
  FrameState state;
  RecordingPoints points;
};

TEST(FrameDriver, DepthBufferFollowsTheFrameSize) {
  SceneFrame frame;
  frame.draw(480, 480);
  EXPECT_EQ(frame.state.frameWidth, 480);
  EXPECT_EQ(frame.state.depthBuffer.size(), 230400u);
  const float* buffer = frame.state.depthBuffer.data();
  frame.draw(480, 480);
  EXPECT_EQ(frame.state.depthBuffer.data(), buffer) << "the same size keeps the buffer";
  frame.draw(640, 480);
  EXPECT_EQ(frame.state.frameWidth, 640);
  EXPECT_EQ(frame.state.depthBuffer.size(), 307200u);
}

TEST(FrameDriver, InitialViewDrawsBothSquaresInsideTheWindow) {
  SceneFrame frame;
  frame.draw(480, 480);
  EXPECT_GT(frame.points.points.size(), 40000u);
  EXPECT_EQ(frame.points.misnested, 0);
  std::set<std::pair<int, int>> pixels;
  for (const RecordedPoint& p : frame.points.points) {
    ASSERT_TRUE(p.x >= 0 && p.x < 480 && p.y >= 0 && p.y < 480);
    pixels.insert({p.x, p.y});
  }
  EXPECT_EQ(pixels.size(), frame.points.points.size()) << "the squares do not overlap";
}

TEST(FrameDriver, NearestFilteringShowsOnlyTexelColors) {
  SceneFrame frame;
  frame.context.useMipmaps = false;
  frame.draw(480, 480);
  const std::set<std::tuple<float, float, float>> texels = [] {
    std::set<std::tuple<float, float, float>> colors;
    for (Color c : {Color::fromHSV(0.083f, 0.75f, 0.8f, 1), Color::fromHSV(0.125f, 0.1f, 0.8f, 1),
                    Color::fromHSV(0.125f, 0.7f, 0.8f, 1), Color::fromHSV(0.125f, 0.7f, 0.6f, 1)}) {
      colors.insert({c.x, c.y, c.z});
    }
    return colors;
  }();
  for (const RecordedPoint& p : frame.points.points) {
    ASSERT_TRUE(texels.count({p.color.x, p.color.y, p.color.z})) << p.x << "," << p.y;
  }
}

// The stages called one by one as the frame driver would without clipping.
std::vector<RecordedPoint> unclippedPath(SceneFrame& frame) {
  RecordingPoints points;
  FrameState state;
  state.points = &points;
  state.frameWidth = 480;
  state.frameHeight = 480;
  recreateDepthBuffer(state);
  clearDepthBuffer(state);
  RowBand band;
  band.end = 480;
  band.points = &points;
  for (const Mesh& mesh : frame.context.meshes) {
    for (const Polygon& polygon : mesh.polygons) {
      std::vector<ScreenVertex> screen;
      for (const Vertex& v : polygon.vertices) {
        screen.push_back(transformVertex(frame.context, v, float(mesh.shininess), mesh.diffuse,
                                         mesh.specular, 480, 480));
      }
      std::vector<Edge> edges;
      for (std::size_t k = 0; k < screen.size(); ++k) {
        edges.emplace_back(screen[k], screen[polygon.vertices[k].previous]);
      }
      scanConvert(edges, {frame.context, state, band, mesh.texture, {}});
    }
  }
  return points.points;
}

TEST(FrameDriver, PolygonsInsideTheDepthRangeGoThroughUnchanged) {
  SceneFrame frame;
  CameraPose pose;
  pose.rotationZ = -100;
  pose.rotationX = -40;
  frame.draw(480, 480, pose);
  EXPECT_EQ(frame.points.points, unclippedPath(frame));
}

TEST(FrameDriver, DepartureSceneBehindTheEyeDrawsNothing) {
  SceneFrame frame;
  CameraPose pose;
  pose.zoom = 40;  // ten units closer: the squares are behind the eye
  frame.draw(480, 480, pose);
  EXPECT_TRUE(frame.points.points.empty());
}

TEST(FrameDriver, DepartureZoomedThroughTheSquaresDrawsOnlyWhatIsInFront) {
  SceneFrame frame;
  CameraPose pose;
  pose.rotationX = -80;
  pose.zoom = 11.5f;  // the eye 0.06 above the plane of the squares
  frame.draw(480, 480, pose);
  // Only the part in front of the eye is drawn: the top of the window, looking ahead,
  // not a mirrored copy below.
  int above = 0;
  int below = 0;
  for (const RecordedPoint& p : frame.points.points)
    (p.y >= 240 ? above : below) += 1;
  EXPECT_GT(above, 10000);
  EXPECT_EQ(below, 0);
}

TEST(FrameDriver, PolygonsWithoutAreaDrawNothing) {
  SceneFrame frame;
  frame.context.meshes[0].polygons[0].vertices.clear();
  frame.context.meshes[1].polygons[0].vertices.resize(1);
  frame.context.meshes[1].polygons[0].vertices[0].previous = 0;
  frame.draw(480, 480);
  EXPECT_TRUE(frame.points.points.empty());
}

TEST(FrameDriver, LightingLeavesAnUntexturedMeshItsDiffuseColor) {
  SceneFrame frame;
  frame.context.lighting = true;
  frame.context.meshes[1].texture = nullptr;
  frame.draw(480, 480);
  const Color diffuse = frame.context.meshes[1].diffuse;
  int plain = 0;
  for (const RecordedPoint& p : frame.points.points) {
    plain += (p.color.x == diffuse.x && p.color.y == diffuse.y && p.color.z == diffuse.z) ? 1 : 0;
  }
  EXPECT_GT(plain, 15000) << "a black specular colour adds nothing";
}

// Random cameras, window sizes and flags, the eye in front of, inside and behind the
// squares: every frame ends, every point lies in the window and every span is closed.
TEST(FrameDriver, RandomPosesStayInsideTheWindow) {
  std::mt19937 random(20261207);
  auto uniform = [&](float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
  };
  const std::pair<int, int> sizes[] = {{1, 1},     {2, 7},    {13, 1},    {480, 480},
                                       {640, 480}, {97, 301}, {1000, 20}, {1920, 1080}};
  SceneFrame frame;
  int framesWithPoints = 0;
  for (int i = 0; i < 160; ++i) {
    CameraPose pose;
    pose.rotationZ = uniform(-360, 360);
    pose.rotationX = uniform(-360, 360);
    pose.zoom = uniform(-40, 16);
    pose.panX = uniform(-150, 150);
    pose.panY = uniform(-150, 150);
    const auto [width, height] = sizes[i % std::size(sizes)];
    frame.context.useMipmaps = i % 3 != 0;
    frame.context.lighting = i % 5 == 0;
    frame.points.points.clear();
    frame.draw(width, height, pose);
    EXPECT_EQ(frame.points.misnested, 0);
    EXPECT_FALSE(frame.points.open);
    for (const RecordedPoint& p : frame.points.points) {
      ASSERT_TRUE(p.x >= 0 && p.x < width && p.y >= 0 && p.y < height)
          << "pose " << i << ": " << p.x << "," << p.y << " in " << width << "x" << height;
    }
    framesWithPoints += frame.points.points.empty() ? 0 : 1;
  }
  EXPECT_GT(framesWithPoints, 80) << "most poses see the squares";
}

}  // namespace
