#include "raster/texture_sampler.h"

#include <cmath>

#include "math/rounding.h"

namespace {

// Samples carry no alpha of their own: textures are RGB.
Color texelAt(const TextureLevel& level, int x, int y) {
  const float* texel = level.texels + (std::size_t(y) * level.width + x) * 3;
  return {texel[0], texel[1], texel[2], 1.0f};
}

// NaN becomes 0, like anything below 0.
float clampToUnit(float v) {
  return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

// Floor and ceiling of a finite u >= 0, and u's distance from the floor (exact: u and
// its floor are less than one apart).
struct Bracket {
  int below;
  int above;
  float fraction;
};

Bracket bracket(float u) {
  const int below = static_cast<int>(u);
  const float fraction = u - float(below);
  return {below, below + (fraction > 0.0f ? 1 : 0), fraction};
}

Color scaledSum(Color c00, Color c01, Color c10, Color c11, float fx, float fy) {
  const float w00 = static_cast<float>((1.0 - fx) * (1.0 - fy));
  const float w01 = static_cast<float>(fy * (1.0 - fx));
  const float w10 = static_cast<float>(fx * (1.0 - fy));
  const float w11 = fx * fy;
  Color sum = w00 * c00;
  sum = sum + w01 * c01;
  sum = sum + w10 * c10;
  sum = sum + w11 * c11;
  sum.w = 1.0f;
  return sum;
}

Color bilinear(const TextureLevel& level, float s, float t) {
  const Bracket bx = bracket(level.lastColumn * clampToUnit(s));
  const Bracket by = bracket(level.lastRow * clampToUnit(t));
  return scaledSum(texelAt(level, bx.below, by.below), texelAt(level, bx.below, by.above),
                   texelAt(level, bx.above, by.below), texelAt(level, bx.above, by.above),
                   bx.fraction, by.fraction);
}

}  // namespace

Color sampleNearest(const TextureLevels& levels, float s, float t) {
  const TextureLevel& level = levels.level[0];
  int x = roundToInt(level.lastColumn * s);
  int y = roundToInt(level.lastRow * t);
  if (x < 0 || x >= level.width) x = 0;
  if (y < 0 || y >= level.height) y = 0;
  return texelAt(level, x, y);
}

Color sampleBilinear(const TextureLevels& levels, float k, float s, float t) {
  return bilinear(levels.level[static_cast<int>(k)], s, t);
}

Color sampleTexture(const TextureLevels& levels, float level, float s, float t) {
  if (std::isnan(level)) return {0, 0, 0, 1};
  // Past the last level, one level finer than the last; with no levels, level 0.
  if (level > float(levels.count)) level = float(levels.count - 1);
  if (level <= 0.0f) return sampleNearest(levels, s, t);
  const int below = static_cast<int>(level);
  const float f = level - float(below);
  const Color a = bilinear(levels.level[below], s, t);
  if (f == 0.0f) return a;
  const Color b = bilinear(levels.level[below + 1], s, t);
  if (a == b) return a;
  return (1.0f - f) * a + f * b;
}
