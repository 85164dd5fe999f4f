#include "raster/texture_sampler.h"

#include <cmath>

namespace {

// A bilinear sample of one level at (s, t), already clamped to [0, 1], in lanes 0 and 1
// of `st`. With u = (width - 1) s and v = (height - 1) t, and fx, fy their distances
// from the texels below (exact: u and its floor are less than one apart), the four
// texels are weighed as ((c00 w00 + c01 w01) + c10 w10) + c11 w11, every product and
// sum rounded to float, all channels at once. Each weight, such as (1 - fx)(1 - fy), is
// formed in double and rounded to float once; w11 = fx fy is a float product, which
// the same rounding gives.
Float4 bilinear(const TextureLevel& level, Float4 st) {
  const Float4 uv = Float4{level.lastColumn, level.lastRow} * st;
  const Int4 below = __builtin_convertvector(uv, Int4);
  const Float4 fraction = uv - __builtin_convertvector(below, Float4);
  const Int4 above = below - (fraction > Float4{});  // a true comparison is -1
  const double fx = fraction[0];
  const double fy = fraction[1];
  const Double2 wy{1.0 - fy, fy};
  const Float4 w = productsRounded(Double2{1.0 - fx, 1.0 - fx}, wy, Double2{fx, fx}, wy);
  const float* lowerRow = level.rgb + std::size_t(below[1]) * level.width * 3;
  const float* upperRow = level.rgb + std::size_t(above[1]) * level.width * 3;
  Float4 sum = w[0] * loadFloat4(lowerRow + 3 * below[0]);
  sum = sum + w[1] * loadFloat4(upperRow + 3 * below[0]);
  sum = sum + w[2] * loadFloat4(lowerRow + 3 * above[0]);
  sum = sum + w[3] * loadFloat4(upperRow + 3 * above[0]);
  return sum;
}

Float4 clampedCoordinates(float s, float t) {
  return clampToUnit(Float4{s, t});
}

}  // namespace

Color sampleBilinear(const TextureLevels& levels, float k, float s, float t) {
  return opaqueColor(bilinear(levels.level[static_cast<int>(k)], clampedCoordinates(s, t)));
}

Float4 trilinearSample(const TextureLevels& levels, int below, float f, float s, float t) {
  const Float4 st = clampedCoordinates(s, t);
  const Float4 a = bilinear(levels.level[below], st);
  if (f == 0.0f) return a;
  const Float4 b = bilinear(levels.level[below + 1], st);
  if (sameRgb(a, b)) return a;
  return (1.0f - f) * a + f * b;
}
