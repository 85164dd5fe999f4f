#include "raster/texture_level.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace {

const double kLn2 = std::log(2.0);
const double kInverseLn2 = 1.0 / std::log(2.0);

Double2 lowHalf(Float4 v) {
  return Double2{v[0], v[1]};
}
Double2 highHalf(Float4 v) {
  return Double2{v[2], v[3]};
}

// ((a d) n - (b c) n) in double, without its sign, for two lanes.
Double2 absoluteDeterminant(Double2 a, Double2 b, Double2 c, Double2 d, double n) {
  const Double2 difference = (a * d) * n - (b * c) * n;
  return difference < 0.0 ? -difference : difference;
}

// The logarithm below splits a float m in [1, 2) at c = 1 + i/128, where i is the top
// seven bits of m's fraction: log2 m = log2 c + ln(1 + r) / ln 2 with r = (m - c) / c,
// so that 0 <= r < 1/128 and a short series gives ln(1 + r).
constexpr int kTableBits = 7;
constexpr int kTableSize = 1 << kTableBits;

struct Log2Table {
  double log2OfSplit[kTableSize];
  double inverseOfSplit[kTableSize];
  Log2Table() {
    for (int i = 0; i < kTableSize; ++i) {
      const double split = 1.0 + double(i) / kTableSize;
      log2OfSplit[i] = std::log2(split);
      inverseOfSplit[i] = 1.0 / split;
    }
  }
};
const Log2Table kLog2Table;

// log2(area) / 2 for a finite float area above 1, to a relative error below 2^-48:
// every term is positive, the series stops at r^7 (what is left is below r^8 / 8 <
// 2^-59), and each of the few roundings of the table and of the arithmetic costs at
// most 2^-53 of its term.
double approximateHalfLog2(float area) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(area);
  const int exponent = int(bits >> 23) - 127;
  const std::uint32_t fraction = bits & 0x7fffffu;
  const int i = int(fraction >> (23 - kTableBits));
  const double m = std::bit_cast<float>(fraction | 0x3f800000u);  // area / 2^exponent
  const double split = 1.0 + double(i) / kTableSize;              // exact, as is m - split
  const double r = (m - split) * kLog2Table.inverseOfSplit[i];
  const double lnOnePlusR =
      r *
      (1.0 + r * (-1.0 / 2 +
                  r * (1.0 / 3 + r * (-1.0 / 4 + r * (1.0 / 5 + r * (-1.0 / 6 + r * (1.0 / 7)))))));
  return ((exponent + kLog2Table.log2OfSplit[i]) + lnOnePlusR * kInverseLn2) * 0.5;
}

// The float nearest to a level known to within a relative 2^-40 of `level`, when every
// value that close rounds to the same float; otherwise not a number. Rounding is
// monotonic, so it suffices that the two ends of the interval round alike. The doubt
// covers the approximation above and levelOfArea's own roundings (its logarithm, the
// division and ln 2 itself, a few units in the 53rd bit) many times over.
float roundedIfCertain(double level) {
  constexpr double kDoubt = 0x1p-40;
  const float low = static_cast<float>(level - level * kDoubt);
  const float high = static_cast<float>(level + level * kDoubt);
  return low == high ? low : NAN;
}

float positiveLevel(float area) {
  if (!(area > 1.0f)) return std::isnan(area) ? area : 0.0f;
  if (area > FLT_MAX) return levelOfArea(area);
  const float level = roundedIfCertain(approximateHalfLog2(area));
  return std::isnan(level) ? levelOfArea(area) : level;
}

}  // namespace

Float4 footprintAreas(Float4 a, Float4 b, Float4 c, Float4 d, float texelCount) {
  const Double2 low =
      absoluteDeterminant(lowHalf(a), lowHalf(b), lowHalf(c), lowHalf(d), texelCount);
  const Double2 high =
      absoluteDeterminant(highHalf(a), highHalf(b), highHalf(c), highHalf(d), texelCount);
  const Float2 lowAreas = __builtin_convertvector(low, Float2);
  const Float2 highAreas = __builtin_convertvector(high, Float2);
  return Float4{lowAreas[0], lowAreas[1], highAreas[0], highAreas[1]};
}

float levelOfArea(float area) {
  return static_cast<float>((std::log(double(area)) / kLn2) * 0.5);
}

Float4 positiveLevels(Float4 areas) {
  return Float4{positiveLevel(areas[0]), positiveLevel(areas[1]), positiveLevel(areas[2]),
                positiveLevel(areas[3])};
}
