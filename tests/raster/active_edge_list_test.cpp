#include <gtest/gtest.h>

#include <random>

#include "raster/active_edge_list.h"
#include "tests/raster/raster_fixtures.h"

namespace {

// Edges between fixed corners, kept in place for the list's references.
struct Outline {
  Edge& add(float x0, float y0, float x1, float y1) {
    corners.push_back(frame.corner(x0, y0));
    const ScreenVertex& a = corners.back();
    corners.push_back(frame.corner(x1, y1));
    return edges.emplace_back(a, corners.back());
  }
  RecordedFrame frame;
  std::deque<ScreenVertex> corners;
  std::deque<Edge> edges;
};

// Moves the list to scanline y, entering the edges that start on each scanline.
void runTo(ActiveEdgeList& list, std::deque<Edge>& edges, int y) {
  while (list.y < y) {
    std::vector<Edge*> bucket;
    for (Edge& edge : edges) {
      if (edge.yStart == list.y + 1) bucket.push_back(&edge);
    }
    list.nextScanline(bucket);
  }
}

TEST(ActiveEdgeList, StartsBeforeTheFirstScanline) {
  ActiveEdgeList list;
  EXPECT_EQ(list.y, -1);
  EXPECT_TRUE(list.edges.empty());
}

TEST(ActiveEdgeList, EdgesEnterUnsteppedAndLeaveAfterTheirLastScanline) {
  Outline outline;
  Edge& edge = outline.add(0, 8, 16, 12);
  ActiveEdgeList list;
  runTo(list, outline.edges, 8);
  ASSERT_EQ(list.edges.size(), 1u);
  EXPECT_EQ(edge.x, 0.0f) << "carries its lower values on its first scanline";
  runTo(list, outline.edges, 12);
  EXPECT_EQ(list.edges.size(), 1u) << "still active on its last scanline";
  EXPECT_EQ(edge.x, 16.0f);
  runTo(list, outline.edges, 13);
  EXPECT_TRUE(list.edges.empty());
  EXPECT_EQ(edge.x, 20.0f) << "stepped once more on the way out";
}

TEST(ActiveEdgeList, SortIsStableOnEqualX) {
  Outline outline;
  ActiveEdgeList list;
  Edge& a = outline.add(5, 0, 5, 9);
  Edge& b = outline.add(3, 0, 3, 9);
  Edge& c = outline.add(3, 0, 3, 9);
  Edge& d = outline.add(1, 0, 1, 9);
  list.edges = {&a, &b, &c, &d};
  list.sortByX();
  EXPECT_EQ(list.edges, (std::vector<Edge*>{&d, &b, &c, &a}));
  list.insert(outline.add(3, 0, 3, 9));
  EXPECT_EQ(list.edges[3], &outline.edges.back()) << "inserted after the equal ones";
}

TEST(ActiveEdgeList, AVertexWhereTheOutlineGoesOnCountsOnce) {
  // A triangle with corners on scanlines 0, 4 and 9: the right side turns at 4.
  Outline outline;
  outline.add(0, 0, 2, 9);   // left side
  outline.add(0, 0, 10, 4);  // lower right side, ends on 4
  outline.add(10, 4, 2, 9);  // upper right side, starts on 4
  ActiveEdgeList list;
  runTo(list, outline.edges, 3);
  EXPECT_EQ(list.edges.size(), 2u);
  runTo(list, outline.edges, 4);
  ASSERT_EQ(list.edges.size(), 2u);
  EXPECT_EQ(list.edges[1], &outline.edges[2]) << "the ending edge made way";
}

TEST(ActiveEdgeList, APeakKeepsBothEdges) {
  Outline outline;
  outline.add(0, 0, 5, 6);  // both end on 6
  outline.add(10, 0, 5, 6);
  ActiveEdgeList list;
  runTo(list, outline.edges, 6);
  EXPECT_EQ(list.edges.size(), 2u);
}

TEST(ActiveEdgeList, AValleyKeepsBothEdges) {
  Outline outline;
  outline.add(20, 6, 25, 12);  // both start on 6
  outline.add(20, 6, 15, 12);
  ActiveEdgeList list;
  runTo(list, outline.edges, 6);
  EXPECT_EQ(list.edges.size(), 2u);
}

TEST(ActiveEdgeList, NeighboursAreJudgedByXOrderNotByTheSharedVertex) {
  // An edge ending on 6 beside an unrelated edge starting on 6 is dropped too.
  Outline outline;
  Edge& ending = outline.add(0, 0, 4, 6);
  outline.add(5, 6, 9, 12);
  ActiveEdgeList list;
  runTo(list, outline.edges, 6);
  ASSERT_EQ(list.edges.size(), 1u);
  EXPECT_NE(list.edges[0], &ending);
}

// The one-pass walk against the walk as first written, started again from the first
// edge after every drop, and the insertion sort against passes of neighbour swaps, on
// random lists of edges that start and end on the scanline, share x and cross.
TEST(ActiveEdgeList, DropsAndSortsAsTheRestartingWalkAndTheBubbleSortDo) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, 3);
  for (int round = 0; round < 2000; ++round) {
    std::vector<Edge> pool;
    RecordedFrame frame;
    const ScreenVertex corner = frame.corner(0, 0);
    const int n = 1 + round % 12;
    for (int i = 0; i < n; ++i) {
      Edge& edge = pool.emplace_back(corner, corner);
      edge.yStart = pick(random) < 2 ? 5 : 3;
      edge.yEnd = pick(random) < 2 ? 5 : 9;
      edge.x = float(pick(random));
    }
    ActiveEdgeList list;
    list.y = 5;
    for (Edge& edge : pool)
      list.edges.push_back(&edge);
    std::vector<Edge*> expected = list.edges;
    for (bool swapped = true; swapped;) {
      swapped = false;
      for (std::size_t i = 0; i + 1 < expected.size(); ++i) {
        if (expected[i + 1]->x < expected[i]->x) {
          std::swap(expected[i], expected[i + 1]);
          swapped = true;
        }
      }
    }
    list.sortByX();
    ASSERT_EQ(list.edges, expected) << "sorted, round " << round;
    for (std::size_t i = 0; i < expected.size();) {
      const bool ends = expected[i]->yEnd == 5;
      const bool beside = (i > 0 && expected[i - 1]->yStart == 5) ||
                          (i + 1 < expected.size() && expected[i + 1]->yStart == 5);
      if (ends && beside) {
        expected.erase(expected.begin() + long(i));
        i = 0;
      } else {
        ++i;
      }
    }
    list.dropSharedVertices();
    ASSERT_EQ(list.edges, expected) << "dropped, round " << round;
  }
}

}  // namespace
