#pragma once

#include "math/exact_arithmetic.h"

// Thrown by normalize when a vector has no length to divide by.
struct ZeroDivide {};

// A position, direction or normal. Each operation rounds its result to float,
// which for a single +, -, * or / is the same as computing it in double first.
struct Vec3 {
  float x = 0;
  float y = 0;
  float z = 0;

  Vec3& operator+=(Vec3 b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
  }
  Vec3& operator-=(Vec3 b) {
    x -= b.x;
    y -= b.y;
    z -= b.z;
    return *this;
  }
  Vec3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  Vec3& operator/=(float s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
  }
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return a += b;
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return a -= b;
}
inline Vec3 operator*(Vec3 a, float s) {
  return a *= s;
}
inline Vec3 operator/(Vec3 a, float s) {
  return a /= s;
}
inline bool operator==(Vec3 a, Vec3 b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

// (a.x b.x + a.y b.y) + a.z b.z, summed in double and rounded once.
inline float dot(Vec3 a, Vec3 b) {
  return static_cast<float>((double(a.x) * b.x + double(a.y) * b.y) + double(a.z) * b.z);
}

float length(Vec3 a);

// Scales a to unit length in place; leaves it unchanged and returns false when its
// length rounds to zero.
bool tryNormalize(Vec3& a);

// Scales a to unit length in place; throws ZeroDivide, leaving a unchanged, when its
// length rounds to zero.
void normalize(Vec3& a);

// A unit-length copy of a; throws ZeroDivide like normalize.
inline Vec3 normalized(Vec3 a) {
  normalize(a);
  return a;
}
