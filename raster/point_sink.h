#pragma once

#include <bit>
#include <vector>

#include "math/vec4.h"

struct Edge;
struct PolygonTarget;

// Where finished pixels go. The viewer hands each one to OpenGL as a point in the
// pixel-space projection of the frame; tests and tools record, count or picture them.
//
// Scan conversion hands every span to the sink's fillSpan, which each sink implements
// as a call of the span loop (raster/span_fill.h) with itself: the loop is then
// compiled for that sink, and per pixel nothing is called through a pointer.
class PointSink {
 public:
  virtual ~PointSink() = default;
  // Draws the pixels of scanline y between two active edges into this sink.
  virtual void fillSpan(const PolygonTarget& target, int y, const Edge& left,
                        const Edge& right) = 0;
  // Brackets the points of one span.
  virtual void beginSpan() = 0;
  virtual void endSpan() = 0;
  // Pixel column x of scanline y gets colour's red, green and blue.
  virtual void point(int x, int y, Color color) = 0;
  // The edges of a polygon about to be scan converted, for a sink that pictures them.
  virtual void polygonEdges(const std::vector<Edge>& edges) { (void)edges; }
};

// Counts the points and draws nothing: the pipeline's own work, measured alone. Their
// colours go into a checksum, so that the compiler cannot leave out computing them.
class CountingPoints final : public PointSink {
 public:
  void fillSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right) override;
  void beginSpan() override {}
  void endSpan() override {}
  void point(int, int, Color color) override {
    ++count;
    colorBits += std::bit_cast<unsigned>(color.x) ^ std::bit_cast<unsigned>(color.y) ^
                 std::bit_cast<unsigned>(color.z);
  }
  long count = 0;
  unsigned colorBits = 0;
};
