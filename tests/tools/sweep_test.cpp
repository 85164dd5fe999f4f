#include <gtest/gtest.h>

#include "tools/compare/sweep.h"

namespace {

SweepResult result(double within, long covered) {
  SweepResult r;
  r.agreement.withinTolerance = within;
  r.agreement.coverageIoU = within + 0.1;
  r.agreement.coveredEither = covered;
  return r;
}

TEST(Sweep, SummaryLeavesOutPosesThatShowAlmostNothing) {
  const SweepSummary s = summarise(
      {result(0.9, 5000), result(0.1, 20), result(0.5, 800), result(0.7, 3000), result(1, 0)}, 2,
      100);
  EXPECT_EQ(s.poses, 5);
  EXPECT_EQ(s.posesShowingTheScene, 3);
  EXPECT_DOUBLE_EQ(s.worstWithinTolerance, 0.5);
  EXPECT_DOUBLE_EQ(s.medianWithinTolerance, 0.7);
  EXPECT_DOUBLE_EQ(s.worstCoverageIoU, 0.6);
  ASSERT_EQ(s.worst.size(), 2u);
  EXPECT_DOUBLE_EQ(s.worst[0].agreement.withinTolerance, 0.5);
  EXPECT_DOUBLE_EQ(s.worst[1].agreement.withinTolerance, 0.7);
}

// The generator's numbers become poses by the tool's own arithmetic, the same with any
// standard library: the first pose of seed 7 is always this one.
TEST(Sweep, ASeedGivesTheSamePosesWithAnyStandardLibrary) {
  std::mt19937 random(7);
  const ViewOptions p = randomPose(random);
  EXPECT_EQ(viewArguments(p),
            "--rotation-z -152.52902 --rotation-x -98.157936 --zoom 9.594861 --pan-x -14.781786 "
            "--pan-y 114.7735 --width 480 --height 640 --mipmaps off");
}

TEST(Sweep, RandomPosesRepeatWithTheSeedAndCoverTheRanges) {
  std::mt19937 a(7);
  std::mt19937 b(7);
  bool through = false;
  bool behind = false;
  bool tiny = false;
  for (int i = 0; i < 500; ++i) {
    const ViewOptions p = randomPose(a);
    const ViewOptions q = randomPose(b);
    EXPECT_EQ(p.pose.zoom, q.pose.zoom);
    EXPECT_EQ(p.width, q.width);
    through = through || (p.pose.zoom > 11 && p.pose.zoom < 13);
    behind = behind || p.pose.zoom > 13;
    tiny = tiny || p.width * p.height == 1;
    EXPECT_GE(p.width, 1);
    EXPECT_LE(p.width, 1920);
  }
  EXPECT_TRUE(through && behind && tiny);
}

}  // namespace
