#include <gtest/gtest.h>

#include <cmath>

#include "math/float4.h"
#include "math/rounding.h"
#include "math/vec3.h"
#include "math/vec4.h"

namespace {

TEST(Vec3, ArithmeticIsComponentWise) {
  Vec3 a{1, 2, 3};
  a += {0.5f, 0.25f, -1};
  EXPECT_EQ(a, (Vec3{1.5f, 2.25f, 2}));
  EXPECT_EQ((a - Vec3{1.5f, 0.25f, 2}), (Vec3{0, 2, 0}));
  EXPECT_EQ(a * 2.0f, (Vec3{3, 4.5f, 4}));
  EXPECT_EQ((Vec3{1, 2, 4} / 4.0f), (Vec3{0.25f, 0.5f, 1}));
}

TEST(Vec3, DotSumsInDoubleAndRoundsOnce) {
  // In float, 1e8 + 1 loses the 1 before -1e8 cancels; in double it survives.
  EXPECT_EQ(dot({1e4f, 1, 0}, {1e4f, 1, 0}), 100000001.0f);
  EXPECT_EQ(dot({1e4f, 1, -1e4f}, {1e4f, 1, 1e4f}), 1.0f);
  EXPECT_EQ(length({3, 0, 4}), 5.0f);
}

TEST(Vec3, NormalizeScalesToUnitLength) {
  Vec3 v{3, 0, 4};
  normalize(v);
  EXPECT_EQ(v, (Vec3{0.6f, 0, 0.8f}));
  Vec3 tiny{1e-19f, 0, 0};
  normalize(tiny);
  EXPECT_EQ(tiny, (Vec3{1, 0, 0}));
}

TEST(Vec3, NormalizeOfNoLengthThrowsAndKeepsTheVector) {
  Vec3 zero{0, 0, 0};
  EXPECT_THROW(normalize(zero), ZeroDivide);
  EXPECT_EQ(zero, (Vec3{0, 0, 0}));
  // Its squared length underflows to zero in float.
  Vec3 underflow{1e-23f, 0, 0};
  EXPECT_THROW(normalize(underflow), ZeroDivide);
  EXPECT_EQ(underflow, (Vec3{1e-23f, 0, 0}));
  EXPECT_FALSE(tryNormalize(underflow));
}

TEST(Vec4, DefaultIsTheOriginPoint) {
  EXPECT_EQ(Vec4(), (Vec4{0, 0, 0, 1}));
  Vec4 v;
  v.set(1, 2, 3, 4);
  EXPECT_EQ((v + Vec4{1, 1, 1, 1}), (Vec4{2, 3, 4, 5}));
  EXPECT_EQ(0.5f * v, (Vec4{0.5f, 1, 1.5f, 2})) << "scaling includes w";
}

TEST(Color, FromHSVMatchesTheTextureColors) {
  const Color tile = Color::fromHSV(0.083f, 0.75f, 0.8f, 1);
  EXPECT_EQ(tile.x, 0.8f);
  EXPECT_FLOAT_EQ(tile.y, 0.4988f);
  EXPECT_FLOAT_EQ(tile.z, 0.2f);
  EXPECT_EQ(tile.w, 1.0f);
  const Color ring = Color::fromHSV(0.125f, 0.7f, 0.8f, 1);
  EXPECT_EQ(ring.x, 0.8f);
  EXPECT_FLOAT_EQ(ring.y, 0.66f);
  EXPECT_FLOAT_EQ(ring.z, 0.24f);
}

TEST(Color, FromHSVCoversEverySectorAndWrapsAtOne) {
  EXPECT_EQ(Color::fromHSV(0.3f, 0, 0.5f, 0.25f), (Color{0.5f, 0.5f, 0.5f, 0.25f}));
  EXPECT_EQ(Color::fromHSV(1, 0.5f, 1, 1), (Color{1, 0.5f, 0.5f, 1}));
  EXPECT_EQ(Color::fromHSV(0, 0.5f, 1, 1), (Color{1, 0.5f, 0.5f, 1}));
  // Hues whose sixfold is exact in float, one in each sector.
  EXPECT_EQ(Color::fromHSV(0.125f, 1, 1, 1), (Color{1, 0.75f, 0, 1}));
  EXPECT_EQ(Color::fromHSV(0.25f, 1, 1, 1), (Color{0.5f, 1, 0, 1}));
  EXPECT_EQ(Color::fromHSV(0.375f, 1, 1, 1), (Color{0, 1, 0.25f, 1}));
  EXPECT_EQ(Color::fromHSV(0.5f, 1, 1, 1), (Color{0, 1, 1, 1}));
  EXPECT_EQ(Color::fromHSV(0.75f, 1, 1, 1), (Color{0.5f, 0, 1, 1}));
  EXPECT_EQ(Color::fromHSV(0.875f, 1, 1, 1), (Color{1, 0, 0.75f, 1}));
}

TEST(RoundToInt, AddsOneHalfAndTruncatesTowardsZero) {
  EXPECT_EQ(roundToInt(2.5f), 3);
  EXPECT_EQ(roundToInt(2.49f), 2);
  EXPECT_EQ(roundToInt(0.49999997f), 0);
  EXPECT_EQ(roundToInt(-0.5f), 0);
  EXPECT_EQ(roundToInt(-0.7f), 0);
  EXPECT_EQ(roundToInt(-1.2f), 0);
  EXPECT_EQ(roundToInt(-1.5f), -1);
  EXPECT_EQ(roundToInt(-1.6f), -1);
  EXPECT_EQ(roundToInt(-1.7f), -1);
  EXPECT_EQ(roundToInt(-2.5f), -2);
}

TEST(RoundToInt, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(roundToInt(1e20f), 1000000000);
  EXPECT_EQ(roundToInt(-1e20f), -1000000000);
  EXPECT_EQ(roundToInt(std::numeric_limits<float>::infinity()), 1000000000);
  EXPECT_EQ(roundToInt(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(roundToInt(123456789.0f), 123456792) << "exact below the limit";
}

// The fast sampler clamps s and t lane by lane as the plain one clamps each: a
// coordinate that is not a number samples the texture's edge at 0.
TEST(Float4, ClampToUnitTakesNotANumberToZeroAsTheScalarClampDoes) {
  const Float4 clamped = clampToUnit(Float4{NAN, -0.5f, 0.25f, INFINITY});
  EXPECT_EQ(clamped[0], 0.0f);
  EXPECT_EQ(clamped[1], 0.0f);
  EXPECT_EQ(clamped[2], 0.25f);
  EXPECT_EQ(clamped[3], 1.0f);
  EXPECT_TRUE(std::isnan(max(Float4{1, 1, 1, 1}, splat(NAN))[0]));  // b where either is NaN
  EXPECT_EQ(max(splat(NAN), Float4{1, 1, 1, 1})[0], 1.0f);
}

}  // namespace
