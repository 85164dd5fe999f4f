#pragma once

#include <cstring>

#include "math/vec4.h"

// Small vectors worked on lane by lane. The compiler's vector extension turns each
// operator into one SSE instruction on x86-64 and into scalar operations where there
// is no vector unit; either way every lane does exactly the IEEE operation written,
// rounded as the scalar code rounds it, so results are the same to the bit. Used where
// one operation applies to several values at once: a texel's red, green, blue and
// alpha, or the values a span carries.
typedef float Float4 __attribute__((vector_size(16)));
typedef float Float2 __attribute__((vector_size(8)));
typedef double Double2 __attribute__((vector_size(16)));
typedef int Int4 __attribute__((vector_size(16)));

inline Float4 splat(float v) {
  return Float4{v, v, v, v};
}

// Four floats from memory that need not be aligned to 16 bytes.
inline Float4 loadFloat4(const float* p) {
  Float4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline Float4 toFloat4(Color c) {
  return Float4{c.x, c.y, c.z, c.w};
}

inline Color toColor(Float4 v) {
  return {v[0], v[1], v[2], v[3]};
}

// Red, green and blue equal, as a mask of all lanes; the fourth lane is not compared.
inline Int4 sameRgb(Float4 a, Float4 b) {
  const Int4 equal = a == b;
  return Int4{} + (equal[0] & equal[1] & equal[2]);
}

// Each lane clamped to [0, 1]; a lane that is not a number becomes 0.
inline Float4 clampToUnit(Float4 v) {
  const Float4 zero{};
  const Float4 one = zero + 1.0f;
  v = v > zero ? v : zero;
  return v < one ? v : one;
}

// The four products a01[0] b01[0], a01[1] b01[1], a23[0] b23[0], a23[1] b23[1], each
// formed in double and rounded to float once.
inline Float4 productsRounded(Double2 a01, Double2 b01, Double2 a23, Double2 b23) {
  const Float2 low = __builtin_convertvector(a01 * b01, Float2);
  const Float2 high = __builtin_convertvector(a23 * b23, Float2);
  return Float4{low[0], low[1], high[0], high[1]};
}
