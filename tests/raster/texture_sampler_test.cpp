#include <gtest/gtest.h>

#include <cmath>

#include <cstring>

#include "raster/fast_sampler.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"

namespace {

// A texture whose red channel tells the column and green the row of a texel.
class Sampler : public ::testing::Test {
 protected:
  explicit Sampler(int size = 256) : texture(size, size, 3) {
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x)
        texture.setTexel(x, y, {float(x), float(y), 0.5f, 1});
    }
    buildLevels(levels, texture);
  }
  Texture texture;
  TextureLevels levels;
};

TEST_F(Sampler, NearestRoundsHalfUpAndFallsBackToZeroOutside) {
  EXPECT_EQ(sampleNearest(levels, 0.5f, 0).x, 128.0f);  // roundToInt(127.5)
  EXPECT_EQ(sampleNearest(levels, -0.1f, 0).x, 0.0f);   // -25: out of range
  EXPECT_EQ(sampleNearest(levels, 1.2f, 0).x, 0.0f);    // 306: out of range
  EXPECT_EQ(sampleNearest(levels, 1.0f, 0.25f), (Color{255, 64, 0.5f, 1}));
  EXPECT_EQ(sampleNearest(levels, NAN, INFINITY), (Color{0, 0, 0.5f, 1}));
}

TEST(TextureWrap, CoordinatesWrapAsTheirModeSays) {
  struct Case {
    TextureWrap wrap;
    float v;
    float wrapped;
  };
  const Case cases[] = {
      {TextureWrap::Clamp, -0.25f, -0.25f},
      {TextureWrap::Clamp, 7, 7},
      {TextureWrap::ClampToEdge, -0.25f, 0},
      {TextureWrap::ClampToEdge, 1.5f, 1},
      {TextureWrap::ClampToEdge, NAN, 0},
      {TextureWrap::Repeat, 1.25f, 0.25f},
      {TextureWrap::Repeat, -0.25f, 0.75f},
      {TextureWrap::Repeat, 3, 0},
      {TextureWrap::Repeat, -1e-10f, 1},  // 1 - 1e-10 rounds to 1: the last texel
      {TextureWrap::MirroredRepeat, 1.25f, 0.75f},
      {TextureWrap::MirroredRepeat, -0.25f, 0.25f},
      {TextureWrap::MirroredRepeat, 2.5f, 0.5f},
      {TextureWrap::MirroredRepeat, 3, 1},
      {TextureWrap::MirroredRepeat, -1.75f, 0.25f},
  };
  for (const Case& c : cases)
    EXPECT_EQ(wrapCoordinate(c.v, c.wrap), c.wrapped) << int(c.wrap) << " " << c.v;
  EXPECT_TRUE(std::isnan(wrapCoordinate(NAN, TextureWrap::Repeat)));
}

// A repeating texture samples at s + 1 as at s, through either sampler; the fast path
// takes the same samples lane by lane.
TEST_F(Sampler, RepeatingTexturesSampleAWholeTexturePeriodAlike) {
  texture.wrapS = texture.wrapT = TextureWrap::Repeat;
  for (float level : {0.0f, 1.5f, 3.0f}) {
    EXPECT_EQ(sampleTexture(levels, level, 1.25f, 2.5f), sampleTexture(levels, level, 0.25f, 0.5f));
    Float4 fast[4];
    sampleQuad(levels, splat(level), Float4{1.25f, -0.75f, 0.25f, 7.25f},
               Float4{2.5f, 0.5f, -1.5f, 0.5f}, 4, fast);
    for (int i = 0; i < 4; ++i) {
      const Color plain = sampleTexture(levels, level, 0.25f, 0.5f);
      EXPECT_EQ(fast[i][0], plain.x) << level << " lane " << i;
      EXPECT_EQ(fast[i][1], plain.y) << level << " lane " << i;
    }
  }
}

TEST_F(Sampler, BilinearClampsToTheEdges) {
  EXPECT_EQ(sampleBilinear(levels, 0, 1.5f, 0.5f), sampleBilinear(levels, 0, 1, 0.5f));
  EXPECT_EQ(sampleBilinear(levels, 0, 1.5f, 0.5f).x, 255.0f);
  EXPECT_EQ(sampleBilinear(levels, 0, -3, NAN), (Color{0, 0, 0.5f, 1}));
}

TEST_F(Sampler, BilinearWeighsTheFourNeighbours) {
  // u = 255 * s = 10.25, v = 255 * t = 20.5
  const Color c = sampleBilinear(levels, 0, 10.25f / 255, 20.5f / 255);
  EXPECT_FLOAT_EQ(c.x, 10.25f);
  EXPECT_FLOAT_EQ(c.y, 20.5f);
  // Level 1 texels average 2 x 2 blocks: texel x holds column 2x + 0.5.
  EXPECT_FLOAT_EQ(sampleBilinear(levels, 1, 0, 0).x, 0.5f);
  EXPECT_FLOAT_EQ(sampleBilinear(levels, 1, 1, 1).x, 254.5f);
}

TEST(SamplerTwoTexels, QuarterOfTheWayIsAQuarter) {
  Texture texture(2, 2, 3);
  for (int y = 0; y < 2; ++y) {
    texture.setTexel(0, y, {0, 0, 0, 1});
    texture.setTexel(1, y, {1, 0, 0, 1});
  }
  TextureLevels levels;
  buildLevels(levels, texture);
  EXPECT_EQ(sampleBilinear(levels, 0, 0.25f, 0).x, 0.25f);
}

TEST_F(Sampler, TrilinearBlendsTheEnclosingLevels) {
  const float s = 0.37f;
  const float t = 0.81f;
  EXPECT_EQ(sampleTexture(levels, 2.0f, s, t), sampleBilinear(levels, 2, s, t));
  const Color blend = sampleTexture(levels, 2.25f, s, t);
  const Color expected =
      0.75f * sampleBilinear(levels, 2, s, t) + 0.25f * sampleBilinear(levels, 3, s, t);
  EXPECT_EQ(blend, expected);
  EXPECT_EQ(sampleTexture(levels, 0.5f, s, t),
            0.5f * sampleBilinear(levels, 0, s, t) + 0.5f * sampleBilinear(levels, 1, s, t));
}

TEST_F(Sampler, AtOrBelowLevelZeroTakesTheNearestTexel) {
  EXPECT_EQ(sampleTexture(levels, 0.0f, 0.3f, 0.6f), sampleNearest(levels, 0.3f, 0.6f));
  EXPECT_EQ(sampleTexture(levels, -3.0f, 0.3f, 0.6f), sampleNearest(levels, 0.3f, 0.6f));
  EXPECT_EQ(sampleTexture(levels, -INFINITY, 0.3f, 0.6f), sampleNearest(levels, 0.3f, 0.6f));
}

TEST_F(Sampler, AboveTheLastLevelSamplesOneLevelFiner) {
  EXPECT_EQ(sampleTexture(levels, 8.0f, 0.3f, 0.6f), sampleBilinear(levels, 8, 0.3f, 0.6f));
  EXPECT_EQ(sampleTexture(levels, 8.5f, 0.3f, 0.6f), sampleBilinear(levels, 7, 0.3f, 0.6f));
  EXPECT_EQ(sampleTexture(levels, INFINITY, 0.3f, 0.6f), sampleBilinear(levels, 7, 0.3f, 0.6f));
}

TEST_F(Sampler, LevelThatIsNotANumberGivesBlack) {
  EXPECT_EQ(sampleTexture(levels, NAN, 0.3f, 0.6f), (Color{0, 0, 0, 1}));
}

TEST(SamplerWithoutLevels, EverySampleIsNearest) {
  Texture texture(1, 8, 3);
  for (int y = 0; y < 8; ++y)
    texture.setTexel(0, y, {float(y), 0, 0, 1});
  TextureLevels levels;
  buildLevels(levels, texture);
  ASSERT_EQ(levels.count, 0);
  EXPECT_EQ(sampleTexture(levels, 3.5f, 0, 0.5f).x, 4.0f);  // roundToInt(3.5)
}

// Samples on a whole column weigh the column to their right by 0. The fast sampler may
// read that column, but only where 0 times it adds nothing. Here it holds, one a row,
// a value that is not a number, minus infinity, -1 and -0, and every sample must still
// be the plain one to the bit. Level 1 drops that fifth column and stays finite.
TEST(FastSampler, TexelsThatAreNotNumbersOrNegativeGiveThePlainSamples) {
  Texture texture(5, 4, 3);
  const float odd[] = {NAN, -INFINITY, -1.0f, -0.0f};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x)
      texture.setTexel(x, y, {0.25f * float(x), 0.25f * float(y), 0.5f, 1});
    texture.setTexel(4, y, {odd[y], odd[y], odd[y], 1});
  }
  TextureLevels levels;
  buildLevels(levels, texture);
  const Float4 s = splat(0.75f);  // column 3 of level 0
  const Float4 t{0.0f, 1.0f / 3, 2.0f / 3, 1.0f};
  const Float4 level = splat(0.5f);
  Float4 fast[4];
  sampleQuad(levels, level, s, t, 4, fast);
  for (int i = 0; i < 4; ++i) {
    const Color plain = sampleTexture(levels, level[i], s[i], t[i]);
    const float rgb[3] = {plain.x, plain.y, plain.z};
    EXPECT_EQ(std::memcmp(&fast[i], rgb, sizeof rgb), 0) << "sample " << i;
  }
}

}  // namespace
