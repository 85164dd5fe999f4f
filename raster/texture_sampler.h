#pragma once

#include "math/vec4.h"
#include "raster/texture_levels.h"

// The texture samplers, one sample at a time. Samples are opaque: their alpha is 1,
// since the fragment stage shows only red, green and blue. A texel of one or two
// components is a grey level, red, green and blue alike; a second or fourth component
// is alpha, which no sample shows.

// A texel of a level: its column, its row and its colour.
struct LevelTexel {
  int x = 0;
  int y = 0;
  Color color;
};
using NearestTexel = LevelTexel;

// The four texels of a bilinear sample and their weights, in the order they are summed:
// the lower left, the upper left, the lower right and the upper right.
struct BilinearTexels {
  LevelTexel texels[4];
  float weights[4] = {0, 0, 0, 0};
};

// The texel sampleNearest takes, and those of sampleBilinear with their weights: each
// sampler is their sum, so that a pixel's history shows what the sample was made of.
NearestTexel nearestTexel(const TextureLevels& levels, float s, float t);
BilinearTexels bilinearTexels(const TextureLevels& levels, int k, float s, float t);

// The nearest texel of level 0: column roundToInt((width - 1) s), row
// roundToInt((height - 1) t). Coordinates outside [0, 1] fall back to column 0 or row 0:
// no clamping to the nearest edge and no repetition. That keeps every read inside the
// level at no cost, and it is part of the pipeline's exact picture; OpenGL clamps to
// the edge instead, which the demo scene never shows, its coordinates lying in [0, 1].
Color sampleNearest(const TextureLevels& levels, float s, float t);

// The bilinear sample of level k (0 to count) at s and t clamped to [0, 1]: the four
// texels around u = (width - 1) s, v = (height - 1) t, weighed by how near each is.
Color sampleBilinear(const TextureLevels& levels, int k, float s, float t);

// A texture coordinate as the texture's wrap mode takes it, before either sampler sees
// it: as it is for TextureWrap::Clamp, whose samplers keep their own rules; clamped to
// [0, 1] for ClampToEdge; its fraction v - floor(v) for Repeat; and for MirroredRepeat
// the fraction of v / 2 doubled, folded back above 1. Each is formed in double and
// rounded to float once, so a coordinate just below a whole number may wrap to 1, the
// last column or row. One that is not a number stays so.
float wrapCoordinate(float v, TextureWrap wrap);

// The colour at (s, t) for a fractional level number, s and t wrapped as the texture
// says: the nearest texel of level 0 at
// level 0 and below; above it, the bilinear samples of the two whole levels around the
// level number, blended by its fraction. Past the last level, it samples one level
// finer than the last: the last level is a single texel, and a footprint wider than
// the whole texture would otherwise turn into one flat colour. A level that is not a
// number gives black.
Color sampleTexture(const TextureLevels& levels, float level, float s, float t);

// The level number sampleTexture samples at for `level`: 0 where it takes the nearest
// texel, one level finer than the last past the last.
float sampledLevel(const TextureLevels& levels, float level);
