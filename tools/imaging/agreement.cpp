#include "tools/imaging/agreement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

int largestChannelDifference(Rgb a, Rgb b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

// A pixel the scene does not cover counts as white.
Rgb sceneOrWhite(Rgb p, bool covered) {
  return covered ? p : Rgb{255, 255, 255};
}

double squaredError(Rgb a, Rgb b) {
  const double dr = a.r - b.r;
  const double dg = a.g - b.g;
  const double db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

}  // namespace

Coverage coverageByColor(const Image& picture) {
  Coverage covered(picture.pixels.size());
  for (std::size_t i = 0; i < covered.size(); ++i)
    covered[i] = !isBackground(picture.pixels[i]);
  return covered;
}

Agreement compareImages(const Image& reference, const Image& candidate, int tolerance) {
  return compareImages(reference, coverageByColor(reference), candidate, coverageByColor(candidate),
                       tolerance);
}

Agreement compareImages(const Image& reference, const Coverage& referenceCovered,
                        const Image& candidate, const Coverage& candidateCovered, int tolerance) {
  Agreement a;
  long agreeing = 0;
  double absoluteSum = 0;
  double squaredSum = 0;
  for (std::size_t i = 0; i < reference.pixels.size(); ++i) {
    const Rgb r = reference.pixels[i];
    const Rgb c = candidate.pixels[i];
    const bool inReference = referenceCovered[i] != 0;
    const bool inCandidate = candidateCovered[i] != 0;
    a.coveredReference += inReference;
    a.coveredCandidate += inCandidate;
    if (!inReference && !inCandidate) continue;
    ++a.coveredEither;
    squaredSum += squaredError(sceneOrWhite(r, inReference), sceneOrWhite(c, inCandidate));
    if (!inReference || !inCandidate) continue;
    ++a.coveredBoth;
    const int largest = largestChannelDifference(r, c);
    a.maxAbsoluteDifference = std::max(a.maxAbsoluteDifference, largest);
    absoluteSum += std::abs(r.r - c.r) + std::abs(r.g - c.g) + std::abs(r.b - c.b);
    agreeing += largest <= tolerance;
  }
  if (a.coveredEither > 0) {
    a.coverageIoU = double(a.coveredBoth) / a.coveredEither;
    a.withinTolerance = double(agreeing) / a.coveredEither;
  }
  if (a.coveredBoth > 0) a.meanAbsoluteDifference = absoluteSum / (3.0 * a.coveredBoth);
  const double meanSquared = a.coveredEither > 0 ? squaredSum / (3.0 * a.coveredEither) : 0;
  a.psnr = meanSquared > 0 ? 10 * std::log10(255.0 * 255.0 / meanSquared)
                           : std::numeric_limits<double>::infinity();
  return a;
}

Image differenceMap(const Image& reference, const Image& candidate) {
  return differenceMap(reference, coverageByColor(reference), candidate,
                       coverageByColor(candidate));
}

Image differenceMap(const Image& reference, const Coverage& referenceCovered,
                    const Image& candidate, const Coverage& candidateCovered) {
  Image map(reference.width, reference.height);
  for (std::size_t i = 0; i < reference.pixels.size(); ++i) {
    const Rgb r = reference.pixels[i];
    const Rgb c = candidate.pixels[i];
    const bool inReference = referenceCovered[i] != 0;
    const bool inCandidate = candidateCovered[i] != 0;
    if (!inReference && !inCandidate) {
      map.pixels[i] = {225, 235, 245};
      continue;
    }
    // A pixel only one picture covers is as different as can be.
    const int d = (inReference && inCandidate) ? largestChannelDifference(r, c) : 255;
    // Black to red over the first half, red to yellow over the second; small
    // differences are stretched so that they show.
    const int heat = std::min(510, int(std::lround(std::sqrt(d / 255.0) * 510)));
    map.pixels[i] = {std::uint8_t(std::min(heat, 255)), std::uint8_t(std::max(heat - 255, 0)), 0};
  }
  return map;
}
