#pragma once

#include "math/float4.h"
#include "math/vec4.h"
#include "scene/texture.h"

// The samplers of the fast fragment path, four samples at a time where they can be.
// Each gives exactly the sample of its plain counterpart (raster/texture_sampler.h):
// red, green and blue in lanes 0 to 2 of a Float4; lane 3 carries nothing.

// sampleNearest, rows and columns at once: the scaled coordinate plus 0.5, formed in
// double, is truncated to a texel number when it lies in [0, size), and taken as 0
// otherwise. That is roundToInt and the fall-back in one: a sum in (-1, 0) truncates to
// 0 as well, and whatever roundToInt would saturate, or a coordinate that is not a
// number, lies outside.
inline Float4 nearestTexel(const TextureLevels& levels, float s, float t) {
  const TextureLevel& level = levels.level[0];
  const Float4 scaled = Float4{level.lastColumn, level.lastRow} * Float4{s, t};
  const Double2 sum = Double2{scaled[0], scaled[1]} + 0.5;
  const Double2 size{double(level.width), double(level.height)};
  const Double2 inside = (sum >= 0.0 && sum < size) ? sum : Double2{};
  return loadFloat4(level.rgb + 3 * (int(inside[1]) * level.width + int(inside[0])));
}

// The level the sampler takes for four level numbers: past the last level, one level
// finer than the last (with no levels, level -1, which samples as level 0).
inline Float4 usableLevels(const TextureLevels& levels, Float4 level) {
  return level > float(levels.count) ? splat(float(levels.count - 1)) : level;
}

// sampleTexture at four points (s, t) for four usable levels, lane i of each for sample
// i, of which the first `count` are wanted.
void sampleQuad(const TextureLevels& levels, Float4 level, Float4 s, Float4 t, int count,
                Float4 samples[4]);
