#include "raster/fast_level.h"

#include <bit>
#include <cfloat>
#include <cmath>

#include "raster/texture_level.h"

namespace {

const double kInverseLn2 = 1.0 / std::log(2.0);

Double2 lowHalf(Float4 v) {
  return Double2{v[0], v[1]};
}
Double2 highHalf(Float4 v) {
  return Double2{v[2], v[3]};
}
Double2 lowHalf(Int4 v) {
  return Double2{double(v[0]), double(v[1])};
}
Double2 highHalf(Int4 v) {
  return Double2{double(v[2]), double(v[3])};
}

// ((a d) n - (b c) n) in double, without its sign, for two lanes.
Double2 absoluteDeterminant(Double2 a, Double2 b, Double2 c, Double2 d, double n) {
  const Double2 difference = (a * d) * n - (b * c) * n;
  return difference < 0.0 ? -difference : difference;
}

// The logarithm below splits a float m in [1, 2) at c = 1 + i/256, where i is the top
// eight bits of m's fraction: log2 m = log2 c + ln(1 + r) / ln 2 with r = (m - c) / c,
// so that 0 <= r < 1/256 and five terms of the series give ln(1 + r).
constexpr int kTableBits = 8;
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

Double2 gather(const double* table, int i, int j) {
  return Double2{table[i], table[j]};
}

// log2(area) / 2 for two finite float areas above 1, from their exponents, their
// fractions m in [1, 2) and the indices i, j of their splits. Every term is positive,
// so the relative errors add up without cancelling: the series stops after r^5 (what
// is left is below r^6 / 6, under 2^-42 of the sum), and each of the few roundings of
// the table and of the arithmetic costs about 2^-53.
Double2 approximateHalfLog2(Double2 exponent, Double2 m, int i, int j) {
  const Double2 split = 1.0 + Double2{double(i), double(j)} / kTableSize;   // exact
  const Double2 r = (m - split) * gather(kLog2Table.inverseOfSplit, i, j);  // m - split exact
  // r - r^2/2 + r^3/3 - r^4/4 + r^5/5, in an order with a short chain of dependent
  // operations (Estrin's scheme): the terms are small, so the order barely matters to
  // the error.
  const Double2 r2 = r * r;
  const Double2 lnOnePlusR =
      (r + r2 * (-1.0 / 2 + r * (1.0 / 3))) + (r2 * r2) * (-1.0 / 4 + r * (1.0 / 5));
  return ((exponent + gather(kLog2Table.log2OfSplit, i, j)) + lnOnePlusR * kInverseLn2) * 0.5;
}

// The floats nearest to two levels known to within a relative 2^-40, and whether some
// value that close rounds to another float. Rounding is monotonic, so it suffices to
// compare how the two ends of the interval round. The doubt covers the approximation
// above and levelOfArea's own roundings (its logarithm, the division and ln 2 itself,
// a few units in the 53rd bit) many times over.
struct RoundedLevels {
  Float2 nearest;
  Float2 doubtful;  // non-zero where the rounding is not certain
};

RoundedLevels rounded(Double2 level) {
  constexpr double kDoubt = 0x1p-40;
  const Float2 low = __builtin_convertvector(level - level * kDoubt, Float2);
  const Float2 high = __builtin_convertvector(level + level * kDoubt, Float2);
  return {low, high - low};
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

Float4 positiveLevels(Float4 areas) {
  const Int4 above = areas > 1.0f;
  if (!anyLane(above)) return areas == areas ? Float4{} : areas;
  // Every lane is worked out; those whose area is not above 1 are replaced below.
  const Int4 bits = std::bit_cast<Int4>(areas);
  const Int4 exponent = (bits >> 23) - 127;
  const Int4 split = (bits >> (23 - kTableBits)) & (kTableSize - 1);
  const Float4 m = std::bit_cast<Float4>((bits & 0x7fffff) | 0x3f800000);  // area / 2^exponent
  const RoundedLevels low =
      rounded(approximateHalfLog2(lowHalf(exponent), lowHalf(m), split[0], split[1]));
  const RoundedLevels high =
      rounded(approximateHalfLog2(highHalf(exponent), highHalf(m), split[2], split[3]));
  Float4 levels{low.nearest[0], low.nearest[1], high.nearest[0], high.nearest[1]};
  const Float4 doubtful{low.doubtful[0], low.doubtful[1], high.doubtful[0], high.doubtful[1]};
  const Int4 certain = above & (doubtful == 0.0f) & (areas <= FLT_MAX);
  if (allLanes(certain)) return levels;
  for (int lane = 0; lane < 4; ++lane) {
    if (!above[lane]) {
      levels[lane] = std::isnan(areas[lane]) ? areas[lane] : 0.0f;
    } else if (doubtful[lane] != 0.0f || areas[lane] > FLT_MAX) {
      levels[lane] = levelOfArea(areas[lane]);
    }
  }
  return levels;
}
