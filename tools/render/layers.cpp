#include "tools/render/layers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "math/vec4.h"
#include "raster/depth_buffer.h"
#include "tools/imaging/bitmap_font.h"

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kInk = kLegendInk;
constexpr Rgb kUndrawn{225, 235, 245};  // pale blue: nothing drawn here

Rgb mix(Rgb a, Rgb b, float t) {
  auto channel = [t](int x, int y) { return std::uint8_t(float(x) + float(y - x) * t + 0.5f); };
  return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// A colour scale from dark blue through green to yellow, even in lightness, for t in
// [0, 1].
Rgb scaleColor(float t) {
  static constexpr Rgb kStops[] = {
      {68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}};
  // Not a number (a level of NaN, from a pixel at the eye plane) takes the scale's start:
  // std::clamp would hand it through, and it would index nothing.
  const float at = (t > 0 ? std::min(t, 1.0f) : 0.0f) * 4;
  const int stop = std::min(int(at), 3);
  return mix(kStops[stop], kStops[stop + 1], at - float(stop));
}

Rgb fromColor(Color c) {
  return {std::uint8_t(c.x * 255 + 0.5f), std::uint8_t(c.y * 255 + 0.5f),
          std::uint8_t(c.z * 255 + 0.5f)};
}

std::string decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

// Rows from the top of the picture, as the pipeline counts them from the bottom.
template <typename F>
void eachPixel(int width, int height, F f) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      f(x, y, height - 1 - y);
  }
}

}  // namespace

Layer depthLayer(const FrameState& frame) {
  const int width = frame.frameWidth;
  const int height = frame.frameHeight;
  float nearest = INFINITY;
  float farthest = -INFINITY;
  for (float z : frame.depthBuffer) {
    if (z == kEmptyDepth) continue;
    nearest = std::min(nearest, z);
    farthest = std::max(farthest, z);
  }
  Layer layer{"depth.png", Image(width, height), {}};
  const float range = farthest > nearest ? farthest - nearest : 1;
  eachPixel(width, height, [&](int x, int y, int row) {
    const float z = frame.depthBuffer[std::size_t(row) * width + x];
    layer.picture.at(x, y) =
        z == kEmptyDepth ? kUndrawn : mix({30, 30, 30}, {235, 235, 235}, (z - nearest) / range);
  });
  const bool drawn = nearest <= farthest;
  const std::string nearText = drawn ? "NEAR " + decimal(nearest) : "NOTHING DRAWN";
  const std::string farText = drawn ? "FAR " + decimal(farthest) : "";
  LegendWriter legend;
  legend.text(nearText);
  for (float t : {0.0f, 1.0f / 3, 2.0f / 3, 1.0f})
    legend.swatch(mix({30, 30, 30}, {235, 235, 235}, t));
  legend.text(farText);
  legend.swatch(kUndrawn);
  legend.text("NONE");
  layer.legend = legend.band;
  return layer;
}

Layer levelLayer(const LayerPoints& points, bool mipmaps) {
  // The scale runs from 0 to the whole level above the coarsest one sampled.
  float coarsest = 0;
  for (const PixelRecord& r : points.records)
    coarsest = std::max(coarsest, r.drawn > 0 ? r.level : 0.0f);
  const float top = std::max(1.0f, std::ceil(coarsest));
  Layer layer{"level.png", Image(points.width, points.height, kWhite), {}};
  auto levelAt = [&](int x, int row) {
    return points.records[std::size_t(row) * points.width + x].level;
  };
  eachPixel(points.width, points.height, [&](int x, int y, int row) {
    const float level = levelAt(x, row);
    if (points.records[std::size_t(row) * points.width + x].drawn == 0) return;
    if (level < 0) {
      layer.picture.at(x, y) = {190, 190, 190};
      return;
    }
    // A line where the whole level changes between this pixel and the next one along.
    const bool crossing = (x + 1 < points.width && levelAt(x + 1, row) >= 0 &&
                           std::floor(levelAt(x + 1, row)) != std::floor(level)) ||
                          (row > 0 && levelAt(x, row - 1) >= 0 &&
                           std::floor(levelAt(x, row - 1)) != std::floor(level));
    layer.picture.at(x, y) = crossing ? kInk : scaleColor(level / top);
  });
  const int barWidth = 24 * int(top);
  LegendWriter legend;
  legend.text(mipmaps ? "LEVEL" : "MIPMAPPING OFF: LEVEL");
  const int barLeft = legend.x;
  legend.reserve(barLeft + barWidth + kGlyphAdvance);
  for (int dx = 0; dx < barWidth; ++dx) {
    for (int dy = 0; dy < 4; ++dy)
      legend.band.at(barLeft + dx, 1 + dy) = scaleColor(float(dx) / float(barWidth - 1));
  }
  for (int level = 0; level <= int(top); ++level) {
    const int at = barLeft + std::min(barWidth - 1, level * 24);
    legend.band.at(at, 5) = kInk;
    drawText(legend.band, at - 2, 6, std::to_string(level), kInk);
  }
  legend.x = barLeft + barWidth + kGlyphAdvance;
  legend.swatch({190, 190, 190});
  legend.text("NO TEXTURE");
  layer.legend = legend.band;
  return layer;
}

Layer spansLayer(const LayerPoints& points) {
  // Hues a golden section apart, so that neighbouring spans never look alike; 61 of
  // them, a prime, so that spans a row apart rarely share one.
  static const std::vector<Rgb> palette = [] {
    std::vector<Rgb> colors;
    for (int i = 0; i < 61; ++i) {
      const float hue = float(std::fmod(i * 0.6180339887, 1.0));
      colors.push_back(fromColor(Color::fromHSV(hue, 0.65f, 0.95f, 1)));
    }
    return colors;
  }();
  Layer layer{"spans.png", Image(points.width, points.height, kWhite), {}};
  eachPixel(points.width, points.height, [&](int x, int y, int row) {
    const PixelRecord& record = points.records[std::size_t(row) * points.width + x];
    if (record.drawn == 0 && record.lost == 0) return;  // no span walked it
    const std::uint32_t span = record.span;
    layer.picture.at(x, y) = palette[span % palette.size()];
  });
  const std::string words = "EACH SPAN ITS OWN COLOUR: " + std::to_string(points.spans);
  LegendWriter legend;
  legend.text(words);
  layer.legend = legend.band;
  return layer;
}

Layer overdrawLayer(const LayerPoints& points) {
  // A colour for each count from 1 to 7, and one for 8 and more: 2, the front and back
  // of a closed surface, a quiet blue, so that more stands out.
  static constexpr Rgb kCounts[] = {{200, 200, 200}, {130, 175, 220}, {80, 180, 90},
                                    {240, 200, 40},  {240, 130, 40},  {215, 45, 45},
                                    {165, 55, 165},  {60, 20, 60}};
  constexpr int kLast = int(std::size(kCounts));
  Layer layer{"overdraw.png", Image(points.width, points.height, kUndrawn), {}};
  eachPixel(points.width, points.height, [&](int x, int y, int row) {
    const PixelRecord& r = points.records[std::size_t(row) * points.width + x];
    const int fragments = r.drawn + r.lost;
    if (fragments > 0) layer.picture.at(x, y) = kCounts[std::min(fragments, kLast) - 1];
  });
  LegendWriter legend;
  legend.text("FRAGMENTS A PIXEL");
  for (int count = 1; count <= kLast; ++count) {
    legend.swatch(kCounts[count - 1]);
    legend.x -= 2;
    legend.text(count == kLast ? "8+" : std::to_string(count));
  }
  legend.swatch(kUndrawn);
  legend.text("NONE");
  layer.legend = legend.band;
  return layer;
}

Layer edgesLayer(const LayerPoints& points) {
  Layer layer{"edges.png", Image(points.width, points.height), {}};
  for (std::size_t i = 0; i < layer.picture.pixels.size(); ++i)
    layer.picture.pixels[i] = mix(points.picture.pixels[i], kWhite, 0.75f);
  auto plot = [&](int x, int windowY, Rgb color) {
    const int y = points.height - 1 - windowY;
    if (x >= 0 && y >= 0 && x < points.width && y < points.height) layer.picture.at(x, y) = color;
  };
  for (const LayerPoints::EdgeLine& e : points.edges) {
    const Rgb color = fromColor(Color::fromHSV(float(e.polygon) * 0.3f + 0.55f, 0.9f, 0.7f, 1));
    const float length = std::max(std::fabs(e.x1 - e.x0), std::fabs(e.y1 - e.y0));
    const int steps = std::min(int(std::ceil(length)), 4 * (points.width + points.height));
    for (int i = 0; i <= steps; ++i) {
      const float t = steps > 0 ? float(i) / float(steps) : 0;
      plot(int(std::lround(e.x0 + (e.x1 - e.x0) * t)), int(std::lround(e.y0 + (e.y1 - e.y0) * t)),
           color);
    }
  }
  // The corners last, so that no line crosses one; both ends of every edge, since a
  // peak is the lower end of no edge.
  auto corner = [&](float x, float y) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx)
        plot(int(std::lround(x)) + dx, int(std::lround(y)) + dy, kInk);
    }
  };
  for (const LayerPoints::EdgeLine& e : points.edges) {
    corner(e.x0, e.y0);
    corner(e.x1, e.y1);
  }
  LegendWriter legend;
  legend.text("EDGES IN WINDOW SPACE,");
  legend.swatch(kInk);
  legend.text("CORNERS");
  layer.legend = legend.band;
  return layer;
}
