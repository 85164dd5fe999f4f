#pragma once

#include <algorithm>
#include <tuple>

#include "math/float4.h"
#include "math/rounding.h"
#include "raster/edge.h"
#include "raster/fast_fragment.h"
#include "raster/fragment.h"
#include "raster/pixel_lighting.h"

// The span loop: the pixels of one scanline between two active edges, each value
// interpolated linearly in x from the left edge's values to the right edge's. It is a
// template on the sink so that each kind of sink gets its own copy, in which handing on
// a pixel is a direct call; scan conversion reaches it through PointSink::fillSpan.
//
// The plain path carries every value of the edges across the span and calls the
// fragment stage once a pixel. The fast path carries only what a span needs, and
// colours the pixels of a textured span four at a time.

namespace spans {

// Everything an edge carries, as a span interpolates it: the plain path's values.
struct PlainSpan {
  float depth;
  Color color;
  float shininess;
  float sOverW;
  float tOverW;
  float oneOverW;
  // The edges' change of s/w and t/w per scanline, carried across the span like
  // values: the vertical texture derivatives.
  float sOverWPerScanline;
  float tOverWPerScanline;
  Vec3 normal;
  static constexpr auto kValues = std::tuple{&PlainSpan::depth,
                                             &PlainSpan::color,
                                             &PlainSpan::shininess,
                                             &PlainSpan::sOverW,
                                             &PlainSpan::tOverW,
                                             &PlainSpan::oneOverW,
                                             &PlainSpan::sOverWPerScanline,
                                             &PlainSpan::tOverWPerScanline,
                                             &PlainSpan::normal};
};

// What a textured span carries on the fast path: the perspective texture terms and the
// depth. The texture colour replaces the interpolated colour entirely, so the colour,
// shininess and normal are not carried.
struct TexturedSpan {
  // s/w and t/w, then their rates per scanline.
  Float4 perspective;
  float oneOverW;
  float depth;
  static constexpr auto kValues =
      std::tuple{&TexturedSpan::perspective, &TexturedSpan::oneOverW, &TexturedSpan::depth};
};

// What a span without texture carries on the fast path: the depth and the colour, and
// the shininess and normal that the per-pixel highlight needs.
struct ColouredSpan {
  Color color;
  float depth;
  float shininess;
  Vec3 normal;
  static constexpr auto kValues = std::tuple{&ColouredSpan::color, &ColouredSpan::depth,
                                             &ColouredSpan::shininess, &ColouredSpan::normal};
};

inline PlainSpan plainValuesOf(const Edge& edge) {
  return {edge.z,        edge.color,      edge.shininess,  edge.sOverW, edge.tOverW,
          edge.oneOverW, edge.sOverWStep, edge.tOverWStep, edge.normal};
}

inline TexturedSpan texturedValuesOf(const Edge& edge) {
  return {Float4{edge.sOverW, edge.tOverW, edge.sOverWStep, edge.tOverWStep}, edge.oneOverW,
          edge.z};
}

inline ColouredSpan colouredValuesOf(const Edge& edge) {
  return {edge.color, edge.z, edge.shininess, edge.normal};
}

// Applies f to each value of a with the matching value of b.
template <typename Span, typename F>
void forEachValue(Span& a, const Span& b, F f) {
  std::apply([&](auto... value) { (f(a.*value, b.*value), ...); }, Span::kValues);
}

// The increment per pixel, (right - left) / n: for a scalar the difference is formed
// in double and the quotient rounded once; a colour component by component; the normal
// is divided as a Vec3.
inline float perPixel(float left, float right, float n) {
  return static_cast<float>((double(right) - left) / n);
}
inline Float4 perPixel(Float4 left, Float4 right, float n) {
  return Float4{perPixel(left[0], right[0], n), perPixel(left[1], right[1], n),
                perPixel(left[2], right[2], n), perPixel(left[3], right[3], n)};
}
inline Color perPixel(Color left, Color right, float n) {
  return {perPixel(left.x, right.x, n), perPixel(left.y, right.y, n), perPixel(left.z, right.z, n),
          perPixel(left.w, right.w, n)};
}
inline Vec3 perPixel(Vec3 left, Vec3 right, float n) {
  return (right - left) / n;
}

// A value after `pixels` increments at once: value + increment x pixels, rounded once
// for a scalar and for each component of a colour; the normal as Vec3 arithmetic.
inline float skipped(float value, float increment, float pixels) {
  return static_cast<float>(value + double(increment) * pixels);
}
inline Float4 skipped(Float4 v, Float4 i, float pixels) {
  return Float4{skipped(v[0], i[0], pixels), skipped(v[1], i[1], pixels),
                skipped(v[2], i[2], pixels), skipped(v[3], i[3], pixels)};
}
inline Color skipped(Color v, Color i, float pixels) {
  return {skipped(v.x, i.x, pixels), skipped(v.y, i.y, pixels), skipped(v.z, i.z, pixels),
          skipped(v.w, i.w, pixels)};
}
inline Vec3 skipped(Vec3 value, Vec3 increment, float pixels) {
  return value + increment * pixels;
}

// One pixel's step to the right.
inline void stepped(float& value, float increment) {
  value += increment;
}
inline void stepped(Float4& value, Float4 increment) {
  value += increment;
}
inline void stepped(Color& value, Color increment) {
  value = value + increment;
}
inline void stepped(Vec3& value, Vec3 increment) {
  value += increment;
}

template <typename Span>
Span perPixel(const Span& left, const Span& right, float n) {
  Span increment = right;
  forEachValue(increment, left, [n](auto& r, const auto& l) { r = perPixel(l, r, n); });
  return increment;
}

template <typename Span>
void stepRight(Span& values, const Span& increment) {
  forEachValue(values, increment, [](auto& v, const auto& i) { stepped(v, i); });
}

template <typename Span>
void skipRight(Span& values, const Span& increment, float pixels) {
  forEachValue(values, increment, [pixels](auto& v, const auto& i) { v = skipped(v, i, pixels); });
}

// Calls pixel(x, values) for the pixels x to end - 1 of a scanline, the values stepped
// from `left`'s by `increment` a pixel, the first pixel x - xLeft increments in.
template <typename Span, typename Pixel>
void walkSpan(int xLeft, int end, const Span& left, const Span& increment, Pixel pixel) {
  Span values = left;
  int x = xLeft;
  if (x < 0) {
    skipRight(values, increment, float(-x));
    x = 0;
  }
  for (; x < end; ++x) {
    pixel(x, values);
    stepRight(values, increment);
  }
}

// The specular highlight at pixel (x, y) with lighting on; nothing with it off.
inline Color highlight(const PolygonTarget& target, const Edge& left, int x, int y, float depth,
                       Vec3 normal, float shininess) {
  if (!target.context.lighting) return {0, 0, 0, 0};
  return pixelSpecular(target.context, target.frame.frameWidth, target.frame.frameHeight,
                       target.eye, {float(x), float(y), depth}, normal, shininess,
                       left.lower->specular);
}

// The plain path: every value interpolated, the highlight added to the colour, and the
// fragment stage called for every pixel.
template <typename Points>
void plainSpan(const PolygonTarget& target, int y, int xLeft, int end, float n, const Edge& left,
               const Edge& right, Points& points) {
  const PlainSpan start = plainValuesOf(left);
  const PlainSpan increment = perPixel(start, plainValuesOf(right), n);
  walkSpan(xLeft, end, start, increment, [&](int x, const PlainSpan& v) {
    const Color lit = highlight(target, left, x, y, v.depth, v.normal, v.shininess);
    const TextureTerms terms{v.sOverW,           v.tOverW,         v.oneOverW,
                             increment.sOverW,   increment.tOverW, v.sOverWPerScanline,
                             v.tOverWPerScanline};
    drawFragment(target, x, y, v.depth, v.color + lit, terms, points);
  });
}

// The fast path for a textured span: six values carried; the pixels that pass the
// depth test are coloured a batch at a time.
template <typename Points>
void texturedSpan(const PolygonTarget& target, int y, int xLeft, int end, float n, const Edge& left,
                  const Edge& right, Points& points) {
  FrameState& frame = target.frame;
  TexturedPixelBatch batch;
  const TexturedSpan start = texturedValuesOf(left);
  const TexturedSpan increment = perPixel(start, texturedValuesOf(right), n);
  walkSpan(xLeft, end, start, increment, [&](int x, const TexturedSpan& v) {
    if (passDepthTest(frame.depthBuffer, y * frame.frameWidth + x, v.depth)) {
      batch.add(x, v.perspective, v.oneOverW);
      if (batch.full()) colourBatch(target, y, batch, increment.perspective, points);
    } else if constexpr (kObservesPipeline<Points>) {
      points.lostDepthTest(x, y);
    }
  });
  if (batch.pixels > 0) colourBatch(target, y, batch, increment.perspective, points);
}

// The fast path for a span without texture: no texture terms carried.
template <typename Points>
void colouredSpan(const PolygonTarget& target, int y, int xLeft, int end, float n, const Edge& left,
                  const Edge& right, Points& points) {
  const ColouredSpan start = colouredValuesOf(left);
  walkSpan(xLeft, end, start, perPixel(start, colouredValuesOf(right), n),
           [&](int x, const ColouredSpan& v) {
             const Color lit = highlight(target, left, x, y, v.depth, v.normal, v.shininess);
             drawFragment(target, x, y, v.depth, v.color + lit, {}, points);
           });
}

}  // namespace spans

// Draws the pixels of scanline y from left's x to right's x into `points`: the left
// end is included and the right end excluded, so two polygons sharing an edge never
// both cover it. Every value is interpolated over the distance between the two rounded
// ends; pixels left of the window are skipped in one step.
template <typename Points>
void fillSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right,
              Points& points) {
  const int xLeft = roundToInt(left.x);
  const int xRight = roundToInt(right.x);
  const float n = float(xRight - xLeft);
  if (n == 0) return;
  const int end = std::min(xRight, target.frame.frameWidth);
  noteDepthWrites(target.frame, y, std::max(xLeft, 0), end);
  if constexpr (kObservesPipeline<Points>) points.spanPixels(y, std::max(xLeft, 0), end);
  points.beginSpan();
  if (target.frame.fragmentPath == FragmentPath::Plain) {
    spans::plainSpan(target, y, xLeft, end, n, left, right, points);
  } else if (target.texture != nullptr) {
    spans::texturedSpan(target, y, xLeft, end, n, left, right, points);
  } else {
    spans::colouredSpan(target, y, xLeft, end, n, left, right, points);
  }
  points.endSpan();
}
