#include "raster/clipping.h"

#include <utility>

namespace {

// Signed distances: a corner is inside a plane's half-space when it is >= 0.
double nearDistance(Vec4 c) {
  return double(c.z) + c.w;
}
double farDistance(Vec4 c) {
  return double(c.w) - c.z;
}

float lerp(float a, float b, double t) {
  return static_cast<float>(a + (double(b) - a) * t);
}

Vec4 lerp(Vec4 a, Vec4 b, double t) {
  return {lerp(a.x, b.x, t), lerp(a.y, b.y, t), lerp(a.z, b.z, t), lerp(a.w, b.w, t)};
}

Vec3 lerp(Vec3 a, Vec3 b, double t) {
  return {lerp(a.x, b.x, t), lerp(a.y, b.y, t), lerp(a.z, b.z, t)};
}

// The point where the side from a to b crosses the plane.
ClipVertex crossing(const ClipVertex& a, const ClipVertex& b, double da, double db) {
  const double t = da / (da - db);
  ClipVertex made;
  made.clip = lerp(a.clip, b.clip, t);
  made.vertex.position = lerp(a.vertex.position, b.vertex.position, t);
  made.vertex.normal = lerp(a.vertex.normal, b.vertex.normal, t);
  made.vertex.s = lerp(a.vertex.s, b.vertex.s, t);
  made.vertex.t = lerp(a.vertex.t, b.vertex.t, t);
  made.vertex.color = lerp(a.vertex.color, b.vertex.color, t);
  return made;
}

// One Sutherland-Hodgman pass: walks the sides of `in`, keeping inside corners and
// adding a corner wherever a side crosses the plane. The corner is worked out from the
// side's inside end whichever way the polygon walks it, so that two polygons sharing
// the side make the same corner, to the bit, and still meet without a gap.
template <typename Distance>
void clipAgainst(const std::vector<ClipVertex>& in, std::vector<ClipVertex>& out,
                 Distance distance) {
  out.clear();
  if (in.empty()) return;
  const ClipVertex* previous = &in.back();
  double previousDistance = distance(previous->clip);
  for (const ClipVertex& current : in) {
    const double currentDistance = distance(current.clip);
    const bool previousInside = previousDistance >= 0;
    const bool currentInside = currentDistance >= 0;
    if (previousInside != currentInside) {
      out.push_back(previousInside
                        ? crossing(*previous, current, previousDistance, currentDistance)
                        : crossing(current, *previous, currentDistance, previousDistance));
    }
    if (currentInside) out.push_back(current);
    previous = &current;
    previousDistance = currentDistance;
  }
}

}  // namespace

void clipToDepthRange(std::vector<ClipVertex>& ring, std::vector<ClipVertex>& spare) {
  clipAgainst(ring, spare, nearDistance);
  clipAgainst(spare, ring, farDistance);
  const int n = static_cast<int>(ring.size());
  for (int k = 0; k < n; ++k)
    ring[k].vertex.previous = (k == 0) ? n - 1 : k - 1;
}

void clipContours(std::vector<ClipVertex>& corners, ContourScratch& scratch) {
  const int n = static_cast<int>(corners.size());
  scratch.next.assign(std::size_t(n), -1);
  for (int k = 0; k < n; ++k) {
    const int previous = corners[k].vertex.previous;
    if (previous >= 0 && previous < n && scratch.next[previous] < 0) scratch.next[previous] = k;
  }
  scratch.reached.assign(std::size_t(n), 0);
  scratch.clipped.clear();
  for (int start = 0; start < n; ++start) {
    scratch.contour.clear();
    int k = start;
    while (k >= 0 && !scratch.reached[k]) {
      scratch.reached[k] = 1;
      scratch.contour.push_back(corners[k]);
      k = scratch.next[k];
    }
    if (k != start) continue;  // no ring, or the rest of a ring already taken
    clipToDepthRange(scratch.contour, scratch.spare);
    const int offset = static_cast<int>(scratch.clipped.size());
    for (ClipVertex& corner : scratch.contour) {
      corner.vertex.previous += offset;
      scratch.clipped.push_back(corner);
    }
  }
  corners.swap(scratch.clipped);
}
