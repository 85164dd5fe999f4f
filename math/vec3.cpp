#include "math/vec3.h"

#include <cmath>

float length(Vec3 a) {
  return static_cast<float>(std::sqrt(double(dot(a, a))));
}

bool tryNormalize(Vec3& a) {
  const float n = length(a);
  if (n == 0.0f) return false;
  a /= n;
  return true;
}

void normalize(Vec3& a) {
  if (!tryNormalize(a)) throw ZeroDivide{};
}
