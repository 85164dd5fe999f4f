#pragma once

#include "math/vec4.h"
#include "raster/depth_buffer.h"
#include "raster/polygon_target.h"
#include "raster/texture_sampler.h"

// The fragment stage, one pixel at a time and written as plainly as it can be: the
// reference that the fast path (raster/fast_fragment.h) equals bit for bit.

// The perspective texture terms at a pixel: s/w, t/w and 1/w, and how s/w and t/w
// change per pixel along the span and per scanline along the edges.
struct TextureTerms {
  float sOverW = 0;
  float tOverW = 0;
  float oneOverW = 1;
  float sOverWPerPixel = 0;
  float tOverWPerPixel = 0;
  float sOverWPerScanline = 0;
  float tOverWPerScanline = 0;
};

// The level of the texture a pixel samples: half the base-2 logarithm of the texel area
// its footprint covers. The footprint comes from the four rates of s and t, each rate of
// s/w or t/w divided by 1/w.
float textureLevel(const TextureTerms& terms, float texelCount);

// Depth-tests pixel (x, y) of the frame and, when it is nearer than what the pixel
// holds, stores its depth and hands it to `points`: with the texture sample of a
// textured mesh, which replaces `color` entirely, and otherwise with `color`,
// unclamped. The texture is sampled at (s/w, t/w) divided by 1/w, perspective-correct,
// at the footprint's level with mipmapping on and at level 0 with it off.
template <typename Points>
void drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                  const TextureTerms& terms, Points& points) {
  FrameState& frame = target.frame;
  if (!passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, z)) {
    if constexpr (kObservesPipeline<Points>) points.lostDepthTest(x, y);
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
  if constexpr (kObservesPipeline<Points>) points.pointLevel(x, y, sampledLevel(levels, level));
}
