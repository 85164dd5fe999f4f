#pragma once

#include <cstdint>
#include <vector>

#include "raster/active_edge_list.h"
#include "raster/clipping.h"
#include "raster/edge.h"
#include "raster/point_sink.h"
#include "raster/screen_vertex.h"

// The lists that live for one polygon. They are kept from polygon to polygon and from
// frame to frame, so drawing allocates only when a polygon has more corners than any
// before it.
struct PolygonScratch {
  std::vector<ClipVertex> corners;
  ContourScratch contours;
  std::vector<ScreenVertex> screenVertices;
  std::vector<Edge> edges;
  std::vector<Edge*> waiting;  // edges that start inside the window, by first scanline
  std::vector<Edge*> spareEdges;
  ActiveEdgeList activeEdges;
};

// Columns first to end - 1 of one row of the depth buffer, which may hold a depth.
struct WrittenColumns {
  int first = 0;
  int end = 0;
};

// How textured and lit pixels are worked out: the fast path colours the pixels of a
// span four at a time; the plain path one at a time, with the formulas as they are
// written. Both give the same points, to the bit.
enum class FragmentPath { Fast, Plain };

// What the software pipeline keeps between frames.
struct FrameState {
  int frameWidth = 0;  // size of the last software frame; 0 before the first
  int frameHeight = 0;
  // Pixel (x, y) at y * frameWidth + x, row 0 at the bottom. Smaller is nearer.
  std::vector<float> depthBuffer;
  // For each row, the columns that spans may have written since the buffer was last
  // cleared: only those need clearing again.
  std::vector<WrittenColumns> depthWritten;
  PointSink* points = nullptr;  // where the frame's pixels go
  FragmentPath fragmentPath = FragmentPath::Fast;
  // The steps the frame has taken so far, and the most it may (0: no limit, as in the
  // viewer, whose scene is fixed); raster/frame_budget.h.
  std::int64_t work = 0;
  std::int64_t workBudget = 0;
  PolygonScratch scratch;
};
