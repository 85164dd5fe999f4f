#include <gtest/gtest.h>

#include "scene/texture.h"

namespace {

Color texelColor(const Texture& texture, int x, int y) {
  return {texture.texel(x, y, 0), texture.texel(x, y, 1), texture.texel(x, y, 2), 1};
}

const Texture& tiles() {
  static const Texture texture = Texture::makeTileTexture(256, 256);
  return texture;
}

const Texture& rings() {
  static const Texture texture = Texture::makeRingTexture(256, 256);
  return texture;
}

const Color kInterior = Color::fromHSV(0.083f, 0.75f, 0.8f, 1);
const Color kBorder = Color::fromHSV(0.125f, 0.1f, 0.8f, 1);
const Color kLight = Color::fromHSV(0.125f, 0.7f, 0.8f, 1);
const Color kDark = Color::fromHSV(0.125f, 0.7f, 0.6f, 1);

TEST(TileTexture, SixteenTilesWithTwoTexelBorders) {
  EXPECT_EQ(tiles().components, 3);
  EXPECT_EQ(texelColor(tiles(), 0, 0), kBorder);
  EXPECT_EQ(texelColor(tiles(), 2, 2), kInterior);
  EXPECT_EQ(texelColor(tiles(), 61, 61), kInterior);
  EXPECT_EQ(texelColor(tiles(), 62, 10), kBorder);
  EXPECT_EQ(texelColor(tiles(), 10, 63), kBorder);
  EXPECT_EQ(texelColor(tiles(), 66, 2), kInterior);
  EXPECT_EQ(texelColor(tiles(), 64, 64), kBorder);
  int interior = 0;
  for (int x = 0; x < 256; ++x) {
    for (int y = 0; y < 256; ++y)
      interior += texelColor(tiles(), x, y) == kInterior ? 1 : 0;
  }
  EXPECT_EQ(interior, 16 * 60 * 60);
}

TEST(TileTexture, TileSizeFollowsTheWidthAlone) {
  const Texture wide = Texture::makeTileTexture(32, 16);  // tiles of 8 both ways
  EXPECT_EQ(texelColor(wide, 2, 2), kInterior);
  EXPECT_EQ(texelColor(wide, 2, 8), kBorder);
  EXPECT_EQ(texelColor(wide, 2, 10), kInterior);
}

TEST(RingTexture, SampleTexels) {
  EXPECT_EQ(texelColor(rings(), 0, 0), kLight);     // d = 1.80198, f = 0.0198
  EXPECT_EQ(texelColor(rings(), 128, 128), kDark);  // d = 0.990099, f = 0.901
  EXPECT_EQ(texelColor(rings(), 64, 128), kLight);  // f = 0.401
  EXPECT_EQ(texelColor(rings(), 255, 255), kDark);  // f = 0.808
  EXPECT_EQ(texelColor(rings(), 128, 0), kLight);   // f = 0.0198
}

TEST(RingTexture, TheBandsTurnDarkAtSevenTenths) {
  EXPECT_EQ(texelColor(rings(), 5, 164), kLight);  // f = 0.69976
  EXPECT_EQ(texelColor(rings(), 0, 115), kDark);   // f = 0.70090
}

TEST(RingTexture, WidestDarkBandIsCentredOnTheMiddleColumn) {
  for (int x = 116; x <= 140; ++x)
    EXPECT_EQ(texelColor(rings(), x, 128), kDark) << x;
  EXPECT_EQ(texelColor(rings(), 115, 128), kLight);
  EXPECT_EQ(texelColor(rings(), 141, 128), kLight);
}

TEST(RingTexture, AboutSeventyPercentIsLight) {
  int light = 0;
  for (int x = 0; x < 256; ++x) {
    for (int y = 0; y < 256; ++y)
      light += texelColor(rings(), x, y) == kLight ? 1 : 0;
  }
  EXPECT_NEAR(light / 65536.0, 0.7, 0.03);
}

}  // namespace
