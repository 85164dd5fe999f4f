#include "raster/texture_sampler.h"

#include <cmath>

#include "math/rounding.h"

namespace {

// Texel (x, y) of a level as an opaque colour.
Color texelColor(const TextureLevel& level, int components, int x, int y) {
  const float* texel = level.texels + (std::size_t(y) * level.width + x) * components;
  if (components < 3) return {texel[0], texel[0], texel[0], 1};
  return {texel[0], texel[1], texel[2], 1};
}

// A texel number along a side of `size` texels, or 0 outside the texture.
int nearestIndex(float scaled, int size) {
  const int i = roundToInt(scaled);
  return (i < 0 || i >= size) ? 0 : i;
}

// [0, 1]; a coordinate that is not a number becomes 0.
float clampToUnit(float v) {
  return v > 0 ? (v < 1 ? v : 1) : 0;
}

}  // namespace

NearestTexel nearestTexel(const TextureLevels& levels, float s, float t) {
  const TextureLevel& level = levels.level[0];
  const int x = nearestIndex(level.lastColumn * s, level.width);
  const int y = nearestIndex(level.lastRow * t, level.height);
  return {x, y, texelColor(level, levels.texture->components, x, y)};
}

Color sampleNearest(const TextureLevels& levels, float s, float t) {
  return nearestTexel(levels, s, t).color;
}

BilinearTexels bilinearTexels(const TextureLevels& levels, int k, float s, float t) {
  const TextureLevel& level = levels.level[k];
  const int components = levels.texture->components;
  const float u = level.lastColumn * clampToUnit(s);
  const float v = level.lastRow * clampToUnit(t);
  const int left = int(std::floor(u));
  const int right = int(std::ceil(u));
  const int lower = int(std::floor(v));
  const int upper = int(std::ceil(v));
  const double fx = u - std::floor(u);
  const double fy = v - std::floor(v);
  // Each weight is formed in double and rounded to float once.
  BilinearTexels b;
  b.texels[0] = {left, lower, texelColor(level, components, left, lower)};
  b.texels[1] = {left, upper, texelColor(level, components, left, upper)};
  b.texels[2] = {right, lower, texelColor(level, components, right, lower)};
  b.texels[3] = {right, upper, texelColor(level, components, right, upper)};
  b.weights[0] = float((1 - fx) * (1 - fy));
  b.weights[1] = float(fy * (1 - fx));
  b.weights[2] = float(fx * (1 - fy));
  b.weights[3] = float(fx * fy);
  return b;
}

Color sampleBilinear(const TextureLevels& levels, int k, float s, float t) {
  const BilinearTexels b = bilinearTexels(levels, k, s, t);
  // Each product with a texel and each sum is rounded to float.
  Color sum = b.weights[0] * b.texels[0].color;
  for (int i = 1; i < 4; ++i)
    sum = sum + b.weights[i] * b.texels[i].color;
  sum.w = 1;
  return sum;
}

float sampledLevel(const TextureLevels& levels, float level) {
  if (level > float(levels.count)) level = float(levels.count - 1);
  return level <= 0 ? 0 : level;
}

float wrapCoordinate(float v, TextureWrap wrap) {
  const double d = v;
  switch (wrap) {
    case TextureWrap::Clamp:
      return v;
    case TextureWrap::ClampToEdge:
      return clampToUnit(v);
    case TextureWrap::Repeat:
      return float(d - std::floor(d));
    case TextureWrap::MirroredRepeat: {
      const double m = d - 2 * std::floor(d / 2);
      return float(m > 1 ? 2 - m : m);
    }
  }
  return v;
}

Color sampleTexture(const TextureLevels& levels, float level, float s, float t) {
  if (std::isnan(level)) return {0, 0, 0, 1};
  s = wrapCoordinate(s, levels.texture->wrapS);
  t = wrapCoordinate(t, levels.texture->wrapT);
  level = sampledLevel(levels, level);
  if (level == 0) return sampleNearest(levels, s, t);
  const float below = std::floor(level);
  const Color finer = sampleBilinear(levels, int(below), s, t);
  const Color coarser = sampleBilinear(levels, int(std::ceil(level)), s, t);
  if (finer == coarser) return finer;
  const float f = level - below;
  return (1 - f) * finer + f * coarser;
}
