#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "raster/span_sink.h"

// What a frame gave every pixel, to the bit: the colour of its last point, how many
// points and depth-test losses it had, the level of its last point and the span that
// last walked it. A frame drawn on several threads writes each band of rows into it, as
// the tools' pictures are written, and counts apart.
class PixelPoints final : public SpanSink<PixelPoints>, public PipelineObserver {
 public:
  struct Pixel {
    Color color{0, 0, 0, 0};
    int points = 0;
    int losses = 0;
    float level = -1;
    std::uint32_t span = 0;
    bool operator==(const Pixel&) const = default;
  };

  PixelPoints(int width, int height)
      : width_(width), pixels_(std::make_shared<std::vector<Pixel>>(std::size_t(width) * height)) {}

  void beginSpan() override {}
  void endSpan() override {}
  void point(int x, int y, Color color) override {
    Pixel& p = at(x, y);
    p.color = color;
    ++p.points;
    p.level = -1;
    ++points;
  }
  void spanPixels(std::uint32_t span, int y, int first, int end) override {
    ++spans;
    for (int x = first; x < end; ++x)
      at(x, y).span = span;
  }
  void lostDepthTest(int x, int y) override {
    ++at(x, y).losses;
    ++losses;
  }
  void pointLevel(int x, int y, float level) override { at(x, y).level = level; }

  std::unique_ptr<PointSink> bandOf(int, int) override {
    auto band = std::make_unique<PixelPoints>(*this);
    band->points = band->losses = band->spans = 0;
    return band;
  }
  void joinBand(PointSink& band) override {
    const auto& counted = static_cast<const PixelPoints&>(band);
    points += counted.points;
    losses += counted.losses;
    spans += counted.spans;
  }

  const std::vector<Pixel>& pixels() const { return *pixels_; }
  long points = 0;
  long losses = 0;
  long spans = 0;

 private:
  Pixel& at(int x, int y) { return (*pixels_)[std::size_t(y) * width_ + x]; }

  int width_;
  std::shared_ptr<std::vector<Pixel>> pixels_;  // shared with the bands of a frame
};
