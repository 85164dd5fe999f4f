#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// How closely the software picture agrees with OpenGL at the poses that the viewer's
// and quadrelle-compare's end-to-end tests reach, each threshold a little below what
// the pose measures. The two renderers are not meant to agree to the bit: the software
// pipeline takes the nearest texel where OpenGL magnifies linearly, picks its level from
// the footprint's area where OpenGL uses its longer side, rounds texel positions
// differently, and starts each edge on the scanline its end rounds to.
struct AgreementThreshold {
  std::string_view pose;
  double minimumCoverageIoU;
  double minimumWithinTolerance;
};

inline constexpr int kAgreementTolerance = 8;  // per 8-bit channel

inline constexpr AgreementThreshold kAgreementThresholds[] = {
    {"initial", 0.98, 0.72},  {"rotated", 0.985, 0.82}, {"magnified", 0.99, 0.76},
    {"minified", 0.96, 0.54}, {"nearest", 0.98, 0.85},  {"through", 0.99, 0.92},
};

inline const AgreementThreshold& agreementThreshold(std::string_view pose) {
  for (const AgreementThreshold& threshold : kAgreementThresholds) {
    if (threshold.pose == pose) return threshold;
  }
  throw std::out_of_range("no agreement threshold for the pose " + std::string(pose));
}
