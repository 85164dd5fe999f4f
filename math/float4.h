#pragma once

#include <bit>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

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
typedef unsigned UInt4 __attribute__((vector_size(16)));

inline Float4 splat(float v) {
  return Float4{v, v, v, v};
}

// Four floats from memory that need not be aligned to 16 bytes.
inline Float4 loadFloat4(const float* p) {
  Float4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The lanes of a mask (each lane all bits set or none) as four bits, lane i in bit i.
inline int laneBits(Int4 mask) {
#if defined(__SSE__)
  return _mm_movemask_ps(std::bit_cast<__m128>(mask));
#else
  return (mask[0] & 1) | (mask[1] & 2) | (mask[2] & 4) | (mask[3] & 8);
#endif
}

inline bool allLanes(Int4 mask) {
  return laneBits(mask) == 0xf;
}

inline bool anyLane(Int4 mask) {
  return laneBits(mask) != 0;
}

// Red, green and blue equal; the fourth lane is not compared.
inline bool sameRgb(Float4 a, Float4 b) {
  return (laneBits(a == b) & 7) == 7;
}

// Four vectors turned about: lane j of row i becomes lane i of row j.
inline void transpose(Float4 rows[4]) {
  const Float4 low01 = __builtin_shufflevector(rows[0], rows[1], 0, 4, 1, 5);
  const Float4 low23 = __builtin_shufflevector(rows[2], rows[3], 0, 4, 1, 5);
  const Float4 high01 = __builtin_shufflevector(rows[0], rows[1], 2, 6, 3, 7);
  const Float4 high23 = __builtin_shufflevector(rows[2], rows[3], 2, 6, 3, 7);
  rows[0] = __builtin_shufflevector(low01, low23, 0, 1, 4, 5);
  rows[1] = __builtin_shufflevector(low01, low23, 2, 3, 6, 7);
  rows[2] = __builtin_shufflevector(high01, high23, 0, 1, 4, 5);
  rows[3] = __builtin_shufflevector(high01, high23, 2, 3, 6, 7);
}

// Each lane without its sign.
inline Float4 abs(Float4 v) {
  return std::bit_cast<Float4>(std::bit_cast<Int4>(v) & 0x7fffffff);
}

// The larger of each pair of lanes; b where either is not a number. That is what SSE's
// maxps does, and minps for the smaller, but GCC does not find them from the generic
// select: it compares and blends in four instructions or more.
inline Float4 max(Float4 a, Float4 b) {
#if defined(__SSE__)
  return std::bit_cast<Float4>(_mm_max_ps(std::bit_cast<__m128>(a), std::bit_cast<__m128>(b)));
#else
  return a > b ? a : b;
#endif
}

// The smaller of each pair of lanes; b where either is not a number.
inline Float4 min(Float4 a, Float4 b) {
#if defined(__SSE__)
  return std::bit_cast<Float4>(_mm_min_ps(std::bit_cast<__m128>(a), std::bit_cast<__m128>(b)));
#else
  return a < b ? a : b;
#endif
}

// Each lane clamped to [0, 1]; a lane that is not a number becomes 0.
inline Float4 clampToUnit(Float4 v) {
  return min(max(v, Float4{}), splat(1.0f));
}
