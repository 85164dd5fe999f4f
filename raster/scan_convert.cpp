#include "raster/scan_convert.h"

#include <algorithm>

#include "math/rounding.h"
#include "raster/pixel_lighting.h"

namespace {

// The values a span interpolates, with the edges' vertical rates of s/w and t/w
// carried along as the vertical texture derivatives.
struct SpanValues {
  float depth;
  Color color;
  float shininess;
  float sOverW;
  float tOverW;
  float oneOverW;
  float sOverWPerScanline;
  float tOverWPerScanline;
  Vec3 normal;
};

SpanValues valuesOf(const Edge& edge) {
  return {edge.z,        edge.color,      edge.shininess,  edge.sOverW, edge.tOverW,
          edge.oneOverW, edge.sOverWStep, edge.tOverWStep, edge.normal};
}

// Applies f to each scalar of a with the matching scalar of b.
template <typename F>
void eachScalar(SpanValues& a, const SpanValues& b, F f) {
  f(a.depth, b.depth);
  f(a.color.x, b.color.x);
  f(a.color.y, b.color.y);
  f(a.color.z, b.color.z);
  f(a.color.w, b.color.w);
  f(a.shininess, b.shininess);
  f(a.sOverW, b.sOverW);
  f(a.tOverW, b.tOverW);
  f(a.oneOverW, b.oneOverW);
  f(a.sOverWPerScanline, b.sOverWPerScanline);
  f(a.tOverWPerScanline, b.tOverWPerScanline);
}

// (right - left) / n for every value, the difference formed first.
SpanValues perPixel(const SpanValues& left, const SpanValues& right, float n) {
  SpanValues increment = right;
  eachScalar(increment, left,
             [n](float& r, float l) { r = static_cast<float>((double(r) - l) / n); });
  increment.normal = (right.normal - left.normal) / n;
  return increment;
}

void stepRight(SpanValues& values, const SpanValues& increment) {
  eachScalar(values, increment, [](float& v, float i) { v += i; });
  values.normal += increment.normal;
}

void skipRight(SpanValues& values, const SpanValues& increment, float pixels) {
  eachScalar(values, increment,
             [pixels](float& v, float i) { v = static_cast<float>(v + double(i) * pixels); });
  values.normal += increment.normal * pixels;
}

TextureTerms textureTerms(const SpanValues& values, const SpanValues& increment) {
  return {values.sOverW,           values.tOverW,    values.oneOverW,
          increment.sOverW,        increment.tOverW, values.sOverWPerScanline,
          values.tOverWPerScanline};
}

// Stable: edges starting on the same scanline keep their order in the edge list.
void sortByFirstScanline(std::vector<Edge*>& edges) {
  for (std::size_t i = 1; i < edges.size(); ++i) {
    for (std::size_t j = i; j > 0 && edges[j]->yStart < edges[j - 1]->yStart; --j) {
      std::swap(edges[j], edges[j - 1]);
    }
  }
}

}  // namespace

void fillSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right) {
  const int xLeft = roundToInt(left.x);
  const int xRight = roundToInt(right.x);
  const float n = float(xRight - xLeft);
  if (n == 0) return;
  SpanValues values = valuesOf(left);
  const SpanValues increment = perPixel(values, valuesOf(right), n);
  int x = xLeft;
  if (x < 0) {
    skipRight(values, increment, float(-x));
    x = 0;
  }
  const int end = std::min(xRight, target.frame.frameWidth);
  const bool lighting = target.context.lighting;
  const Color specular = left.lower->specular;
  PointSink& points = *target.frame.points;
  points.beginSpan();
  for (; x < end; ++x) {
    Color color = values.color;
    if (lighting) {
      color =
          color + pixelSpecular(target.context, target.frame.frameWidth, target.frame.frameHeight,
                                target.eye, {float(x), float(y), values.depth}, values.normal,
                                values.shininess, specular);
    }
    drawFragment(target, x, y, values.depth, color, textureTerms(values, increment));
    stepRight(values, increment);
  }
  points.endSpan();
}

void scanConvert(std::vector<Edge>& edges, const PolygonTarget& target) {
  const int height = target.frame.frameHeight;
  ActiveEdgeList& active = target.frame.scratch.activeEdges;
  std::vector<Edge*>& waiting = target.frame.scratch.waiting;
  active.restart();
  waiting.clear();
  for (Edge& edge : edges) {
    if (edge.yStart == edge.yEnd || edge.yStart >= height) continue;
    if (edge.yStart < 0) {
      // Onto scanline -1, so that entering scanline 0 steps it like every other edge.
      edge.advance(float(-1 - edge.yStart));
      active.insert(edge);
    } else {
      waiting.push_back(&edge);
    }
  }
  sortByFirstScanline(waiting);

  auto next = waiting.begin();
  for (int y = 0; y < height; ++y) {
    if (active.edges.empty()) {
      if (next == waiting.end()) break;
      // Nothing to draw until the next edge starts.
      y = (*next)->yStart;
      active.y = y - 1;
    }
    auto bucketEnd = next;
    while (bucketEnd != waiting.end() && (*bucketEnd)->yStart == y)
      ++bucketEnd;
    active.nextScanline({next, bucketEnd});
    next = bucketEnd;
    for (std::size_t i = 1; i < active.edges.size(); i += 2) {
      fillSpan(target, active.y, *active.edges[i - 1], *active.edges[i]);
    }
  }
}
