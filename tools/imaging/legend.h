#pragma once

#include <string>

#include "tools/imaging/image.h"

inline constexpr Rgb kLegendInk{20, 20, 20};

// A legend band below a picture: text and swatches from left to right, the band as
// wide as they are and a margin.
struct LegendWriter {
  static constexpr int kHeight = 13;
  static constexpr int kMargin = 3;
  Image band{2 * kMargin, kHeight, {255, 255, 255}};
  int x = kMargin;

  // Widens the band, when need be, to hold columns up to `end` - 1 and the margin.
  void reserve(int end);
  void text(const std::string& words);
  void swatch(Rgb color);
};

// The picture with its legend below it, on one canvas.
Image withLegend(Image picture, const Image& legend);
