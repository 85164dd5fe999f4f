#pragma once

#include <vector>

#include "math/vec4.h"
#include "scene/render_context.h"

// A polygon corner in clip space, with the captured attributes it carries.
struct ClipVertex {
  Vec4 clip;
  Vertex vertex;
};

// Inside the depth range of the view volume: -w <= z <= w.
inline bool insideDepthRange(Vec4 clip) {
  return clip.z >= -clip.w && clip.z <= clip.w;
}

// Cuts the closed outline `ring` (in ring order) against the near and the far plane,
// leaving in `ring` the part between them. A corner made on a plane gets position,
// clip position, normal and texture coordinates interpolated along its side, and the
// result's `previous` links close the new ring. Geometry at or behind the eye lies
// beyond the near plane, so what remains has w > 0. `spare` is working storage.
void clipToDepthRange(std::vector<ClipVertex>& ring, std::vector<ClipVertex>& spare);

// Working storage of clipContours, kept from polygon to polygon.
struct ContourScratch {
  std::vector<int> next;  // the corner after each one: the one whose `previous` it is
  std::vector<unsigned char> reached;
  std::vector<ClipVertex> contour;
  std::vector<ClipVertex> spare;
  std::vector<ClipVertex> clipped;
};

// Cuts each contour of a polygon on its own against the near and the far plane: a
// polygon may have a second ring of `previous` links inside its outline, a hole, which
// must stay a ring of its own. `corners` holds the polygon's corners in index order
// with their captured links; afterwards it holds what remains of every contour, one
// contour after another, each closed by its own `previous` links and starting at its
// corner of least index. Corners whose links do not close a ring are dropped.
void clipContours(std::vector<ClipVertex>& corners, ContourScratch& scratch);
