#include "raster/texture_level.h"

#include <cmath>

float footprintArea(float a, float b, float c, float d, float texelCount) {
  return static_cast<float>(std::fabs((double(a) * d) * texelCount - (double(b) * c) * texelCount));
}

float levelOfArea(float area) {
  return static_cast<float>((std::log(double(area)) / std::log(2.0)) * 0.5);
}
