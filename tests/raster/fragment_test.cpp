#include <gtest/gtest.h>

#include <cmath>

#include "raster/fragment.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"
#include "tests/raster/raster_fixtures.h"

namespace {

TEST(DepthTest, FirstFragmentOfAPixelIsDrawnWhateverItsDepth) {
  for (float z : {-1.0f, 0.0f, 0.7f, 1.0f}) {
    RecordedFrame frame;
    drawFragment(frame.target(), 3, 4, z, {1, 0, 0, 1}, {});
    EXPECT_EQ(frame.points.points.size(), 1u) << z;
    EXPECT_EQ(frame.state.depthBuffer[4 * 64 + 3], z);
  }
}

TEST(DepthTest, NearerWinsAndTheFirstOfEqualDepthsStays) {
  RecordedFrame frame;
  const PolygonTarget target = frame.target();
  drawFragment(target, 0, 0, 0.5f, {1, 0, 0, 1}, {});
  drawFragment(target, 0, 0, 0.5f, {0, 1, 0, 1}, {});
  EXPECT_EQ(frame.points.points.size(), 1u) << "equal depth fails";
  drawFragment(target, 0, 0, 0.4f, {0, 0, 1, 1}, {});
  EXPECT_EQ(frame.points.points.size(), 2u);
  EXPECT_EQ(frame.state.depthBuffer[0], 0.4f);
  drawFragment(target, 0, 0, 0.9f, {0, 0, 1, 1}, {});
  EXPECT_EQ(frame.points.points.size(), 2u) << "farther fails";
}

// A departure (docs/pipeline.md): the buffer is cleared to +infinity, and a stored depth
// below zero is a real depth, nearer than the middle of the range, not an empty pixel
// that any later fragment overwrites.
TEST(DepthTest, DepartureANegativeStoredDepthIsNearNotEmpty) {
  RecordedFrame frame;
  drawFragment(frame.target(), 1, 1, -0.3f, {1, 0, 0, 1}, {});
  drawFragment(frame.target(), 1, 1, 0.9f, {0, 1, 0, 1}, {});
  EXPECT_EQ(frame.points.points.size(), 1u);
  EXPECT_EQ(frame.state.depthBuffer[65], -0.3f);
}

TEST(DepthTest, DepartureDepthThatIsNotANumberIsNeverDrawn) {
  RecordedFrame frame;
  drawFragment(frame.target(), 2, 2, std::nanf(""), {1, 0, 0, 1}, {});
  EXPECT_TRUE(frame.points.points.empty());
  EXPECT_EQ(frame.state.depthBuffer[130], kEmptyDepth);
}

TEST(DepthBuffer, FollowsTheFrameSize) {
  FrameState state;
  state.frameWidth = 480;
  state.frameHeight = 480;
  recreateDepthBuffer(state);
  EXPECT_EQ(state.depthBuffer.size(), 230400u);
  state.frameHeight = 400;
  recreateDepthBuffer(state);
  EXPECT_EQ(state.depthBuffer.size(), 192000u);
  clearDepthBuffer(state);
  EXPECT_EQ(state.depthBuffer.front(), kEmptyDepth);
  EXPECT_EQ(state.depthBuffer.back(), kEmptyDepth);
  state.frameWidth = 70000;
  state.frameHeight = 70000;
  EXPECT_THROW(recreateDepthBuffer(state), std::bad_alloc);
}

TEST(Fragment, UntexturedColorGoesOnUnclamped) {
  RecordedFrame frame;
  drawFragment(frame.target(), 0, 0, 0, {1.2f, 0.5f, -0.1f, 0.3f}, {});
  EXPECT_EQ(frame.points.points[0].color, (Color{1.2f, 0.5f, -0.1f, 0.3f}));
}

class TexturedFragment : public ::testing::Test {
 protected:
  TexturedFragment() : texture(Texture::makeRingTexture(256, 256)) {
    texture.levels = std::make_shared<TextureLevels>();
    buildLevels(*texture.levels, texture);
  }
  Texture texture;
};

TEST_F(TexturedFragment, LevelFollowsTheTexelFootprint) {
  // The rates of s/w per pixel and of t/w per scanline, at 1/w.
  auto level = [](float rate, float oneOverW) {
    return textureLevel(TextureTerms{0, 0, oneOverW, rate, 0, 0, rate}, 65536);
  };
  EXPECT_EQ(level(1.0f / 256, 1), 0.0f) << "one texel a pixel";
  EXPECT_EQ(level(2.0f / 256, 1), 1.0f) << "2 x 2 texels a pixel";
  EXPECT_EQ(level(2.0f / 256, 0.5f), 2.0f) << "farther away: the same rates cover more";
  EXPECT_EQ(textureLevel(TextureTerms{0, 0, 1, 0, 0, 0, 2.0f / 256}, 65536), -INFINITY);
}

// A 4 x 4 texture whose texel (x, y) has red (x + 4y) / 16: level 0's nearest texel and
// level 1's means are known exactly.
Texture numberedTexture() {
  Texture texture(4, 4, 3);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      texture.setTexel(x, y, {float(x + 4 * y) / 16, 0, 0, 1});
  texture.levels = std::make_shared<TextureLevels>();
  buildLevels(*texture.levels, texture);
  return texture;
}

TEST(Fragment, TheTextureReplacesTheColorAtTheFootprintsLevelOrAtLevelZero) {
  const Texture texture = numberedTexture();
  // s = t = 0.5 at 1/w = 0.5: column and row roundToInt(3 x 0.5) = 2, red 10/16.
  RecordedFrame frame;
  drawFragment(frame.target(&texture), 0, 0, 0, {9, 9, 9, 9}, {0.25f, 0.25f, 0.5f, 0, 0, 0, 0});
  EXPECT_EQ(frame.points.points[0].color, (Color{10.0f / 16, 0, 0, 1}));
  // Rates of 1/2 a pixel and a scanline cover 2 x 2 texels: level 1 exactly, whose texel
  // (0, 0) is the mean of texels 0, 1, 4 and 5; with mipmapping off, texel (0, 0).
  const TextureTerms minified{0, 0, 1, 0.5f, 0, 0, 0.5f};
  drawFragment(frame.target(&texture), 1, 0, 0, {}, minified);
  EXPECT_EQ(frame.points.points[1].color, (Color{10.0f / 64, 0, 0, 1}));
  frame.context.useMipmaps = false;
  drawFragment(frame.target(&texture), 2, 0, 0, {}, minified);
  EXPECT_EQ(frame.points.points[2].color, (Color{0, 0, 0, 1}));
}

}  // namespace
