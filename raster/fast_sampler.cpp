#include "raster/fast_sampler.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "raster/texture_sampler.h"

// Bilinear samples are taken four at a time, one pixel a lane: where each falls and
// the weights of its four texels are vector arithmetic, and only the reading and
// weighing of the texels goes pixel by pixel.
//
// A bilinear sample of a level at u = (width - 1) s and v = (height - 1) t, s and t
// clamped to [0, 1], weighs the four texels around (u, v) as ((c00 w00 + c01 w01) +
// c10 w10) + c11 w11, every product and sum rounded to float, all channels at once,
// as sampleBilinear does. fx and fy, the distances of u and v from the texels below,
// are exact: a float and its floor are less than one apart.

namespace {

// Where the samples of four lanes fall on their levels: the texel below and to the
// left of each, whether the texels to its right and above count (all bits set where
// they do: a sample on a whole column or row takes that one alone), and the four
// weights.
struct Footprints {
  Int4 column;
  Int4 row;
  Int4 right;
  Int4 up;
  Float4 w00;
  Float4 w01;
  Float4 w10;
  Float4 w11;
};

// The weights as sampleBilinear forms them: (1 - fx)(1 - fy), fy(1 - fx), fx(1 - fy) and
// fx fy, each in double and rounded to float once. A product of two floats is exact in
// double, so where 1 - fx and 1 - fy are floats, float products give the same weights;
// they are, unless fx or fy has bits below 2^-24, which happens only for a sample within
// half a texel of column 0 or row 0. There the differences too are formed in double.
// Inline, since it runs for every trilinear quad, and GCC stops inlining it once
// sampleQuad has grown, as it does footprintsOf.
[[gnu::always_inline]] inline void weigh(Footprints& f, Float4 fx, Float4 fy) {
  const Float4 one = splat(1.0f);
  const Float4 gx = one - fx;
  const Float4 gy = one - fy;
  f.w11 = fx * fy;
  const Int4 exact = ((one - gx) == fx) & ((one - gy) == fy);
  if (allLanes(exact)) {
    f.w00 = gx * gy;
    f.w01 = fy * gx;
    f.w10 = fx * gy;
    return;
  }
  for (int i = 0; i < 4; ++i) {
    const double x = fx[i];
    const double y = fy[i];
    f.w00[i] = float((1 - x) * (1 - y));
    f.w01[i] = float(y * (1 - x));
    f.w10[i] = float(x * (1 - y));
  }
}

// u = lastColumn s and v = lastRow t, lane by lane, for s and t already in [0, 1].
// Inline for the same reason as weigh.
[[gnu::always_inline]] inline Footprints footprintsOf(Float4 lastColumn, Float4 lastRow, Float4 s,
                                                      Float4 t) {
  const Float4 u = lastColumn * s;
  const Float4 v = lastRow * t;
  Footprints f;
  f.column = __builtin_convertvector(u, Int4);  // truncation: u, v >= 0
  f.row = __builtin_convertvector(v, Int4);
  const Float4 fx = u - __builtin_convertvector(f.column, Float4);
  const Float4 fy = v - __builtin_convertvector(f.row, Float4);
  f.right = fx > Float4{};
  f.up = fy > Float4{};
  weigh(f, fx, fy);
  return f;
}

// The four texels of a bilinear sample for each of four lanes on one level, laid out
// for the lane-by-lane weighing: where the lower left texel of lane i lies in the
// level's `rgb` (never negative, so that it widens to an address without a sign
// extension), how far the ones to its right and above lie from it (0 where the sample
// falls on a whole column or row), and the weights of the four texels, lane i for the
// sample of lane i.
struct LevelQuad {
  alignas(16) unsigned offset[4];
  alignas(16) int right[4];
  alignas(16) int up[4];
  Float4 w00;
  Float4 w01;
  Float4 w10;
  Float4 w11;

  Float4 sample(const float* rgb, int i) const {
    return weighed(rgb + offset[i], right[i], up[i], i);
  }

  // The sample of lane i from the whole 2 x 2 block of texels at its lower left one,
  // the texels to the right and above read even where they do not count. Their
  // weights are then 0, and on a level whose texels are all finite and not negative,
  // 0 times a texel is +0, which leaves the sum, itself not negative, as it is: the
  // same sample as `sample`, without looking up the two distances.
  Float4 sampleBlock(const float* rgb, int rowFloats, int i) const {
    return weighed(rgb + offset[i], 3, rowFloats, i);
  }

  // Lane i's texels weighed: c00, the texel `right` floats along and the one `up`
  // floats along, and the texel `right` + `up` floats along.
  Float4 weighed(const float* c00, int right, int up, int i) const {
    Float4 sum = splat(w00[i]) * loadFloat4(c00);
    sum = sum + splat(w01[i]) * loadFloat4(c00 + up);
    sum = sum + splat(w10[i]) * loadFloat4(c00 + right);
    sum = sum + splat(w11[i]) * loadFloat4(c00 + right + up);
    return sum;
  }
};

// Where texels lie in their levels' `rgb`: row x rowFloats + column x 3.
// SSE2 has no 32-bit integer multiply, and its long way round is slower than pmaddwd,
// which multiplies the low halves of two lanes and adds the product of the high ones:
// where rows and rowFloats are below 2^15, the high halves are 0.
Int4 texelOffsets(Int4 row, Int4 column, Int4 rowFloats, bool offsetsFit16Bits) {
#if defined(__SSE2__)
  if (offsetsFit16Bits) {
    const __m128i product =
        _mm_madd_epi16(std::bit_cast<__m128i>(row), std::bit_cast<__m128i>(rowFloats));
    return std::bit_cast<Int4>(product) + column * 3;
  }
#endif
  return row * rowFloats + column * 3;
}

template <typename Lane>
void store(Lane out[4], Int4 v) {
  std::memcpy(out, &v, sizeof v);
}

// The texels of four footprints, on levels whose rows are `rowFloats` floats apart.
LevelQuad levelQuad(const Footprints& f, Int4 rowFloats, bool offsetsFit16Bits) {
  LevelQuad q;
  store(q.offset, texelOffsets(f.row, f.column, rowFloats, offsetsFit16Bits));
  store(q.right, f.right & 3);
  store(q.up, f.up & rowFloats);
  q.w00 = f.w00;
  q.w01 = f.w01;
  q.w10 = f.w10;
  q.w11 = f.w11;
  return q;
}

// The texels of four footprints on one level. Inlined into its callers, which then
// read the offsets and weights where they were worked out instead of from memory.
[[gnu::always_inline]] inline LevelQuad levelQuad(const TextureLevel& level, Float4 s, Float4 t,
                                                  bool offsetsFit16Bits) {
  const Footprints f = footprintsOf(splat(level.lastColumn), splat(level.lastRow), s, t);
  return levelQuad(f, Int4{} + level.rowFloats, offsetsFit16Bits);
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
  const Int4 finerRows{finer[0]->rowFloats, finer[1]->rowFloats, finer[2]->rowFloats,
                       finer[3]->rowFloats};
  const Int4 coarserRows{coarser[0]->rowFloats, coarser[1]->rowFloats, coarser[2]->rowFloats,
                         coarser[3]->rowFloats};
  const LevelQuad a = levelQuad(footprintsOf(scale[0], scale[1], clampedS, clampedT), finerRows,
                                levels.offsetsFit16Bits);
  const LevelQuad b = levelQuad(footprintsOf(scale[2], scale[3], clampedS, clampedT), coarserRows,
                                levels.offsetsFit16Bits);
  for (int i = 0; i < count; ++i) {
    if (!trilinear[i]) continue;
    const Float4 finerSample = a.sample(finer[i]->rgb, i);
    if (f[i] == 0.0f) {
      samples[i] = finerSample;
      continue;
    }
    const Float4 coarserSample = b.sample(coarser[i]->rgb, i);
    const Float4 blend = (1.0f - f[i]) * finerSample + f[i] * coarserSample;
    samples[i] = sameRgb(finerSample, coarserSample) ? finerSample : blend;
  }
}

// trilinearSamples where all four lanes lie between the same two levels, as
// neighbouring pixels nearly always do: the levels, their sizes and rows are the same for
// every lane, and both levels are sampled for every lane. All four lanes are sampled,
// which saves a test a lane: a lane past the quad's pixels has its s and t clamped
// too, so its texels lie inside the levels, and its sample is left unused. For levels
// whose texels are all finite and not negative only: each sample reads its whole block
// of texels, and a lane at a whole level (f = 0) needs no test of its own, since its
// blend, 1 x the finer sample + 0 x the coarser, is exactly the finer sample that
// trilinearSamples takes there.
void trilinearBetween(const TextureLevels& levels, int below, Float4 level, Float4 s, Float4 t,
                      Float4 samples[4]) {
  const TextureLevel& finer = levels.level[below];
  const TextureLevel& coarser = levels.level[std::min(below + 1, levels.count)];
  const Float4 f = level - float(below);
  const Float4 clampedS = clampToUnit(s);
  const Float4 clampedT = clampToUnit(t);
  const LevelQuad a = levelQuad(finer, clampedS, clampedT, levels.offsetsFit16Bits);
  const LevelQuad b = levelQuad(coarser, clampedS, clampedT, levels.offsetsFit16Bits);
  const Float4 g = 1.0f - f;
  for (int i = 0; i < 4; ++i) {
    const Float4 finerSample = a.sampleBlock(finer.rgb, finer.rowFloats, i);
    const Float4 coarserSample = b.sampleBlock(coarser.rgb, coarser.rowFloats, i);
    const Float4 blend = splat(g[i]) * finerSample + splat(f[i]) * coarserSample;
    samples[i] = sameRgb(finerSample, coarserSample) ? finerSample : blend;
  }
}

// roundToInt of four scaled coordinates, with the nearest sampler's fall-back to 0
// outside [0, size): the coordinate plus 0.5, formed in double, is truncated where it
// lies in [0, size), and taken as 0 otherwise. That is roundToInt and the fall-back in
// one: a sum in (-1, 0) truncates to 0 as well, and whatever roundToInt would saturate,
// or a coordinate that is not a number, lies outside.
Int4 nearestIndices(Float4 scaled, int size) {
  const Double2 limit = Double2{} + double(size);
  const Double2 low = Double2{scaled[0], scaled[1]} + 0.5;
  const Double2 high = Double2{scaled[2], scaled[3]} + 0.5;
  const Double2 lowInside = (low >= 0.0 && low < limit) ? low : Double2{};
  const Double2 highInside = (high >= 0.0 && high < limit) ? high : Double2{};
  return Int4{int(lowInside[0]), int(lowInside[1]), int(highInside[0]), int(highInside[1])};
}

// The nearest texels of level 0 for four lanes, as sampleNearest takes them.
void nearestTexels(const TextureLevels& levels, Float4 s, Float4 t, int count, Float4 samples[4]) {
  const TextureLevel& level = levels.level[0];
  const Int4 column = nearestIndices(level.lastColumn * s, level.width);
  const Int4 row = nearestIndices(level.lastRow * t, level.height);
  alignas(16) unsigned offset[4];
  store(offset, texelOffsets(row, column, Int4{} + level.rowFloats, levels.offsetsFit16Bits));
  for (int i = 0; i < count; ++i)
    samples[i] = loadFloat4(level.rgb + offset[i]);
}

// The whole level below each lane's level, where all four lanes (the first `count` of
// them) share it and sample trilinearly; -1 otherwise.
int sharedLevelBelow(Float4 level, int count) {
  // A lane that is not a number becomes 0 before the conversion, which is undefined
  // for it (maxps gives its second operand where either is not a number); such a lane
  // is not above 0 and so never shares a level.
  const Int4 below = __builtin_convertvector(max(level, Float4{}), Int4);
  const Int4 unused = Int4{0, 1, 2, 3} >= count;
  const Int4 shared = ((below == below[0]) & (level > 0.0f)) | unused;
  return allLanes(shared) ? below[0] : -1;
}

// sampleQuad for a texture whose texels are all finite and not negative, where
// trilinearBetween may read whole blocks, or for any other.
template <bool kFiniteNonNegative>
void sampleQuadOf(const TextureLevels& levels, Float4 level, Float4 s, Float4 t, int count,
                  Float4 samples[4]) {
  const Int4 unused = Int4{0, 1, 2, 3} >= count;
  if (allLanes((level <= 0.0f) | unused)) {
    nearestTexels(levels, s, t, count, samples);
    return;
  }
  const int below = kFiniteNonNegative ? sharedLevelBelow(level, count) : -1;
  if (below >= 0) {
    trilinearBetween(levels, below, level, s, t, samples);
    return;
  }
  const Int4 trilinear = level > 0.0f;
  if (anyLane(trilinear)) {
    trilinearSamples(levels, level, trilinear, s, t, count, samples);
  }
  Float4 nearest[4];
  nearestTexels(levels, s, t, count, nearest);
  for (int i = 0; i < count; ++i) {
    if (trilinear[i]) continue;
    samples[i] = level[i] <= 0.0f ? nearest[i] : Float4{0, 0, 0, 1};
  }
}

}  // namespace

// Two copies, one for each kind of texture, so that the kind is tested once a quad and
// not inside the hot loop.
void sampleQuad(const TextureLevels& levels, Float4 level, Float4 s, Float4 t, int count,
                Float4 samples[4]) {
  const Texture& texture = *levels.texture;
  if (texture.wrapS != TextureWrap::Clamp || texture.wrapT != TextureWrap::Clamp) {
    for (int i = 0; i < 4; ++i) {
      s[i] = wrapCoordinate(s[i], texture.wrapS);
      t[i] = wrapCoordinate(t[i], texture.wrapT);
    }
  }
  if (levels.finiteNonNegative) {
    sampleQuadOf<true>(levels, level, s, t, count, samples);
  } else {
    sampleQuadOf<false>(levels, level, s, t, count, samples);
  }
}
