#include "tools/compare/opengl_lighting.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Dvec3 {
  double x = 0, y = 0, z = 0;
};
double dot(Dvec3 a, Dvec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
Dvec3 unit(Dvec3 v) {
  const double length = std::sqrt(dot(v, v));
  return length > 0 ? Dvec3{v.x / length, v.y / length, v.z / length} : v;
}

// The eye-space point (w = 1) or direction (w = 0) the view makes of a scene one.
Dvec3 toEye(const Matrix4& view, double x, double y, double z, double w) {
  auto row = [&](int r) {
    return view[4 * r] * x + view[4 * r + 1] * y + view[4 * r + 2] * z + view[4 * r + 3] * w;
  };
  return {row(0), row(1), row(2)};
}

Color litVertex(const RenderContext& context, const Mesh& mesh, const Vertex& v) {
  const Matrix4& view = context.viewStack.current;
  const Matrix4& inverse = context.viewStack.inverse;
  const Color material = mesh.vertexColors ? v.color : mesh.diffuse;
  // Normals go to eye space by the inverse's transpose.
  const Dvec3 n{inverse[0] * v.normal.x + inverse[4] * v.normal.y + inverse[8] * v.normal.z,
                inverse[1] * v.normal.x + inverse[5] * v.normal.y + inverse[9] * v.normal.z,
                inverse[2] * v.normal.x + inverse[6] * v.normal.y + inverse[10] * v.normal.z};
  const Dvec3 p = toEye(view, v.position.x, v.position.y, v.position.z, v.position.w);
  const Dvec3 toViewer = unit({-p.x, -p.y, -p.z});
  double sum[3];
  for (int c = 0; c < 3; ++c)
    sum[c] = double(mesh.emission[c]) + double(context.ambient[c]) * double(material[c]);
  for (const Light& light : context.lights) {
    const Dvec3 l = unit(toEye(view, light.position.x, light.position.y, light.position.z, 0));
    const double nDotL = dot(n, l);
    if (nDotL <= 0) continue;
    const Dvec3 h = unit({l.x + toViewer.x, l.y + toViewer.y, l.z + toViewer.z});
    const double k = std::pow(std::max(dot(n, h), 0.0), double(mesh.shininess));
    for (int c = 0; c < 3; ++c)
      sum[c] += nDotL * double(material[c]) * double(light.color[c]) +
                k * double(mesh.specular[c]) * double(light.color[c]);
  }
  auto clamped = [](double c) { return float(std::clamp(c, 0.0, 1.0)); };
  return {clamped(sum[0]), clamped(sum[1]), clamped(sum[2]), 1};
}

// Where `p` lies on the side from `a` to `b`: the share t of the way, and how far p
// is from the point there, both in the homogeneous positions clipping blends.
struct PlaceOnSide {
  double t = 0;
  double distance = std::numeric_limits<double>::infinity();
};

PlaceOnSide placeOnSide(const Vec4& a, const Vec4& b, const Vec4& p) {
  double along = 0, length2 = 0;
  for (int k = 0; k < 4; ++k) {
    const double d = double(b[k]) - double(a[k]);
    along += (double(p[k]) - double(a[k])) * d;
    length2 += d * d;
  }
  const double t = length2 > 0 ? std::clamp(along / length2, 0.0, 1.0) : 0.0;
  double distance2 = 0;
  for (int k = 0; k < 4; ++k) {
    const double a_k = double(a[k]);
    const double off = a_k + t * (double(b[k]) - a_k) - double(p[k]);
    distance2 += off * off;
  }
  return {t, std::sqrt(distance2)};
}

}  // namespace

Color openglLitCorner(const RenderContext& context, const Mesh& mesh, const Polygon& polygon,
                      const Vertex& corner) {
  const std::vector<Vertex>& v = polygon.vertices;
  std::size_t side = v.size();
  PlaceOnSide best;
  for (std::size_t k = 0; k < v.size(); ++k) {
    const Vertex& from = v[std::size_t(v[k].previous)];
    const PlaceOnSide place = placeOnSide(from.position, v[k].position, corner.position);
    if (place.distance < best.distance) best = place, side = k;
  }
  if (side == v.size()) return litVertex(context, mesh, corner);
  const Color a = litVertex(context, mesh, v[std::size_t(v[side].previous)]);
  const Color b = litVertex(context, mesh, v[side]);
  auto blend = [&](int k) { return float(double(a[k]) + best.t * (double(b[k]) - double(a[k]))); };
  return {blend(0), blend(1), blend(2), 1};
}
