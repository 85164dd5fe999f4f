#pragma once

#include <algorithm>
#include <cmath>

// Window and texel coordinates become integers by x + 0.5 truncated towards zero:
// rounding half up for x >= -0.5, towards zero below (-1.2 gives 0, -1.7 gives -1).
//
// Coordinates from geometry at or behind the eye can be huge or not a number; the
// result saturates at plus or minus a billion, so that the difference of any two
// results still fits in an int, and NaN gives 0. No conversion is ever undefined.
inline int roundToInt(float x) {
  constexpr double kLimit = 1e9;
  const double r = double(x) + 0.5;
  if (std::isnan(r)) return 0;
  return static_cast<int>(std::clamp(r, -kLimit, kLimit));
}

// x truncated towards zero and held within [low, high], not a number giving low: for
// a column, row or texel that may lie arbitrarily far off, where converting x itself
// could be undefined.
inline int heldToInt(double x, int low, int high) {
  if (!(x > low)) return low;
  return x < high ? static_cast<int>(x) : high;
}
