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
  edges.resize(kept);
  edges.insert(edges.end(), bucket.begin(), bucket.end());
  sortByX();
  dropSharedVertices();
}

void ActiveEdgeList::sortByX() {
  // Insertion sort: the same order as repeated passes of swapping neighbours whose later
  // x is smaller (each edge moves left past every edge of larger x, and stops at one of
  // equal or smaller x, or that is not a number), in time that grows with how far the
  // order is from sorted, which from one scanline to the next is hardly at all.
  for (std::size_t i = 1; i < edges.size(); ++i) {
    Edge* const edge = edges[i];
    std::size_t j = i;
    for (; j > 0 && edge->x < edges[j - 1]->x; --j)
      edges[j] = edges[j - 1];
    edges[j] = edge;
  }
}

void ActiveEdgeList::dropSharedVertices() {
  auto startsHere = [this](std::size_t i) { return edges[i]->yStart == y; };
  std::size_t i = 0;
  while (i < edges.size()) {
    const bool endsHere = edges[i]->yEnd == y;
    const bool besideStart =
        (i > 0 && startsHere(i - 1)) || (i + 1 < edges.size() && startsHere(i + 1));
    if (endsHere && besideStart) {
      edges.erase(edges.begin() + std::ptrdiff_t(i));
      // Walking again from the first edge finds nothing new before the edge left of the
      // one removed: only its right-hand neighbour changed.
      i = i > 0 ? i - 1 : 0;
    } else {
      ++i;
    }
  }
}
