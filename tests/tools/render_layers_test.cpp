// The pictures of the pipeline's inside, at pixels whose values are known.
#include <gtest/gtest.h>

#include <cmath>

#include "raster/software_frame.h"
#include "raster/texture_levels.h"
#include "tools/render/layers.h"

namespace {

// A 64 x 64 window looking down -z from the origin through a 0.4 field: at depth -d,
// x = +-0.4 d spans the window.
struct Frame {
  Frame() : points(64, 64) {
    context.useOpenGL = false;
    context.projectionStack.perspective(0.4f, 0.4f, 0.1f, 100);
    invertMatrix(context.projectionStack.current, context.projectionStack.inverse);
  }
  // A square facing the camera, covering columns and rows `from` to `to` of the window
  // (as fractions of it), at depth -d.
  void square(float from, float to, float d) {
    context.begin();
    context.beginPolygon();
    auto at = [d](float f) { return (2 * f - 1) * 0.4f * d; };
    for (auto [s, t] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
      context.texCoord(float(s), float(t));
      context.vertex(at(s ? to : from), at(t ? to : from), -d);
    }
  }
  void draw() {
    prepareTextureLevels(context);
    frame.points = &points;
    renderSoftwareFrame(context, 64, 64, frame);
  }
  const PixelRecord& record(int x, int windowY) const {
    return points.records[std::size_t(windowY) * 64 + std::size_t(x)];
  }

  RenderContext context;
  FrameState frame;
  LayerPoints points;
};

// Drawn in this order: a square at depth 5 over the left half; a nearer one over the
// middle, which wins over it; a farther one over the right half, which loses to both.
TEST(RenderLayers, DepthComplexityAndDepthTellWhereFragmentsMet) {
  Frame f;
  f.square(0, 0.5f, 5);
  f.square(0.25f, 0.75f, 4);
  f.square(0.5f, 1, 6);
  f.draw();
  const Layer overdraw = overdrawLayer(f.points);
  const Image& o = overdraw.picture;
  EXPECT_EQ(o.atGl(8, 32), o.atGl(56, 32)) << "one fragment: the left or the right square alone";
  EXPECT_EQ(o.atGl(24, 32), o.atGl(40, 32)) << "two: where the middle square won, and lost";
  EXPECT_NE(o.atGl(8, 32), o.atGl(24, 32));
  EXPECT_EQ(o.atGl(8, 60), (Rgb{225, 235, 245})) << "nothing";
  EXPECT_EQ(f.record(24, 32).drawn, 2);
  EXPECT_EQ(f.record(40, 32).lost, 1);
  // Near dark, far light: the middle square is the nearest, the right the farthest.
  const Image& depth = depthLayer(f.frame).picture;
  EXPECT_LT(depth.atGl(24, 32).r, depth.atGl(8, 32).r);
  EXPECT_LT(depth.atGl(8, 32).r, depth.atGl(56, 32).r);
  EXPECT_EQ(depth.atGl(8, 60), (Rgb{225, 235, 245})) << "uncovered";
  EXPECT_NE(f.record(8, 32).span, f.record(8, 33).span) << "a span for every row";
}

// A 256 x 256 texture over the whole 64-pixel window: 4 x 4 texels a pixel, level 2.
TEST(RenderLayers, LevelIsHalfTheLogOfTheTexelsAPixelCovers) {
  Frame f;
  Texture& texture = f.context.adoptTexture(Texture::makeRingTexture(256, 256));
  f.context.bindTexture(&texture, nullptr);
  f.square(0, 1, 3);
  f.draw();
  EXPECT_NEAR(f.record(32, 32).level, 2.0f, 1e-4);
  f.context.useMipmaps = false;
  f.draw();
  EXPECT_EQ(f.record(32, 32).level, 0.0f) << "mipmapping off: level 0";
}

// Every legend holds all its words: a column of white margin is left at its right.
TEST(RenderLayers, LegendsAreAsWideAsWhatTheySay) {
  Frame f;
  f.square(0, 1, 3);
  f.draw();
  const Image legends[] = {levelLayer(f.points, false).legend, levelLayer(f.points, true).legend,
                           depthLayer(f.frame).legend, spansLayer(f.points).legend,
                           overdrawLayer(f.points).legend};
  for (const Image& legend : legends) {
    int lastInk = -1;
    for (int y = 0; y < legend.height; ++y)
      for (int x = 0; x < legend.width; ++x)
        if (!(legend.at(x, y) == Rgb{255, 255, 255})) lastInk = std::max(lastInk, x);
    EXPECT_LT(lastInk, legend.width - 1) << legend.width;
  }
}

}  // namespace
