#include "raster/texture_sampler.h"

namespace {

// A bilinear sample of a level at u = (width - 1) s and v = (height - 1) t, s and t
// clamped to [0, 1]: the four texels around (u, v) weighed as ((c00 w00 + c01 w01) +
// c10 w10) + c11 w11, every product and sum rounded to float, all channels at once.
// With fx, fy the distances of u and v from the texels below (exact: a float and its
// floor are less than one apart), each weight, such as (1 - fx)(1 - fy), is formed in
// double and rounded to float once; w11 = fx fy is a float product, which the same
// rounding gives.
//
// Where a sample falls is worked out for two levels at once: lanes 0 and 1 of `uv`
// hold one level's u and v, lanes 2 and 3 another's.
struct TexelSpot {
  Int4 below;
  Int4 above;
  Float4 fraction;
};

TexelSpot spotOf(Float4 uv) {
  const Int4 below = __builtin_convertvector(uv, Int4);  // truncation: u, v >= 0
  const Float4 fraction = uv - __builtin_convertvector(below, Float4);
  return {below, below - (fraction > Float4{}), fraction};  // a true comparison is -1
}

Float4 weighed(const TextureLevel& level, const TexelSpot& spot, int lane) {
  const Double2 f{spot.fraction[lane], spot.fraction[lane + 1]};  // fx, fy
  const Double2 g = 1.0 - f;                                      // 1 - fx, 1 - fy
  const Double2 wy = __builtin_shufflevector(g, f, 1, 3);         // 1 - fy, fy
  const Float4 w = productsRounded(__builtin_shufflevector(g, g, 0, 0), wy,
                                   __builtin_shufflevector(f, f, 0, 0), wy);
  const float* lowerRow = level.rgb + std::size_t(spot.below[lane + 1]) * level.rowFloats;
  const float* upperRow = level.rgb + std::size_t(spot.above[lane + 1]) * level.rowFloats;
  const int left = 3 * spot.below[lane];
  const int right = 3 * spot.above[lane];
  Float4 sum = w[0] * loadFloat4(lowerRow + left);
  sum = sum + w[1] * loadFloat4(upperRow + left);
  sum = sum + w[2] * loadFloat4(lowerRow + right);
  sum = sum + w[3] * loadFloat4(upperRow + right);
  return sum;
}

Float4 bilinear(const TextureLevel& level, float s, float t) {
  const Float4 uv = Float4{level.lastColumn, level.lastRow} * clampToUnit(Float4{s, t});
  return weighed(level, spotOf(uv), 0);
}

}  // namespace

Color sampleBilinear(const TextureLevels& levels, float k, float s, float t) {
  return opaqueColor(bilinear(levels.level[static_cast<int>(k)], s, t));
}

Float4 trilinearSample(const TextureLevels& levels, float level, float s, float t) {
  const int below = static_cast<int>(level);
  const float f = level - float(below);
  const TextureLevel& finer = levels.level[below];
  if (f == 0.0f)
    return weighed(finer, spotOf(Float4{finer.lastColumn, finer.lastRow} * Float4{s, t}), 0);
  const TextureLevel& coarser = levels.level[below + 1];
  const Float4 scale{finer.lastColumn, finer.lastRow, coarser.lastColumn, coarser.lastRow};
  const TexelSpot spot = spotOf(scale * Float4{s, t, s, t});
  const Float4 a = weighed(finer, spot, 0);
  const Float4 b = weighed(coarser, spot, 2);
  // Chosen without a branch: whether the two samples are equal follows the texture's
  // pattern from pixel to pixel, which no branch predictor follows.
  return sameRgb(a, b) ? a : (1.0f - f) * a + f * b;
}
