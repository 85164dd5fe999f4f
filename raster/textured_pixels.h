#pragma once

#include "math/float4.h"

// Up to four textured pixels of one span that passed the depth test, waiting for their
// colours: their columns, 1/w, and their perspective terms (s/w, t/w, and how s/w and t/w
// change per scanline). Lanes past `count` are worked out too, and ignored.
//
// Nothing here is initialised: a batch lives on the stack of every textured span, and
// clearing its few kilobytes each time cost more than a tenth of the span's work.
struct TexturedQuad {
  int count;
  int x[4];
  float oneOverW[4];
  Float4 perspective[4];
};

// Where the pixels of a quad sample the texture: s, t and the level of pixel i in lane
// i of each. Where `levelFromArea` is set, the level is worked out from `area`, the
// texel areas of the pixels' footprints, in a pass of its own.
struct QuadSamplePoints {
  int count;
  int x[4];
  Float4 s;
  Float4 t;
  Float4 level;
  Float4 area;
  bool levelFromArea;
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
  // The lanes of the last quad past its pixels get harmless terms.
  int quadCount() {
    const int count = (pixels + 3) >> 2;
    for (int q = 0; q < count; ++q)
      quads[q].count = q + 1 < count ? 4 : pixels - 4 * q;
    for (int i = pixels & 3; i > 0 && i < 4; ++i) {
      TexturedQuad& last = quads[count - 1];
      last.x[i] = 0;
      last.oneOverW[i] = 1;
      last.perspective[i] = Float4{};
    }
    return count;
  }
};
