#pragma once

#include <algorithm>
#include <tuple>

#include "math/float4.h"
#include "math/rounding.h"
#include "raster/edge.h"
#include "raster/fragment.h"
#include "raster/pixel_lighting.h"

// The span loop: the pixels of one scanline between two active edges, each value
// interpolated linearly in x from the left edge's values to the right edge's. It is a
// template on the sink so that each kind of sink gets its own copy, in which handing on
// a pixel is a direct call; scan conversion reaches it through PointSink::fillSpan.
//
// A sink that wants to see more than the points says so with a member of its own, and
// only its copy of the loop does the extra work:
//   spanPixels(y, first, end)  the columns a span walks, before any of its points;
//   lostDepthTest(x, y)        a fragment failed the depth test;
//   pointLevel(x, y, level)    the texture level a textured point was sampled at.

namespace spans {

// What a textured span carries from its left edge to its right: the perspective
// texture terms and the depth. The texture colour replaces the interpolated colour
// entirely, so the colour, shininess and normal are not carried.
struct TexturedSpan {
  // s/w and t/w, then the edges' change of s/w and t/w per scanline, carried across
  // the span like values: the vertical texture derivatives.
  Float4 perspective;
  float oneOverW;
  float depth;
  static constexpr auto kValues =
      std::tuple{&TexturedSpan::perspective, &TexturedSpan::oneOverW, &TexturedSpan::depth};
};

// What a span without texture carries: the depth and the colour, and the shininess and
// normal that the per-pixel highlight needs.
struct ColouredSpan {
  Float4 color;
  float depth;
  float shininess;
  Vec3 normal;
  static constexpr auto kValues = std::tuple{&ColouredSpan::color, &ColouredSpan::depth,
                                             &ColouredSpan::shininess, &ColouredSpan::normal};
};

inline TexturedSpan texturedValuesOf(const Edge& edge) {
  return {Float4{edge.sOverW, edge.tOverW, edge.sOverWStep, edge.tOverWStep}, edge.oneOverW,
          edge.z};
}

inline ColouredSpan colouredValuesOf(const Edge& edge) {
  return {toFloat4(edge.color), edge.z, edge.shininess, edge.normal};
}

// Applies f to each value of a with the matching value of b.
template <typename Span, typename F>
void forEachValue(Span& a, const Span& b, F f) {
  std::apply([&](auto... value) { (f(a.*value, b.*value), ...); }, Span::kValues);
}

// The increment per pixel, (right - left) / n: for a scalar the difference is formed
// in double and the quotient rounded once; the normal is divided as a Vec3.
inline float perPixel(float left, float right, float n) {
  return static_cast<float>((double(right) - left) / n);
}
inline Float4 perPixel(Float4 left, Float4 right, float n) {
  return Float4{perPixel(left[0], right[0], n), perPixel(left[1], right[1], n),
                perPixel(left[2], right[2], n), perPixel(left[3], right[3], n)};
}
inline Vec3 perPixel(Vec3 left, Vec3 right, float n) {
  return (right - left) / n;
}

// A value after `pixels` increments at once: value + increment x pixels, rounded once
// for a scalar; the normal as Vec3 arithmetic.
inline float skipped(float value, float increment, float pixels) {
  return static_cast<float>(value + double(increment) * pixels);
}
inline Float4 skipped(Float4 v, Float4 i, float pixels) {
  return Float4{skipped(v[0], i[0], pixels), skipped(v[1], i[1], pixels),
                skipped(v[2], i[2], pixels), skipped(v[3], i[3], pixels)};
}
inline Vec3 skipped(Vec3 value, Vec3 increment, float pixels) {
  return value + increment * pixels;
}

template <typename Span>
Span perPixel(const Span& left, const Span& right, float n) {
  Span increment = right;
  forEachValue(increment, left, [n](auto& r, const auto& l) { r = perPixel(l, r, n); });
  return increment;
}

template <typename Span>
void stepRight(Span& values, const Span& increment) {
  forEachValue(values, increment, [](auto& v, const auto& i) { v += i; });
}

template <typename Span>
void skipRight(Span& values, const Span& increment, float pixels) {
  forEachValue(values, increment, [pixels](auto& v, const auto& i) { v = skipped(v, i, pixels); });
}

// The pixels x to end - 1 of scanline y, the values interpolated from `left`'s to
// `right`'s over n pixels, the first pixel x - xLeft increments in.
template <typename Span, typename Pixel>
void walkSpan(int xLeft, int end, float n, const Span& left, const Span& right, Pixel pixel) {
  Span values = left;
  const Span increment = perPixel(left, right, n);
  int x = xLeft;
  if (x < 0) {
    skipRight(values, increment, float(-x));
    x = 0;
  }
  for (; x < end; ++x) {
    pixel(x, values, increment);
    stepRight(values, increment);
  }
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
  if constexpr (requires { points.spanPixels(y, xLeft, end); }) {
    points.spanPixels(y, std::max(xLeft, 0), end);
  }
  points.beginSpan();
  if (target.texture != nullptr) {
    TexturedQuad quad;
    spans::walkSpan(xLeft, end, n, spans::texturedValuesOf(left), spans::texturedValuesOf(right),
                    [&](int x, const spans::TexturedSpan& v, const spans::TexturedSpan& increment) {
                      quad.perPixel = Float4{increment.perspective[0], increment.perspective[1]};
                      drawTexturedFragment(target, x, y, v.depth, v.perspective, v.oneOverW, quad,
                                           points);
                    });
    finishQuads(target, y, quad, points);
  } else {
    const bool lighting = target.context.lighting;
    const Color specular = left.lower->specular;
    spans::walkSpan(xLeft, end, n, spans::colouredValuesOf(left), spans::colouredValuesOf(right),
                    [&](int x, const spans::ColouredSpan& v, const spans::ColouredSpan&) {
                      Color color = toColor(v.color);
                      if (lighting) {
                        color = color + pixelSpecular(target.context, target.frame.frameWidth,
                                                      target.frame.frameHeight, target.eye,
                                                      {float(x), float(y), v.depth}, v.normal,
                                                      v.shininess, specular);
                      }
                      drawColouredFragment(target, x, y, v.depth, color, points);
                    });
  }
  points.endSpan();
}
