#include "raster/fragment.h"

#include "raster/texture_level.h"

float textureLevel(const TextureTerms& terms, float texelCount) {
  const float q = terms.oneOverW;
  return levelOfArea(footprintArea(terms.sOverWPerPixel / q, terms.tOverWPerPixel / q,
                                   terms.sOverWPerScanline / q, terms.tOverWPerScanline / q,
                                   texelCount));
}
