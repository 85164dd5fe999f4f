#include "tools/compare/opengl_coverage.h"

#include <cmath>

#include "tools/compare/polygon_planes.h"

namespace {

// The distance from (px, py) to the segment from a to b.
double distanceToSide(double px, double py, const ScreenCorner& a, const ScreenCorner& b) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  const double length2 = dx * dx + dy * dy;
  double k = length2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / length2 : 0;
  k = k < 0 ? 0 : (k > 1 ? 1 : k);
  return std::hypot(px - (a.x + k * dx), py - (a.y + k * dy));
}

}  // namespace

CentreIn centreIn(const PolygonOutline& outline, int x, int y) {
  const double cx = x + 0.5, cy = y + 0.5;
  bool inside = false;
  for (const auto& side : outline.sides) {
    const ScreenCorner& lower = side[0];
    const ScreenCorner& upper = side[1];
    if (distanceToSide(cx, cy, lower, upper) < kEdgeMargin) return CentreIn::OnEdge;
    if (!(lower.y <= cy && cy < upper.y)) continue;
    const double at =
        lower.x + (cy - lower.y) * (double(upper.x) - lower.x) / (double(upper.y) - lower.y);
    if (at < cx) inside = !inside;
  }
  return inside ? CentreIn::Inside : CentreIn::Outside;
}

double depthAtCentre(const PolygonOutline& outline, int x, int y) {
  const Triangle t = triangleAt(outline, x + 0.5, y + 0.5);
  if (!t.valid) return NAN;
  return planeOf(t, [](const ScreenCorner& c) { return double(c.z); }).at(x + 0.5, y + 0.5);
}
