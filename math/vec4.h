#pragma once

#include "math/exact_arithmetic.h"

// A homogeneous point, or a colour read as red, green, blue, alpha. A default Vec4 is
// the point at the origin, (0, 0, 0, 1). Colours are never clamped here.
struct Vec4 {
  float x = 0;
  float y = 0;
  float z = 0;
  float w = 1;

  void set(float nx, float ny, float nz, float nw) {
    x = nx;
    y = ny;
    z = nz;
    w = nw;
  }

  // Component k: x, y, z and w for 0 to 3 (red, green, blue and alpha).
  float operator[](int k) const { return k == 0 ? x : (k == 1 ? y : (k == 2 ? z : w)); }

  // Hue, saturation, value and alpha in [0, 1]; a hue of 1 is the same as 0.
  static Vec4 fromHSV(float h, float s, float v, float a);
};

using Color = Vec4;

inline Vec4 operator+(Vec4 a, Vec4 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
inline Vec4 operator*(float s, Vec4 a) {
  return {s * a.x, s * a.y, s * a.z, s * a.w};
}
inline bool operator==(Vec4 a, Vec4 b) {
  return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}
