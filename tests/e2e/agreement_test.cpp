// The real viewer, drawn through OpenGL and then, after "g", through the software
// pipeline, from camera poses reached with the mouse: how closely the two pictures
// agree, pixel by pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "tests/support/agreement_thresholds.h"
#include "tests/support/viewer_session.h"
#include "tools/cli/picture_set.h"
#include "tools/imaging/agreement.h"

namespace {

// A pose of the real viewer, reached with the mouse and the keys.
struct Pose {
  const char* name;
  std::function<void(ViewerSession&)> reach;
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
  const Agreement a = compareImages(opengl, software, kAgreementTolerance);
  if (const char* folder = std::getenv("QUADRELLE_AGREEMENT_PICTURES")) {
    std::string error;
    const std::string stem = std::string(pose.name) + "-";
    PictureSet pictures(folder,
                        {stem + "opengl.png", stem + "software.png", stem + "difference.png"});
    const bool written =
        pictures.open(error) && pictures.add(stem + "opengl.png", opengl, error) &&
        pictures.add(stem + "software.png", software, error) &&
        pictures.add(stem + "difference.png", differenceMap(opengl, software), error) &&
        pictures.keep(error);
    if (!written) std::fprintf(stderr, "%s\n", error.c_str());
  }
  std::printf(
      "%-14s coverage IoU %.4f  within %d: %.4f  mean |d| %.2f  max |d| %d  PSNR %.1f dB"
      "  (%ld / %ld pixels)\n",
      pose.name, a.coverageIoU, kAgreementTolerance, a.withinTolerance, a.meanAbsoluteDifference,
      a.maxAbsoluteDifference, a.psnr, a.coveredReference, a.coveredCandidate);
  return a;
}

class Agreement_ : public ::testing::TestWithParam<Pose> {};

TEST_P(Agreement_, SoftwarePictureMatchesOpenGL) {
  const Pose& pose = GetParam();
  const Agreement a = measure(pose);
  EXPECT_GT(a.coveredReference, 1000) << "the pose shows the scene";
  const AgreementThreshold& threshold = agreementThreshold(pose.name);
  EXPECT_GE(a.coverageIoU, threshold.minimumCoverageIoU);
  EXPECT_GE(a.withinTolerance, threshold.minimumWithinTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Poses, Agreement_,
    ::testing::Values(
        Pose{"initial", [](ViewerSession&) {}},
        Pose{"rotated", [](ViewerSession& v) { drag(v, 1, 80, 30); }},
        Pose{"magnified", [](ViewerSession& v) { wheel(v, true, 4); }},
        Pose{"minified", [](ViewerSession& v) { wheel(v, false, 8); }},
        Pose{"nearest", [](ViewerSession& v) { v.key("a"); }},
        // Panned so that the view axis meets the tile square, then brought so close that
        // the square reaches behind the eye: only clipping keeps it from mirroring.
        Pose{"through",
             [](ViewerSession& v) {
               drag(v, 3, -42, 21);
               wheel(v, true, 6);
             }}),
    [](const ::testing::TestParamInfo<Pose>& info) { return std::string(info.param.name); });

}  // namespace
