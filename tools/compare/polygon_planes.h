#pragma once

#include "tools/history/pixel_history.h"

// What OpenGL interpolates across a polygon: window depth, and s/w, t/w, 1/w and each
// colour channel over w, are planes in window x and y.

struct Plane {
  double a = 0;
  double b = 0;
  double c = 0;
  double at(double x, double y) const { return a * x + b * y + c; }
};

// The three corners of an outline that span the largest triangle: the plane of a flat
// polygon, and of a nearly flat one as near as one triangle gives it. Not `valid` for
// an outline of no area.
struct Triangle {
  ScreenCorner p;
  ScreenCorner q;
  ScreenCorner r;
  bool valid = false;
};
Triangle widestTriangle(const PolygonOutline& outline);

// The triangle OpenGL draws the polygon's point (x, y) in: of the fan from its first
// corner, as OpenGL cuts a polygon, the one that holds the point; where none does (a
// polygon the tessellator cut otherwise, or a point just outside), the widest. The
// values of a polygon whose corners' values lie in no one plane follow its triangles.
Triangle triangleAt(const PolygonOutline& outline, double x, double y);

// The plane through the triangle's corners of value(corner).
template <typename Value>
Plane planeOf(const Triangle& t, Value value) {
  const double x1 = double(t.q.x) - t.p.x, y1 = double(t.q.y) - t.p.y;
  const double x2 = double(t.r.x) - t.p.x, y2 = double(t.r.y) - t.p.y;
  const double det = x1 * y2 - x2 * y1;
  const double f0 = value(t.p), f1 = value(t.q) - f0, f2 = value(t.r) - f0;
  Plane plane;
  plane.a = (f1 * y2 - f2 * y1) / det;
  plane.b = (x1 * f2 - x2 * f1) / det;
  plane.c = f0 - plane.a * t.p.x - plane.b * t.p.y;
  return plane;
}
