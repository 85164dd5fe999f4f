#include "tests/support/closed_meshes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <utility>

#include "math/newell_normal.h"
#include "scene/demo_scene.h"

std::string ClosedMesh::obj() const {
  std::ostringstream text;
  text.precision(9);
  for (const auto& p : positions)
    text << "v " << p[0] << " " << p[1] << " " << p[2] << "\n";
  for (const std::vector<int>& face : faces) {
    text << "f";
    for (int i : face)
      text << " " << i + 1;
    text << "\n";
  }
  return text.str();
}

void ClosedMesh::capture(RenderContext& context, Color color) const {
  addSceneLights(context);
  context.setMaterial(color, {0, 0, 0, 1}, 0);
  context.begin();
  for (const std::vector<int>& face : faces) {
    context.beginPolygon();
    const auto n = newellNormal(face.size(), [&](std::size_t k) {
      const auto& p = positions[face[k]];
      return Vec3{p[0], p[1], p[2]};
    });
    context.normal(float(n[0]), float(n[1]), float(n[2]));
    for (int i : face)
      context.vertex(positions[i][0], positions[i][1], positions[i][2]);
  }
}

namespace {

// A corner shared by every face that names the same point: it is made once.
class Corners {
 public:
  explicit Corners(ClosedMesh& mesh) : mesh_(mesh) {}
  int at(std::array<float, 3> p) {
    const auto [it, added] = index_.try_emplace(p, int(mesh_.positions.size()));
    if (added) mesh_.positions.push_back(p);
    return it->second;
  }

 private:
  ClosedMesh& mesh_;
  std::map<std::array<float, 3>, int> index_;
};

std::array<float, 3> onSphere(const std::array<float, 3>& p) {
  const double length = std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]);
  return {float(p[0] / length), float(p[1] / length), float(p[2] / length)};
}

}  // namespace

ClosedMesh icosphere(int subdivisions) {
  const float g = float((1 + std::sqrt(5.0)) / 2);
  ClosedMesh mesh;
  for (const auto& p : std::vector<std::array<float, 3>>{{-1, g, 0},
                                                         {1, g, 0},
                                                         {-1, -g, 0},
                                                         {1, -g, 0},
                                                         {0, -1, g},
                                                         {0, 1, g},
                                                         {0, -1, -g},
                                                         {0, 1, -g},
                                                         {g, 0, -1},
                                                         {g, 0, 1},
                                                         {-g, 0, -1},
                                                         {-g, 0, 1}}) {
    mesh.positions.push_back(onSphere(p));
  }
  mesh.faces = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
  for (int level = 0; level < subdivisions; ++level) {
    std::map<std::pair<int, int>, int> middles;
    auto middle = [&](int a, int b) {
      const auto key = std::minmax(a, b);
      const auto [it, added] = middles.try_emplace(key, int(mesh.positions.size()));
      if (added) {
        const auto& p = mesh.positions[a];
        const auto& q = mesh.positions[b];
        mesh.positions.push_back(onSphere({p[0] + q[0], p[1] + q[1], p[2] + q[2]}));
      }
      return it->second;
    };
    std::vector<std::vector<int>> cut;
    for (const std::vector<int>& f : mesh.faces) {
      const int ab = middle(f[0], f[1]);
      const int bc = middle(f[1], f[2]);
      const int ca = middle(f[2], f[0]);
      cut.insert(cut.end(), {{f[0], ab, ca}, {f[1], bc, ab}, {f[2], ca, bc}, {ab, bc, ca}});
    }
    mesh.faces = std::move(cut);
  }
  return mesh;
}

namespace {

// One face of the cube: the point at grid position (i, j) of n x n, where the face's
// two axes run from -1 to 1 and it lies at +1 or -1 on the third; the second axis is
// turned about on the -1 side, so that both sides wind the same way seen from outside.
struct CubeFace {
  int axis;    // the axis the face is perpendicular to
  float side;  // +1 or -1
  int n;
  std::array<float, 3> at(int i, int j) const {
    // Whole numbers divided once, so that a point on an edge of the cube is the same
    // float whichever face makes it.
    const float u = float(2 * i - n) / float(n);
    const float v = side * float(2 * j - n) / float(n);
    std::array<float, 3> p{};
    p[axis] = side;
    p[(axis + 1) % 3] = u;
    p[(axis + 2) % 3] = v;
    return p;
  }
};

// A polygon through grid points given as (i, j) offsets from (i0, j0).
std::vector<int> polygon(Corners& corners, const CubeFace& face, int i0, int j0,
                         std::initializer_list<std::pair<int, int>> points) {
  std::vector<int> indices;
  for (auto [di, dj] : points)
    indices.push_back(corners.at(face.at(i0 + di, j0 + dj)));
  return indices;
}

void cutBlock(ClosedMesh& mesh, Corners& corners, const CubeFace& face, int i, int j, int kind) {
  auto add = [&](std::initializer_list<std::pair<int, int>> points) {
    mesh.faces.push_back(polygon(corners, face, i, j, points));
  };
  if (kind == 0) {
    for (int di = 0; di < 2; ++di) {
      for (int dj = 0; dj < 2; ++dj)
        add({{di, dj}, {di + 1, dj}, {di + 1, dj + 1}, {di, dj + 1}});
    }
  } else if (kind == 1) {
    add({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 1}});
    add({{1, 1}, {2, 1}, {2, 2}, {1, 2}});
  } else {
    for (int di = 0; di < 2; ++di) {
      for (int dj = 0; dj < 2; ++dj) {
        add({{di, dj}, {di + 1, dj}, {di + 1, dj + 1}});
        add({{di, dj}, {di + 1, dj + 1}, {di, dj + 1}});
      }
    }
  }
}

}  // namespace

ClosedMesh cutCube(int n) {
  ClosedMesh mesh;
  Corners corners(mesh);
  int block = 0;
  for (int axis = 0; axis < 3; ++axis) {
    for (float side : {1.0f, -1.0f}) {
      const CubeFace face{axis, side, n};
      for (int i = 0; i < n; i += 2) {
        for (int j = 0; j < n; j += 2)
          cutBlock(mesh, corners, face, i, j, block++ % 3);
      }
    }
  }
  return mesh;
}
