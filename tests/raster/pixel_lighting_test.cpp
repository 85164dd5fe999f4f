#include <gtest/gtest.h>

#include "app/view_setup.h"
#include "raster/pixel_lighting.h"

namespace {

// The eye 3 units above the plane z = 0, looking straight down at its origin, which
// lands in the middle of a 480 x 480 window at depth `originDepth`.
struct TopView {
  TopView() {
    setupView(context, 480, 480, CameraPose{0, 0, 0, 0, 0});
    const Vec4 clip = context.projectionStack.transform({0, 0, -3, 1});
    originDepth = clip.z / clip.w;
  }
  Color at(float x, float y, Vec3 normal, float shininess) const {
    return pixelSpecular(context, 480, 480, eye, {x, y, originDepth}, normal, shininess,
                         {0.5f, 0.25f, 1, 1});
  }
  RenderContext context;
  Vec3 eye{0, 0, 3};
  float originDepth = 0;
};

TEST(PixelSpecular, DepartureFullHighlightWhereTheHalfVectorMeetsTheNormal) {
  TopView view;
  view.context.addLight({0, 0, 10}, {1, 1, 1, 1});
  const Color centre = view.at(240, 240, {0, 0, 2}, 50);
  EXPECT_NEAR(centre.x, 0.5, 1e-4);
  EXPECT_NEAR(centre.z, 1.0, 1e-4);
  // Towards the window's edge the half vector tilts and a sharp highlight fades.
  EXPECT_LT(view.at(400, 240, {0, 0, 1}, 50).z, 0.5f);
}

TEST(PixelSpecular, ShininessZeroGivesTheSpecularColorPerLight) {
  TopView view;
  view.context.addLight({5, 0, 10}, {1, 1, 1, 1});
  view.context.addLight({-5, 3, 10}, {1, 1, 1, 1});
  EXPECT_EQ(view.at(100, 300, {0, 0, 1}, 0), (Color{1, 0.5f, 2, 2}));
}

TEST(PixelSpecular, NothingWithoutLightsOrWithAZeroNormal) {
  TopView view;
  EXPECT_EQ(view.at(240, 240, {0, 0, 1}, 10), (Color{0, 0, 0, 0}));
  view.context.addLight({0, 0, 10}, {1, 1, 1, 1});
  EXPECT_EQ(view.at(240, 240, {0, 0, 0}, 10), (Color{0, 0, 0, 0}));
}

TEST(PixelSpecular, ALightAtThePixelAddsNothing) {
  TopView view;
  view.context.addLight({0, 0, 0}, {1, 1, 1, 1});
  view.context.addLight({0, 0, 10}, {1, 1, 1, 1});
  const Color c = view.at(240, 240, {0, 0, 1}, 1);
  EXPECT_NEAR(c.x, 0.5, 1e-4) << "only the second light";
}

TEST(PixelSpecular, OddShininessKeepsTheSignOfABackFacingNormal) {
  TopView view;
  view.context.addLight({0, 0, 10}, {1, 1, 1, 1});
  EXPECT_NEAR(view.at(240, 240, {0, 0, -1}, 3).x, -0.5, 1e-4);
}

}  // namespace
