#include "scene/texture.h"

#include <cstdint>
#include <new>

namespace {

std::size_t texelCount(int width, int height, int components) {
  const std::int64_t count = std::int64_t(width) * height * components;
  const std::int64_t bytes = count * std::int64_t(sizeof(float));
  if (width < 0 || height < 0 || components < 0 || bytes > std::int64_t(UINT32_MAX)) {
    throw std::bad_alloc{};
  }
  return std::size_t(count);
}

}  // namespace

Texture::Texture(int width, int height, int components)
    : width(width),
      height(height),
      components(components),
      texels(texelCount(width, height, components)) {}

void Texture::setTexel(int x, int y, Color color) {
  switch (components) {
    case 1:
      texel(x, y, 0) = color.x;
      break;
    case 2:
      texel(x, y, 0) = color.x;
      texel(x, y, 1) = color.w;
      break;
    case 4:
      texel(x, y, 3) = color.w;
      [[fallthrough]];
    case 3:
      texel(x, y, 0) = color.x;
      texel(x, y, 1) = color.y;
      texel(x, y, 2) = color.z;
      break;
    default:
      break;
  }
}
