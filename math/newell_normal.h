#pragma once

#include <array>
#include <cstddef>

#include "math/vec3.h"

// The normal of a polygon by Newell's method, corner(k) giving the position of corner k
// of `count`: over the sides from corner k to corner k + 1 (the last back to the first),
// the sums of (y_k - y_k+1)(z_k + z_k+1) and of its turns about the axes, each in double
// in that order. It points the way the corners wind, for any polygon, concave ones and
// ones with corners in a line included.
template <typename Corner>
std::array<double, 3> newellNormal(std::size_t count, Corner corner) {
  std::array<double, 3> n{0, 0, 0};
  for (std::size_t k = 0; k < count; ++k) {
    const Vec3 a = corner(k);
    const Vec3 b = corner((k + 1) % count);
    n[0] += (double(a.y) - b.y) * (double(a.z) + b.z);
    n[1] += (double(a.z) - b.z) * (double(a.x) + b.x);
    n[2] += (double(a.x) - b.x) * (double(a.y) + b.y);
  }
  return n;
}
