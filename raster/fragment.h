#pragma once

#include "math/vec3.h"
#include "math/vec4.h"
#include "raster/frame_state.h"
#include "scene/render_context.h"

// What the fragments of one polygon share: where they go and what colours them.
struct PolygonTarget {
  const RenderContext& context;
  FrameState& frame;
  const Texture* texture;  // null for an untextured mesh; otherwise its levels are built
  Vec3 eye;                // the camera in the space of the stored vertices and lights
};

// The perspective texture terms at a pixel, and how s/w and t/w change per pixel along
// the span and per scanline along the edges: the derivatives that choose the level.
struct TextureTerms {
  float sOverW = 0;
  float tOverW = 0;
  float oneOverW = 0;
  float sOverWPerPixel = 0;
  float tOverWPerPixel = 0;
  float sOverWPerScanline = 0;
  float tOverWPerScanline = 0;
};

// Half the base-2 logarithm of the texel area one pixel covers: 0 where a pixel covers
// one texel, 1 where it covers 2 x 2. An area of 0 gives minus infinity.
float textureLevel(const TextureTerms& terms, float texelCount);

// Depth-tests pixel (x, y) and, when it passes, colours it (the texture sample for a
// textured mesh, which replaces `color` entirely; otherwise `color`, unclamped) and
// hands it to the frame's points. Must be called inside a span.
void drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                  const TextureTerms& terms);
