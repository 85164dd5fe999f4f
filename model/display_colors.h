#pragma once

#include <cmath>

// Colours as light and as a display shows them. glTF gives its colour factors and vertex
// colours as linear light; pictures, textures, the renderers' colours and the other
// formats' colours are display values, encoded by the sRGB curve.

// The display value of a linear one, clamped to [0, 1] first.
inline double displayValue(double linear) {
  const double v = linear < 0 ? 0 : linear > 1 ? 1 : linear;
  return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

// The linear value of a display one.
inline double linearValue(double display) {
  return display <= 0.04045 ? display / 12.92 : std::pow((display + 0.055) / 1.055, 2.4);
}
