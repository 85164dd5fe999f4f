#include "raster/point_sink.h"

#include "raster/span_fill.h"

void CountingPoints::fillSpan(const PolygonTarget& target, int y, const Edge& left,
                              const Edge& right) {
  ::fillSpan(target, y, left, right, *this);
}
