#pragma once

#include <random>
#include <string>
#include <vector>

#include "tools/cli/options.h"
#include "tools/cli/random_pose.h"
#include "tools/imaging/agreement.h"

struct SweepResult {
  ViewOptions pose;
  Agreement agreement;
};

// Summary of a sweep: how many poses showed the scene, the least and median
// agreement over them, and the worst poses (least within tolerance first).
struct SweepSummary {
  int poses = 0;
  int posesShowingTheScene = 0;
  double worstCoverageIoU = 1;
  double worstWithinTolerance = 1;
  double medianCoverageIoU = 1;
  double medianWithinTolerance = 1;
  std::vector<SweepResult> worst;
};

// Poses covering fewer than `minimumPixels` in both pictures say little and are left
// out of the figures.
SweepSummary summarise(std::vector<SweepResult> results, int worstCount, long minimumPixels);
