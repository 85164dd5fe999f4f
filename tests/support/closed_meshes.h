#pragma once

#include <array>
#include <string>
#include <vector>

#include "scene/render_context.h"

// Closed surfaces for the tests: every edge is shared by exactly two faces, which
// meet corner to corner (no corner of one lies in the middle of the other's edge).
struct ClosedMesh {
  std::vector<std::array<float, 3>> positions;
  std::vector<std::vector<int>> faces;  // indices into positions, counter-clockwise outside

  // The mesh as a Wavefront OBJ file.
  std::string obj() const;
  // Captured into `context` as one untextured mesh of the given colour, each face one
  // polygon with its own normal, after the built-in scene's lights.
  void capture(RenderContext& context, Color color) const;
};

// An icosahedron whose triangles are cut into four, `subdivisions` times over, its
// corners pushed out onto the unit sphere: 20 x 4^subdivisions triangles.
ClosedMesh icosphere(int subdivisions);

// A cube whose faces are each cut along an n x n grid (n even) into 2 x 2 blocks of
// three kinds, in turn: four squares; a concave L of three cells (eight corners, two
// of them in the middle of its longer sides) beside a square; eight triangles.
ClosedMesh cutCube(int n);
