#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "raster/edge.h"

// The edges that cross the current scanline, sorted by x. Scan conversion pairs them,
// first with second, third with fourth, into spans.
class ActiveEdgeList {
 public:
  // Empties the list for a new polygon and puts it before scanline 0; the storage is
  // kept.
  void restart();

  // Adds an edge that is already on the current scanline.
  void insert(Edge& edge);

  // Moves to the next scanline: steps every edge, drops those that ended on the
  // scanline before, adds `bucket` (the edges starting on the new scanline, which are
  // not stepped), sorts by x and drops the doubled edge at every vertex where the
  // outline goes on upwards.
  void nextScanline(std::span<Edge* const> bucket);

  // Stable bubble sort by x: edges of equal x keep their order.
  void sortByX();

  // Removes an edge ending on this scanline when an edge next to it in x order starts
  // here, so that a vertex where the outline goes on upwards counts once. Peaks (two
  // edges ending) and valleys (two starting) keep both edges.
  void dropSharedVertices();

  std::vector<Edge*> edges;
  int y = -1;  // the current scanline
  // Edges stepped and moved while sorting, since scan conversion last took the count:
  // what the scanlines cost besides their fragments.
  std::int64_t work = 0;
};
