#pragma once

#include <vector>

#include "raster/span_sink.h"

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
class RecordingPoints final : public SpanSink<RecordingPoints> {
 public:
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
