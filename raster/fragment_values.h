#pragma once

#include "math/vec4.h"

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

// What became of a fragment: the depth its pixel held before it and whether it passed
// the depth test; where it passed, the texture level worked out for it (0 untextured or
// with mipmapping off) and the colour handed on.
struct FragmentOutcome {
  float depthBefore = 0;
  bool passed = false;
  float level = 0;
  Color handed{0, 0, 0, 0};
};
