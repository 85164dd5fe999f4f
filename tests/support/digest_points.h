#pragma once

#include <bit>
#include <cstdint>

#include "raster/span_sink.h"

// A digest of the point stream, FNV-1a over every point (x, y and the float bits of its
// colour) and over every span's opening and closing: one bit changed anywhere changes
// it.
class DigestPoints final : public SpanSink<DigestPoints> {
 public:
  void beginSpan() override { add('B'); }
  void endSpan() override { add('E'); }
  void point(int x, int y, Color color) override {
    add('P');
    add(std::uint32_t(x));
    add(std::uint32_t(y));
    add(std::bit_cast<std::uint32_t>(color.x));
    add(std::bit_cast<std::uint32_t>(color.y));
    add(std::bit_cast<std::uint32_t>(color.z));
    ++points;
  }

  std::uint64_t digest = 14695981039346656037u;
  long points = 0;

 private:
  void add(std::uint32_t word) {
    for (int i = 0; i < 4; ++i) {
      digest ^= (word >> (8 * i)) & 0xff;
      digest *= 1099511628211u;
    }
  }
};
