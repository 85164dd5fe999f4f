#include <gtest/gtest.h>

#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"
#include "scene/demo_scene.h"

namespace {

Texture numbered(int width, int height) {
  Texture texture(width, height, 3);
  for (std::size_t i = 0; i < texture.texels.size(); ++i)
    texture.texels[i] = float(i % 97) / 97;
  return texture;
}

TEST(TextureLevels, A256TextureGetsEightLevelsWithSpareRows) {
  const Texture texture = numbered(256, 256);
  TextureLevels levels;
  buildLevels(levels, texture);
  EXPECT_EQ(levels.count, 8);
  EXPECT_EQ(levels.texture, &texture);
  ASSERT_EQ(levels.level.size(), 9u);
  EXPECT_EQ(levels.level[0].texels, texture.texels.data());
  EXPECT_EQ(levels.level[1].texels, levels.data.data());
  EXPECT_EQ(levels.level[1].width, 128);
  EXPECT_EQ(levels.level[2].texels - levels.data.data(), 129 * 128 * 3);
  EXPECT_EQ(levels.level[2].width, 64);
  EXPECT_EQ(levels.level[8].width, 1);
  EXPECT_EQ(levels.level[8].height, 1);
  EXPECT_EQ(levels.data.size(), 66300u) << "the levels and their spare rows, nothing more";
}

TEST(TextureLevels, EachTexelIsTheMeanOfItsBlock) {
  const Texture texture = numbered(4, 4);
  TextureLevels levels;
  buildLevels(levels, texture);
  ASSERT_EQ(levels.count, 2);
  const TextureLevel& half = levels.level[1];
  for (int x = 0; x < 2; ++x) {
    for (int y = 0; y < 2; ++y) {
      for (int c = 0; c < 3; ++c) {
        const float sum = ((texture.texel(2 * x, 2 * y, c) + texture.texel(2 * x + 1, 2 * y, c)) +
                           texture.texel(2 * x, 2 * y + 1, c)) +
                          texture.texel(2 * x + 1, 2 * y + 1, c);
        EXPECT_EQ(half.texels[(y * 2 + x) * 3 + c], sum * 0.25f);
      }
    }
  }
  // The last level is the mean of the one before.
  const float* quarter = levels.level[2].texels;
  EXPECT_FLOAT_EQ(quarter[0],
                  (half.texels[0] + half.texels[3] + half.texels[6] + half.texels[9]) / 4);
}

// Every component is halved alike; the samplers read one or two components as a grey
// level (the second being alpha, which they do not show) and three or four as red,
// green and blue.
TEST(TextureLevels, OneToFourComponentsAreHalvedAndSampled) {
  for (int c = 1; c <= 4; ++c) {
    Texture texture(4, 4, c);
    for (std::size_t i = 0; i < texture.texels.size(); ++i)
      texture.texels[i] = float(i);
    TextureLevels levels;
    buildLevels(levels, texture);
    ASSERT_EQ(levels.count, 2) << c;
    for (int j = 0; j < c; ++j) {
      const float block =
          ((texture.texel(2, 0, j) + texture.texel(3, 0, j)) + texture.texel(2, 1, j)) +
          texture.texel(3, 1, j);
      EXPECT_EQ(levels.level[1].texels[c + j], block * 0.25f) << c << " components, " << j;
    }
    const Color texel = sampleNearest(levels, 1, 0);  // texel (3, 0)
    const float first = texture.texel(3, 0, 0);
    const Color expected = c < 3 ? Color{first, first, first, 1}
                                 : Color{first, texture.texel(3, 0, 1), texture.texel(3, 0, 2), 1};
    EXPECT_EQ(texel, expected) << c << " components";
  }
}

TEST(TextureLevels, AnOddLastColumnIsDropped) {
  const Texture texture = numbered(5, 4);
  TextureLevels levels;
  buildLevels(levels, texture);
  EXPECT_EQ(levels.level[1].width, 2);
  EXPECT_EQ(levels.level[1].height, 2);
}

TEST(TextureLevels, ASideOfOneGivesNoLevels) {
  for (auto [w, h] : {std::pair{1, 64}, {64, 1}, {0, 0}}) {
    const Texture texture = numbered(w, h);
    TextureLevels levels;
    buildLevels(levels, texture);
    EXPECT_EQ(levels.count, 0);
    EXPECT_TRUE(levels.data.empty());
  }
}

TEST(TextureLevels, PreparedOnceForEveryMeshTexture) {
  RenderContext context;
  setupScene(context);
  Texture* tiles = context.meshes[0].texture;
  // A third mesh sharing the tile texture, and one without texture.
  context.bindTexture(tiles, nullptr);
  addRectangle(context, 1, 1);
  context.bindTexture(nullptr, nullptr);
  addRectangle(context, 1, 1);
  prepareTextureLevels(context);
  ASSERT_NE(tiles->levels, nullptr);
  const TextureLevels* first = tiles->levels.get();
  EXPECT_EQ(first->count, 8);
  ASSERT_NE(context.meshes[1].texture->levels, nullptr);
  prepareTextureLevels(context);
  EXPECT_EQ(tiles->levels.get(), first) << "kept, not rebuilt";
}

}  // namespace

// The fast sampler reads the whole 2 x 2 block of texels at any sample, and a row and a
// texel past it in one load: at a level's last texel that reaches into the levels after
// it, which for a texture much wider than tall are smaller than that row.
TEST(TextureLevels, EveryLevelsLastBlockLiesInsideTheTexelCopy) {
  for (const auto& [width, height] : {std::pair{6, 5}, {256, 256}, {64, 2}, {5, 40}, {12000, 4}}) {
    Texture texture(width, height, 1);
    std::fill(texture.texels.begin(), texture.texels.end(), 0.5f);
    TextureLevels levels;
    buildLevels(levels, texture);
    for (int k = 0; k <= levels.count; ++k) {
      const TextureLevel& level = levels.level[k];
      const std::size_t lastTexel = std::size_t(level.rgb - levels.rgb.data()) +
                                    std::size_t(level.height - 1) * level.rowFloats +
                                    std::size_t(level.width - 1) * 3;
      EXPECT_LE(lastTexel + 3 + level.rowFloats + 4, levels.rgb.size())
          << width << " x " << height << ", level " << k;
    }
  }
}
