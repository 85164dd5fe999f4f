#include "raster/fast_sampler.h"

#include <algorithm>

// Bilinear samples are taken four at a time, one pixel a lane: where each falls, the
// weights of its four texels and where they lie are vector arithmetic, and only the
// reading and weighing of the texels goes pixel by pixel.
//
// A bilinear sample of a level at u = (width - 1) s and v = (height - 1) t, s and t
// clamped to [0, 1], weighs the four texels around (u, v) as ((c00 w00 + c01 w01) +
// c10 w10) + c11 w11, every product and sum rounded to float, all channels at once.
// With fx, fy the distances of u and v from the texels below (exact: a float and its
// floor are less than one apart), each weight, such as (1 - fx)(1 - fy), is formed in
// double and rounded to float once; w11 = fx fy is a float product, which the same
// rounding gives.

namespace {

// Where the samples of four lanes fall on a level: the texel columns and rows either
// side, and the fractions between them.
struct Spots {
  Int4 left;
  Int4 right;
  Int4 lower;
  Int4 upper;
  Float4 fx;
  Float4 fy;
};

Spots spotsOf(Float4 u, Float4 v) {
  const Int4 left = __builtin_convertvector(u, Int4);  // truncation: u, v >= 0
  const Int4 lower = __builtin_convertvector(v, Int4);
  const Float4 fx = u - __builtin_convertvector(left, Float4);
  const Float4 fy = v - __builtin_convertvector(lower, Float4);
  // A true comparison is -1: the texel above is the one below plus one, unless the
  // sample falls on the texel below.
  return {left, left - (fx > Float4{}), lower, lower - (fy > Float4{}), fx, fy};
}

// The weights w00, w01, w10 and w11 of four lanes.
struct Weights {
  Float4 w00;
  Float4 w01;
  Float4 w10;
  Float4 w11;
};

// The products a01[0] b01[0], a01[1] b01[1], a23[0] b23[0] and a23[1] b23[1], each
// formed in double and rounded to float once.
Float4 productsRounded(Double2 a01, Double2 b01, Double2 a23, Double2 b23) {
  const Float2 low = __builtin_convertvector(a01 * b01, Float2);
  const Float2 high = __builtin_convertvector(a23 * b23, Float2);
  return Float4{low[0], low[1], high[0], high[1]};
}

Weights weightsOf(Float4 fx, Float4 fy) {
  const Double2 fx01{fx[0], fx[1]};
  const Double2 fx23{fx[2], fx[3]};
  const Double2 fy01{fy[0], fy[1]};
  const Double2 fy23{fy[2], fy[3]};
  return {productsRounded(1.0 - fx01, 1.0 - fy01, 1.0 - fx23, 1.0 - fy23),
          productsRounded(1.0 - fx01, fy01, 1.0 - fx23, fy23),
          productsRounded(fx01, 1.0 - fy01, fx23, 1.0 - fy23),
          productsRounded(fx01, fy01, fx23, fy23)};
}

// Where the four texels of each lane lie in a level's `rgb`, in floats from its start.
struct Offsets {
  Int4 o00;
  Int4 o01;
  Int4 o10;
  Int4 o11;
};

Offsets offsetsOf(const Spots& spots, Int4 rowFloats) {
  const Int4 lowerRow = spots.lower * rowFloats;
  const Int4 upperRow = spots.upper * rowFloats;
  const Int4 left = spots.left * 3;
  const Int4 right = spots.right * 3;
  return {lowerRow + left, upperRow + left, lowerRow + right, upperRow + right};
}

// The bilinear sample of lane i.
Float4 weighed(const float* rgb, const Offsets& at, const Weights& w, int i) {
  Float4 sum = w.w00[i] * loadFloat4(rgb + at.o00[i]);
  sum = sum + w.w01[i] * loadFloat4(rgb + at.o01[i]);
  sum = sum + w.w10[i] * loadFloat4(rgb + at.o10[i]);
  sum = sum + w.w11[i] * loadFloat4(rgb + at.o11[i]);
  return sum;
}

// Bilinear samples of four lanes, each at its own level.
struct LevelSamples {
  const TextureLevel* level[4];
  Offsets at;
  Weights weights;

  Float4 operator()(int i) const { return weighed(level[i]->rgb, at, weights, i); }
};

LevelSamples samplesAt(const TextureLevel* const level[4], Float4 u, Float4 v) {
  const Spots spots = spotsOf(u, v);
  const Int4 rowFloats{level[0]->rowFloats, level[1]->rowFloats, level[2]->rowFloats,
                       level[3]->rowFloats};
  return {{level[0], level[1], level[2], level[3]},
          offsetsOf(spots, rowFloats),
          weightsOf(spots.fx, spots.fy)};
}

// Lanes where the level is above 0: bilinear samples of the finer and the coarser
// level enclosing it, blended (1 - f) x the finer + f x the coarser, f being the
// level's fraction. At a whole level, or where the two samples are equal, the finer
// sample alone.
void trilinearSamples(const TextureLevels& levels, Float4 level, Int4 trilinear, Float4 s, Float4 t,
                      int count, Float4 samples[4]) {
  const Int4 below = __builtin_convertvector(trilinear ? level : Float4{}, Int4);
  const Float4 f = level - __builtin_convertvector(below, Float4);
  const TextureLevel* finer[4];
  const TextureLevel* coarser[4];
  Float4 scale[4];
  for (int i = 0; i < 4; ++i) {
    finer[i] = &levels.level[below[i]];
    coarser[i] = &levels.level[std::min(below[i] + 1, levels.count)];
    scale[i] = finer[i]->pairScale;
  }
  transpose(scale);  // the finer levels' last columns and rows, then the coarser ones'
  const Float4 clampedS = clampToUnit(s);
  const Float4 clampedT = clampToUnit(t);
  const LevelSamples a = samplesAt(finer, scale[0] * clampedS, scale[1] * clampedT);
  const LevelSamples b = samplesAt(coarser, scale[2] * clampedS, scale[3] * clampedT);
  for (int i = 0; i < count; ++i) {
    if (!trilinear[i]) continue;
    const Float4 finerSample = a(i);
    if (f[i] == 0.0f) {
      samples[i] = finerSample;
      continue;
    }
    const Float4 coarserSample = b(i);
    // Chosen without a branch: whether the two samples are equal follows the texture's
    // pattern from pixel to pixel, which no branch predictor follows.
    samples[i] = sameRgb(finerSample, coarserSample)
                     ? finerSample
                     : (1.0f - f[i]) * finerSample + f[i] * coarserSample;
  }
}

}  // namespace

void sampleQuad(const TextureLevels& levels, Float4 level, Float4 s, Float4 t, int count,
                Float4 samples[4]) {
  const Int4 trilinear = level > 0.0f;
  if (trilinear[0] | trilinear[1] | trilinear[2] | trilinear[3]) {
    trilinearSamples(levels, level, trilinear, s, t, count, samples);
  }
  for (int i = 0; i < count; ++i) {
    if (trilinear[i]) continue;
    samples[i] = level[i] <= 0.0f ? nearestTexel(levels, s[i], t[i]) : Float4{0, 0, 0, 1};
  }
}
