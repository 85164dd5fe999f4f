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
  if (edges.size() < 2) return;
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
      if (edges[i + 1]->x < edges[i]->x) {
        std::swap(edges[i], edges[i + 1]);
        swapped = true;
      }
    }
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
      i = 0;
    } else {
      ++i;
    }
  }
}
