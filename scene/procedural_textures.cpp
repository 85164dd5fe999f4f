#include <cmath>

#include "math/vec3.h"
#include "scene/texture.h"

Texture Texture::makeTileTexture(int width, int height) {
  Texture texture(width, height, 3);
  const Color interior = Color::fromHSV(0.083f, 0.75f, 0.8f, 1.0f);
  const Color border = Color::fromHSV(0.125f, 0.1f, 0.8f, 1.0f);
  const int tile = width / 4;
  auto insideTile = [tile](int a) { return 1 < a && a < tile - 2; };
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const bool isInterior = insideTile(x % tile) && insideTile(y % tile);
      texture.setTexel(x, y, isInterior ? interior : border);
    }
  }
  return texture;
}

namespace {

// Squared distance of the texture point (u, v, 0) from the line through (0, 0, 1)
// along the unit vector `axis`, each step rounded to float.
float squaredDistanceFromAxis(float u, float v, Vec3 axis) {
  const Vec3 w = Vec3{u, v, 0.0f} - Vec3{0.0f, 0.0f, 1.0f};
  const float a = dot(w, w);
  const float b = dot(w, axis);
  return static_cast<float>(a - double(b) * b);
}

}  // namespace

Texture Texture::makeRingTexture(int width, int height) {
  Texture texture(width, height, 3);
  const Color light = Color::fromHSV(0.125f, 0.7f, 0.8f, 1.0f);
  const Color dark = Color::fromHSV(0.125f, 0.7f, 0.6f, 1.0f);
  // Almost along the texture's y direction, tilted towards +z: narrow straight bands
  // near the left and right edges, wide curved ones near the middle.
  const Vec3 axis = normalized({0.0f, 1.0f, 0.1f});
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const float u = static_cast<float>(2.0 * x / width - 1.0);
      const float v = static_cast<float>(2.0 * y / height - 1.0);
      const float r = static_cast<float>(squaredDistanceFromAxis(u, v, axis) * 10.0);
      const float f = r - static_cast<float>(std::floor(double(r)));
      texture.setTexel(x, y, f < 0.7 ? light : dark);
    }
  }
  return texture;
}
