#include "tools/compare/report.h"

#include <cmath>
#include <cstdio>

namespace {

// A figure that is not defined (nothing covered, or identical pictures for the PSNR) is
// null in JSON and "none" in text, never a number.
Json figure(double value, bool defined) {
  return defined && std::isfinite(value) ? Json(value) : Json(nullptr);
}

}  // namespace

Json agreementJson(const Agreement& a) {
  const bool covered = a.coveredEither > 0;
  const bool both = a.coveredBoth > 0;
  return {{"coverageIoU", figure(a.coverageIoU, covered)},
          {"withinTolerance", figure(a.withinTolerance, covered)},
          {"meanAbsoluteDifference", figure(a.meanAbsoluteDifference, both)},
          {"maxAbsoluteDifference", figure(a.maxAbsoluteDifference, both)},
          {"psnr", figure(a.psnr, covered)},
          {"coveredOpenGL", a.coveredReference},
          {"coveredSoftware", a.coveredCandidate}};
}

std::string agreementText(const Agreement& a, int tolerance) {
  if (a.coveredEither == 0) {
    return "neither picture shows the scene: no figures to give\n";
  }
  if (!std::isfinite(a.psnr)) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "coverage IoU            %.4f  (%ld OpenGL, %ld software pixels)\n"
                  "the two pictures are identical\n",
                  a.coverageIoU, a.coveredReference, a.coveredCandidate);
    return text;
  }
  // Where no pixel is covered by both, the differences between them are not defined.
  const bool both = a.coveredBoth > 0;
  char mean[32] = "none";
  char largest[32] = "none";
  if (both) {
    std::snprintf(mean, sizeof mean, "%.2f", a.meanAbsoluteDifference);
    std::snprintf(largest, sizeof largest, "%d", a.maxAbsoluteDifference);
  }
  char text[512];
  std::snprintf(text, sizeof text,
                "coverage IoU            %.4f  (%ld OpenGL, %ld software pixels)\n"
                "within %3d per channel  %.4f\n"
                "mean |difference|       %s\n"
                "max |difference|        %s\n"
                "PSNR                    %.1f dB\n",
                a.coverageIoU, a.coveredReference, a.coveredCandidate, tolerance, a.withinTolerance,
                mean, largest, a.psnr);
  return text;
}
