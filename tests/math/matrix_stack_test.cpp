#include <gtest/gtest.h>

#include "math/matrix_stack.h"

namespace {

TEST(MatrixStack, StartsAsIdentityWithNothingSaved) {
  const MatrixStack stack;
  EXPECT_EQ(stack.current, Matrix4{});
  EXPECT_EQ(stack.inverse, Matrix4{});
  EXPECT_TRUE(stack.saved.empty());
}

TEST(MatrixStack, RotateXBy90UsesTheShortPi) {
  MatrixStack stack;
  stack.rotateX(90);
  EXPECT_EQ(stack.current[5], 1.2675908e-06f);
  EXPECT_EQ(stack.current[9], 1.0f);
  const Vec4 p = stack.transform({0, 1, 0, 1});
  EXPECT_EQ(p, (Vec4{0, 1.2675908e-06f, 1, 1}));
}

TEST(MatrixStack, InitialViewAngles) {
  MatrixStack x;
  x.rotateX(-60);
  EXPECT_EQ(x.current[5], 0.50000077f);
  EXPECT_EQ(x.current[9], -0.86602497f);
  EXPECT_EQ(x.current[6], 0.86602497f);
  MatrixStack z;
  z.rotateZ(-135);
  EXPECT_EQ(z.current[0], -0.70710546f);
  EXPECT_EQ(z.current[4], -0.70710814f);
  EXPECT_EQ(z.current[1], 0.70710814f);
}

TEST(MatrixStack, PerspectiveElements) {
  MatrixStack stack;
  stack.perspective(0.4f, 0.4f, 0.1f, 100.0f);
  const Matrix4& b = stack.current;
  EXPECT_EQ(b[0], 2.5f);
  EXPECT_EQ(b[5], 2.5f);
  EXPECT_EQ(b[10], -1.002002f);
  EXPECT_EQ(b[11], -0.2002002f);
  EXPECT_EQ(b[14], -1.0f);
  EXPECT_EQ(b[15], 0.0f);
  for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13})
    EXPECT_EQ(b[i], 0.0f) << i;
  // Depth runs from -1 at the near plane to +1 at the far plane.
  const Vec4 nearPoint = stack.transform({0, 0, -0.1f, 1});
  const Vec4 farPoint = stack.transform({0, 0, -100, 1});
  EXPECT_FLOAT_EQ(nearPoint.z / nearPoint.w, -1.0f);
  EXPECT_FLOAT_EQ(farPoint.z / farPoint.w, 1.0f);
}

TEST(MatrixStack, LastBuilderActsFirst) {
  MatrixStack stack;
  stack.translate(1, 2, 3);
  stack.rotateZ(90);
  const Vec4 p = stack.transform({1, 0, 0, 1});
  EXPECT_NEAR(p.x, 1, 1e-5);
  EXPECT_NEAR(p.y, 3, 1e-5);
  EXPECT_EQ(p.z, 3.0f);
  EXPECT_EQ(stack.transform({1, 0, 0, 0}).z, 0.0f) << "directions ignore translation";
}

TEST(MatrixStack, PushAndPopRestoreExactly) {
  MatrixStack stack;
  stack.rotateX(33);
  const Matrix4 before = stack.current;
  stack.push();
  stack.translate(0.6f, 0, 0);
  stack.rotateZ(-12);
  stack.pop();
  EXPECT_EQ(stack.current, before);
  EXPECT_TRUE(stack.saved.empty());
}

TEST(MatrixStack, PopWithoutPushStops) {
  MatrixStack stack;
  EXPECT_DEATH(stack.pop(), "pop without a matching push");
}

TEST(MatrixStack, ResetKeepsTheInverse) {
  MatrixStack stack;
  stack.translate(1, 2, 3);
  stack.push();
  invertMatrix(stack.current, stack.inverse);
  const Matrix4 inverse = stack.inverse;
  stack.reset();
  EXPECT_EQ(stack.current, Matrix4{});
  EXPECT_TRUE(stack.saved.empty());
  EXPECT_EQ(stack.inverse, inverse);
  EXPECT_EQ(stack.inverseTransform({1, 2, 3, 1}), (Vec4{0, 0, 0, 1}));
}

TEST(MatrixStack, ColumnMajorIsTheTranspose) {
  MatrixStack stack;
  stack.translate(1, 2, 3);
  float out[16];
  stack.toColumnMajor(out);
  EXPECT_EQ(out[12], 1.0f);
  EXPECT_EQ(out[13], 2.0f);
  EXPECT_EQ(out[14], 3.0f);
  EXPECT_EQ(out[3], 0.0f);
}

}  // namespace
