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
