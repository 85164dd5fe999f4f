#pragma once

#include "math/float4.h"
#include "math/vec4.h"
#include "raster/depth_buffer.h"
#include "raster/fast_sampler.h"
#include "raster/polygon_target.h"

// The fragment stage as the span loop runs it: the pixels of a textured span are
// coloured four at a time, one a lane. Every lane does exactly the arithmetic of the
// plain stage (raster/fragment.h), in the same order, so the points are the same to the
// bit; the differential test draws random frames both ways and compares them.

// Where the pixels of a quad sample the texture: s, t and the level of pixel i in lane
// i of each.
struct QuadSamplePoints {
  int count = 0;
  int x[4] = {};
  Float4 s{};
  Float4 t{};
  Float4 level{};
};

// Up to four textured pixels of one span that passed the depth test, waiting for their
// colours, and the quad before them. The pixels of a quad are coloured together, one a
// lane. The sample points of a full quad are worked out before the quad before it is
// sampled: the chain from 1/w to the level (divisions, an area, a logarithm) is long,
// and the processor runs it while it samples the other quad.
struct TexturedQuad {
  int count = 0;
  int x[4] = {};
  float oneOverW[4] = {1, 1, 1, 1};  // lanes past `count` are worked out too, and ignored
  Float4 perspective[4] = {};
  Float4 perPixel{};  // the same for every pixel of a span
  QuadSamplePoints waiting;
  bool full() const { return count == 4; }
};

// Where the quad's pixels sample the texture: at the level of each pixel's footprint
// with mipmapping on, at level 0 (the nearest texel) with it off. The level is above 0
// exactly when the footprint covers more than one texel; at level 0 and below the
// sampler takes the nearest texel whatever the level, so pixels that magnify the
// texture need no logarithm.
QuadSamplePoints samplePointsOf(const TextureLevels& levels, bool useMipmaps,
                                const TexturedQuad& quad);

// Samples the texture at the points and hands the pixels on, in order.
template <typename Points>
void emitSamples(const PolygonTarget& target, int y, const QuadSamplePoints& at, Points& points) {
  if (at.count == 0) return;
  Float4 colors[4];
  sampleQuad(*target.texture->levels, at.level, at.s, at.t, at.count, colors);
  for (int i = 0; i < at.count; ++i) {
    points.point(at.x[i], y, {colors[i][0], colors[i][1], colors[i][2], 1.0f});
    if constexpr (kObservesPipeline<Points>) {
      points.pointLevel(at.x[i], y, at.level[i] <= 0.0f ? 0.0f : at.level[i]);  // 0: nearest
    }
  }
}

// Works out where the quad's pixels sample, hands on the quad before it, and keeps
// this one waiting in its place.
template <typename Points>
void emitQuad(const PolygonTarget& target, int y, TexturedQuad& quad, Points& points) {
  const QuadSamplePoints next =
      samplePointsOf(*target.texture->levels, target.context.useMipmaps, quad);
  emitSamples(target, y, quad.waiting, points);
  quad.waiting = next;
  quad.count = 0;
}

// Hands on every pixel still queued, at the end of a span.
template <typename Points>
void finishQuads(const PolygonTarget& target, int y, TexturedQuad& quad, Points& points) {
  if (quad.count > 0) emitQuad(target, y, quad, points);
  emitSamples(target, y, quad.waiting, points);
  quad.waiting.count = 0;
}

// The fragment stage for a pixel of a textured span: depth-tests pixel (x, y) and, when
// it passes, queues it in `quad`; the pixels of a full quad are coloured and handed on
// a quad later. The texture colour replaces the interpolated colour entirely. Call
// finishQuads at the end of the span.
template <typename Points>
void drawTexturedFragment(const PolygonTarget& target, int x, int y, float z, Float4 perspective,
                          float oneOverW, TexturedQuad& quad, Points& points) {
  FrameState& frame = target.frame;
  if (!passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, z)) {
    if constexpr (kObservesPipeline<Points>) points.lostDepthTest(x, y);
    return;
  }
  const int i = quad.count++;
  quad.x[i] = x;
  quad.oneOverW[i] = oneOverW;
  quad.perspective[i] = perspective;
  if (quad.full()) emitQuad(target, y, quad, points);
}
