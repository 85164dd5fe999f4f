#pragma once

#include "math/float4.h"

// Up to four textured pixels of one span that passed the depth test, waiting for their
// colours: their columns, 1/w, and their perspective terms (s/w, t/w, and how s/w and t/w
// change per scanline).
struct TexturedQuad {
  int count = 0;
  int x[4] = {};
  float oneOverW[4] = {1, 1, 1, 1};  // lanes past `count` are worked out too, and ignored
  Float4 perspective[4] = {};
};

// Where the pixels of a quad sample the texture: s, t and the level of pixel i in lane
// i of each. Where `levelFromArea` is set, the level is worked out from `area`, the
// texel areas of the pixels' footprints, in a pass of its own.
struct QuadSamplePoints {
  int count = 0;
  int x[4] = {};
  Float4 s{};
  Float4 t{};
  Float4 level{};
  Float4 area{};
  bool levelFromArea = false;
};

// Textured pixels of one span that passed the depth test, in order, four to a quad,
// waiting to be coloured a batch at a time: the sample points of every quad of a batch
// are worked out before any is sampled, so that the long chains of arithmetic of
// several quads run side by side. A batch is small enough to stay in the nearest cache.
struct TexturedPixelBatch {
  static constexpr int kQuads = 16;
  TexturedQuad quads[kQuads];
  QuadSamplePoints samplePoints[kQuads];
  int pixels = 0;

  bool full() const { return pixels == 4 * kQuads; }

  void add(int x, Float4 perspective, float oneOverW) {
    TexturedQuad& quad = quads[pixels >> 2];
    const int i = pixels & 3;
    quad.x[i] = x;
    quad.oneOverW[i] = oneOverW;
    quad.perspective[i] = perspective;
    ++pixels;
  }

  // The quads holding pixels, the last one perhaps only partly; each told its count.
  int quadCount() {
    const int count = (pixels + 3) >> 2;
    for (int q = 0; q < count; ++q)
      quads[q].count = q + 1 < count ? 4 : pixels - 4 * q;
    return count;
  }
};
