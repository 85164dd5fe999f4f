#include "raster/vertex_stage.h"

#include <cmath>

Vec4 toClipSpace(const RenderContext& context, Vec4 position) {
  return context.projectionStack.transform(context.viewStack.transform(position));
}

ScreenVertex toWindow(Vec4 clip, const Vertex& vertex, float shininess, Color diffuse,
                      Color specular, int width, int height) {
  const float xn = clip.x / clip.w;
  const float yn = clip.y / clip.w;
  ScreenVertex v;
  v.x = static_cast<float>(((xn + 1.0) * width) * 0.5);
  v.y = static_cast<float>(((yn + 1.0) * height) * 0.5);
  v.z = clip.z / clip.w;
  v.sOverW = vertex.s / clip.w;
  v.tOverW = vertex.t / clip.w;
  v.oneOverW = static_cast<float>(1.0 / clip.w);
  v.source = &vertex;
  v.shininess = shininess;
  v.color = diffuse;
  v.diffuse = diffuse;
  v.specular = specular;
  return v;
}

ScreenVertex transformVertex(const RenderContext& context, const Vertex& vertex, float shininess,
                             Color diffuse, Color specular, int width, int height) {
  return toWindow(toClipSpace(context, vertex.position), vertex, shininess, diffuse, specular,
                  width, height);
}

namespace {

// colour + (diffuse x d) x light, per component, rounded once.
float lit(float color, float diffuse, double d, float light) {
  return static_cast<float>((diffuse * d) * light + color);
}

Color litColor(const ScreenVertex& v, const RenderContext& context) {
  const Color& a = context.ambient;
  const Color& m = v.diffuse;
  Color color{a.x * m.x, a.y * m.y, a.z * m.z, a.w * m.w};
  const Vec3 position{v.source->position.x, v.source->position.y, v.source->position.z};
  for (const Light& light : context.lights) {
    Vec3 toLight = light.position - position;
    if (!tryNormalize(toLight)) continue;
    const double d = std::fabs(dot(v.source->normal, toLight));
    const Color& c = light.color;
    color = {lit(color.x, m.x, d, c.x), lit(color.y, m.y, d, c.y), lit(color.z, m.z, d, c.z),
             lit(color.w, m.w, d, c.w)};
  }
  return color;
}

}  // namespace

void lightCorners(std::vector<ScreenVertex>& screenVertices, const RenderContext& context) {
  for (ScreenVertex& v : screenVertices)
    v.color = litColor(v, context);
}

void lightVertices(std::vector<ScreenVertex>& screenVertices, std::vector<Edge>& edges,
                   const RenderContext& context) {
  lightCorners(screenVertices, context);
  for (Edge& edge : edges)
    edge.setUp();
}
