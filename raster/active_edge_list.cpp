#include "raster/active_edge_list.h"

#include <utility>

void ActiveEdgeList::restart() {
  edges.clear();
  y = -1;
}

void ActiveEdgeList::insert(Edge& edge) {
  edges.push_back(&edge);
  sortByX();
}

void ActiveEdgeList::nextScanline(std::span<Edge* const> bucket) {
  ++y;
  // An edge is active on every scanline from yStart to yEnd inclusive; every edge is
  // stepped, also the ones that leave now.
  std::size_t kept = 0;
  for (Edge* edge : edges) {
    edge->step();
    if (edge->yEnd >= y) edges[kept++] = edge;
  }
  work += std::int64_t(edges.size());
  edges.resize(kept);
  edges.insert(edges.end(), bucket.begin(), bucket.end());
  sortByX();
  dropSharedVertices();
}

void ActiveEdgeList::sortByX() {
  // Insertion sort: the same order as repeated passes of swapping neighbours whose later
  // x is smaller (each edge moves left past every edge of larger x, and stops at one of
  // equal or smaller x, or that is not a number), in time that grows with how far the
  // order is from sorted, which from one scanline to the next is hardly at all. Each
  // move is counted as work.
  for (std::size_t i = 1; i < edges.size(); ++i) {
    Edge* const edge = edges[i];
    std::size_t j = i;
    for (; j > 0 && edge->x < edges[j - 1]->x; --j)
      edges[j] = edges[j - 1];
    edges[j] = edge;
    work += std::int64_t(i - j);
  }
}

void ActiveEdgeList::dropSharedVertices() {
  // One walk, keeping edges[0, kept): the edge before an edge is the last one kept, the
  // edge after it the next one not yet walked. Dropping an edge changes only what lies
  // after the edge kept before it, which is then looked at again, and dropped in turn
  // where it now ends beside an edge that starts: just as a walk started again from the
  // first edge after every drop would find, in one pass.
  const auto drops = [this](const Edge* edge, const Edge* before, const Edge* after) {
    return edge->yEnd == y &&
           ((before != nullptr && before->yStart == y) || (after != nullptr && after->yStart == y));
  };
  std::size_t kept = 0;
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const Edge* after = i + 1 < edges.size() ? edges[i + 1] : nullptr;
    if (!drops(edges[i], kept > 0 ? edges[kept - 1] : nullptr, after)) {
      edges[kept++] = edges[i];
      continue;
    }
    while (kept > 0 && drops(edges[kept - 1], kept > 1 ? edges[kept - 2] : nullptr, after))
      --kept;
  }
  edges.resize(kept);
}
