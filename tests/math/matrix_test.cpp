#include <gtest/gtest.h>

#include "math/matrix4.h"

namespace {

Matrix4 rows(std::initializer_list<float> elements) {
  Matrix4 m;
  int i = 0;
  for (float e : elements)
    m[i++] = e;
  return m;
}

TEST(Matrix4, DefaultIsIdentityAndRowsAreStoredInOrder) {
  const Matrix4 identity;
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(identity[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
  const Matrix4 m =
      Matrix4::fromRows({1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16});
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(m[i], float(i + 1));
}

TEST(Matrix4, ProductPutsTheLeftFactorFirstAndIsSafeInPlace) {
  const Matrix4 a = rows({1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  const Matrix4 b = rows({1, 0, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  const Matrix4 ab = a * b;
  EXPECT_EQ(ab[0], 7.0f);  // 1*1 + 2*3
  EXPECT_EQ(ab[1], 2.0f);
  EXPECT_EQ(ab[4], 3.0f);
  Matrix4 square = a;
  square *= square;
  EXPECT_EQ(square[1], 4.0f);
}

TEST(Matrix4, TransformRoundsEachRowOnce) {
  const Matrix4 m = rows({1e4f, 1, -1e4f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  const Vec4 p = m * Vec4{1e4f, 1, 1e4f, 1};
  EXPECT_EQ(p.x, 1.0f);
  EXPECT_EQ(p.w, 1.0f);
}

TEST(InvertMatrix, IdentityAndTranslation) {
  Matrix4 inverse = Matrix4::zero();
  ASSERT_TRUE(invertMatrix(Matrix4{}, inverse));
  EXPECT_EQ(inverse, Matrix4{});
  Matrix4 translation;
  translation[3] = 1.5f;
  translation[7] = -2;
  translation[11] = 4;
  ASSERT_TRUE(invertMatrix(translation, inverse));
  EXPECT_EQ(inverse[3], -1.5f);
  EXPECT_EQ(inverse[7], 2.0f);
  EXPECT_EQ(inverse[11], -4.0f);
  EXPECT_EQ(inverse[0], 1.0f);
}

TEST(InvertMatrix, SingularMatricesLeaveTheDestinationUntouched) {
  const Matrix4 sentinel = rows({9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6});
  Matrix4 destination = sentinel;
  EXPECT_FALSE(invertMatrix(Matrix4::zero(), destination));
  EXPECT_EQ(destination, sentinel);
  const Matrix4 equalRows = rows({1, 2, 3, 4, 1, 2, 3, 4, 0, 0, 1, 0, 0, 0, 0, 1});
  EXPECT_FALSE(invertMatrix(equalRows, destination));
  EXPECT_EQ(destination, sentinel);
  // Fails only at the last pivot.
  const Matrix4 lastPivotZero = rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
  EXPECT_FALSE(invertMatrix(lastPivotZero, destination));
  EXPECT_EQ(destination, sentinel);
}

TEST(InvertMatrix, PivotsThroughRowSwaps) {
  // The first column is (0, 0, 0, 5): the pivot for column 0 is in the last row.
  const Matrix4 permuted = rows({0, 1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 4, 5, 0, 0, 0});
  Matrix4 inverse;
  ASSERT_TRUE(invertMatrix(permuted, inverse));
  const Matrix4 expected = rows({0, 0, 0, 0.2f, 1, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.25f, 0});
  EXPECT_EQ(inverse, expected);
}

TEST(InvertMatrix, PivotsTheSecondColumnThroughARowSwap) {
  // Rows 1 and 2 swapped: after column 0, the pivot for column 1 is in row 2.
  const Matrix4 swap = rows({1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1});
  Matrix4 inverse;
  ASSERT_TRUE(invertMatrix(swap, inverse));
  EXPECT_EQ(inverse, swap);
}

TEST(InvertMatrix, GeneralMatrixTimesInverseIsNearIdentity) {
  const Matrix4 m = rows({2, -1, 0.5f, 3, 1, 4, -2, 0, 0.25f, 0, 3, -1, 0, 1, 1, 2});
  Matrix4 inverse;
  ASSERT_TRUE(invertMatrix(m, inverse));
  const Matrix4 product = m * inverse;
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(product[i], (i % 5 == 0) ? 1.0 : 0.0, 1e-6) << i;
}

}  // namespace
