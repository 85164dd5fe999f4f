#include "tools/compare/report.h"

#include <cstdio>

Json agreementJson(const Agreement& a) {
  return {{"coverageIoU", a.coverageIoU},
          {"withinTolerance", a.withinTolerance},
          {"meanAbsoluteDifference", a.meanAbsoluteDifference},
          {"maxAbsoluteDifference", a.maxAbsoluteDifference},
          {"psnr", a.psnr},
          {"coveredOpenGL", a.coveredReference},
          {"coveredSoftware", a.coveredCandidate}};
}

std::string agreementText(const Agreement& a, int tolerance) {
  char text[512];
  std::snprintf(text, sizeof text,
                "coverage IoU            %.4f  (%ld OpenGL, %ld software pixels)\n"
                "within %3d per channel  %.4f\n"
                "mean |difference|       %.2f\n"
                "max |difference|        %d\n"
                "PSNR                    %.1f dB\n",
                a.coverageIoU, a.coveredReference, a.coveredCandidate, tolerance, a.withinTolerance,
                a.meanAbsoluteDifference, a.maxAbsoluteDifference, a.psnr);
  return text;
}
