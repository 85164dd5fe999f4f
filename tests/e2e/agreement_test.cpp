// The real viewer, drawn through OpenGL and then, after "g", through the software
// pipeline, from camera poses reached with the mouse: how closely the two pictures
// agree, pixel by pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "tests/support/viewer_session.h"
#include "tools/imaging/agreement.h"
#include "tools/imaging/png_file.h"

namespace {

constexpr int kTolerance = 8;  // per 8-bit channel

// The thresholds sit a little below what each pose measures. The two renderers are
// not meant to agree to the bit: the software pipeline takes the nearest texel where
// OpenGL magnifies linearly, picks its level from the footprint's area where OpenGL
// uses its longer side, rounds texel positions differently, and starts each edge on
// the scanline its end rounds to.
struct Pose {
  const char* name;
  std::function<void(ViewerSession&)> reach;
  double minimumCoverageIoU;
  double minimumWithinTolerance;
};

void drag(ViewerSession& viewer, int button, int dx, int dy) {
  viewer.framesDrawnBy(
      [&](XClient& x, Window w) { x.drag(w, button, 200, 200, 200 + dx, 200 + dy); });
}

void wheel(ViewerSession& viewer, bool closer, int steps) {
  viewer.framesDrawnBy([&](XClient& x, Window w) { x.wheel(w, closer, steps); });
}

Agreement measure(const Pose& pose) {
  ViewerSession viewer;
  pose.reach(viewer);
  const Image opengl = viewer.grab();
  EXPECT_EQ(viewer.key("g"), 1);
  const Image software = viewer.grab();
  const Agreement a = compareImages(opengl, software, kTolerance);
  if (const char* folder = std::getenv("QUADRELLE_AGREEMENT_PICTURES")) {
    std::string error;
    const std::string stem = std::string(folder) + "/" + pose.name;
    writePng(opengl, stem + "-opengl.png", error);
    writePng(software, stem + "-software.png", error);
    writePng(differenceMap(opengl, software), stem + "-difference.png", error);
  }
  std::printf(
      "%-14s coverage IoU %.4f  within %d: %.4f  mean |d| %.2f  max |d| %d  PSNR %.1f dB"
      "  (%ld / %ld pixels)\n",
      pose.name, a.coverageIoU, kTolerance, a.withinTolerance, a.meanAbsoluteDifference,
      a.maxAbsoluteDifference, a.psnr, a.coveredReference, a.coveredCandidate);
  return a;
}

class Agreement_ : public ::testing::TestWithParam<Pose> {};

TEST_P(Agreement_, SoftwarePictureMatchesOpenGL) {
  const Pose& pose = GetParam();
  const Agreement a = measure(pose);
  EXPECT_GT(a.coveredReference, 1000) << "the pose shows the scene";
  EXPECT_GE(a.coverageIoU, pose.minimumCoverageIoU);
  EXPECT_GE(a.withinTolerance, pose.minimumWithinTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Poses, Agreement_,
    ::testing::Values(
        Pose{"initial", [](ViewerSession&) {}, 0.98, 0.72},
        Pose{"rotated", [](ViewerSession& v) { drag(v, 1, 80, 30); }, 0.985, 0.82},
        Pose{"magnified", [](ViewerSession& v) { wheel(v, true, 4); }, 0.99, 0.76},
        Pose{"minified", [](ViewerSession& v) { wheel(v, false, 8); }, 0.96, 0.54},
        Pose{"nearest", [](ViewerSession& v) { v.key("a"); }, 0.98, 0.85},
        // Panned so that the view axis meets the tile square, then brought so close that
        // the square reaches behind the eye: only clipping keeps it from mirroring.
        Pose{"through",
             [](ViewerSession& v) {
               drag(v, 3, -42, 21);
               wheel(v, true, 6);
             },
             0.99, 0.92}),
    [](const ::testing::TestParamInfo<Pose>& info) { return std::string(info.param.name); });

}  // namespace
