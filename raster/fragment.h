#pragma once

#include "math/vec4.h"
#include "raster/fragment_values.h"
#include "raster/polygon_target.h"

// The fragment stage, one pixel at a time and written as plainly as it can be: the
// reference that the fast path (raster/fast_fragment.h) equals bit for bit.

// Depth-tests pixel (x, y) of the frame and, when it is nearer than what the pixel
// holds, stores its depth and hands it to the band's points: with the texture sample of
// a textured mesh, which replaces `color` entirely, and otherwise with `color`,
// unclamped. The texture is sampled at (s/w, t/w) divided by 1/w, perspective-correct,
// at the footprint's level with mipmapping on and at level 0 with it off. Returns what
// became of the fragment, for an observer of the pipeline; it tells no one itself.
FragmentOutcome drawFragment(const PolygonTarget& target, int x, int y, float z, Color color,
                             const TextureTerms& terms);

// A pixel's footprint on the texture: the rates of s and t per pixel along the span (a,
// b) and per scanline along the edges (c, d), each a rate of s/w or t/w divided by 1/w;
// the texel area they span, and the level it gives.
struct Footprint {
  float a = 0;
  float b = 0;
  float c = 0;
  float d = 0;
  float area = 0;
  float level = 0;
};
Footprint footprintOf(const TextureTerms& terms, float texelCount);

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
