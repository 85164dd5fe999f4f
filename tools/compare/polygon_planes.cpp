#include "tools/compare/polygon_planes.h"

#include <cmath>

Triangle widestTriangle(const PolygonOutline& outline) {
  // Every side's corners: each corner twice, which costs little on the few corners of
  // a polygon and finds the same triangle.
  std::vector<const ScreenCorner*> c;
  for (const auto& side : outline.sides)
    for (const ScreenCorner& corner : side)
      c.push_back(&corner);
  Triangle best;
  double widest = 0;
  for (std::size_t i = 0; i < c.size(); ++i)
    for (std::size_t j = i + 1; j < c.size(); ++j)
      for (std::size_t k = j + 1; k < c.size(); ++k) {
        const ScreenCorner &p = *c[i], &q = *c[j], &r = *c[k];
        const double area = std::fabs((double(q.x) - p.x) * (double(r.y) - p.y) -
                                      (double(r.x) - p.x) * (double(q.y) - p.y));
        if (area > widest) {
          widest = area;
          best = {p, q, r, true};
        }
      }
  return best;
}

namespace {

double cross(const ScreenCorner& p, const ScreenCorner& q, double x, double y) {
  return (double(q.x) - p.x) * (y - p.y) - (x - p.x) * (double(q.y) - p.y);
}

bool holds(const ScreenCorner& p, const ScreenCorner& q, const ScreenCorner& r, double x,
           double y) {
  const double a = cross(p, q, x, y), b = cross(q, r, x, y), c = cross(r, p, x, y);
  return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
}

}  // namespace

Triangle triangleAt(const PolygonOutline& outline, double x, double y) {
  const std::vector<ScreenCorner>& c = outline.corners;
  for (std::size_t k = 1; k + 1 < c.size(); ++k) {
    const double area = cross(c[0], c[k], c[k + 1].x, c[k + 1].y);
    if (area != 0 && holds(c[0], c[k], c[k + 1], x, y)) return {c[0], c[k], c[k + 1], true};
  }
  return widestTriangle(outline);
}
