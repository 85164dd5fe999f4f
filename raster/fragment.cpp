#include "raster/fragment.h"

#include <cmath>

#include "raster/depth_buffer.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"

void drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                  const TextureTerms& terms, PointSink& points, PipelineObserver* observer) {
  FrameState& frame = target.frame;
  if (!passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, z)) {
    if (observer != nullptr) observer->lostDepthTest(x, y);
    return;
  }
  if (target.texture == nullptr) {
    points.point(x, y, color);
    return;
  }
  const TextureLevels& levels = *target.texture->levels;
  const float level = target.context.useMipmaps ? textureLevel(terms, levels.texelCount) : 0.0f;
  const float s = terms.sOverW / terms.oneOverW;
  const float t = terms.tOverW / terms.oneOverW;
  points.point(x, y, sampleTexture(levels, level, s, t));
  if (observer != nullptr) observer->pointLevel(x, y, sampledLevel(levels, level));
}

float textureLevel(const TextureTerms& terms, float texelCount) {
  const float q = terms.oneOverW;
  return levelOfArea(footprintArea(terms.sOverWPerPixel / q, terms.tOverWPerPixel / q,
                                   terms.sOverWPerScanline / q, terms.tOverWPerScanline / q,
                                   texelCount));
}

float footprintArea(float a, float b, float c, float d, float texelCount) {
  return static_cast<float>(std::fabs((double(a) * d) * texelCount - (double(b) * c) * texelCount));
}

float levelOfArea(float area) {
  return static_cast<float>((std::log(double(area)) / std::log(2.0)) * 0.5);
}
