#include "math/vec4.h"

Vec4 Vec4::fromHSV(float h, float s, float v, float a) {
  if (s == 0.0f) return {v, v, v, a};
  const double h6 = h * 6.0;
  const int sector = static_cast<int>(h6);
  const float f = static_cast<float>(h6 - sector);
  const float p = static_cast<float>(v * (1.0 - s));
  const float q = static_cast<float>(v * (1.0 - double(s) * f));
  const float t = static_cast<float>(v * (1.0 - double(s) * (1.0 - f)));
  switch (sector % 6) {
    case 0:
      return {v, t, p, a};
    case 1:
      return {q, v, p, a};
    case 2:
      return {p, v, t, a};
    case 3:
      return {p, q, v, a};
    case 4:
      return {t, p, v, a};
    default:
      return {v, p, q, a};
  }
}
