#include <gtest/gtest.h>

#include "raster/clipping.h"

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

}  // namespace
