#include "raster/texture_levels.h"

#include <memory>

#include "math/precondition.h"

void prepareTextureLevels(RenderContext& context) {
  for (Mesh& mesh : context.meshes) {
    if (mesh.texture == nullptr || mesh.texture->levels != nullptr) continue;
    mesh.texture->levels = std::make_unique<TextureLevels>();
    buildLevels(*mesh.texture->levels, *mesh.texture);
  }
}

int halveLevel(const float* source, int width, int height, int c, float* destination) {
  if (width <= 1 || height <= 1) return 0;
  const int w = width / 2;
  const int h = height / 2;
  auto at = [&](int x, int y, int j) { return source[(std::size_t(y) * width + x) * c + j]; };
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) {
      for (int j = 0; j < c; ++j) {
        float sum = 0.0f;
        sum += at(2 * x, 2 * y, j);
        sum += at(2 * x + 1, 2 * y, j);
        sum += at(2 * x, 2 * y + 1, j);
        sum += at(2 * x + 1, 2 * y + 1, j);
        destination[(std::size_t(y) * w + x) * c + j] = sum * 0.25f;
      }
    }
  }
  return 1 + halveLevel(destination, w, h, c, destination + std::size_t(h + 1) * w * c);
}

namespace {

// The size of each level and where it starts in `data`, the same way halveLevel lays
// them out; level 0 is the texture's own texels.
void describeLevels(TextureLevels& levels, const Texture& texture) {
  auto describe = [](const float* texels, int width, int height) {
    return TextureLevel{texels, width, height, float(width - 1), float(height - 1)};
  };
  levels.level.clear();
  levels.level.push_back(describe(texture.texels.data(), texture.width, texture.height));
  std::size_t start = 0;
  int w = texture.width;
  int h = texture.height;
  for (int k = 1; k <= levels.count; ++k) {
    w /= 2;
    h /= 2;
    levels.level.push_back(describe(levels.data.data() + start, w, h));
    start += std::size_t(h + 1) * w * texture.components;
  }
}

std::size_t chainSize(const Texture& texture) {
  std::size_t size = 0;
  for (int w = texture.width, h = texture.height; w > 1 && h > 1;) {
    w /= 2;
    h /= 2;
    size += std::size_t(h + 1) * w * texture.components;
  }
  return size;
}

}  // namespace

void buildLevels(TextureLevels& levels, const Texture& texture) {
  requireThat(texture.components == 3, "texture levels are built for RGB textures");
  levels.texture = &texture;
  levels.count = 0;
  levels.texelCount = float(texture.width * texture.height);
  levels.data.assign(chainSize(texture), 0.0f);
  levels.count = halveLevel(texture.texels.data(), texture.width, texture.height,
                            texture.components, levels.data.data());
  describeLevels(levels, texture);
}
