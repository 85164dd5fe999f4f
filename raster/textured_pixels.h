#pragma once

#include "math/float4.h"

// Four textured pixels of one span that passed the depth test, side by side in a
// batch, waiting for their colours: their columns, 1/w, and their perspective terms
// (s/w, t/w, and how s/w and t/w change per scanline). The first `count` are pixels;
// the lanes past them are worked out too, and ignored.
struct TexturedQuad {
  int count;
  const int* x;
  const float* oneOverW;
  const Float4* perspective;
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

// Textured pixels of one span that passed the depth test, in order, waiting to be
// coloured a batch at a time, four to a quad: the sample points of every quad of a
// batch are worked out before any is sampled, so that the long chains of arithmetic of
// several quads run side by side. A batch is small enough to stay in the nearest cache;
// docs/performance.md gives how its size was chosen.
//
// Nothing here is initialised: a batch lives on the stack of every textured span, and
// every place is written before it is read, so clearing it would be work for nothing.
struct TexturedPixelBatch {
  static constexpr int kQuads = 32;
  static constexpr int kPixels = 4 * kQuads;
  int x[kPixels];
  float oneOverW[kPixels];
  Float4 perspective[kPixels];
  QuadSamplePoints samplePoints[kQuads];
  int pixels = 0;

  bool full() const { return pixels == kPixels; }

  void add(int column, Float4 terms, float inverseW) {
    x[pixels] = column;
    oneOverW[pixels] = inverseW;
    perspective[pixels] = terms;
    ++pixels;
  }

  // The quads holding pixels, the last one perhaps only partly. The lanes of the last
  // quad past its pixels get harmless terms.
  int quadCount() {
    for (int i = pixels; i % 4 != 0; ++i) {
      x[i] = 0;
      oneOverW[i] = 1;
      perspective[i] = Float4{};
    }
    return (pixels + 3) / 4;
  }

  TexturedQuad quad(int q) const {
    return {q < pixels / 4 ? 4 : pixels % 4, x + 4 * q, oneOverW + 4 * q, perspective + 4 * q};
  }
};
