#include "raster/fast_level.h"

#include <bit>
#include <cfloat>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "raster/fragment.h"

namespace {

const double kInverseLn2 = 1.0 / std::log(2.0);

// The halves of a four-lane vector as two-lane doubles, each conversion exact, and two
// pairs of doubles rounded to floats side by side. On x86-64 each is one or two
// instructions, which GCC does not find from the generic form: it converts the upper
// halves lane by lane and joins the pairs through needless moves.
#if defined(__SSE2__)
Double2 lowHalf(Float4 v) {
  return std::bit_cast<Double2>(_mm_cvtps_pd(std::bit_cast<__m128>(v)));
}
Double2 highHalf(Float4 v) {
  const __m128 w = std::bit_cast<__m128>(v);
  return std::bit_cast<Double2>(_mm_cvtps_pd(_mm_movehl_ps(w, w)));
}
Double2 lowHalf(Int4 v) {
  return std::bit_cast<Double2>(_mm_cvtepi32_pd(std::bit_cast<__m128i>(v)));
}
Double2 highHalf(Int4 v) {
  const __m128i high = _mm_shuffle_epi32(std::bit_cast<__m128i>(v), _MM_SHUFFLE(3, 2, 3, 2));
  return std::bit_cast<Double2>(_mm_cvtepi32_pd(high));
}
Float4 roundedSideBySide(Double2 low, Double2 high) {
  return std::bit_cast<Float4>(_mm_movelh_ps(_mm_cvtpd_ps(std::bit_cast<__m128d>(low)),
                                             _mm_cvtpd_ps(std::bit_cast<__m128d>(high))));
}
#else
Double2 lowHalf(Float4 v) {
  return __builtin_convertvector(__builtin_shufflevector(v, v, 0, 1), Double2);
}
Double2 highHalf(Float4 v) {
  return __builtin_convertvector(__builtin_shufflevector(v, v, 2, 3), Double2);
}
Double2 lowHalf(Int4 v) {
  return __builtin_convertvector(__builtin_shufflevector(v, v, 0, 1), Double2);
}
Double2 highHalf(Int4 v) {
  return __builtin_convertvector(__builtin_shufflevector(v, v, 2, 3), Double2);
}
Float4 roundedSideBySide(Double2 low, Double2 high) {
  return __builtin_shufflevector(__builtin_convertvector(low, Float2),
                                 __builtin_convertvector(high, Float2), 0, 1, 2, 3);
}
#endif

// ((a d) n - (b c) n) in double, without its sign, for two lanes.
Double2 absoluteDeterminant(Double2 a, Double2 b, Double2 c, Double2 d, double n) {
  typedef long long Bits2 __attribute__((vector_size(16)));
  const Double2 difference = (a * d) * n - (b * c) * n;
  return std::bit_cast<Double2>(std::bit_cast<Bits2>(difference) & 0x7fffffffffffffff);
}

// The logarithm below splits a float m in [1, 2) at c = 1 + i/256, where i is the top
// eight bits of m's fraction: log2 m = log2 c + ln(1 + r) / ln 2 with r = (m - c) / c,
// so that 0 <= r < 1/256 and five terms of the series give ln(1 + r). c is m with the
// rest of its fraction cleared, so m - c is exact.
constexpr int kTableBits = 8;
constexpr int kTableSize = 1 << kTableBits;

// log2 c and 1 / c side by side, for one load each.
struct Log2Table {
  Double2 entry[kTableSize];
  Log2Table() {
    for (int i = 0; i < kTableSize; ++i) {
      const double split = 1.0 + double(i) / kTableSize;
      entry[i] = Double2{std::log2(split), 1.0 / split};
    }
  }
};
const Log2Table kLog2Table;

// log2(area) / 2 for two finite float areas above 1, from their exponents, m - c and
// the table indices i, j of their splits. Every term is positive, so the relative
// errors add up without cancelling: the series stops after r^5 (what is left is below
// r^6 / 6, under 2^-42 of the sum), and each of the few roundings of the table and of
// the arithmetic costs about 2^-53.
Double2 approximateHalfLog2(Double2 exponent, Double2 offset, unsigned i, unsigned j) {
  const Double2 a = kLog2Table.entry[i];
  const Double2 b = kLog2Table.entry[j];
  const Double2 log2Split = __builtin_shufflevector(a, b, 0, 2);
  const Double2 inverseSplit = __builtin_shufflevector(a, b, 1, 3);
  const Double2 r = offset * inverseSplit;
  // r - r^2/2 + r^3/3 - r^4/4 + r^5/5, in an order with a short chain of dependent
  // operations (Estrin's scheme): the terms are small, so the order barely matters to
  // the error.
  const Double2 r2 = r * r;
  const Double2 lnOnePlusR =
      (r + r2 * (-1.0 / 2 + r * (1.0 / 3))) + (r2 * r2) * (-1.0 / 4 + r * (1.0 / 5));
  return ((exponent + log2Split) + lnOnePlusR * kInverseLn2) * 0.5;
}

// The floats nearest to four levels known to within a relative 2^-40, and whether they
// are certainly levelOfArea's. The float nearest to an approximation y is the float
// nearest to the level unless y lies within the doubt of a point halfway between two
// floats: rounding a double to float drops the low 29 bits of its fraction and rounds
// up where they exceed 2^28, and y 2^-40 is less than 2^13 units of those bits. So y
// is certain where its dropped bits differ from 2^28 by more than 2^13. The doubt
// covers the approximation above and levelOfArea's own roundings (its logarithm, the
// division and ln 2 itself, a few units in the 53rd bit) many times over.
struct Rounded {
  Float4 levels;
  Int4 certain;
};

Rounded rounded(Double2 low, Double2 high) {
  const UInt4 lowWords =
      __builtin_shufflevector(std::bit_cast<UInt4>(low), std::bit_cast<UInt4>(high), 0, 2, 4, 6);
  // 0 to 2^14 where the dropped bits lie within 2^13 of 2^28; above that elsewhere.
  const UInt4 fromDoubt = (lowWords & 0x1fffffff) - (0x10000000 - 0x2000);
  return {roundedSideBySide(low, high), std::bit_cast<Int4>(fromDoubt > 0x4000)};
}

}  // namespace

Float4 footprintAreas(Float4 a, Float4 b, Float4 c, Float4 d, float texelCount) {
  const Double2 low =
      absoluteDeterminant(lowHalf(a), lowHalf(b), lowHalf(c), lowHalf(d), texelCount);
  const Double2 high =
      absoluteDeterminant(highHalf(a), highHalf(b), highHalf(c), highHalf(d), texelCount);
  return roundedSideBySide(low, high);
}

Float4 levelsAtLeastZero(Float4 areas) {
  const Int4 above = areas > 1.0f;
  if (!anyLane(above)) return areas == areas ? Float4{} : areas;
  // Every lane is worked out; those whose area is not above 1 are replaced below.
  const Int4 bits = std::bit_cast<Int4>(areas);
  const Int4 exponent = (bits >> 23) - 127;
  const UInt4 index = std::bit_cast<UInt4>(bits >> (23 - kTableBits)) & (kTableSize - 1);
  const Float4 m = std::bit_cast<Float4>((bits & 0x7fffff) | 0x3f800000);  // area / 2^exponent
  const Float4 split = std::bit_cast<Float4>((bits & 0x7f8000) | 0x3f800000);
  const Float4 offset = m - split;  // exact: the bits of m below the split's
  const Rounded level =
      rounded(approximateHalfLog2(lowHalf(exponent), lowHalf(offset), index[0], index[1]),
              approximateHalfLog2(highHalf(exponent), highHalf(offset), index[2], index[3]));
  Float4 levels = level.levels;
  const Int4 certain = above & level.certain & (areas <= FLT_MAX);
  if (allLanes(certain)) return levels;
  for (int lane = 0; lane < 4; ++lane) {
    if (!above[lane]) {
      levels[lane] = std::isnan(areas[lane]) ? areas[lane] : 0.0f;
    } else if (!certain[lane]) {
      levels[lane] = levelOfArea(areas[lane]);
    }
  }
  return levels;
}
