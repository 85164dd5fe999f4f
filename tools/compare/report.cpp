#include "tools/compare/report.h"

#include <cmath>
#include <cstdio>
#include <sstream>

std::string jsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::string agreementJson(const Agreement& a) {
  std::ostringstream json;
  json << "\"coverageIoU\": " << jsonNumber(a.coverageIoU)
       << ", \"withinTolerance\": " << jsonNumber(a.withinTolerance)
       << ", \"meanAbsoluteDifference\": " << jsonNumber(a.meanAbsoluteDifference)
       << ", \"maxAbsoluteDifference\": " << a.maxAbsoluteDifference
       << ", \"psnr\": " << jsonNumber(a.psnr) << ", \"coveredOpenGL\": " << a.coveredReference
       << ", \"coveredSoftware\": " << a.coveredCandidate;
  return json.str();
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
