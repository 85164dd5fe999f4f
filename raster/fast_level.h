#pragma once

#include "math/float4.h"

// The texture level a pixel samples is half the base-2 logarithm of the texel area its
// footprint covers: 0 where a pixel covers one texel, 1 where it covers 2 x 2.

// The footprint areas of four pixels, one a lane: |A D - B C| x texelCount, with A, B
// the per-pixel and C, D the per-scanline rates of s and t (the rates of s/w and t/w
// divided by 1/w): the determinant of the texture-coordinate derivatives, scaled to
// texels. Each lane is formed in double as ((A D) texelCount) - ((B C) texelCount) and
// rounded to float once. (The sign of a zero may differ from fabs's; nothing tells.)
Float4 footprintAreas(Float4 a, Float4 b, Float4 c, Float4 d, float texelCount);

// The level of one area: ln(area) / ln 2 x 0.5, in double, rounded to float once. An
// area of 0 gives minus infinity.
float levelOfArea(float area);

// levelOfArea of four areas where it is above 0, which is exactly where the area is
// above 1. A lane whose area is 1 or less gets 0 (the sampler takes the nearest texel
// at every level up to 0, so the exact value does not matter there); a lane that is
// not a number stays not a number. The levels are the same floats as levelOfArea's,
// from a faster logarithm that hands a lane to levelOfArea whenever it cannot vouch
// for the rounding.
Float4 positiveLevels(Float4 areas);
