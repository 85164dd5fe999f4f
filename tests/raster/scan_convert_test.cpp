#include <gtest/gtest.h>

#include <map>

#include "raster/scan_convert.h"
#include "raster/texture_levels.h"
#include "tests/raster/raster_fixtures.h"

namespace {

// Two edges at given x on scanline 0, as fillSpan sees them.
struct Span {
  Span(RecordedFrame& frame, float left, float right, Color leftColor = {0, 0, 0, 1},
       Color rightColor = {1, 1, 1, 1})
      : a(frame.corner(left, 0, 0, leftColor)),
        b(frame.corner(left, 9, 0, leftColor)),
        c(frame.corner(right, 0, 0, rightColor)),
        d(frame.corner(right, 9, 0, rightColor)),
        leftEdge(a, b),
        rightEdge(c, d) {}
  ScreenVertex a, b, c, d;
  Edge leftEdge, rightEdge;
};

std::vector<int> columns(const RecordingPoints& points) {
  std::vector<int> xs;
  for (const RecordedPoint& p : points.points)
    xs.push_back(p.x);
  return xs;
}

TEST(FillSpan, IncludesTheLeftEndAndExcludesTheRight) {
  RecordedFrame frame;
  Span span(frame, 10.4f, 14.6f);
  fillSpan(frame.target(), 0, span.leftEdge, span.rightEdge);
  EXPECT_EQ(columns(frame.points), (std::vector<int>{10, 11, 12, 13, 14}));
  // Five steps between the rounded ends, not 4.2 between the exact ones.
  EXPECT_EQ(frame.points.points[0].color.x, 0.0f);
  EXPECT_EQ(frame.points.points[1].color.x, 0.2f);
  EXPECT_EQ(frame.points.spans, 1);
  EXPECT_EQ(frame.points.misnested, 0);
}

TEST(FillSpan, EmptySpanOpensNothing) {
  RecordedFrame frame;
  Span span(frame, 3.2f, 3.4f);
  fillSpan(frame.target(), 0, span.leftEdge, span.rightEdge);
  EXPECT_EQ(frame.points.spans, 0);
}

TEST(FillSpan, ReversedSpanOpensAndClosesWithoutPoints) {
  RecordedFrame frame;
  Span span(frame, 20, 18);
  fillSpan(frame.target(), 0, span.leftEdge, span.rightEdge);
  EXPECT_EQ(frame.points.spans, 1);
  EXPECT_TRUE(frame.points.points.empty());
  EXPECT_FALSE(frame.points.open);
}

TEST(FillSpan, PixelsLeftOfTheWindowAreSkippedInOneStep) {
  RecordedFrame frame;
  Span span(frame, -2.6f, 4.0f);  // xLeft = roundToInt(-2.6) = -2
  fillSpan(frame.target(), 0, span.leftEdge, span.rightEdge);
  EXPECT_EQ(columns(frame.points), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_FLOAT_EQ(frame.points.points[0].color.x, 2.0f / 6.0f);
}

TEST(FillSpan, StopsAtTheRightEdgeOfTheWindow) {
  RecordedFrame frame(64, 64);
  Span span(frame, 60, 1e6f);
  fillSpan(frame.target(), 0, span.leftEdge, span.rightEdge);
  EXPECT_EQ(columns(frame.points), (std::vector<int>{60, 61, 62, 63}));
}

// s from 0 to 1 while 1/w falls from 1 to 0.5: halfway along, s/w is 0.25 and 1/w 0.75,
// so s is 1/3, not the 1/2 of interpolating s itself.
TEST(FillSpan, TextureCoordinatesArePerspectiveCorrect) {
  Texture columns(256, 1, 3);
  for (int x = 0; x < 256; ++x)
    columns.setTexel(x, 0, {float(x), 0, 0, 1});
  columns.levels = std::make_shared<TextureLevels>();
  buildLevels(*columns.levels, columns);
  RecordedFrame frame;
  frame.context.useMipmaps = false;
  ScreenVertex a = frame.corner(0, 0), b = frame.corner(0, 9);
  ScreenVertex c = frame.corner(10, 0), d = frame.corner(10, 9);
  for (ScreenVertex* right : {&c, &d}) {
    right->sOverW = 0.5f;
    right->oneOverW = 0.5f;
  }
  fillSpan(frame.target(&columns), 0, Edge(a, b), Edge(c, d));
  ASSERT_EQ(frame.points.points.size(), 10u);
  EXPECT_EQ(frame.points.points[5].color.x, 85.0f) << "column roundToInt(255 / 3)";
}

TEST(FillSpan, PassesColorsOnUnclamped) {
  RecordedFrame frame;
  Span span(frame, 1, 3, {1.2f, 0.5f, -0.1f, 0.3f}, {1.2f, 0.5f, -0.1f, 0.3f});
  fillSpan(frame.target(), 0, span.leftEdge, span.rightEdge);
  ASSERT_EQ(frame.points.points.size(), 2u);
  EXPECT_EQ(frame.points.points[1].color, (Color{1.2f, 0.5f, -0.1f, 0.3f}));
}

// A polygon through the whole scan conversion: corners in window space, in order.
std::vector<RecordedPoint> fill(RecordedFrame& frame, std::vector<std::pair<float, float>> xy) {
  std::vector<ScreenVertex> corners;
  for (auto [x, y] : xy)
    corners.push_back(frame.corner(x, y));
  std::vector<Edge> edges;
  for (std::size_t k = 0; k < corners.size(); ++k) {
    edges.emplace_back(corners[k], corners[(k + corners.size() - 1) % corners.size()]);
  }
  const std::size_t before = frame.points.points.size();
  scanConvert(edges, frame.target());
  return {frame.points.points.begin() + std::ptrdiff_t(before), frame.points.points.end()};
}

TEST(ScanConvert, SquareCoversItsRoundedRowsAndColumns) {
  RecordedFrame frame;
  const auto points = fill(frame, {{2.2f, 3.4f}, {6.6f, 3.4f}, {6.6f, 7.6f}, {2.2f, 7.6f}});
  // Rows 3 to 8 (both ends of each side are active), columns 2 to 6 (right end out).
  EXPECT_EQ(points.size(), 6u * 5u);
  EXPECT_EQ(points.front().x, 2);
  EXPECT_EQ(points.front().y, 3);
  EXPECT_EQ(points.back().x, 6);
  EXPECT_EQ(points.back().y, 8);
  EXPECT_EQ(frame.points.misnested, 0);
}

TEST(ScanConvert, PolygonsSharingAnEdgeCoverEachPixelOnce) {
  RecordedFrame frame;
  std::map<std::pair<int, int>, int> covered;
  for (const RecordedPoint& p : fill(frame, {{3.3f, 2.1f}, {40.7f, 9.6f}, {12.2f, 50.4f}})) {
    ++covered[{p.x, p.y}];
  }
  for (const RecordedPoint& p : fill(frame, {{40.7f, 9.6f}, {55.1f, 44.2f}, {12.2f, 50.4f}})) {
    ++covered[{p.x, p.y}];
  }
  int twice = 0;
  for (const auto& [pixel, count] : covered)
    twice += count > 1 ? 1 : 0;
  EXPECT_GT(covered.size(), 1000u);
  EXPECT_EQ(twice, 0);
}

TEST(ScanConvert, ASecondRingInsideMakesAHole) {
  RecordedFrame frame;
  std::vector<ScreenVertex> c;
  for (auto [x, y] : std::initializer_list<std::pair<float, float>>{
           {0, 0}, {40, 0}, {40, 40}, {0, 40}, {10, 10}, {30, 10}, {30, 30}, {10, 30}}) {
    c.push_back(frame.corner(x, y));
  }
  std::vector<Edge> edges;
  for (int ring : {0, 4}) {
    for (int k = 0; k < 4; ++k)
      edges.emplace_back(c[ring + k], c[ring + (k + 3) % 4]);
  }
  scanConvert(edges, frame.target());
  for (const RecordedPoint& p : frame.points.points) {
    EXPECT_FALSE(p.x > 10 && p.x < 29 && p.y > 11 && p.y < 29) << p.x << "," << p.y;
  }
  EXPECT_GT(frame.points.points.size(), 800u);
}

TEST(ScanConvert, OddEdgeCountLeavesTheLastEdgeUnpaired) {
  RecordedFrame frame;
  const ScreenVertex a = frame.corner(2, 0), b = frame.corner(2, 5);
  const ScreenVertex c = frame.corner(6, 0), d = frame.corner(6, 5);
  const ScreenVertex e = frame.corner(20, 0), f = frame.corner(20, 5);
  std::vector<Edge> edges{Edge(a, b), Edge(c, d), Edge(e, f)};
  scanConvert(edges, frame.target());
  for (const RecordedPoint& p : frame.points.points)
    EXPECT_LT(p.x, 6);
  EXPECT_EQ(frame.points.points.size(), 6u * 4u);
}

TEST(ScanConvert, EdgesBelowTheWindowAreAdvancedOntoScanlineZero) {
  RecordedFrame frame;
  // yStart = roundToInt(-5.6) = -5, yEnd = 10: one pixel to the right per scanline.
  const ScreenVertex a = frame.corner(0, -5.6f), b = frame.corner(15, 10);
  const ScreenVertex c = frame.corner(40, -5.6f), d = frame.corner(40, 10);
  std::vector<Edge> edges{Edge(a, b), Edge(c, d)};
  scanConvert(edges, frame.target());
  // Advanced by four scanlines onto -1, then stepped onto 0: the lower values plus
  // five steps.
  EXPECT_EQ(frame.points.points.front().y, 0);
  EXPECT_EQ(frame.points.points.front().x, 5);
}

TEST(ScanConvert, EdgesEndingBelowOrStartingAboveTheWindowDrawNothing) {
  RecordedFrame frame(64, 64);
  // Scanlines -3 to -1, and 64 to 70 in a window of 64.
  const ScreenVertex a = frame.corner(0, -3.6f), b = frame.corner(0, -1.6f);
  const ScreenVertex c = frame.corner(9, -3.6f), d = frame.corner(9, -1.6f);
  const ScreenVertex e = frame.corner(0, 64), f = frame.corner(0, 70);
  const ScreenVertex g = frame.corner(9, 64), h = frame.corner(9, 70);
  std::vector<Edge> edges{Edge(a, b), Edge(c, d), Edge(e, f), Edge(g, h)};
  scanConvert(edges, frame.target());
  EXPECT_EQ(frame.points.spans, 0);
  // An edge starting on the top scanline is active there only.
  const auto top = fill(frame, {{0, 63}, {9, 63}, {9, 80}, {0, 80}});
  ASSERT_EQ(top.size(), 9u);
  EXPECT_EQ(top.front().y, 63);
}

TEST(ScanConvert, HorizontalEdgesNeverBecomeActive) {
  RecordedFrame frame;
  const ScreenVertex a = frame.corner(0, 5.2f), b = frame.corner(60, 4.9f);
  std::vector<Edge> edges{Edge(a, b)};
  scanConvert(edges, frame.target());
  EXPECT_EQ(frame.points.spans, 0);
  EXPECT_EQ(edges[0].x, 60.0f) << "never stepped from its lower corner";
}

TEST(ScanConvert, ZeroHeightDrawsNothingButStillAdvancesEdgesBelow) {
  RecordedFrame frame(64, 0);
  const ScreenVertex a = frame.corner(0, -5.6f), b = frame.corner(15, 10);
  std::vector<Edge> edges{Edge(a, b)};
  scanConvert(edges, frame.target());
  EXPECT_EQ(frame.points.spans, 0);
  EXPECT_EQ(edges[0].x, 4.0f);
}

}  // namespace
