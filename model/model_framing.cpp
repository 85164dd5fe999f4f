#include "tools/model/model_framing.h"

#include <algorithm>
#include <cmath>

namespace {

float placed(float value, float offset, double scale) {
  return static_cast<float>((double(value) + offset) * scale);
}

}  // namespace

Vec3 ModelFraming::place(float x, float y, float z) const {
  return {placed(x, offset.x, scale), placed(y, offset.y, scale), placed(z, offset.z, scale)};
}

ModelFraming frameModel(const ObjFile& file) {
  double low[3] = {INFINITY, INFINITY, INFINITY};
  double high[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (const tinyobj::shape_t& shape : file.shapes) {
    for (const tinyobj::index_t& corner : shape.mesh.indices) {
      for (int axis = 0; axis < 3; ++axis) {
        const double v = file.attrib.vertices[std::size_t(corner.vertex_index) * 3 + axis];
        low[axis] = std::min(low[axis], v);
        high[axis] = std::max(high[axis], v);
      }
    }
  }
  ModelFraming framing;
  framing.low = {float(low[0]), float(low[1]), float(low[2])};
  framing.high = {float(high[0]), float(high[1]), float(high[2])};
  // The centre in double, rounded to float: coordinates are floats, and so is a
  // centre that moves them.
  framing.offset = {float(-(low[0] + high[0]) / 2), float(-(low[1] + high[1]) / 2),
                    float(-(low[2] + high[2]) / 2)};
  const double radius = std::hypot(high[0] - low[0], high[1] - low[1], high[2] - low[2]) / 2;
  framing.scale = radius > 0 ? 1 / radius : 1;
  return framing;
}
