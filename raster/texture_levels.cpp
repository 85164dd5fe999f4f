#include "raster/texture_levels.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "math/precondition.h"

void prepareTextureLevels(RenderContext& context) {
  for (Mesh& mesh : context.meshes) {
    if (mesh.texture == nullptr || mesh.texture->levels != nullptr) continue;
    mesh.texture->levels = std::make_shared<TextureLevels>();
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

// A texel as the samplers read it: red, green and blue. One component is a grey level;
// a second or fourth is alpha, which the fragment stage does not show.
void appendRgb(std::vector<float>& rgb, const float* texels, int width, int height,
               int components) {
  for (std::size_t i = 0; i < std::size_t(width) * height; ++i) {
    const float* texel = texels + i * components;
    if (components < 3) {
      rgb.insert(rgb.end(), {texel[0], texel[0], texel[0]});
    } else {
      rgb.insert(rgb.end(), {texel[0], texel[1], texel[2]});
    }
  }
}

// The size of each level and where it starts in `data` and in `rgb`, the same way
// halveLevel lays them out; level 0 is the texture's own texels.
void describeLevels(TextureLevels& levels, const Texture& texture) {
  const int c = texture.components;
  std::vector<std::size_t> rgbStarts;
  levels.level.clear();
  levels.rgb.clear();
  const float* texels = texture.texels.data();
  int w = texture.width;
  int h = texture.height;
  for (int k = 0; k <= levels.count; ++k) {
    if (k > 0) {
      texels = (k == 1) ? levels.data.data() : texels + std::size_t(h + 1) * w * c;
      w /= 2;
      h /= 2;
    }
    rgbStarts.push_back(levels.rgb.size());
    appendRgb(levels.rgb, texels, w, h, c);
    TextureLevel& level = levels.level.emplace_back();
    level.texels = texels;
    level.width = w;
    level.height = h;
    level.rowFloats = 3 * w;
    level.lastColumn = float(w - 1);
    level.lastRow = float(h - 1);
  }
  // A bilinear sample's whole block at a level's last texel reads a row and a texel
  // past the level's end, and the fourth lane of that texel's load: into the levels
  // after it, and past the last of them. Where those are smaller than a row of an
  // earlier level (a texture much wider than tall), zeros to spare cover the rest.
  std::size_t reach = 0;
  for (int k = 0; k <= levels.count; ++k) {
    const std::size_t end = k < levels.count ? rgbStarts[k + 1] : levels.rgb.size();
    reach = std::max(reach, end + std::size_t(levels.level[k].rowFloats) + 4);
  }
  levels.rgb.resize(reach, 0.0f);
  levels.finiteNonNegative = std::all_of(levels.rgb.begin(), levels.rgb.end(), [](float v) {
    return std::isfinite(v) && !std::signbit(v);
  });
  levels.offsetsFit16Bits =
      levels.level[0].rowFloats < (1 << 15) && levels.level[0].height <= (1 << 15);
  for (int k = 0; k <= levels.count; ++k) {
    TextureLevel& level = levels.level[k];
    const TextureLevel& next = levels.level[std::min(k + 1, levels.count)];
    level.rgb = levels.rgb.data() + rgbStarts[k];
    level.pairScale = Float4{level.lastColumn, level.lastRow, next.lastColumn, next.lastRow};
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
  requireThat(texture.components >= 1 && texture.components <= 4,
              "texture levels are built for 1 to 4 components a texel");
  levels.texture = &texture;
  levels.count = 0;
  levels.texelCount = float(texture.width * texture.height);
  levels.data.assign(chainSize(texture), 0.0f);
  levels.count = halveLevel(texture.texels.data(), texture.width, texture.height,
                            texture.components, levels.data.data());
  describeLevels(levels, texture);
}
