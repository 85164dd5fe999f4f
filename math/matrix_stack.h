#pragma once

#include <vector>

#include "math/matrix4.h"

// The matrix state of an immediate-mode interface. Every builder multiplies the
// current matrix on the right, so the builder called last is the first applied to a
// point. `inverse` changes only through invertMatrix(current, inverse).
class MatrixStack {
 public:
  Matrix4 current;
  Matrix4 inverse;
  std::vector<Matrix4> saved;

  // Identity again, nothing saved; `inverse` is kept.
  void reset();
  void push();
  void pop();

  void translate(float x, float y, float z);
  void rotateX(float degrees);
  void rotateZ(float degrees);
  // A symmetric frustum looking along -z; depth after division by w runs from -1 at
  // the near plane to +1 at the far plane.
  void perspective(float tanHalfX, float tanHalfY, float near, float far);

  Vec4 transform(Vec4 v) const { return current * v; }
  Vec4 inverseTransform(Vec4 v) const { return inverse * v; }

  // The transpose of `current`: the element order glLoadMatrixf expects.
  void toColumnMajor(float out[16]) const;
};
