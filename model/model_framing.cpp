#include "model/model_framing.h"

#include <algorithm>
#include <cmath>

#include "model/scene_file_error.h"

namespace {

// The model's coordinates in the scene's order: where each of the scene's x, y and z
// comes from, and with which sign.
std::array<double, 3> turned(char up, double x, double y, double z) {
  if (up == 'y') return {x, -z, y};
  if (up == 'x') return {y, z, x};
  return {x, y, z};
}

}  // namespace

Vec3 ModelFraming::place(const double* p) const {
  const auto t = turned(up, (p[0] + offset[0]) * scale, (p[1] + offset[1]) * scale,
                        (p[2] + offset[2]) * scale);
  return {float(t[0]), float(t[1]), float(t[2])};
}

Vec3 ModelFraming::turn(Vec3 d) const {
  const auto t = turned(up, d.x, d.y, d.z);
  return {float(t[0]), float(t[1]), float(t[2])};
}

ModelFraming frameModel(const ModelMesh& mesh, char up) {
  ModelFraming framing;
  framing.up = up;
  framing.low = {INFINITY, INFINITY, INFINITY};
  framing.high = {-INFINITY, -INFINITY, -INFINITY};
  for (const MeshCorner& corner : mesh.corners) {
    for (std::size_t axis = 0; axis < 3; ++axis) {
      const double v = mesh.positions[std::size_t(corner.position) * 3 + axis];
      framing.low[axis] = std::min(framing.low[axis], v);
      framing.high[axis] = std::max(framing.high[axis], v);
    }
  }
  double size[3];
  for (std::size_t axis = 0; axis < 3; ++axis) {
    size[axis] = framing.high[axis] - framing.low[axis];
    framing.offset[axis] = -(framing.low[axis] / 2 + framing.high[axis] / 2);
  }
  const double radius = std::hypot(size[0], size[1], size[2]) / 2;
  if (!std::isfinite(radius)) {
    throw SceneFileError(mesh.path + ": its positions lie too far apart to measure");
  }
  framing.scale = radius > 0 ? 1 / radius : 1;
  return framing;
}
