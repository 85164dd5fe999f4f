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
  texel(x, y, 0) = color.x;
  texel(x, y, 1) = color.y;
  texel(x, y, 2) = color.z;
}
