#pragma once

#include "math/float4.h"
#include "math/vec4.h"
#include "raster/depth_buffer.h"
#include "raster/fast_sampler.h"
#include "raster/polygon_target.h"
#include "raster/textured_pixels.h"

// The fragment stage as the span loop runs it: the pixels of a textured span are
// coloured four at a time, one a lane. Every lane does exactly the arithmetic of the
// plain stage (raster/fragment.h), in the same order, so the points are the same to the
// bit; the differential test draws random frames both ways and compares them.

// How the level of a quad's pixels is found: not at all with mipmapping off (level 0,
// the nearest texel); with it on, either by first trying whether every pixel surely
// magnifies the texture, or straight from the footprint areas. The level is above 0
// exactly when the footprint covers more than one texel; at level 0 and below the
// sampler takes the nearest texel whatever the level, so pixels that magnify the
// texture need no logarithm, and the try saves it. Where every pixel of the quad before
// covered more than a texel, the next quad's pixels nearly always do too, and the try
// would be wasted.
enum class LevelSearch { Off, TryMagnified, FromArea };

// Where the quad's pixels sample the texture. `perPixel` holds how s/w and t/w change
// per pixel along the span, in lanes 0 and 1. Where the level needs the logarithm, it
// is left to settleLevel, and the points hold the footprint areas it needs.
QuadSamplePoints samplePointsOf(const TextureLevels& levels, LevelSearch search,
                                const TexturedQuad& quad, Float4 perPixel);

// The level from the footprint areas, where samplePointsOf left it.
void settleLevel(const TextureLevels& levels, QuadSamplePoints& at);

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

// Colours a batch of textured pixels and hands them on, in order, leaving the batch
// empty, in three passes over its quads: the sample points (divisions and footprint
// areas), the levels (logarithms), then the samples. The chain of arithmetic from 1/w
// to the level is long, and one quad's chain does not wait for another's; in short
// passes the processor works on several quads' chains at once, where one pass doing
// everything a quad needs would be too long for that.
template <typename Points>
void colorBatch(const PolygonTarget& target, int y, TexturedPixelBatch& batch, Float4 perPixel,
                Points& points) {
  const TextureLevels& levels = *target.texture->levels;
  const bool useMipmaps = target.context.useMipmaps;
  const int quads = batch.quadCount();
  LevelSearch search = useMipmaps ? LevelSearch::TryMagnified : LevelSearch::Off;
  for (int q = 0; q < quads; ++q) {
    batch.samplePoints[q] = samplePointsOf(levels, search, batch.quad(q), perPixel);
    const QuadSamplePoints& at = batch.samplePoints[q];
    if (at.levelFromArea) {
      search = anyLane(at.area <= 1.0f) ? LevelSearch::TryMagnified : LevelSearch::FromArea;
    }
  }
  for (int q = 0; q < quads; ++q)
    settleLevel(levels, batch.samplePoints[q]);
  for (int q = 0; q < quads; ++q)
    emitSamples(target, y, batch.samplePoints[q], points);
  batch.pixels = 0;
}
