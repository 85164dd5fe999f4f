#include "model/gltf_placement.h"

#include <algorithm>
#include <cmath>

#include "model/gltf_document.h"
#include "model/scene_file_error.h"

namespace {

double at(const Placement& p, int row, int col) {
  return p.m[std::size_t(col * 4 + row)];
}

// The 2 x 2 minor's determinant of the upper 3 x 3, rows r0 < r1 and columns c0 < c1.
double minor(const Placement& p, int r0, int r1, int c0, int c1) {
  return at(p, r0, c0) * at(p, r1, c1) - at(p, r0, c1) * at(p, r1, c0);
}

double determinant(const Placement& p) {
  return at(p, 0, 0) * minor(p, 1, 2, 1, 2) - at(p, 0, 1) * minor(p, 1, 2, 0, 2) +
         at(p, 0, 2) * minor(p, 1, 2, 0, 1);
}

Placement rotation(const std::vector<double>& q, const Refusal& node) {
  const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  node.require(length > 0, "'s rotation is a quaternion of no length");
  const double x = q[0] / length, y = q[1] / length, z = q[2] / length, w = q[3] / length;
  return {{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,  //
           2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,  //
           2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0,  //
           0, 0, 0, 1}};
}

}  // namespace

Placement Placement::operator*(const Placement& local) const {
  Placement out;
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k)
        sum += at(*this, row, k) * at(local, k, col);
      out.m[std::size_t(col * 4 + row)] = sum;
    }
  return out;
}

std::array<double, 3> Placement::point(const double* p) const {
  std::array<double, 3> out;
  for (int row = 0; row < 3; ++row)
    out[std::size_t(row)] = at(*this, row, 0) * p[0] + at(*this, row, 1) * p[1] +
                            at(*this, row, 2) * p[2] + at(*this, row, 3);
  return out;
}

std::array<double, 3> Placement::normal(const double* n) const {
  const double sign = determinant(*this) < 0 ? -1 : 1;
  // Row r of the cofactor matrix, times n.
  const double c00 = minor(*this, 1, 2, 1, 2), c01 = -minor(*this, 1, 2, 0, 2),
               c02 = minor(*this, 1, 2, 0, 1);
  const double c10 = -minor(*this, 0, 2, 1, 2), c11 = minor(*this, 0, 2, 0, 2),
               c12 = -minor(*this, 0, 2, 0, 1);
  const double c20 = minor(*this, 0, 1, 1, 2), c21 = -minor(*this, 0, 1, 0, 2),
               c22 = minor(*this, 0, 1, 0, 1);
  return {sign * (c00 * n[0] + c01 * n[1] + c02 * n[2]),
          sign * (c10 * n[0] + c11 * n[1] + c12 * n[2]),
          sign * (c20 * n[0] + c21 * n[1] + c22 * n[2])};
}

bool Placement::mirrors() const {
  return determinant(*this) < 0;
}

Placement localPlacement(const GltfNode& node, int index, const std::string& path) {
  const Refusal refusal(path + ": node " + std::to_string(index));
  Placement local;
  if (!node.matrix.empty()) {
    std::copy(node.matrix.begin(), node.matrix.end(), local.m.begin());
    return local;
  }
  Placement t, s;
  if (!node.translation.empty()) std::copy_n(node.translation.begin(), 3, t.m.begin() + 12);
  if (!node.scale.empty()) s.m[0] = node.scale[0], s.m[5] = node.scale[1], s.m[10] = node.scale[2];
  return node.rotation.empty() ? t * s : t * rotation(node.rotation, refusal) * s;
}
