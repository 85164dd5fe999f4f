#include "raster/threaded_frame.h"

#include <sched.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "raster/frame_budget.h"
#include "raster/polygon_target.h"
#include "raster/scan_convert.h"
#include "raster/software_frame.h"
#include "raster/worker_pool.h"

namespace {

// One polygon of a batch, set up and waiting to be filled band by band.
struct PolygonWork {
  const Mesh* mesh = nullptr;
  const Polygon* polygon = nullptr;
  std::vector<ScreenVertex> screen;
  std::vector<Edge> edges;  // between corners of `screen`; stepped only in copies
  int firstRow = 0;         // the rows its edges reach: firstRow to endRow - 1
  int endRow = 0;
};

// Polygons set up at once before any is filled: enough that the two waits of a batch
// cost little beside it, few enough that their edges stay a few megabytes.
constexpr std::size_t kBatchPolygons = 8192;

// Bands a thread: more than one, so that a thread whose band holds little of the
// picture takes another.
constexpr int kBandsPerThread = 4;

// The rows a walk of the polygon's non-horizontal edges visits, within the frame's: from
// the first an edge starts on to the one after the last an edge ends on, where the
// edges that end are stepped once more and leave. An edge that starts below the frame
// is stepped on row 0 however low it ends. An empty range for none.
void findRows(PolygonWork& work, int height) {
  int first = height;
  int end = 0;
  for (const Edge& edge : work.edges) {
    if (edge.yStart == edge.yEnd || edge.yStart >= height) continue;
    first = std::min(first, std::max(edge.yStart, 0));
    end = std::max(end, std::min(std::max(edge.yEnd + 2, 1), height));
  }
  work.firstRow = first;
  work.endRow = end;
}

}  // namespace

struct FrameThreads {
  explicit FrameThreads(int threads) : pool(threads), scratch(std::size_t(threads)) {}

  WorkerPool pool;
  std::vector<PolygonScratch> scratch;  // one for each thread's set-up
  std::vector<PolygonWork> batch = std::vector<PolygonWork>(kBatchPolygons);
  std::vector<RowBand> bands;
  std::vector<std::unique_ptr<PointSink>> bandPoints;
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
    threads.bandPoints.push_back(std::move(points));
  }
  return true;
}

// The vertex stage to lighting of the batch's first `count` polygons, shared out in
// runs of polygons among the threads.
void setUp(const RenderContext& context, FrameState& frame, FrameThreads& threads, int count) {
  const int runs = std::min(count, threads.pool.threads() * kBandsPerThread);
  threads.pool.run(runs, [&](int run, int thread) {
    PolygonScratch& scratch = threads.scratch[std::size_t(thread)];
    for (int p = count * run / runs; p < count * (run + 1) / runs; ++p) {
      PolygonWork& work = threads.batch[std::size_t(p)];
      preparePolygon(*work.polygon, *work.mesh, context, frame.frameWidth, frame.frameHeight,
                     scratch, work.screen, work.edges);
      findRows(work, frame.frameHeight);
    }
  });
}

// Every band filled with the batch's first `count` polygons, in their order, the first
// of them the frame's polygon number `first`.
void fill(const RenderContext& context, FrameState& frame, FrameThreads& threads, int count,
          std::uint32_t first, Vec3 eye) {
  threads.pool.run(int(threads.bands.size()), [&](int b, int) {
    RowBand& band = threads.bands[std::size_t(b)];
    for (int p = 0; p < count; ++p) {
      const PolygonWork& work = threads.batch[std::size_t(p)];
      if (work.firstRow >= band.end || work.endRow <= band.first) continue;
      band.scratch.edges = work.edges;
      band.polygon = first + std::uint32_t(p);
      const PolygonTarget target{context, frame, band, work.mesh->texture, eye};
      scanConvert(band.scratch.edges, target);
    }
  });
  // What the bands took is the frame's, before the next batch is weighed against it; no
  // band alone may have passed the budget, but together they may have.
  for (RowBand& band : threads.bands) {
    frame.committedWork += band.work;
    band.work = 0;
  }
  if (frame.workBudget > 0 && frame.committedWork > frame.workBudget) {
    throw FrameTooCostly(frame.workBudget);
  }
}

}  // namespace

bool renderMeshesOnThreads(const RenderContext& context, FrameState& frame) {
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
    for (int p = 0; p < count; ++p)
      frame.points->polygonEdges(threads.batch[std::size_t(p)].edges);
    fill(context, frame, threads, count, polygons, eye);
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
