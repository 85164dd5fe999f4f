#pragma once

#include <algorithm>

#include "math/float4.h"
#include "math/rounding.h"
#include "raster/depth_buffer.h"
#include "raster/edge.h"
#include "raster/fast_fragment.h"
#include "raster/frame_budget.h"
#include "raster/pixel_lighting.h"

// The span loop of the fast path: the pixels of one scanline between two active edges,
// as fillSpan (raster/scan_convert.cpp) draws them, with the same floats. It is a
// template on the sink so that each kind of sink gets its own copy, in which handing on
// a pixel is a direct call; scan conversion reaches it through PointSink::fillFastSpan.
//
// It carries only the values a span needs, each interpolated exactly as fillSpan does
// it, and colours the pixels of a textured span four at a time.

namespace fast {

// (right - left) / n, the difference formed in double and the quotient rounded once,
// and value + step x pixels likewise: as fillSpan forms them.
inline float perPixel(float left, float right, float n) {
  return static_cast<float>((double(right) - left) / n);
}
inline float after(float value, float step, float pixels) {
  return static_cast<float>(value + double(step) * pixels);
}
inline Float4 perPixel(Float4 left, Float4 right, float n) {
  return Float4{perPixel(left[0], right[0], n), perPixel(left[1], right[1], n),
                perPixel(left[2], right[2], n), perPixel(left[3], right[3], n)};
}
inline Float4 after(Float4 v, Float4 step, float pixels) {
  return Float4{after(v[0], step[0], pixels), after(v[1], step[1], pixels),
                after(v[2], step[2], pixels), after(v[3], step[3], pixels)};
}

// What a textured span carries: s/w and t/w and their rates per scanline, 1/w and the
// depth. The texture colour replaces the interpolated colour entirely, so the colour,
// shininess and normal are not carried.
struct TexturedValues {
  Float4 perspective;
  float oneOverW;
  float depth;
};

inline TexturedValues texturedValuesOf(const Edge& edge) {
  return {Float4{edge.sOverW, edge.tOverW, edge.sOverWStep, edge.tOverWStep}, edge.oneOverW,
          edge.z};
}

// What a span without texture carries: the depth and the colour, and the shininess and
// normal that the per-pixel highlight needs.
struct ColorValues {
  Float4 color;  // red, green, blue, alpha
  float depth;
  float shininess;
  Vec3 normal;
};

inline ColorValues colorValuesOf(const Edge& edge) {
  return {Float4{edge.color.x, edge.color.y, edge.color.z, edge.color.w}, edge.z, edge.shininess,
          edge.normal};
}

// The first pixel of a span and its column: the left edge's values, moved past the
// columns left of the window in one step.
template <typename Values, typename Skip>
int firstPixel(int xLeft, Values& values, Skip skip) {
  if (xLeft >= 0) return xLeft;
  skip(values, float(-xLeft));
  return 0;
}

// The pixels that pass the depth test are coloured a batch at a time.
template <typename Points>
void texturedSpan(const PolygonTarget& target, int y, int xLeft, int end, float n, const Edge& left,
                  const Edge& right, Points& points) {
  FrameState& frame = target.frame;
  TexturedPixelBatch batch;
  TexturedValues v = texturedValuesOf(left);
  const TexturedValues r = texturedValuesOf(right);
  const TexturedValues step{perPixel(v.perspective, r.perspective, n),
                            perPixel(v.oneOverW, r.oneOverW, n), perPixel(v.depth, r.depth, n)};
  int x = firstPixel(xLeft, v, [&](TexturedValues& values, float pixels) {
    values = {after(values.perspective, step.perspective, pixels),
              after(values.oneOverW, step.oneOverW, pixels),
              after(values.depth, step.depth, pixels)};
  });
  for (; x < end; ++x) {
    if (passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, v.depth)) {
      batch.add(x, v.perspective, v.oneOverW);
      if (batch.full()) colorBatch(target, y, batch, step.perspective, points);
    } else if constexpr (kObservesPipeline<Points>) {
      points.lostDepthTest(x, y);
    }
    v.perspective += step.perspective;
    v.oneOverW += step.oneOverW;
    v.depth += step.depth;
  }
  if (batch.pixels > 0) colorBatch(target, y, batch, step.perspective, points);
}

// A span without texture: each pixel depth-tested and handed on with its colour and
// highlight, as drawFragment does.
template <typename Points>
void colorSpan(const PolygonTarget& target, int y, int xLeft, int end, float n, const Edge& left,
               const Edge& right, Points& points) {
  FrameState& frame = target.frame;
  ColorValues v = colorValuesOf(left);
  const ColorValues r = colorValuesOf(right);
  const ColorValues step{perPixel(v.color, r.color, n), perPixel(v.depth, r.depth, n),
                         perPixel(v.shininess, r.shininess, n), (r.normal - v.normal) / n};
  int x = firstPixel(xLeft, v, [&](ColorValues& values, float pixels) {
    values = {after(values.color, step.color, pixels), after(values.depth, step.depth, pixels),
              after(values.shininess, step.shininess, pixels),
              values.normal + step.normal * pixels};
  });
  for (; x < end; ++x) {
    if (passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, v.depth)) {
      const Color lit = spanHighlight(target, left, x, y, v.depth, v.normal, v.shininess);
      points.point(x, y, Color{v.color[0], v.color[1], v.color[2], v.color[3]} + lit);
    } else if constexpr (kObservesPipeline<Points>) {
      points.lostDepthTest(x, y);
    }
    v.color += step.color;
    v.depth += step.depth;
    v.shininess += step.shininess;
    v.normal += step.normal;
  }
}

}  // namespace fast

// The fast path's fillSpan: the same pixels, the same points.
template <typename Points>
void fillFastSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right,
                  Points& points) {
  const int xLeft = roundToInt(left.x);
  const int xRight = roundToInt(right.x);
  const float n = float(xRight - xLeft);
  if (n == 0) return;
  const int end = std::min(xRight, target.frame.frameWidth);
  spendWork(target.frame, target.band, std::max(end - std::max(xLeft, 0), 0));
  noteDepthWrites(target.frame, y, std::max(xLeft, 0), end);
  if constexpr (kObservesPipeline<Points>) {
    points.spanPixels(spanNumber(target.band.polygon, y, target.band.pair), y, std::max(xLeft, 0),
                      end);
  }
  points.beginSpan();
  if (target.texture != nullptr) {
    fast::texturedSpan(target, y, xLeft, end, n, left, right, points);
  } else {
    fast::colorSpan(target, y, xLeft, end, n, left, right, points);
  }
  points.endSpan();
}
