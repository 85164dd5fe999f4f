// Frames drawn on several threads against one thread's, and the pool of threads they
// are drawn on. Built also with ThreadSanitizer by the test command.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "app/view_setup.h"
#include "raster/frame_budget.h"
#include "raster/software_frame.h"
#include "raster/worker_pool.h"
#include "tests/support/pixel_points.h"
#include "tests/support/random_scenes.h"

namespace {

// What one frame gave every pixel, and what it cost.
struct Drawn {
  std::vector<PixelPoints::Pixel> pixels;
  long points;
  long losses;
  long spans;
  std::int64_t steps;
  bool operator==(const Drawn&) const = default;
};

Drawn drawOn(const Pose& p, int threads, FragmentPath path, FrameState& frame) {
  RenderContext& context = sceneOf(p.scene);
  context.useOpenGL = false;
  context.useMipmaps = p.view.mipmaps;
  setupView(context, p.view.width, p.view.height, p.view.pose);
  PixelPoints points(p.view.width, p.view.height);
  frame.points = &points;
  frame.threads = threads;
  frame.fragmentPath = path;
  renderSoftwareFrame(context, p.view.width, p.view.height, frame);
  frame.points = nullptr;
  return {points.pixels(), points.points, points.losses, points.spans, frame.work};
}

std::string apart(const Drawn& threaded, const Drawn& alone) {
  std::size_t pixel = 0;
  while (pixel < alone.pixels.size() && alone.pixels[pixel] == threaded.pixels[pixel])
    ++pixel;
  return "points " + std::to_string(threaded.points) + " for " + std::to_string(alone.points) +
         ", losses " + std::to_string(threaded.losses) + " for " + std::to_string(alone.losses) +
         ", spans " + std::to_string(threaded.spans) + " for " + std::to_string(alone.spans) +
         ", steps " + std::to_string(threaded.steps) + " for " + std::to_string(alone.steps) +
         ", first pixel apart " + std::to_string(pixel);
}

// A frame drawn on 2, 3 and 7 threads, by either fragment path, gives every pixel what
// one thread gives it, to the bit, and costs the same steps: at random poses of the
// viewer's scene and of models, lit and unlit, clipped, mipmapped and not, and at sizes
// from one pixel to pictures a few pixels tall and two thousand wide. The frame states
// are kept from pose to pose, as a program keeps them.
TEST(ThreadedFrames, EveryNumberOfThreadsDrawsTheOneThreadsFrame) {
  std::mt19937 random(20261208);
  const std::pair<int, int> awkward[] = {{1, 1}, {2000, 3}, {3, 2000}, {7, 5}};
  FrameState one;
  FrameState many[3];
  const int threads[3] = {2, 3, 7};
  int failures = 0;
  const int poses = poseCount(200) / 4;
  for (int i = 0; i < poses && failures < 5; ++i) {
    Pose p = randomScenePose(random);
    if (i % 8 == 0) std::tie(p.view.width, p.view.height) = awkward[(i / 8) % 4];
    const FragmentPath path = i % 2 == 0 ? FragmentPath::Fast : FragmentPath::Plain;
    const Drawn alone = drawOn(p, 1, path, one);
    for (int t = 0; t < 3; ++t) {
      const Drawn threaded = drawOn(p, threads[t], path, many[t]);
      if (threaded == alone) continue;
      ++failures;
      ADD_FAILURE() << "pose " << i << " on " << threads[t] << " threads drew another frame than "
                    << "on one (" << apart(threaded, alone) << "), at\n  " << commandFor(p)
                    << (path == FragmentPath::Plain ? " --plain" : "");
    }
  }
}

// A frame past its budget is refused on any number of threads; one within it on none.
TEST(ThreadedFrames, TheBudgetRefusesTheSameFramesOnAnyNumberOfThreads) {
  Pose p;
  p.view.width = 320;
  p.view.height = 240;
  for (int threads : {1, 2, 7}) {
    FrameState frame;
    const Drawn drawn = drawOn(p, threads, FragmentPath::Fast, frame);
    FrameState tight;
    tight.workBudget = drawn.steps;
    EXPECT_NO_THROW(drawOn(p, threads, FragmentPath::Fast, tight)) << threads;
    tight.workBudget = drawn.steps - 1;
    EXPECT_THROW(drawOn(p, threads, FragmentPath::Fast, tight), FrameTooCostly) << threads;
  }
}

// A disc of `corners` corners filling the middle of the picture, as one polygon.
RenderContext discOf(int corners) {
  RenderContext context;
  Mesh mesh;
  mesh.diffuse = {0.5f, 0.5f, 0.5f, 1};
  Polygon disc;
  for (int k = 0; k < corners; ++k) {
    Vertex v;
    const double angle = 6.283185307179586 * k / corners;
    v.position = {float(std::cos(angle)), float(std::sin(angle)), 0, 1};
    v.previous = k == 0 ? corners - 1 : k - 1;
    disc.vertices.push_back(v);
  }
  mesh.polygons.push_back(disc);
  context.meshes.push_back(mesh);
  return context;
}

// Every band walks the edges of a polygon that reaches it from the polygon's top, so a
// polygon of very many corners would cost each band the whole walk again: a scene with
// one of more than 64 corners is drawn on one thread, to the same points.
TEST(ThreadedFrames, APolygonOfMoreThan64CornersIsDrawnOnOneThread) {
  for (const auto& [corners, threaded] : {std::pair{64, true}, std::pair{65, false}}) {
    RenderContext context = discOf(corners);
    context.useOpenGL = false;
    setupView(context, 64, 48, CameraPose{});
    PixelPoints alone(64, 48);
    PixelPoints split(64, 48);
    FrameState one;
    FrameState two;
    two.threads = 2;
    for (auto [points, frame] : {std::pair{&alone, &one}, std::pair{&split, &two}}) {
      frame->points = points;
      renderSoftwareFrame(context, 64, 48, *frame);
    }
    EXPECT_EQ(two.threaded != nullptr, threaded) << corners << " corners";
    EXPECT_GT(alone.points, 500) << corners << " corners";
    EXPECT_EQ(split.pixels(), alone.pixels()) << corners << " corners";
  }
}

TEST(WorkerPool, RunsEveryTaskOnceOnEveryThreadJobAfterJob) {
  for (int threads : {1, 2, 5}) {
    WorkerPool pool(threads);
    for (int job = 0; job < 200; ++job) {
      const int tasks = job % 17;
      std::vector<std::atomic<int>> runs(std::size_t(tasks) + 1);
      std::atomic<int> badThread{0};
      pool.run(tasks, [&](int task, int thread) {
        ++runs[std::size_t(task)];
        if (thread < 0 || thread >= threads) ++badThread;
      });
      for (int t = 0; t < tasks; ++t)
        ASSERT_EQ(runs[std::size_t(t)].load(), 1) << "job " << job << " task " << t;
      EXPECT_EQ(badThread.load(), 0);
    }
  }
}

TEST(WorkerPool, AFailingTaskIsThrownOnceEveryTaskHasEnded) {
  WorkerPool pool(3);
  std::atomic<int> ended{0};
  EXPECT_THROW(pool.run(12,
                        [&](int task, int) {
                          ++ended;
                          if (task == 5) throw std::runtime_error("task 5");
                        }),
               std::runtime_error);
  EXPECT_EQ(ended.load(), 12);
  std::atomic<int> again{0};
  pool.run(4, [&](int, int) { ++again; });
  EXPECT_EQ(again.load(), 4) << "the pool goes on";
}

}  // namespace
