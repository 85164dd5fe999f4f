// The fast fragment path against the plain one, at seeded random poses: the viewer's
// scene and models with textures of every kind, lit and unlit, mipmapped or not, from
// 1 x 1 to 1920 x 1080, from far off to through the surface. The fast path draws its
// frames one after another into one frame state, whose size changes from pose to pose,
// so that the depth buffer is re-created and partly cleared as in the viewer; each
// frame is drawn twice there, and both must equal the plain path's frame drawn fresh.
//
// 200 poses by default; QUADRELLE_DIFFERENTIAL_POSES=10000 (the CTest entry labelled
// "long") for more. A failure names the pose as the quadrelle-render command that
// draws it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/view_setup.h"
#include "raster/software_frame.h"
#include "tests/support/built_scenes.h"
#include "tests/support/digest_points.h"
#include "tests/support/pixel_points.h"
#include "tools/cli/random_pose.h"
#include "tools/cli/scene_options.h"

namespace {

// The models bring textures that repeat (box, wrapped), clamp to their edge (box's
// rgba.png), mirror (wrapped), vertex colours and emission (wrapped).
const char* const kScenes[] = {"",
                               QUADRELLE_SOURCE_DIR "/tests/data/models/box.obj",
                               QUADRELLE_SOURCE_DIR "/tests/data/models/concave.obj",
                               QUADRELLE_SOURCE_DIR "/tests/data/models/wide.obj",
                               QUADRELLE_SOURCE_DIR "/tests/data/models/wrapped.gltf",
                               QUADRELLE_SOURCE_DIR "/tests/data/models/house.glb"};

struct Pose {
  ViewOptions view;
  SceneOptions scene;
};

Pose randomScenePose(std::mt19937& random) {
  Pose p;
  p.view = randomPose(random);
  p.scene.file = kScenes[choice(random, int(std::size(kScenes)))];
  p.scene.lighting = choice(random, 2) == 1;
  return p;
}

std::string commandFor(const Pose& p) {
  return "quadrelle-render " + viewArguments(p.view) + sceneArguments(p.scene);
}

RenderContext& sceneOf(const SceneOptions& scene) {
  RenderContext& context = builtScene(scene.file, [&scene](RenderContext& built) {
    std::vector<std::string> warnings;
    buildScene({scene.file, false, {}}, built, warnings);
  });
  context.lighting = scene.lighting;
  return context;
}

std::uint64_t draw(const Pose& p, FrameState& frame) {
  RenderContext& context = sceneOf(p.scene);
  context.useOpenGL = false;
  context.useMipmaps = p.view.mipmaps;
  setupView(context, p.view.width, p.view.height, p.view.pose);
  DigestPoints points;
  frame.points = &points;
  renderSoftwareFrame(context, p.view.width, p.view.height, frame);
  frame.points = nullptr;
  return points.digest;
}

int poseCount() {
  const char* count = std::getenv("QUADRELLE_DIFFERENTIAL_POSES");
  return count != nullptr ? std::atoi(count) : 200;
}

TEST(FastAndPlainPaths, DrawTheSamePointsAtRandomPosesFrameAfterFrame) {
  std::mt19937 random(20261207);
  FrameState sequence;
  std::string before = "(none)";
  int failures = 0;
  const int poses = poseCount();
  for (int i = 0; i < poses && failures < 5; ++i) {
    const Pose p = randomScenePose(random);
    FrameState fresh;
    fresh.fragmentPath = FragmentPath::Plain;
    const std::uint64_t plain = draw(p, fresh);
    const std::uint64_t fast = draw(p, sequence);
    const std::uint64_t again = draw(p, sequence);
    if (fast != plain || again != plain) {
      ++failures;
      ADD_FAILURE() << "pose " << i << ": the fast path "
                    << (fast != plain ? "drew other points" : "drew other points the second time")
                    << " than the plain path, at\n  " << commandFor(p)
                    << "\ndrawn into the frame state of\n  " << before;
    }
    before = commandFor(p);
  }
}

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

// A frame drawn on 2, 3 and 7 threads, by either fragment path, gives every pixel what
// one thread gives it, to the bit, and costs the same steps: at random poses of the
// viewer's scene and of models, lit and unlit, and at sizes from one pixel to pictures
// a few pixels tall and two thousand wide. The frame states are kept from pose to pose,
// as a program keeps them.
TEST(ThreadedFrames, EveryNumberOfThreadsDrawsTheOneThreadsFrame) {
  std::mt19937 random(20261208);
  const std::pair<int, int> awkward[] = {{1, 1}, {2000, 3}, {3, 2000}, {7, 5}};
  FrameState one;
  FrameState many[3];
  const int threads[3] = {2, 3, 7};
  int failures = 0;
  const int poses = poseCount() / 4;
  for (int i = 0; i < poses && failures < 5; ++i) {
    Pose p = randomScenePose(random);
    if (i % 8 == 0) std::tie(p.view.width, p.view.height) = awkward[(i / 8) % 4];
    const FragmentPath path = i % 2 == 0 ? FragmentPath::Fast : FragmentPath::Plain;
    const Drawn alone = drawOn(p, 1, path, one);
    for (int t = 0; t < 3; ++t) {
      const Drawn threaded = drawOn(p, threads[t], path, many[t]);
      if (threaded == alone) continue;
      ++failures;
      std::size_t pixel = 0;
      while (pixel < alone.pixels.size() && alone.pixels[pixel] == threaded.pixels[pixel])
        ++pixel;
      ADD_FAILURE() << "pose " << i << " on " << threads[t] << " threads drew another frame than "
                    << "on one (points " << threaded.points << " for " << alone.points
                    << ", losses " << threaded.losses << " for " << alone.losses << ", spans "
                    << threaded.spans << " for " << alone.spans << ", steps " << threaded.steps
                    << " for " << alone.steps << ", first pixel apart " << pixel << "), at\n  "
                    << commandFor(p) << (path == FragmentPath::Plain ? " --plain" : "");
    }
  }
}

}  // namespace
