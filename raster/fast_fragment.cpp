#include "raster/fast_fragment.h"

#include "raster/fast_level.h"

namespace {

// The quad's perspective terms turned from one pixel a vector into one value a
// vector: lane i of each is pixel i's.
struct QuadTerms {
  Float4 sOverW;
  Float4 tOverW;
  Float4 sOverWPerScanline;
  Float4 tOverWPerScanline;
};

QuadTerms transposed(const Float4 perspective[4]) {
  Float4 rows[4] = {perspective[0], perspective[1], perspective[2], perspective[3]};
  transpose(rows);
  return {rows[0], rows[1], rows[2], rows[3]};
}

Float4 load(const float v[4]) {
  return Float4{v[0], v[1], v[2], v[3]};
}

// The four derivatives that choose the level, each the rate of s/w or t/w divided by
// 1/w, and the area they span.
Float4 quadFootprintAreas(Float4 perPixel, const QuadTerms& terms, Float4 oneOverW,
                          float texelCount) {
  return ::footprintAreas(perPixel[0] / oneOverW, perPixel[1] / oneOverW,
                          terms.sOverWPerScanline / oneOverW, terms.tOverWPerScanline / oneOverW,
                          texelCount);
}

// Whether every pixel of the quad surely covers at most one texel, so that its level is
// at most 0 and it takes the nearest texel: known without the four divisions and the
// logarithm. With A = a / q and so on, the area |A D - B C| N is at most
// (|a d| + |b c|) N / q^2, give or take the roundings of the divisions and products, a
// few parts in 2^24; a bound below q^2 by far more than that settles it. It is tried
// only where q^2 is a normal float, far from overflowing (a bound and a q^2 that both
// overflow to infinity settle nothing), and no rate is so large against q that a
// division could overflow (the plain level would then not be a number), and gives up on
// lanes that are not numbers.
bool surelyMagnified(Float4 a, Float4 b, Float4 c, Float4 d, Float4 q, float texelCount,
                     int count) {
  const Float4 magnitude = abs(q);
  const Float4 largestRate = max(max(abs(a), abs(b)), max(abs(c), abs(d)));
  const Float4 bound = (abs(a * d) + abs(b * c)) * texelCount;
  const Float4 squared = q * q;
  const Int4 sure = (squared >= 0x1p-90f) & (squared <= 0x1p100f) &
                    (largestRate <= magnitude * 0x1p60f) & (bound <= squared * 0.99999f);
  const Int4 unused = Int4{0, 1, 2, 3} >= count;
  const Int4 settled = sure | unused;
  return allLanes(settled);
}

}  // namespace

QuadSamplePoints samplePointsOf(const TextureLevels& levels, LevelSearch search,
                                const TexturedQuad& quad, Float4 perPixel) {
  const Float4 oneOverW = load(quad.oneOverW);
  const QuadTerms terms = transposed(quad.perspective);
  QuadSamplePoints at;
  at.count = quad.count;
  for (int i = 0; i < 4; ++i)
    at.x[i] = quad.x[i];
  at.s = terms.sOverW / oneOverW;
  at.t = terms.tOverW / oneOverW;
  const Float4 sRate = splat(perPixel[0]);
  const Float4 tRate = splat(perPixel[1]);
  at.level = Float4{};
  at.levelFromArea =
      search == LevelSearch::FromArea ||
      (search == LevelSearch::TryMagnified &&
       !surelyMagnified(sRate, tRate, terms.sOverWPerScanline, terms.tOverWPerScanline, oneOverW,
                        levels.texelCount, quad.count));
  if (at.levelFromArea) at.area = quadFootprintAreas(perPixel, terms, oneOverW, levels.texelCount);
  return at;
}

void settleLevel(const TextureLevels& levels, QuadSamplePoints& at) {
  if (!at.levelFromArea) return;
  at.level = usableLevels(levels, levelsAtLeastZero(at.area));
}
