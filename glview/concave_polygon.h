#pragma once

#include <vector>

#include "scene/render_context.h"

// OpenGL fills a GL_POLYGON correctly only when it is convex on screen. A polygon of one
// outline whose corners lie in one plane and turn the same way round it once is convex
// from every view; any other is cut into triangles once, by GLU's tessellator, with the
// even-odd rule of the software pipeline's scan conversion, and the triangles are kept.

// How a mesh's corners are coloured: by the mesh alone (its colour set once before), or
// each by its own colour, with `added` (the mesh's emission, where lighting is off)
// added and clamped to [0, 1] as the software pipeline does.
struct CornerColors {
  bool own = false;
  Color added{0, 0, 0, 0};
};

// One corner to OpenGL, inside glBegin and glEnd: its colour where the mesh colours each
// corner, its texture coordinates, its normal and its position (whose w is not sent).
void sendVertex(const Vertex& v, const CornerColors& colors);

// Whether the polygon is surely convex on screen, whatever the view: a triangle, or a
// plane polygon of non-zero area whose corners, projected onto that plane, turn the same
// way at every corner and go round once. A polygon that crosses itself (a bow-tie, whose
// Newell normal is zero) or leaves its plane is not.
bool isCertainlyConvex(const Polygon& polygon);

// The triangles, three corners each, that GLU's tessellator cuts a polygon of one
// outline into. Where edges cross, a new corner gets position, normal, texture
// coordinates and colour weighed from the edges' ends. Empty, with the tessellator's error in
// `error`, when it cannot cut the outline.
std::vector<Vertex> tessellated(const Polygon& polygon, unsigned& error);

// Draws the polygon's triangles where it is not surely convex, cut the first time it is
// drawn and kept, since the scene never changes once built; false where it is surely
// convex, or where the tessellator could not cut it, and nothing was drawn.
bool drawTessellated(const Polygon& polygon, const CornerColors& colors);

// How many polygons the tessellator could not cut, since the program started; they are
// drawn as GL_POLYGON, as they are.
long tessellationFailures();
