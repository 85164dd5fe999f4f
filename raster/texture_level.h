#pragma once

// The texture level a pixel samples is half the base-2 logarithm of the texel area its
// footprint covers: 0 where a pixel covers one texel, 1 where it covers 2 x 2.

// The footprint's area in texels: |A D - B C| x texelCount, with A and B the rates of s
// and t per pixel along the span and C and D per scanline: the determinant of the
// texture-coordinate derivatives, scaled to texels. Formed in double as
// ((A D) texelCount) - ((B C) texelCount) and rounded to float once.
float footprintArea(float a, float b, float c, float d, float texelCount);

// ln(area) / ln 2 x 0.5, in double, rounded to float once. An area of 0 gives minus
// infinity; an area of 1 or less gives a level of 0 or less.
float levelOfArea(float area);
