#pragma once

#include "math/float4.h"
#include "math/vec4.h"
#include "raster/texture_levels.h"

// The samplers of the fast fragment path, four samples at a time where they can be.
// Each gives exactly the sample of its plain counterpart (raster/texture_sampler.h):
// red, green and blue in lanes 0 to 2 of a Float4; lane 3 carries nothing.

// The level the sampler takes for four level numbers: past the last level, one level
// finer than the last (with no levels, level -1, which samples as level 0).
inline Float4 usableLevels(const TextureLevels& levels, Float4 level) {
  return level > float(levels.count) ? splat(float(levels.count - 1)) : level;
}

// sampleTexture at four points (s, t) for four usable levels, lane i of each for sample
// i, of which the first `count` are wanted.
void sampleQuad(const TextureLevels& levels, Float4 level, Float4 s, Float4 t, int count,
                Float4 samples[4]);
