#include "glview/concave_polygon.h"

#include <GL/glu.h>

#include <cmath>
#include <deque>
#include <vector>

#include "math/newell_normal.h"

namespace {

// The polygon's corners in the plane that its normal (by Newell's method) is most
// nearly perpendicular to.
struct Projected {
  std::vector<double> u;
  std::vector<double> v;
};

Projected projected(const Polygon& polygon) {
  const std::vector<Vertex>& corners = polygon.vertices;
  const auto n = newellNormal(corners.size(), [&](std::size_t k) {
    const Vec4& p = corners[k].position;
    return Vec3{p.x, p.y, p.z};
  });
  // Drop the axis the normal points along most.
  const int drop = std::fabs(n[0]) >= std::fabs(n[1])
                       ? (std::fabs(n[0]) >= std::fabs(n[2]) ? 0 : 2)
                       : (std::fabs(n[1]) >= std::fabs(n[2]) ? 1 : 2);
  Projected p;
  for (const Vertex& corner : corners) {
    const double xyz[3] = {corner.position.x, corner.position.y, corner.position.z};
    p.u.push_back(xyz[drop == 0 ? 1 : 0]);
    p.v.push_back(xyz[drop == 2 ? 1 : 2]);
  }
  return p;
}

// How often the sign of a sequence of differences changes, going round once; zero
// differences are passed over.
int signChanges(const std::vector<double>& values) {
  const std::size_t n = values.size();
  int changes = 0;
  int last = 0;
  int first = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const double d = values[(k + 1) % n] - values[k];
    const int sign = (d > 0) - (d < 0);
    if (sign == 0) continue;
    if (first == 0) first = sign;
    if (last != 0 && sign != last) ++changes;
    last = sign;
  }
  return changes + (last != 0 && last != first);
}

}  // namespace

bool isConvex(const Polygon& polygon) {
  const std::size_t n = polygon.vertices.size();
  if (n < 4) return true;
  const Projected p = projected(polygon);
  bool left = false;
  bool right = false;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t a = (k + n - 1) % n;
    const std::size_t b = (k + 1) % n;
    const double turn =
        (p.u[k] - p.u[a]) * (p.v[b] - p.v[k]) - (p.v[k] - p.v[a]) * (p.u[b] - p.u[k]);
    left = left || turn > 0;
    right = right || turn < 0;
  }
  // Going round once, each coordinate turns back at most twice; a star turns the same
  // way at every corner but goes round more than once.
  return !(left && right) && signChanges(p.u) <= 2 && signChanges(p.v) <= 2;
}

namespace {

// Corners made where edges cross, kept until the polygon is drawn.
std::deque<Vertex> madeCorners;

void emitCorner(void* data) {
  const Vertex& v = *static_cast<const Vertex*>(data);
  const float normal[3] = {v.normal.x, v.normal.y, v.normal.z};
  const float position[3] = {v.position.x, v.position.y, v.position.z};
  glTexCoord2f(v.s, v.t);
  glNormal3fv(normal);
  glVertex3fv(position);
}

void beginTriangles(GLenum type) {
  glBegin(type);
}

void endTriangles() {
  glEnd();
}

void combine(GLdouble position[3], void* data[4], GLfloat weight[4], void** out) {
  Vertex& made = madeCorners.emplace_back();
  made.position = {float(position[0]), float(position[1]), float(position[2]), 1};
  made.normal = {0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    if (data[i] == nullptr) continue;
    const Vertex& v = *static_cast<const Vertex*>(data[i]);
    made.normal += v.normal * weight[i];
    made.s += weight[i] * v.s;
    made.t += weight[i] * v.t;
  }
  *out = &made;
}

// Nothing is drawn for an outline the tessellator cannot cut.
void ignoreError(GLenum) {}

template <typename F>
void callback(GLUtesselator* tessellator, GLenum which, F* function) {
  gluTessCallback(tessellator, which, reinterpret_cast<_GLUfuncptr>(function));
}

GLUtesselator* tessellator() {
  static GLUtesselator* made = [] {
    GLUtesselator* t = gluNewTess();
    callback(t, GLU_TESS_BEGIN, beginTriangles);
    callback(t, GLU_TESS_VERTEX, emitCorner);
    callback(t, GLU_TESS_END, endTriangles);
    callback(t, GLU_TESS_COMBINE, combine);
    callback(t, GLU_TESS_ERROR, ignoreError);
    gluTessProperty(t, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    return t;
  }();
  return made;
}

}  // namespace

void drawTessellated(const Polygon& polygon) {
  GLUtesselator* t = tessellator();
  std::vector<GLdouble> coordinates;
  coordinates.reserve(polygon.vertices.size() * 3);
  madeCorners.clear();
  gluTessBeginPolygon(t, nullptr);
  gluTessBeginContour(t);
  for (const Vertex& corner : polygon.vertices) {
    coordinates.insert(coordinates.end(),
                       {corner.position.x, corner.position.y, corner.position.z});
    gluTessVertex(t, &coordinates[coordinates.size() - 3], const_cast<Vertex*>(&corner));
  }
  gluTessEndContour(t);
  gluTessEndPolygon(t);
}
