#include "raster/threaded_frame.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "math/rounding.h"
#include "raster/frame_budget.h"
#include "raster/polygon_target.h"
#include "raster/scan_convert.h"
#include "raster/software_frame.h"
#include "raster/vertex_stage.h"
#include "raster/worker_pool.h"

namespace {

// One polygon of a batch, its corners set up (and lit), waiting to be filled band by
// band: each band builds the edges it steps from them.
struct PolygonWork {
  const Mesh* mesh = nullptr;
  const Polygon* polygon = nullptr;
  // The corners as clipped, which `screen`'s corners are made from and name as their
  // sources: the outline's links and, for a corner clipping made, its normal.
  std::vector<ClipVertex> corners;
  std::vector<ScreenVertex> screen;
  int firstRow = 0;  // the rows its edges reach: firstRow to endRow - 1
  int endRow = 0;
};

// Polygons set up at once before any is filled: enough that the two waits of a batch
// cost little beside it (at 512 they cost a quarter more time), few enough that their
// corners stay about a megabyte, read back by the bands from a shared cache.
constexpr std::size_t kBatchPolygons = 4096;

// A band walks the edges of each polygon that reaches it from the polygon's first
// scanline, so that they reach its rows stepped as one walk steps them; the walk down
// to its rows is another band's work and is not counted against the frame's budget. A
// polygon of a few corners walks few edges there. One of thousands of corners (a face
// winding round and round one triangle, say) would be walked again, uncounted, by
// every band it reaches: a scene with a polygon of more corners than this is drawn on
// one thread, to the same bits.
constexpr std::size_t kMostCornersOnThreads = 64;

bool hasPolygonOfManyCorners(const RenderContext& context) {
  for (const Mesh& mesh : context.meshes) {
    for (const Polygon& polygon : mesh.polygons) {
      if (polygon.vertices.size() > kMostCornersOnThreads) return true;
    }
  }
  return false;
}

// Bands a thread, taken as the threads come free: many, so that the bands of a picture
// a model covers unevenly still come out even between the threads. A polygon taller
// than a band is walked once for each band it reaches, which costs its edges' steps
// alone, far less than its fragments.
constexpr int kBandsPerThread = 16;

// The rows a walk of the polygon's non-horizontal edges visits, within the frame's: from
// the first an edge starts on to the one after the last an edge ends on, where the
// edges that end are stepped once more and leave. An edge that starts below the frame
// is stepped on row 0 however low it ends. An empty range for none. The edges are those
// buildEdges makes, from each corner to the one before it on the outline; an edge's
// scanlines are its ends' y rounded, the lower first.
void findRows(PolygonWork& work, int height) {
  int first = height;
  int end = 0;
  const std::vector<ScreenVertex>& screen = work.screen;
  const int n = int(screen.size());
  for (int k = 0; k < n; ++k) {
    const int previous = screen[std::size_t(k)].source->previous;
    if (previous < 0 || previous >= n) continue;
    const int a = roundToInt(screen[std::size_t(k)].y);
    const int b = roundToInt(screen[std::size_t(previous)].y);
    const int yStart = std::min(a, b);
    const int yEnd = std::max(a, b);
    if (yStart == yEnd || yStart >= height) continue;
    first = std::min(first, std::max(yStart, 0));
    end = std::max(end, std::min(std::max(yEnd + 2, 1), height));
  }
  work.firstRow = first;
  work.endRow = end;
}

}  // namespace

struct FrameThreads {
  explicit FrameThreads(int threads)
      : pool(threads),
        scratch(std::size_t(threads)),
        runs(std::size_t(threads * kBandsPerThread)) {}

  WorkerPool pool;
  std::vector<PolygonScratch> scratch;     // one for each thread's set-up
  std::atomic<std::int64_t> batchWork{0};  // what the bands have told of the batch's steps
  std::vector<PolygonWork> batch = std::vector<PolygonWork>(kBatchPolygons);
  std::vector<RowBand> bands;
  std::vector<std::unique_ptr<PointSink>> bandPoints;
  // The batch is set up in runs of polygons, one a task; each run lists, for every band,
  // the polygons of its own that reach the band, in their order. A band then fills the
  // lists of the runs in turn, and looks at no polygon that does not reach it.
  struct alignas(kCacheLine) Run {
    std::vector<std::vector<int>> byBand;
  };
  std::vector<Run> runs;
};

FrameState::FrameState() = default;
FrameState::~FrameState() = default;
FrameState::FrameState(FrameState&&) noexcept = default;
FrameState& FrameState::operator=(FrameState&&) noexcept = default;

int usableCores() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (sched_getaffinity(0, sizeof cores, &cores) != 0) return 1;
  return std::max(1, CPU_COUNT(&cores));
}

namespace {

// Cuts the frame's rows into bands, each with points of its own; false where the frame's
// points cannot be split.
bool makeBands(FrameState& frame, FrameThreads& threads) {
  const int height = std::max(frame.frameHeight, 1);
  const int count = std::min(height, frame.threads * kBandsPerThread);
  threads.bands.resize(std::size_t(count));
  threads.bandPoints.clear();
  for (int b = 0; b < count; ++b) {
    RowBand& band = threads.bands[std::size_t(b)];
    band.first = int(std::int64_t(height) * b / count);
    band.end = int(std::int64_t(height) * (b + 1) / count);
    std::unique_ptr<PointSink> points = frame.points->bandOf(band.first, band.end);
    if (!points) return false;
    band.points = points.get();
    band.observer = dynamic_cast<PipelineObserver*>(points.get());
    band.work = 0;
    band.batchWork = &threads.batchWork;
    band.toldWork = 0;
    threads.bandPoints.push_back(std::move(points));
  }
  return true;
}

// The band of row y, of `count` bands of `height` rows cut as makeBands cuts them:
// band b starts at row height * b / count, rounded down.
int bandOfRow(int y, int count, int height) {
  return int((std::int64_t(y) * count + count - 1) / height);
}

// The vertex stage to lighting of the batch's first `count` polygons, shared out in
// runs of polygons among the threads, each run listing its polygons by band.
void setUp(const RenderContext& context, FrameState& frame, FrameThreads& threads, int count) {
  const int runs = int(threads.runs.size());
  const int bands = int(threads.bands.size());
  const int height = std::max(frame.frameHeight, 1);
  threads.pool.run(runs, [&](int run, int thread) {
    PolygonScratch& scratch = threads.scratch[std::size_t(thread)];
    std::vector<std::vector<int>>& lists = threads.runs[std::size_t(run)].byBand;
    lists.resize(std::size_t(bands));
    for (std::vector<int>& list : lists)
      list.clear();
    for (int p = count * run / runs; p < count * (run + 1) / runs; ++p) {
      PolygonWork& work = threads.batch[std::size_t(p)];
      // A clipped polygon's corners lie in the scratch, which the thread's next polygon
      // overwrites: they go with the polygon instead, its storage swapped in.
      if (transformCorners(*work.polygon, *work.mesh, context, frame.frameWidth, frame.frameHeight,
                           scratch, work.screen)) {
        work.corners.swap(scratch.corners);
      }
      if (context.lighting && work.mesh->texture != nullptr) lightCorners(work.screen, context);
      findRows(work, frame.frameHeight);
      if (work.firstRow >= work.endRow) continue;
      const int last = bandOfRow(work.endRow - 1, bands, height);
      for (int b = bandOfRow(work.firstRow, bands, height); b <= last; ++b)
        lists[std::size_t(b)].push_back(p);
    }
  });
}

// Every band filled with the batch's polygons that reach it, in their order, the first
// of the batch the frame's polygon number `first`.
void fill(const RenderContext& context, FrameState& frame, FrameThreads& threads,
          std::uint32_t first, Vec3 eye) {
  threads.batchWork.store(0, std::memory_order_relaxed);
  threads.pool.run(int(threads.bands.size()), [&](int b, int) {
    RowBand& band = threads.bands[std::size_t(b)];
    for (const FrameThreads::Run& run : threads.runs) {
      for (const int p : run.byBand[std::size_t(b)]) {
        const PolygonWork& work = threads.batch[std::size_t(p)];
        buildEdges(work.screen, band.scratch.edges);
        band.polygon = first + std::uint32_t(p);
        const PolygonTarget target{context, frame, band, work.mesh->texture, eye};
        scanConvert(band.scratch.edges, target);
      }
    }
  });
  // What the bands took is the frame's, before the next batch is weighed against it; no
  // band alone may have passed the budget, but together they may have.
  for (RowBand& band : threads.bands) {
    frame.committedWork += band.work;
    band.work = 0;
    band.toldWork = 0;
  }
  if (frame.workBudget > 0 && frame.committedWork > frame.workBudget) {
    throw FrameTooCostly(frame.workBudget);
  }
}

}  // namespace

bool renderMeshesOnThreads(const RenderContext& context, FrameState& frame) {
  if (hasPolygonOfManyCorners(context)) return false;
  if (!frame.threaded || frame.threaded->pool.threads() != frame.threads) {
    frame.threaded = std::make_unique<FrameThreads>(frame.threads);
  }
  FrameThreads& threads = *frame.threaded;
  if (!makeBands(frame, threads)) return false;
  const Vec3 eye = eyeOf(context);
  std::uint32_t polygons = 0;
  int count = 0;
  const auto drawBatch = [&] {
    setUp(context, frame, threads, count);
    if (frame.points->takesPolygonEdges()) {
      for (int p = 0; p < count; ++p) {
        buildEdges(threads.batch[std::size_t(p)].screen, threads.scratch[0].edges);
        frame.points->polygonEdges(threads.scratch[0].edges);
      }
    }
    fill(context, frame, threads, polygons, eye);
    polygons += std::uint32_t(count);
    count = 0;
  };
  for (const Mesh& mesh : context.meshes) {
    for (const Polygon& polygon : mesh.polygons) {
      PolygonWork& work = threads.batch[std::size_t(count++)];
      work.mesh = &mesh;
      work.polygon = &polygon;
      if (std::size_t(count) == kBatchPolygons) drawBatch();
    }
  }
  if (count > 0) drawBatch();
  for (const std::unique_ptr<PointSink>& band : threads.bandPoints)
    frame.points->joinBand(*band);
  frame.work = frame.committedWork;
  return true;
}
