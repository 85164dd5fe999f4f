#pragma once

#include <random>
#include <string>
#include <vector>

#include "tools/cli/options.h"
#include "tools/cli/random_pose.h"
#include "tools/compare/explain.h"
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

// The causes of the differences summed over a sweep's poses, and the poses with the
// most unexplained pixels (most first; only poses with any).
struct SweepCauses {
  int tolerance = 0;
  long covered = 0;
  long differing = 0;
  std::vector<CauseCount> causes;
  struct Pose {
    ViewOptions view;
    long unexplained = 0;
  };
  std::vector<Pose> mostUnexplained;

  void add(const ViewOptions& view, const Explanation& e, std::size_t keep);
};
