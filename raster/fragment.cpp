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
  sampleQuad(levels, level, s, t, quad.count, colors);
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
