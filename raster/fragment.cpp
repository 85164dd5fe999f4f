#include "raster/fragment.h"

#include <cmath>

#include "raster/depth_buffer.h"
#include "raster/texture_sampler.h"

namespace {

const double kLn2 = std::log(2.0);

}  // namespace

float textureLevel(const TextureTerms& terms, float texelCount) {
  const float q = terms.oneOverW;
  const float a = terms.sOverWPerPixel / q;
  const float b = terms.tOverWPerPixel / q;
  const float c = terms.sOverWPerScanline / q;
  const float d = terms.tOverWPerScanline / q;
  const float area =
      static_cast<float>(std::fabs((double(a) * d) * texelCount - (double(b) * c) * texelCount));
  return static_cast<float>((std::log(double(area)) / kLn2) * 0.5);
}

void drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                  const TextureTerms& terms) {
  FrameState& frame = target.frame;
  if (!passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, z)) return;
  if (target.texture == nullptr) {
    frame.points->point(x, y, color);
    return;
  }
  const TextureLevels& levels = *target.texture->levels;
  // The level matters only with mipmapping on.
  const float level = target.context.useMipmaps ? textureLevel(terms, levels.texelCount) : 0.0f;
  const float s = terms.sOverW / terms.oneOverW;
  const float t = terms.tOverW / terms.oneOverW;
  frame.points->point(x, y, sampleTexture(levels, level, s, t));
}
