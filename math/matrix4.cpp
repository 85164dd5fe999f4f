#include "math/matrix4.h"

#include <cmath>
#include <utility>

Matrix4 Matrix4::fromRows(Vec4 r0, Vec4 r1, Vec4 r2, Vec4 r3) {
  Matrix4 result;
  const Vec4 rows[4] = {r0, r1, r2, r3};
  for (int r = 0; r < 4; ++r) {
    result.m[4 * r + 0] = rows[r].x;
    result.m[4 * r + 1] = rows[r].y;
    result.m[4 * r + 2] = rows[r].z;
    result.m[4 * r + 3] = rows[r].w;
  }
  return result;
}

Matrix4& Matrix4::operator*=(const Matrix4& b) {
  Matrix4 product;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      const float* row = &m[4 * i];
      product.m[4 * i + j] = static_cast<float>(
          ((double(row[0]) * b.m[j] + double(row[1]) * b.m[4 + j]) + double(row[2]) * b.m[8 + j]) +
          double(row[3]) * b.m[12 + j]);
    }
  }
  return *this = product;
}

bool operator==(const Matrix4& a, const Matrix4& b) {
  for (int i = 0; i < 16; ++i) {
    if (a.m[i] != b.m[i]) return false;
  }
  return true;
}

Vec4 operator*(const Matrix4& m, Vec4 v) {
  auto row = [&](int i) {
    const float* r = &m.m[4 * i];
    return static_cast<float>(((double(r[0]) * v.x + double(r[1]) * v.y) + double(r[2]) * v.z) +
                              double(r[3]) * v.w);
  };
  return {row(0), row(1), row(2), row(3)};
}

namespace {

// One row of the augmented matrix [source | identity].
using Row = double[8];

void swapIfLarger(double*& upper, double*& lower, int column) {
  if (std::fabs(lower[column]) > std::fabs(upper[column])) std::swap(upper, lower);
}

// row -= factor * pivotRow over the given columns; the identity half is touched only
// where the pivot row is non-zero there.
void eliminate(double* row, const double* pivotRow, double factor, int firstColumn,
               bool skipZeroIdentity) {
  for (int j = firstColumn; j < 8; ++j) {
    if (j >= 4 && skipZeroIdentity && pivotRow[j] == 0.0) continue;
    row[j] -= factor * pivotRow[j];
  }
}

}  // namespace

bool invertMatrix(const Matrix4& source, Matrix4& destination) {
  Row rows[4];
  for (int k = 0; k < 4; ++k) {
    for (int j = 0; j < 4; ++j) {
      rows[k][j] = source.m[4 * k + j];
      rows[k][4 + j] = (j == k) ? 1.0 : 0.0;
    }
  }
  // Swaps exchange these references, never the rows themselves.
  double* r0 = rows[0];
  double* r1 = rows[1];
  double* r2 = rows[2];
  double* r3 = rows[3];

  swapIfLarger(r2, r3, 0);
  swapIfLarger(r1, r2, 0);
  swapIfLarger(r0, r1, 0);
  if (r0[0] == 0.0) return false;
  for (double* r : {r1, r2, r3})
    eliminate(r, r0, r[0] / r0[0], 1, true);

  swapIfLarger(r2, r3, 1);
  swapIfLarger(r1, r2, 1);
  if (r1[1] == 0.0) return false;
  for (double* r : {r2, r3})
    eliminate(r, r1, r[1] / r1[1], 2, true);

  swapIfLarger(r2, r3, 2);
  if (r2[2] == 0.0) return false;
  eliminate(r3, r2, r3[2] / r2[2], 3, false);

  if (r3[3] == 0.0) return false;

  for (int j = 4; j < 8; ++j) {
    r3[j] = r3[j] * (1.0 / r3[3]);
    r2[j] = (1.0 / r2[2]) * (r2[j] - r3[j] * r2[3]);
    r1[j] = r1[j] - r3[j] * r1[3];
    r0[j] = r0[j] - r3[j] * r0[3];
    r1[j] = (1.0 / r1[1]) * (r1[j] - r2[j] * r1[2]);
    r0[j] = r0[j] - r2[j] * r0[2];
    r0[j] = (1.0 / r0[0]) * (r0[j] - r1[j] * r0[1]);
  }

  const double* finalRows[4] = {r0, r1, r2, r3};
  for (int k = 0; k < 4; ++k) {
    for (int j = 0; j < 4; ++j)
      destination.m[4 * k + j] = static_cast<float>(finalRows[k][4 + j]);
  }
  return true;
}
