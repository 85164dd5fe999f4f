#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "raster/active_edge_list.h"
#include "raster/clipping.h"
#include "raster/edge.h"
#include "raster/point_sink.h"
#include "raster/screen_vertex.h"

// The lists that the vertex stage, clipping and edge set-up of one polygon work in. They
// are kept from polygon to polygon and from frame to frame, so drawing allocates only
// when a polygon has more corners than any before it. Each on cache lines of its own,
// since threads side by side each work in one (kCacheLine).
inline constexpr std::size_t kCacheLine = 64;
struct alignas(kCacheLine) PolygonScratch {
  std::vector<ClipVertex> corners;
  ContourScratch contours;
  std::vector<ScreenVertex> screenVertices;
  std::vector<Edge> edges;
};

// The lists scan conversion works in, kept likewise.
struct ScanScratch {
  std::vector<Edge*> waiting;  // edges that start inside the window, by first scanline
  std::vector<Edge*> spareEdges;
  ActiveEdgeList activeEdges;
  std::vector<Edge> edges;  // a band's own copy of a polygon's edges, which it steps
};

// Rows first to end - 1 of a frame, filled by one thread at a time: where their points
// go, the lists their scan conversion works in, and the steps it has taken. A frame on
// one thread is one band of every row. On cache lines of its own, as it is counted in
// for every span while other threads fill the bands beside it.
struct alignas(kCacheLine) RowBand {
  int first = 0;
  int end = 0;
  PointSink* points = nullptr;
  PipelineObserver* observer = nullptr;  // `points`, where it observes the pipeline
  ScanScratch scratch;
  std::int64_t work = 0;
  // On several threads: the steps of this batch that every band has told the others
  // of, and how much of `work` this band has told.
  std::atomic<std::int64_t>* batchWork = nullptr;
  std::int64_t toldWork = 0;
  std::uint32_t polygon = 0;  // the frame's number of the polygon being filled
  int pair = 0;               // the span being filled: its place on its scanline
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

// The threads, bands and batches of a frame drawn on several threads
// (raster/threaded_frame.h).
struct FrameThreads;

// What the software pipeline keeps between frames.
struct FrameState {
  FrameState();
  ~FrameState();
  FrameState(FrameState&&) noexcept;
  FrameState& operator=(FrameState&&) noexcept;

  int frameWidth = 0;  // size of the last software frame; 0 before the first
  int frameHeight = 0;
  // Pixel (x, y) at y * frameWidth + x, row 0 at the bottom. Smaller is nearer.
  std::vector<float> depthBuffer;
  // For each row, the columns that spans may have written since the buffer was last
  // cleared: only those need clearing again.
  std::vector<WrittenColumns> depthWritten;
  PointSink* points = nullptr;  // where the frame's pixels go
  FragmentPath fragmentPath = FragmentPath::Fast;
  // How many threads draw a frame; 1, as in the viewer, draws it on the caller's.
  int threads = 1;
  // The steps the frame has taken, and the most it may (0: no limit, as in the viewer,
  // whose scene is fixed); raster/frame_budget.h. `committedWork` is what the bands of
  // earlier batches of polygons took, on several threads.
  std::int64_t work = 0;
  std::int64_t workBudget = 0;
  std::int64_t committedWork = 0;
  PolygonScratch scratch;
  RowBand wholeFrame;  // the band of a frame on one thread
  std::unique_ptr<FrameThreads> threaded;
};
