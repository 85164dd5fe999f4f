#include <gtest/gtest.h>

#include "raster/clipping.h"
#include "raster/software_frame.h"
#include "tests/support/recording_points.h"

namespace {

ClipVertex corner(float x, float z, float w, float s) {
  ClipVertex c;
  c.clip = {x, 0, z, w};
  c.vertex.position = {x, 0, -w, 1};
  c.vertex.s = s;
  c.vertex.normal = {0, 0, s};
  return c;
}

TEST(Clipping, RingInsideTheDepthRangeIsKept) {
  std::vector<ClipVertex> ring{corner(0, 0, 1, 0), corner(1, 0.5f, 1, 1), corner(1, -0.5f, 2, 1)};
  std::vector<ClipVertex> spare;
  clipToDepthRange(ring, spare);
  ASSERT_EQ(ring.size(), 3u);
  EXPECT_EQ(ring[1].clip, (Vec4{1, 0, 0.5f, 1}));
  EXPECT_EQ(ring[0].vertex.previous, 2);
  EXPECT_EQ(ring[2].vertex.previous, 1);
}

// A corner at eye-space depth zEye (the eye looks along -z) through the viewer's
// projection.
ClipVertex atDepth(float x, float zEye, float s) {
  MatrixStack projection;
  projection.perspective(0.4f, 0.4f, 0.1f, 100);
  ClipVertex c;
  c.vertex.position = {x, 0, zEye, 1};
  c.vertex.s = s;
  c.vertex.normal = {0, 0, s};
  c.vertex.color = {s, 1 - s, 0.5f, 1};
  c.clip = projection.transform(c.vertex.position);
  return c;
}

TEST(Clipping, CornersBehindTheNearPlaneAreCutAway) {
  // The middle corner lies behind the eye.
  std::vector<ClipVertex> ring{atDepth(0, -2, 0), atDepth(3, 1, 1), atDepth(0, -3, 0)};
  std::vector<ClipVertex> spare;
  clipToDepthRange(ring, spare);
  ASSERT_EQ(ring.size(), 4u);
  for (const ClipVertex& c : ring) {
    EXPECT_GE(c.clip.z + c.clip.w, -1e-6f);
    EXPECT_GE(c.clip.w, 0.1f - 1e-6f) << "nothing nearer than the near plane";
  }
  // The new corner on the side from depth -2 towards +1 lies at the near plane, -0.1:
  // 19/30 of the way, in clip space as in the scene.
  const ClipVertex& made = ring[1];
  EXPECT_NEAR(made.clip.w, 0.1, 1e-6);
  EXPECT_NEAR(made.vertex.position.z, -0.1, 1e-6);
  EXPECT_NEAR(made.vertex.position.x, 3 * 19.0 / 30, 1e-5);
  EXPECT_NEAR(made.vertex.s, 19.0 / 30, 1e-6);
  EXPECT_NEAR(made.vertex.normal.z, 19.0 / 30, 1e-6);
  EXPECT_NEAR(made.vertex.color.x, 19.0 / 30, 1e-6);
  EXPECT_NEAR(made.vertex.color.y, 11.0 / 30, 1e-6);
  EXPECT_EQ(made.vertex.color.z, 0.5f);
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(ring[k].vertex.previous, (k + 3) % 4);
}

TEST(Clipping, BeyondTheFarPlaneIsCutAway) {
  std::vector<ClipVertex> ring{corner(0, 0, 1, 0), corner(0, 3, 1, 1), corner(1, 0, 1, 0)};
  std::vector<ClipVertex> spare;
  clipToDepthRange(ring, spare);
  ASSERT_EQ(ring.size(), 4u);
  for (const ClipVertex& c : ring)
    EXPECT_LE(c.clip.z, c.clip.w);
}

TEST(Clipping, RingWhollyBehindTheNearPlaneVanishes) {
  std::vector<ClipVertex> ring{atDepth(0, 1, 0), atDepth(1, 2, 0), atDepth(1, 0.05f, 0)};
  std::vector<ClipVertex> spare;
  clipToDepthRange(ring, spare);
  EXPECT_TRUE(ring.empty());
}

// A square 20 across with a square hole 8 across, both at depth -50 before a camera
// at the origin looking down -z, except for one outer corner at `cornerDepth`: through
// a 0.4 field, the outer square covers columns 50 to 150 of a 200-pixel window and
// the hole columns 80 to 120.
std::vector<RecordedPoint> drawHoledSquare(float cornerDepth) {
  RenderContext context;
  context.useOpenGL = false;
  context.projectionStack.perspective(0.4f, 0.4f, 0.1f, 100);
  invertMatrix(context.projectionStack.current, context.projectionStack.inverse);
  context.begin();
  context.beginPolygon();
  for (auto [x, y] : {std::pair{-10, -10}, {10, -10}, {10, 10}, {-10, 10}})
    context.vertex(float(x), float(y), x > 0 && y > 0 ? cornerDepth : -50);
  std::vector<Vertex>& vertices = context.meshes[0].polygons[0].vertices;
  for (int k = 0; k < 4; ++k) {
    Vertex inner = vertices[k];
    inner.position = {inner.position.x * 0.4f, inner.position.y * 0.4f, -50, 1};
    inner.previous = 4 + (k + 3) % 4;
    vertices.push_back(inner);
  }
  RecordingPoints points;
  FrameState frame;
  frame.points = &points;
  renderSoftwareFrame(context, 200, 200, frame);
  return points.points;
}

int insideHole(const std::vector<RecordedPoint>& points) {
  int count = 0;
  for (const RecordedPoint& p : points)
    count += (p.x > 84 && p.x < 116 && p.y > 84 && p.y < 116) ? 1 : 0;
  return count;
}

// Both rings are clipped, each on its own: the hole stays a hole.
TEST(Clipping, AHoleStaysAHoleWhenItsPolygonCrossesTheFarPlane) {
  const std::vector<RecordedPoint> inside = drawHoledSquare(-99);
  const std::vector<RecordedPoint> beyond = drawHoledSquare(-101);
  EXPECT_EQ(insideHole(inside), 0);
  EXPECT_EQ(insideHole(beyond), 0);
  // Only the sliver beyond the far plane goes.
  EXPECT_GT(inside.size(), 5000u);
  EXPECT_NEAR(double(beyond.size()), double(inside.size()), inside.size() * 0.01);
}

TEST(Clipping, AHoleStaysAHoleWhenItsPolygonCrossesTheNearPlane) {
  const std::vector<RecordedPoint> points = drawHoledSquare(5);  // behind the eye
  EXPECT_EQ(insideHole(points), 0);
  int aroundHole = 0;
  for (const RecordedPoint& p : points)
    aroundHole += (p.x > 55 && p.x < 75 && p.y > 55 && p.y < 145) ? 1 : 0;
  EXPECT_EQ(aroundHole, 19 * 89) << "the ring left of the hole is whole";
}

}  // namespace

namespace {

// Two triangles sharing the side from a corner behind the eye to one beyond the far
// plane, that side run one way in one ring and the other way in the other: both cut it
// at the very same two corners, so that the faces still meet without a crack.
TEST(Clipping, ASharedSideIsCutAtTheSameCornersFromEitherPolygon) {
  const ClipVertex a = atDepth(0.3f, 0.5f, 0);   // behind the eye
  const ClipVertex b = atDepth(-0.7f, -150, 1);  // beyond the far plane
  std::vector<ClipVertex> left{a, b, atDepth(-3, -20, 0.25f)};
  std::vector<ClipVertex> right{b, a, atDepth(4, -30, 0.75f)};
  std::vector<ClipVertex> spare;
  clipToDepthRange(left, spare);
  clipToDepthRange(right, spare);
  // The corners of each ring that lie on the near or the far plane.
  auto onPlanes = [](const std::vector<ClipVertex>& ring) {
    std::vector<ClipVertex> found;
    for (const ClipVertex& c : ring)
      if (c.clip.z == -c.clip.w || c.clip.z == c.clip.w) found.push_back(c);
    return found;
  };
  const std::vector<ClipVertex> fromLeft = onPlanes(left);
  const std::vector<ClipVertex> fromRight = onPlanes(right);
  ASSERT_EQ(fromLeft.size(), 4u) << "near and far, on the shared side and on the other";
  int shared = 0;
  for (const ClipVertex& l : fromLeft) {
    for (const ClipVertex& r : fromRight) {
      if (l.clip == r.clip) {
        ++shared;
        EXPECT_EQ(l.vertex.position, r.vertex.position);
        EXPECT_EQ(l.vertex.s, r.vertex.s);
        EXPECT_EQ(l.vertex.normal, r.vertex.normal);
      }
    }
  }
  EXPECT_EQ(shared, 2) << "the shared side's near and far corners, the same floats";
}

}  // namespace
