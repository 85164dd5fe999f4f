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

#include "app/view_setup.h"
#include "raster/software_frame.h"
#include "tests/support/digest_points.h"
#include "tests/support/random_scenes.h"

namespace {

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

}  // namespace
