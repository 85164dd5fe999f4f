#pragma once

#include "scene/render_context.h"

// Whether a polygon of one outline is convex: OpenGL fills GL_POLYGON correctly only
// then. Its corners, projected onto the plane they lie in most nearly, must turn the
// same way at every corner and go round once. A degenerate polygon (all corners on a
// line, or fewer than four) counts as convex.
bool isConvex(const Polygon& polygon);

// Draws a polygon of one outline that is not convex as the triangles GLU's tessellator
// cuts it into, with the even-odd rule of the software pipeline's scan conversion:
// where the outline crosses itself, a region inside it twice is outside. Corners made
// where edges cross get positions, normals and texture coordinates weighed from the
// edges' ends.
void drawTessellated(const Polygon& polygon);
