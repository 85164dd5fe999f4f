#pragma once

#include "math/vec4.h"

// A 4 x 4 transform stored row by row: element (row r, column c) is m[4r + c].
// Points are column vectors, p' = M p, so a translation sits in m[3], m[7], m[11].
// A default Matrix4 is the identity.
struct Matrix4 {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  static Matrix4 fromRows(Vec4 r0, Vec4 r1, Vec4 r2, Vec4 r3);
  static Matrix4 zero() {
    Matrix4 z;
    for (float& e : z.m)
      e = 0;
    return z;
  }

  float& operator[](int i) { return m[i]; }
  float operator[](int i) const { return m[i]; }

  // this = this * b; safe when b is this matrix.
  Matrix4& operator*=(const Matrix4& b);
};

inline Matrix4 operator*(Matrix4 a, const Matrix4& b) {
  return a *= b;
}
bool operator==(const Matrix4& a, const Matrix4& b);

// m v, each row ((m0 x + m1 y) + m2 z) + m3 w summed in double and rounded once.
Vec4 operator*(const Matrix4& m, Vec4 v);

// Gauss-Jordan elimination with partial pivoting, in double. Writes the inverse of
// source into destination and returns true; returns false and leaves destination
// untouched when source is singular.
bool invertMatrix(const Matrix4& source, Matrix4& destination);
