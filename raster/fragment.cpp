#include "raster/fragment.h"

#include <cmath>

#include "raster/depth_buffer.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"

FragmentOutcome drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                             const TextureTerms& terms) {
  FrameState& frame = target.frame;
  const int at = y * frame.frameWidth + x;
  FragmentOutcome outcome{frame.depthBuffer[at]};
  if (!passDepthTest(frame.depthBuffer, at, z)) return outcome;
  outcome.passed = true;
  outcome.handed = color;
  if (target.texture != nullptr) {
    const TextureLevels& levels = *target.texture->levels;
    outcome.level = target.context.useMipmaps ? textureLevel(terms, levels.texelCount) : 0.0f;
    const float s = terms.sOverW / terms.oneOverW;
    const float t = terms.tOverW / terms.oneOverW;
    outcome.handed = sampleTexture(levels, outcome.level, s, t);
  }
  target.band.points->point(x, y, outcome.handed);
  return outcome;
}

Footprint footprintOf(const TextureTerms& terms, float texelCount) {
  const float q = terms.oneOverW;
  Footprint f;
  f.a = terms.sOverWPerPixel / q;
  f.b = terms.tOverWPerPixel / q;
  f.c = terms.sOverWPerScanline / q;
  f.d = terms.tOverWPerScanline / q;
  f.area = footprintArea(f.a, f.b, f.c, f.d, texelCount);
  f.level = levelOfArea(f.area);
  return f;
}

float textureLevel(const TextureTerms& terms, float texelCount) {
  return footprintOf(terms, texelCount).level;
}

float footprintArea(float a, float b, float c, float d, float texelCount) {
  return static_cast<float>(std::fabs((double(a) * d) * texelCount - (double(b) * c) * texelCount));
}

float levelOfArea(float area) {
  return static_cast<float>((std::log(double(area)) / std::log(2.0)) * 0.5);
}
