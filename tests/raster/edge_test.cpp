#include <gtest/gtest.h>

#include "raster/edge.h"
#include "tests/raster/raster_fixtures.h"

namespace {

TEST(Edge, LowerIsTheCornerWithSmallerYAndTheSecondOnATie) {
  RecordedFrame frame;
  const ScreenVertex a = frame.corner(0, 3);
  const ScreenVertex b = frame.corner(0, 3);
  const ScreenVertex c = frame.corner(0, 7);
  EXPECT_EQ(Edge(a, b).lower, &b);
  EXPECT_EQ(Edge(a, c).lower, &a);
  EXPECT_EQ(Edge(c, a).lower, &a);
  EXPECT_EQ(Edge(c, a).upper, &c);
}

TEST(Edge, ScanlinesAreTheRoundedEndsAndStepsDivideByTheirCount) {
  RecordedFrame frame;
  const ScreenVertex a = frame.corner(10, 10.2f, 0.5f, {0, 0, 0, 1});
  const ScreenVertex b = frame.corner(32, 20.7f, 0.6f, {1, 0.5f, 0, 1});
  Edge edge(a, b);
  EXPECT_EQ(edge.yStart, 10);
  EXPECT_EQ(edge.yEnd, 21);
  EXPECT_EQ(edge.dy, 11.0f);
  EXPECT_EQ(edge.xStep, 2.0f);
  EXPECT_EQ(edge.x, 10.0f) << "no correction towards the scanline centre";
  EXPECT_EQ(edge.colorStep.x, static_cast<float>(1.0 / 11));
  for (int k = 0; k < 11; ++k)
    edge.step();
  EXPECT_EQ(edge.x, 32.0f);
  EXPECT_FLOAT_EQ(edge.z, 0.6f);
  EXPECT_FLOAT_EQ(edge.color.x, 1.0f);
}

TEST(Edge, NegativeEndsRoundTowardsZero) {
  RecordedFrame frame;
  for (auto [y, scanline] : {std::pair{-0.7f, 0}, {-1.2f, 0}, {-1.5f, -1}, {-1.6f, -1}}) {
    const ScreenVertex low = frame.corner(0, y);
    const ScreenVertex high = frame.corner(0, 50);
    EXPECT_EQ(Edge(low, high).yStart, scanline) << y;
  }
}

TEST(Edge, AdvanceMatchesRepeatedSteps) {
  RecordedFrame frame;
  const ScreenVertex a = frame.corner(-3.25f, 0, 0.1f, {0.2f, 0.4f, 0.6f, 1});
  ScreenVertex b = frame.corner(40.5f, 64, 0.9f, {0.8f, 0.1f, 0.3f, 0});
  b.sOverW = 2;
  b.tOverW = -1;
  b.oneOverW = 0.5f;
  frame.vertices.back().normal = {1, 0, 0};
  Edge stepped(a, b);
  Edge advanced(a, b);
  for (int k = 0; k < 37; ++k)
    stepped.step();
  advanced.advance(37);
  EXPECT_NEAR(advanced.x, stepped.x, 1e-4);
  EXPECT_NEAR(advanced.z, stepped.z, 1e-6);
  EXPECT_NEAR(advanced.color.y, stepped.color.y, 1e-6);
  EXPECT_NEAR(advanced.sOverW, stepped.sOverW, 1e-5);
  EXPECT_NEAR(advanced.oneOverW, stepped.oneOverW, 1e-6);
  EXPECT_NEAR(advanced.normal.x, stepped.normal.x, 1e-6);
  EXPECT_NEAR(advanced.x, -3.25 + 37 * (43.75 / 64), 1e-4);
}

TEST(Edge, HorizontalEdgeHasNoSteps) {
  RecordedFrame frame;
  const Edge edge(frame.corner(0, 5.1f), frame.corner(30, 4.9f));
  EXPECT_EQ(edge.yStart, edge.yEnd);
  EXPECT_EQ(edge.xStep, 0.0f);
  EXPECT_EQ(edge.normalStep, (Vec3{}));
}

TEST(Edge, SetUpAgainPicksUpNewCornerColors) {
  RecordedFrame frame;
  ScreenVertex a = frame.corner(0, 0, 0, {0, 0, 0, 1});
  ScreenVertex b = frame.corner(0, 10, 0, {0, 0, 0, 1});
  Edge edge(a, b);
  b.color = {1, 1, 1, 1};
  edge.setUp();
  EXPECT_EQ(edge.colorStep.x, 0.1f);
}

}  // namespace
