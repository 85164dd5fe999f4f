#pragma once

#include <string>

#include "tools/imaging/image.h"

// A 5 x 7 pixel font for the legends in pictures: capital letters, digits and a little
// punctuation; other characters are left blank. Each character takes kGlyphAdvance
// pixels across and kGlyphHeight down.
inline constexpr int kGlyphAdvance = 6;
inline constexpr int kGlyphHeight = 7;

// Draws `text` with its top-left corner at (x, y), rows counted from the top; what
// falls outside the image is left out.
void drawText(Image& image, int x, int y, const std::string& text, Rgb color);

inline int textWidth(const std::string& text) {
  return int(text.size()) * kGlyphAdvance;
}
