#pragma once

#include "math/float4.h"
#include "math/vec4.h"
#include "scene/texture.h"

// The samplers return red, green and blue in lanes 0 to 2 of a Float4; lane 3 carries
// nothing. As Colors, samples carry alpha 1: the fragment stage shows red, green and
// blue only.

// Nearest texel of level 0: column roundToInt((width - 1) s), row roundToInt((height -
// 1) t). Coordinates outside [0, 1] fall back to column 0 or row 0: no clamping to the
// nearest edge and no repetition. That keeps every read inside the level at no cost,
// and it is part of the pipeline's exact picture; OpenGL clamps to the edge instead,
// which the demo scene never shows, its coordinates lying in [0, 1].
//
// Rows and columns at once: the scaled coordinate plus 0.5, formed in double, is
// truncated to a texel number when it lies in [0, size), and taken as 0 otherwise. That
// is roundToInt and the fall-back in one: a sum in (-1, 0) truncates to 0 as well, and
// whatever roundToInt would saturate, or a coordinate that is not a number, lies
// outside.
inline Float4 nearestTexel(const TextureLevels& levels, float s, float t) {
  const TextureLevel& level = levels.level[0];
  const Float4 scaled = Float4{level.lastColumn, level.lastRow} * Float4{s, t};
  const Double2 sum = Double2{scaled[0], scaled[1]} + 0.5;
  const Double2 size{double(level.width), double(level.height)};
  const Double2 inside = (sum >= 0.0 && sum < size) ? sum : Double2{};
  return loadFloat4(level.rgb + 3 * (int(inside[1]) * level.width + int(inside[0])));
}

// The level the sampler takes for a level number: past the last level, one level finer
// than the last; with no levels, level 0. Four level numbers at once. The finer level
// keeps a footprint wider than the whole texture from turning into one flat colour
// (the last level is a single texel), and it is part of the pipeline's exact picture.
inline Float4 usableLevels(const TextureLevels& levels, Float4 level) {
  return level > float(levels.count) ? splat(float(levels.count - 1)) : level;
}

// The texture's colours at four points (s, t) for four usable levels, lane i of each
// for sample i, of which the first `count` are wanted: the nearest texel of the
// full-size texture at level 0 and below; above it, bilinear samples of the two
// enclosing levels blended by the level's fraction (the finer one alone at a whole
// level, or where the two are equal). A level that is not a number gives black.
void sampleQuad(const TextureLevels& levels, Float4 level, Float4 s, Float4 t, int count,
                Float4 samples[4]);

// The colour of a texture at (s, t) for a fractional level number, as sampleQuad takes
// it.
inline Float4 textureSample(const TextureLevels& levels, float level, float s, float t) {
  Float4 samples[4];
  sampleQuad(levels, usableLevels(levels, splat(level)), splat(s), splat(t), 1, samples);
  return samples[0];
}

inline Color opaqueColor(Float4 sample) {
  return {sample[0], sample[1], sample[2], 1.0f};
}

inline Color sampleNearest(const TextureLevels& levels, float s, float t) {
  return opaqueColor(nearestTexel(levels, s, t));
}

inline Color sampleTexture(const TextureLevels& levels, float level, float s, float t) {
  return opaqueColor(textureSample(levels, level, s, t));
}

// Bilinear sample of level k (a whole number from 0 to count), with s and t clamped to
// [0, 1].
Color sampleBilinear(const TextureLevels& levels, float k, float s, float t);
