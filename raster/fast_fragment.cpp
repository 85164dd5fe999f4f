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
Float4 quadFootprintAreas(const TexturedQuad& quad, const QuadTerms& terms, Float4 oneOverW,
                          float texelCount) {
  return ::footprintAreas(quad.perPixel[0] / oneOverW, quad.perPixel[1] / oneOverW,
                          terms.sOverWPerScanline / oneOverW, terms.tOverWPerScanline / oneOverW,
                          texelCount);
}

}  // namespace

QuadSamplePoints samplePointsOf(const TextureLevels& levels, bool useMipmaps,
                                const TexturedQuad& quad) {
  const Float4 oneOverW = load(quad.oneOverW);
  const QuadTerms terms = transposed(quad.perspective);
  QuadSamplePoints at;
  at.count = quad.count;
  for (int i = 0; i < 4; ++i)
    at.x[i] = quad.x[i];
  at.s = terms.sOverW / oneOverW;
  at.t = terms.tOverW / oneOverW;
  if (useMipmaps) {
    const Float4 areas = quadFootprintAreas(quad, terms, oneOverW, levels.texelCount);
    at.level = usableLevels(levels, positiveLevels(areas));
  }
  return at;
}
