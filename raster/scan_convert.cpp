#include "raster/scan_convert.h"

#include <algorithm>

namespace {

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
  target.frame.points->fillSpan(target, y, left, right);
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
