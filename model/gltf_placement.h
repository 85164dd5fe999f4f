#pragma once

#include <array>
#include <string>

namespace tinygltf {
class Node;
}

// Where a glTF node puts its mesh: a 4 x 4 matrix in double, column-major as glTF writes
// matrices, composed from the root down.
struct Placement {
  std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  // The placement of a node whose parent is placed by this one.
  Placement operator*(const Placement& local) const;
  // Where a point goes, each coordinate summed in double in the order of the matrix's
  // columns.
  std::array<double, 3> point(const double* p) const;
  // Where a normal goes: by the inverse transpose (the cofactors, with the determinant's
  // sign; its length does not matter, normals are made unit length when captured).
  std::array<double, 3> normal(const double* n) const;
  // Whether it mirrors, and so turns counter-clockwise triangles clockwise.
  bool mirrors() const;
};

// A node's own placement: its matrix, or its translation x rotation x scale. Throws
// SceneFileError naming `path` and the node when a number is not finite, a list has the
// wrong length, or the rotation has no length.
Placement localPlacement(const tinygltf::Node& node, int index, const std::string& path);
