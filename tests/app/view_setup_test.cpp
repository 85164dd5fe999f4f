#include <gtest/gtest.h>

#include <cmath>

#include "app/view_setup.h"

namespace {

TEST(ViewSetup, SquareWindowSeesPointFourEitherWay) {
  RenderContext context;
  setupView(context, 480, 480, CameraPose{});
  EXPECT_EQ(context.projectionStack.current[0], 2.5f);
  EXPECT_EQ(context.projectionStack.current[5], 2.5f);
}

TEST(ViewSetup, TheWiderSideSeesMore) {
  RenderContext context;
  const float wide = static_cast<float>(double(0.4f) * 640 / 480);
  setupView(context, 640, 480, CameraPose{});
  EXPECT_EQ(context.projectionStack.current[0], static_cast<float>(1.0 / wide));
  EXPECT_EQ(context.projectionStack.current[5], 2.5f);
  setupView(context, 480, 640, CameraPose{});
  EXPECT_EQ(context.projectionStack.current[0], 2.5f);
  EXPECT_EQ(context.projectionStack.current[5], static_cast<float>(1.0 / wide));
}

TEST(ViewSetup, InitialCameraLooksFromTwoPointNineThreeSevenFive) {
  RenderContext context;
  setupView(context, 480, 480, CameraPose{});
  // The scene origin sits straight ahead of the eye.
  const Vec4 origin = context.viewStack.transform({0, 0, 0, 1});
  EXPECT_EQ(origin, (Vec4{0, 0, -2.9375f, 1}));
  // The inverse carries the eye back into the scene: 2.9375 from the origin.
  const Vec4 eye = context.viewStack.inverseTransform({0, 0, 0, 1});
  EXPECT_NEAR(std::sqrt(eye.x * eye.x + eye.y * eye.y + eye.z * eye.z), 2.9375, 1e-5);
  EXPECT_GT(eye.z, 0) << "looking down on the squares from +z";
  // Both inverses are in force.
  const Matrix4 identity = context.viewStack.current * context.viewStack.inverse;
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(identity[i], i % 5 == 0 ? 1 : 0, 1e-6);
  const Matrix4 projection = context.projectionStack.current * context.projectionStack.inverse;
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(projection[i], i % 5 == 0 ? 1 : 0, 1e-6);
}

TEST(ViewSetup, PanMovesAlongTheWindowAndDownIsDown) {
  RenderContext context;
  CameraPose pose;
  pose.rotationX = 0;
  pose.rotationZ = 0;
  pose.panX = 100;
  pose.panY = 50;  // window y grows downwards
  setupView(context, 480, 480, pose);
  const Vec4 origin = context.viewStack.transform({0, 0, 0, 1});
  EXPECT_FLOAT_EQ(origin.x, 1.0f);
  EXPECT_FLOAT_EQ(origin.y, -0.5f);
}

}  // namespace
