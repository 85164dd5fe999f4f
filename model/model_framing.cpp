#include "model/model_framing.h"

#include <algorithm>
#include <cmath>

#include "model/scene_file_error.h"

Vec3 ModelFraming::place(const double* p) const {
  return {float((p[0] + offset[0]) * scale), float((p[1] + offset[1]) * scale),
          float((p[2] + offset[2]) * scale)};
}

ModelFraming frameModel(const ObjFile& file) {
  ModelFraming framing;
  framing.low = {INFINITY, INFINITY, INFINITY};
  framing.high = {-INFINITY, -INFINITY, -INFINITY};
  for (const ObjCorner& corner : file.corners) {
    for (std::size_t axis = 0; axis < 3; ++axis) {
      const double v = file.positions[std::size_t(corner.position) * 3 + axis];
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
    throw SceneFileError(file.path + ": its positions lie too far apart to measure");
  }
  framing.scale = radius > 0 ? 1 / radius : 1;
  return framing;
}
