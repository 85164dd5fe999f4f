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
    drawFragment(frame.target(), 3, 4, z, {1, 0, 0, 1}, {}, frame.points);
    EXPECT_EQ(frame.points.points.size(), 1u) << z;
    EXPECT_EQ(frame.state.depthBuffer[4 * 64 + 3], z);
  }
}

TEST(DepthTest, NearerWinsAndTheFirstOfEqualDepthsStays) {
  RecordedFrame frame;
  const PolygonTarget target = frame.target();
  drawFragment(target, 0, 0, 0.5f, {1, 0, 0, 1}, {}, frame.points);
  drawFragment(target, 0, 0, 0.5f, {0, 1, 0, 1}, {}, frame.points);
  EXPECT_EQ(frame.points.points.size(), 1u) << "equal depth fails";
  drawFragment(target, 0, 0, 0.4f, {0, 0, 1, 1}, {}, frame.points);
  EXPECT_EQ(frame.points.points.size(), 2u);
  EXPECT_EQ(frame.state.depthBuffer[0], 0.4f);
  drawFragment(target, 0, 0, 0.9f, {0, 0, 1, 1}, {}, frame.points);
  EXPECT_EQ(frame.points.points.size(), 2u) << "farther fails";
}

TEST(DepthTest, NearSurfacesAreNotOverdrawnByFartherOnes) {
  // A stored depth below zero is a real depth, not an empty pixel.
  RecordedFrame frame;
  drawFragment(frame.target(), 1, 1, -0.3f, {1, 0, 0, 1}, {}, frame.points);
  drawFragment(frame.target(), 1, 1, 0.9f, {0, 1, 0, 1}, {}, frame.points);
  EXPECT_EQ(frame.points.points.size(), 1u);
  EXPECT_EQ(frame.state.depthBuffer[65], -0.3f);
}

TEST(DepthTest, DepthThatIsNotANumberIsNeverDrawn) {
  RecordedFrame frame;
  drawFragment(frame.target(), 2, 2, std::nanf(""), {1, 0, 0, 1}, {}, frame.points);
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

TEST(Fragment, UntexturedColourGoesOnUnclamped) {
  RecordedFrame frame;
  drawFragment(frame.target(), 0, 0, 0, {1.2f, 0.5f, -0.1f, 0.3f}, {}, frame.points);
  EXPECT_EQ(frame.points.points[0].color, (Color{1.2f, 0.5f, -0.1f, 0.3f}));
}

class TexturedFragment : public ::testing::Test {
 protected:
  TexturedFragment() : texture(Texture::makeRingTexture(256, 256)) {
    texture.levels = std::make_unique<TextureLevels>();
    buildLevels(*texture.levels, texture);
  }
  Texture texture;
};

TEST_F(TexturedFragment, TextureSampleReplacesTheColour) {
  RecordedFrame frame;
  frame.context.useMipmaps = false;
  // s = 0.5, t = 0.5 at 1/w = 0.5
  const TextureTerms terms = TextureTerms{0.25f, 0.25f, 0.5f, 0, 0, 0, 0};
  drawFragment(frame.target(&texture), 0, 0, 0, {9, 9, 9, 9}, terms, frame.points);
  EXPECT_EQ(frame.points.points[0].color, sampleNearest(*texture.levels, 0.5f, 0.5f));
}

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

TEST_F(TexturedFragment, MipmappingOffAlwaysSamplesLevelZero) {
  const TextureTerms minified = TextureTerms{0.3f, 0.6f, 1, 0.05f, 0, 0, 0.05f};
  RecordedFrame frame;
  frame.context.useMipmaps = false;
  drawFragment(frame.target(&texture), 0, 0, 0, {}, minified, frame.points);
  EXPECT_EQ(frame.points.points[0].color, sampleNearest(*texture.levels, 0.3f, 0.6f));
  frame.context.useMipmaps = true;
  drawFragment(frame.target(&texture), 1, 0, 0, {}, minified, frame.points);
  EXPECT_EQ(frame.points.points[1].color,
            sampleTexture(*texture.levels, textureLevel(minified, 65536), 0.3f, 0.6f));
}

}  // namespace
