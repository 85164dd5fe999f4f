#pragma once

#include <vector>

#include "raster/point_sink.h"
#include "raster/span_fill.h"

struct RecordedPoint {
  int x;
  int y;
  Color color;
};

inline bool operator==(const RecordedPoint& a, const RecordedPoint& b) {
  return a.x == b.x && a.y == b.y && a.color == b.color;
}

// Records the points the software pipeline hands on, and checks that every point
// lies inside a span and every span is closed.
class RecordingPoints final : public PointSink {
 public:
  void fillSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right) override {
    ::fillSpan(target, y, left, right, *this);
  }
  void beginSpan() override {
    if (open) ++misnested;
    open = true;
    ++spans;
  }
  void endSpan() override {
    if (!open) ++misnested;
    open = false;
  }
  void point(int x, int y, Color color) override {
    if (!open) ++misnested;
    points.push_back({x, y, color});
  }

  std::vector<RecordedPoint> points;
  int spans = 0;
  int misnested = 0;  // points outside a span, spans opened twice or closed unopened
  bool open = false;
};
