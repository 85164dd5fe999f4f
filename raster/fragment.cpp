#include "raster/fragment.h"

#include <cmath>

#include "raster/depth_buffer.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"

namespace {

// What the pipeline's pictures are made of, told to a band whose points observe it; a
// reader of the formulas can pass these by.
void observeLoss(const RowBand& band, int x, int y) {
  if (band.observer != nullptr) band.observer->lostDepthTest(x, y);
}
void observeLevel(const RowBand& band, int x, int y, const TextureLevels& levels, float level) {
  if (band.observer != nullptr) band.observer->pointLevel(x, y, sampledLevel(levels, level));
}

}  // namespace

void drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                  const TextureTerms& terms) {
  FrameState& frame = target.frame;
  PointSink& points = *target.band.points;
  if (!passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, z)) {
    observeLoss(target.band, x, y);
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
  observeLevel(target.band, x, y, levels, level);
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
