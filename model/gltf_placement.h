#pragma once

#include <array>
#include <string>

struct GltfNode;

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

// A node's own placement: its matrix, or its translation x rotation x scale, the
// rotation a quaternion (x, y, z, w) made unit length. Throws SceneFileError naming
// `path` and the node when the rotation has no length. (Every number is finite and each
// list of the right length once the document is read.)
Placement localPlacement(const GltfNode& node, int index, const std::string& path);
