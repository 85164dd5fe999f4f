#include "math/matrix_stack.h"

#include <cmath>

#include "math/precondition.h"

namespace {

// Angles go through the constant 3.14159, not the full value of pi, and are rounded
// to float before the sine and cosine are taken. Every matrix, and so every point the
// pipeline emits, depends on these digits, and the points are fixed to the bit: the
// full pi would move them (rotateX(90) leaves y at 1.2675908e-06, not 0).
struct CosSin {
  float c;
  float s;
};

CosSin cosSinOfDegrees(float degrees) {
  const float radians = static_cast<float>(double(degrees) * 3.14159 / 180.0);
  return {static_cast<float>(std::cos(double(radians))),
          static_cast<float>(std::sin(double(radians)))};
}

// A right-handed rotation in the plane of axes a and b (a before b): a goes to
// c a - s b, b to s a + c b.
Matrix4 planeRotation(int a, int b, float degrees) {
  const auto [c, s] = cosSinOfDegrees(degrees);
  Matrix4 rotation;
  rotation[4 * a + a] = c;
  rotation[4 * a + b] = -s;
  rotation[4 * b + a] = s;
  rotation[4 * b + b] = c;
  return rotation;
}

}  // namespace

void MatrixStack::reset() {
  saved.clear();
  current = Matrix4{};
}

void MatrixStack::push() {
  saved.push_back(current);
}

void MatrixStack::pop() {
  requireThat(!saved.empty(), "MatrixStack::pop without a matching push");
  current = saved.back();
  saved.pop_back();
}

void MatrixStack::translate(float x, float y, float z) {
  Matrix4 b;
  b[3] = x;
  b[7] = y;
  b[11] = z;
  current *= b;
}

void MatrixStack::rotateX(float degrees) {
  current *= planeRotation(1, 2, degrees);
}

void MatrixStack::rotateZ(float degrees) {
  current *= planeRotation(0, 1, degrees);
}

void MatrixStack::perspective(float tanHalfX, float tanHalfY, float near, float far) {
  Matrix4 b = Matrix4::zero();
  b[0] = static_cast<float>(1.0 / tanHalfX);
  b[5] = static_cast<float>(1.0 / tanHalfY);
  b[10] = static_cast<float>(-((double(near) + far) / (double(far) - near)));
  b[11] = static_cast<float>((near * (far * -2.0)) / (double(far) - near));
  b[14] = -1;
  b[15] = 0;
  current *= b;
}

void MatrixStack::toColumnMajor(float out[16]) const {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c)
      out[4 * c + r] = current[4 * r + c];
  }
}
