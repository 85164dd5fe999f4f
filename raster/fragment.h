#pragma once

#include "math/vec4.h"
#include "raster/polygon_target.h"

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

// Depth-tests pixel (x, y) of the frame and, when it is nearer than what the pixel
// holds, stores its depth and hands it to the band's points: with the texture sample of
// a textured mesh, which replaces `color` entirely, and otherwise with `color`,
// unclamped. The texture is sampled at (s/w, t/w) divided by 1/w, perspective-correct,
// at the footprint's level with mipmapping on and at level 0 with it off.
void drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                  const TextureTerms& terms);

// The level of the texture a pixel samples: half the base-2 logarithm of the texel area
// its footprint covers, 0 where a pixel covers one texel, 1 where it covers 2 x 2. The
// footprint comes from the four rates of s and t, each rate of s/w or t/w divided by
// 1/w.
float textureLevel(const TextureTerms& terms, float texelCount);

// The footprint's area in texels: |A D - B C| x texelCount, with A and B the rates of s
// and t per pixel along the span and C and D per scanline: the determinant of the
// texture-coordinate derivatives, scaled to texels. Formed in double as
// ((A D) texelCount) - ((B C) texelCount) and rounded to float once.
float footprintArea(float a, float b, float c, float d, float texelCount);

// ln(area) / ln 2 x 0.5, in double, rounded to float once. An area of 0 gives minus
// infinity; an area of 1 or less gives a level of 0 or less.
float levelOfArea(float area);
