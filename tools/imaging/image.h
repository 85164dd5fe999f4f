#pragma once

#include <cstdint>
#include <vector>

#include "math/vec4.h"

// An 8-bit RGB picture, rows from the top of the window down, x fastest.
struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

inline bool operator==(Rgb a, Rgb b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

// A colour as OpenGL stores it in an 8-bit framebuffer: each channel clamped to [0, 1],
// times 255 and rounded to the nearest whole number, a value exactly half-way up.
inline std::uint8_t to8Bit(float c) {
  const float clamped = c > 0.0f ? (c < 1.0f ? c : 1.0f) : 0.0f;
  return std::uint8_t(clamped * 255.0f + 0.5f);
}
inline Rgb to8Bit(Color color) {
  return {to8Bit(color.x), to8Bit(color.y), to8Bit(color.z)};
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;

  Image() = default;
  Image(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}

  Rgb& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  Rgb at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
  // The same pixel counted as OpenGL counts rows, from the bottom up.
  Rgb& atGl(int x, int glY) { return at(x, height - 1 - glY); }
  Rgb atGl(int x, int glY) const { return at(x, height - 1 - glY); }
};

inline bool operator==(const Image& a, const Image& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}
