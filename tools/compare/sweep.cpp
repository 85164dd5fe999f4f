#include "tools/compare/sweep.h"

#include <algorithm>
#include <iterator>

namespace {

double median(std::vector<double> values) {
  if (values.empty()) return 1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

SweepSummary summarise(std::vector<SweepResult> results, int worstCount, long minimumPixels) {
  SweepSummary summary;
  summary.poses = int(results.size());
  std::erase_if(results,
                [&](const SweepResult& r) { return r.agreement.coveredEither < minimumPixels; });
  summary.posesShowingTheScene = int(results.size());
  std::vector<double> coverage;
  std::vector<double> within;
  for (const SweepResult& r : results) {
    coverage.push_back(r.agreement.coverageIoU);
    within.push_back(r.agreement.withinTolerance);
  }
  if (!results.empty()) {
    summary.worstCoverageIoU = *std::min_element(coverage.begin(), coverage.end());
    summary.worstWithinTolerance = *std::min_element(within.begin(), within.end());
  }
  summary.medianCoverageIoU = median(coverage);
  summary.medianWithinTolerance = median(within);
  std::sort(results.begin(), results.end(), [](const SweepResult& a, const SweepResult& b) {
    return a.agreement.withinTolerance < b.agreement.withinTolerance;
  });
  results.resize(std::min<std::size_t>(results.size(), std::size_t(worstCount)));
  summary.worst = std::move(results);
  return summary;
}

void SweepCauses::add(const ViewOptions& view, const Explanation& e, std::size_t keep) {
  tolerance = e.tolerance;
  covered += e.covered;
  differing += e.differing;
  addCounts(causes, e.causes);
  if (e.unexplained.empty()) return;
  mostUnexplained.push_back({view, long(e.unexplained.size())});
  std::stable_sort(mostUnexplained.begin(), mostUnexplained.end(),
                   [](const Pose& a, const Pose& b) { return a.unexplained > b.unexplained; });
  if (mostUnexplained.size() > keep) mostUnexplained.resize(keep);
}
