#include "glview/concave_polygon.h"

#include <GL/glu.h>

#include <cmath>
#include <deque>
#include <unordered_map>

#include "math/newell_normal.h"

namespace {

Vec3 positionOf(const Vertex& v) {
  return {v.position.x, v.position.y, v.position.z};
}

// The axes of the plane a normal is most nearly perpendicular to: the two it does not
// point along most.
std::pair<int, int> planeAxes(const std::array<double, 3>& n) {
  const double x = std::fabs(n[0]);
  const double y = std::fabs(n[1]);
  const double z = std::fabs(n[2]);
  if (x >= y && x >= z) return {1, 2};
  return y >= z ? std::pair{2, 0} : std::pair{0, 1};
}

double coordinate(const Vertex& v, int axis) {
  return axis == 0 ? v.position.x : axis == 1 ? v.position.y : v.position.z;
}

// Whether every corner lies within a hair of the plane through corner 0 with normal n.
bool isPlane(const std::vector<Vertex>& corners, const std::array<double, 3>& n) {
  const double length = std::hypot(n[0], n[1], n[2]);
  double extent = 0;
  double farthest = 0;
  const Vec3 origin = positionOf(corners[0]);
  for (const Vertex& corner : corners) {
    const Vec3 p = positionOf(corner);
    const double d[3] = {double(p.x) - origin.x, double(p.y) - origin.y, double(p.z) - origin.z};
    extent =
        std::fmax(extent, std::fmax(std::fabs(d[0]), std::fmax(std::fabs(d[1]), std::fabs(d[2]))));
    farthest = std::fmax(farthest, std::fabs(d[0] * n[0] + d[1] * n[1] + d[2] * n[2]) / length);
  }
  return farthest <= 1e-6 * extent;
}

// How often the sign of the differences of one coordinate changes going round once;
// zero differences are passed over.
int signChanges(const std::vector<Vertex>& corners, int axis) {
  const std::size_t n = corners.size();
  int changes = 0;
  int last = 0;
  int first = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const double d = coordinate(corners[(k + 1) % n], axis) - coordinate(corners[k], axis);
    const int sign = (d > 0) - (d < 0);
    if (sign == 0) continue;
    if (first == 0) first = sign;
    if (last != 0 && sign != last) ++changes;
    last = sign;
  }
  return changes + (last != 0 && last != first);
}

// What the tessellator's callbacks build: the triangles, and the corners made where
// edges cross, kept until the triangles are copied.
struct Cutting {
  std::vector<Vertex> triangles;
  std::deque<Vertex> made;
  GLenum error = 0;
};

void keepCorner(void* corner, void* cutting) {
  static_cast<Cutting*>(cutting)->triangles.push_back(*static_cast<const Vertex*>(corner));
}

void combine(GLdouble position[3], void* data[4], GLfloat weight[4], void** out, void* cutting) {
  Vertex& made = static_cast<Cutting*>(cutting)->made.emplace_back();
  made.position = {float(position[0]), float(position[1]), float(position[2]), 1};
  made.normal = {0, 0, 0};
  made.color = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    if (data[i] == nullptr) continue;
    const Vertex& v = *static_cast<const Vertex*>(data[i]);
    made.normal += v.normal * weight[i];
    made.s += weight[i] * v.s;
    made.t += weight[i] * v.t;
    made.color = made.color + weight[i] * v.color;
  }
  *out = &made;
}

void noteError(GLenum error, void* cutting) {
  static_cast<Cutting*>(cutting)->error = error;
}

// With an edge-flag callback the tessellator gives separate triangles only, no fans or
// strips; the flags themselves are of no use here.
void ignoreEdgeFlag(GLboolean, void*) {}
void ignoreBegin(GLenum, void*) {}
void ignoreEnd(void*) {}

template <typename F>
void callback(GLUtesselator* tessellator, GLenum which, F* function) {
  gluTessCallback(tessellator, which, reinterpret_cast<_GLUfuncptr>(function));
}

class Tessellator {
 public:
  Tessellator() : t_(gluNewTess()) {
    callback(t_, GLU_TESS_BEGIN_DATA, ignoreBegin);
    callback(t_, GLU_TESS_EDGE_FLAG_DATA, ignoreEdgeFlag);
    callback(t_, GLU_TESS_VERTEX_DATA, keepCorner);
    callback(t_, GLU_TESS_END_DATA, ignoreEnd);
    callback(t_, GLU_TESS_COMBINE_DATA, combine);
    callback(t_, GLU_TESS_ERROR_DATA, noteError);
    gluTessProperty(t_, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  }
  ~Tessellator() { gluDeleteTess(t_); }
  Tessellator(const Tessellator&) = delete;
  Tessellator& operator=(const Tessellator&) = delete;
  GLUtesselator* get() const { return t_; }

 private:
  GLUtesselator* t_;
};

// A polygon's triangles as cut, with the corners they were cut from. The scene never
// changes once built, so a polygon is known by where it and its corners lie; its first
// corner is compared too, against a scene built anew where an old one was.
struct Kept {
  const Vertex* corners = nullptr;
  std::size_t count = 0;
  Vec4 first;
  bool convex = false;
  std::vector<Vertex> triangles;  // empty where the tessellator failed
};

long failures = 0;

const Kept& keptFor(const Polygon& polygon) {
  static std::unordered_map<const Polygon*, Kept> kept;
  Kept& entry = kept[&polygon];
  const std::vector<Vertex>& corners = polygon.vertices;
  if (entry.corners == corners.data() && entry.count == corners.size() &&
      entry.first == corners[0].position) {
    return entry;
  }
  entry = {corners.data(), corners.size(), corners[0].position, isCertainlyConvex(polygon), {}};
  if (!entry.convex) {
    unsigned error = 0;
    entry.triangles = tessellated(polygon, error);
    if (error != 0) ++failures;
  }
  return entry;
}

}  // namespace

bool isCertainlyConvex(const Polygon& polygon) {
  const std::vector<Vertex>& corners = polygon.vertices;
  const std::size_t n = corners.size();
  if (n <= 3) return true;
  const auto normal = newellNormal(n, [&](std::size_t k) { return positionOf(corners[k]); });
  if (normal == std::array<double, 3>{0, 0, 0} || !isPlane(corners, normal)) return false;
  const auto [u, v] = planeAxes(normal);
  bool left = false;
  bool right = false;
  for (std::size_t k = 0; k < n; ++k) {
    const Vertex& a = corners[(k + n - 1) % n];
    const Vertex& b = corners[k];
    const Vertex& c = corners[(k + 1) % n];
    const double turn =
        (coordinate(b, u) - coordinate(a, u)) * (coordinate(c, v) - coordinate(b, v)) -
        (coordinate(b, v) - coordinate(a, v)) * (coordinate(c, u) - coordinate(b, u));
    left = left || turn > 0;
    right = right || turn < 0;
  }
  // Going round once, each coordinate turns back at most twice; a star turns the same
  // way at every corner but goes round more than once.
  return !(left && right) && signChanges(corners, u) <= 2 && signChanges(corners, v) <= 2;
}

std::vector<Vertex> tessellated(const Polygon& polygon, unsigned& error) {
  const Tessellator tessellator;
  Cutting cutting;
  std::vector<GLdouble> coordinates;
  coordinates.reserve(polygon.vertices.size() * 3);
  gluTessBeginPolygon(tessellator.get(), &cutting);
  gluTessBeginContour(tessellator.get());
  for (const Vertex& corner : polygon.vertices) {
    coordinates.insert(coordinates.end(),
                       {corner.position.x, corner.position.y, corner.position.z});
    gluTessVertex(tessellator.get(), &coordinates[coordinates.size() - 3],
                  const_cast<Vertex*>(&corner));
  }
  gluTessEndContour(tessellator.get());
  gluTessEndPolygon(tessellator.get());
  error = cutting.error;
  if (error != 0 || cutting.triangles.size() % 3 != 0) {
    error = error != 0 ? error : GLU_TESS_ERROR8;
    return {};
  }
  return std::move(cutting.triangles);
}

void sendVertex(const Vertex& v, const CornerColors& colors) {
  if (colors.own) {
    const Color c = withEmission(v.color, colors.added);
    glColor4f(c.x, c.y, c.z, c.w);
  }
  const float normal[3] = {v.normal.x, v.normal.y, v.normal.z};
  const float position[3] = {v.position.x, v.position.y, v.position.z};
  glTexCoord2f(v.s, v.t);
  glNormal3fv(normal);
  glVertex3fv(position);
}

bool drawTessellated(const Polygon& polygon, const CornerColors& colors) {
  if (polygon.vertices.size() <= 3) return false;  // a triangle is convex from every side
  const Kept& kept = keptFor(polygon);
  if (kept.convex || kept.triangles.empty()) return false;
  glBegin(GL_TRIANGLES);
  for (const Vertex& v : kept.triangles)
    sendVertex(v, colors);
  glEnd();
  return true;
}

long tessellationFailures() {
  return failures;
}
