#include "tools/imaging/legend.h"

#include <algorithm>

#include "tools/imaging/bitmap_font.h"

void LegendWriter::reserve(int end) {
  const int width = end + kMargin;
  if (width <= band.width) return;
  Image wider(width, band.height, {255, 255, 255});
  for (int y = 0; y < band.height; ++y) {
    for (int column = 0; column < band.width; ++column)
      wider.at(column, y) = band.at(column, y);
  }
  band = std::move(wider);
}

void LegendWriter::text(const std::string& words) {
  reserve(x + textWidth(words));
  drawText(band, x, 3, words, kLegendInk);
  x += textWidth(words) + kGlyphAdvance;
}

void LegendWriter::swatch(Rgb color) {
  reserve(x + 7);
  for (int dy = 0; dy < 7; ++dy) {
    for (int dx = 0; dx < 7; ++dx)
      band.at(x + dx, 3 + dy) = color;
  }
  x += 10;
}

Image withLegend(Image picture, const Image& legend) {
  const Rgb background{235, 235, 235};
  if (legend.width <= picture.width) {
    // The usual case, and at large sizes the cheap one: the legend's rows go below the
    // picture's, in place.
    for (int y = 0; y < legend.height; ++y) {
      const Rgb* row = &legend.pixels[std::size_t(y) * legend.width];
      picture.pixels.insert(picture.pixels.end(), row, row + legend.width);
      picture.pixels.insert(picture.pixels.end(), std::size_t(picture.width - legend.width),
                            background);
    }
    picture.height += legend.height;
    return picture;
  }
  Image canvas(std::max(picture.width, legend.width), picture.height + legend.height, background);
  auto place = [&canvas](const Image& part, int top) {
    for (int y = 0; y < part.height; ++y) {
      const Rgb* row = &part.pixels[std::size_t(y) * part.width];
      std::copy(row, row + part.width, &canvas.at(0, top + y));
    }
  };
  place(picture, 0);
  place(legend, picture.height);
  return canvas;
}
