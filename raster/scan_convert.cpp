#include "raster/scan_convert.h"

#include <algorithm>

#include "math/rounding.h"
#include "raster/depth_buffer.h"
#include "raster/fragment.h"
#include "raster/frame_budget.h"
#include "raster/pixel_lighting.h"

namespace {

// Stable: edges starting on the same scanline keep their order in the edge list. Runs
// of edges merged pairwise, each pass from one list into the other: however the edges
// of a polygon of thousands of corners are ordered, the time grows as n log n, and
// nothing is allocated once `spare` has grown to the largest polygon.
void sortByFirstScanline(std::vector<Edge*>& edges, std::vector<Edge*>& spare) {
  const auto earlier = [](const Edge* a, const Edge* b) { return a->yStart < b->yStart; };
  const std::size_t n = edges.size();
  spare.resize(n);
  for (std::size_t run = 1; run < n; run *= 2) {
    for (std::size_t first = 0; first < n; first += 2 * run) {
      const std::size_t middle = std::min(first + run, n);
      const std::size_t last = std::min(first + 2 * run, n);
      std::merge(edges.begin() + long(first), edges.begin() + long(middle),
                 edges.begin() + long(middle), edges.begin() + long(last),
                 spare.begin() + long(first), earlier);
    }
    edges.swap(spare);
  }
}

// The values a span carries from its left edge to its right one, in this order, or how
// much each changes per pixel.
struct SpanValues {
  float depth;
  Color color;
  float shininess;
  float sOverW;
  float tOverW;
  float oneOverW;
  // The edges' change of s/w and t/w per scanline, carried across the span like the
  // values: the vertical texture derivatives.
  float sOverWPerScanline;
  float tOverWPerScanline;
  Vec3 normal;
};

SpanValues valuesOf(const Edge& edge) {
  return {edge.z,        edge.color,      edge.shininess,  edge.sOverW, edge.tOverW,
          edge.oneOverW, edge.sOverWStep, edge.tOverWStep, edge.normal};
}

// (right - left) / n, the difference formed in double and the quotient rounded once.
float perPixel(float left, float right, float n) {
  return static_cast<float>((double(right) - left) / n);
}

// value + step x pixels, formed in double and rounded once.
float after(float value, float step, float pixels) {
  return static_cast<float>(value + double(step) * pixels);
}

SpanValues perPixel(const SpanValues& l, const SpanValues& r, float n) {
  return {perPixel(l.depth, r.depth, n),
          {perPixel(l.color.x, r.color.x, n), perPixel(l.color.y, r.color.y, n),
           perPixel(l.color.z, r.color.z, n), perPixel(l.color.w, r.color.w, n)},
          perPixel(l.shininess, r.shininess, n),
          perPixel(l.sOverW, r.sOverW, n),
          perPixel(l.tOverW, r.tOverW, n),
          perPixel(l.oneOverW, r.oneOverW, n),
          perPixel(l.sOverWPerScanline, r.sOverWPerScanline, n),
          perPixel(l.tOverWPerScanline, r.tOverWPerScanline, n),
          (r.normal - l.normal) / n};
}

// Every value moved `pixels` steps at once.
void skip(SpanValues& v, const SpanValues& step, float pixels) {
  v.depth = after(v.depth, step.depth, pixels);
  v.color = {after(v.color.x, step.color.x, pixels), after(v.color.y, step.color.y, pixels),
             after(v.color.z, step.color.z, pixels), after(v.color.w, step.color.w, pixels)};
  v.shininess = after(v.shininess, step.shininess, pixels);
  v.sOverW = after(v.sOverW, step.sOverW, pixels);
  v.tOverW = after(v.tOverW, step.tOverW, pixels);
  v.oneOverW = after(v.oneOverW, step.oneOverW, pixels);
  v.sOverWPerScanline = after(v.sOverWPerScanline, step.sOverWPerScanline, pixels);
  v.tOverWPerScanline = after(v.tOverWPerScanline, step.tOverWPerScanline, pixels);
  v.normal = v.normal + step.normal * pixels;
}

// Every value moved one pixel to the right.
void step(SpanValues& v, const SpanValues& step) {
  v.depth += step.depth;
  v.color = v.color + step.color;
  v.shininess += step.shininess;
  v.sOverW += step.sOverW;
  v.tOverW += step.tOverW;
  v.oneOverW += step.oneOverW;
  v.sOverWPerScanline += step.sOverWPerScanline;
  v.tOverWPerScanline += step.tOverWPerScanline;
  v.normal += step.normal;
}

}  // namespace

void fillSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right) {
  const int xLeft = roundToInt(left.x);
  const int xRight = roundToInt(right.x);
  const float n = float(xRight - xLeft);
  if (n == 0) return;
  // Each pixel gets the values it would have after x - xLeft steps from the left
  // edge's, with no correction for the distance between the edge and the pixel.
  SpanValues v = valuesOf(left);
  const SpanValues increment = perPixel(v, valuesOf(right), n);
  int x = xLeft;
  if (x < 0) {
    skip(v, increment, float(-x));
    x = 0;
  }
  const int end = std::min(xRight, target.frame.frameWidth);
  RowBand& band = target.band;
  spendWork(target.frame, band, std::max(end - x, 0));
  noteDepthWrites(target.frame, y, x, end);
  if (band.observer != nullptr) {
    band.observer->spanPixels(spanNumber(band.polygon, y, band.pair), y, x, end);
  }
  band.points->beginSpan();
  for (; x < end; ++x) {
    const Color lit = spanHighlight(target, left, x, y, v.depth, v.normal, v.shininess);
    const TextureTerms terms{v.sOverW,           v.tOverW,         v.oneOverW,
                             increment.sOverW,   increment.tOverW, v.sOverWPerScanline,
                             v.tOverWPerScanline};
    const FragmentOutcome drawn = drawFragment(target, x, y, v.depth, v.color + lit, terms);
    if (band.observer != nullptr) {
      band.observer->fragmentSeen({&target, band.polygon, &left, &right, x, y, v.depth, v.color,
                                   lit, v.normal, v.shininess, terms, drawn});
    }
    step(v, increment);
  }
  band.points->endSpan();
}

void scanConvert(std::vector<Edge>& edges, const PolygonTarget& target) {
  RowBand& band = target.band;
  const int height = std::min(band.end, target.frame.frameHeight);
  ActiveEdgeList& active = band.scratch.activeEdges;
  std::vector<Edge*>& waiting = band.scratch.waiting;
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
  sortByFirstScanline(waiting, band.scratch.spareEdges);

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
    // Scanlines below the band are walked, so that the edges reach its first scanline
    // stepped one scanline at a time and in the order of one walk, but not filled: they
    // are another band's, and so is what they cost.
    const std::int64_t work = active.work;
    active.work = 0;
    if (active.y < band.first) continue;
    spendWork(target.frame, band, work);
    for (std::size_t i = 1; i < active.edges.size(); i += 2) {
      const Edge& left = *active.edges[i - 1];
      const Edge& right = *active.edges[i];
      band.pair = int(i / 2);
      if (target.frame.fragmentPath == FragmentPath::Plain) {
        fillSpan(target, active.y, left, right);
      } else {
        band.points->fillFastSpan(target, active.y, left, right);
      }
    }
  }
}
