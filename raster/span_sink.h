#pragma once

#include <bit>
#include <memory>

#include "raster/fast_span.h"
#include "raster/point_sink.h"

// The base of every sink: its fillFastSpan runs the fast path's span loop compiled for
// the sink itself (Sink derives from SpanSink<Sink>), so that handing on a pixel is a
// direct call.
template <typename Sink>
class SpanSink : public PointSink {
 public:
  void fillFastSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right) final {
    ::fillFastSpan(target, y, left, right, static_cast<Sink&>(*this));
  }
};

// Counts the points and draws nothing: the pipeline's own work, measured alone. Their
// colours go into a checksum, so that the compiler cannot leave out computing them. On
// cache lines of its own: the bands of a frame count side by side.
class alignas(kCacheLine) CountingPoints final : public SpanSink<CountingPoints> {
 public:
  void beginSpan() override {}
  void endSpan() override {}
  void point(int, int, Color color) override {
    ++count;
    colorBits += std::bit_cast<unsigned>(color.x) ^ std::bit_cast<unsigned>(color.y) ^
                 std::bit_cast<unsigned>(color.z);
  }
  // Bands of a frame drawn on several threads count apart; their counts add up.
  std::unique_ptr<PointSink> bandOf(int, int) override {
    return std::make_unique<CountingPoints>();
  }
  void joinBand(PointSink& band) override {
    const auto& counted = static_cast<const CountingPoints&>(band);
    count += counted.count;
    colorBits += counted.colorBits;
  }

  long count = 0;
  unsigned colorBits = 0;
};
