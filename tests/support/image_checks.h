#pragma once

#include <cstdlib>

#include "tools/imaging/image.h"

// Pixels of `image` inside the rectangle [x0, x1) x [y0, y1), rows counted from the
// bottom as OpenGL does, whose channels are all within `tolerance` of `color`.
inline int countNear(const Image& image, Rgb color, int tolerance, int x0 = 0, int y0 = 0,
                     int x1 = -1, int y1 = -1) {
  if (x1 < 0) x1 = image.width;
  if (y1 < 0) y1 = image.height;
  int count = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const Rgb p = image.atGl(x, y);
      if (std::abs(p.r - color.r) <= tolerance && std::abs(p.g - color.g) <= tolerance &&
          std::abs(p.b - color.b) <= tolerance) {
        ++count;
      }
    }
  }
  return count;
}

// Pixels that differ between two pictures of the same size, within the rows y0 to y1
// counted from the bottom.
inline int countDifferent(const Image& a, const Image& b, int y0 = 0, int y1 = -1) {
  if (y1 < 0) y1 = a.height;
  int count = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = 0; x < a.width; ++x)
      count += a.atGl(x, y) == b.atGl(x, y) ? 0 : 1;
  }
  return count;
}

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kBlack{0, 0, 0};
// The tile texture's interior in 8 bits, as OpenGL shows (0.8, 0.4988, 0.2).
inline constexpr Rgb kTile{204, 127, 51};
