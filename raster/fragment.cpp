#include "raster/fragment.h"

namespace {

// The quad's perspective terms turned from one pixel a vector into one value a
// vector: lane i of each is pixel i's.
struct QuadTerms {
  Float4 sOverW;
  Float4 tOverW;
  Float4 sOverWPerScanline;
  Float4 tOverWPerScanline;
};

QuadTerms transposed(const Float4 p[4]) {
  const Float4 low01 = __builtin_shufflevector(p[0], p[1], 0, 4, 1, 5);
  const Float4 low23 = __builtin_shufflevector(p[2], p[3], 0, 4, 1, 5);
  const Float4 high01 = __builtin_shufflevector(p[0], p[1], 2, 6, 3, 7);
  const Float4 high23 = __builtin_shufflevector(p[2], p[3], 2, 6, 3, 7);
  return {__builtin_shufflevector(low01, low23, 0, 1, 4, 5),
          __builtin_shufflevector(low01, low23, 2, 3, 6, 7),
          __builtin_shufflevector(high01, high23, 0, 1, 4, 5),
          __builtin_shufflevector(high01, high23, 2, 3, 6, 7)};
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

void textureColors(const TextureLevels& levels, bool useMipmaps, const TexturedQuad& quad,
                   Float4 colors[4]) {
  const Float4 oneOverW = load(quad.oneOverW);
  const QuadTerms terms = transposed(quad.perspective);
  const Float4 s = terms.sOverW / oneOverW;
  const Float4 t = terms.tOverW / oneOverW;
  Float4 level{};
  if (useMipmaps) {
    const Float4 areas = quadFootprintAreas(quad, terms, oneOverW, levels.texelCount);
    level = usableLevels(levels, positiveLevels(areas));
  }
  const Float4 clampedS = clampToUnit(s);
  const Float4 clampedT = clampToUnit(t);
  for (int i = 0; i < quad.count; ++i)
    colors[i] = sampleAtLevel(levels, level[i], s[i], t[i], clampedS[i], clampedT[i]);
}

Color textureColor(const TextureLevels& levels, bool useMipmaps, const TextureTerms& terms) {
  TexturedQuad quad;
  quad.count = 1;
  quad.perPixel = terms.perPixel;
  for (int i = 0; i < 4; ++i) {
    quad.oneOverW[i] = terms.oneOverW;
    quad.perspective[i] = terms.perspective;
  }
  Float4 colors[4];
  textureColors(levels, useMipmaps, quad, colors);
  return {colors[0][0], colors[0][1], colors[0][2], 1.0f};
}

float textureLevel(const TextureTerms& terms, float texelCount) {
  const Float4 a = terms.perPixel / terms.oneOverW;
  const Float4 cd = terms.perspective / terms.oneOverW;
  return levelOfArea(
      footprintAreas(splat(a[0]), splat(a[1]), splat(cd[2]), splat(cd[3]), texelCount)[0]);
}
