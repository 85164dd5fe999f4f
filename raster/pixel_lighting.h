#pragma once

#include <vector>

#include "math/vec3.h"
#include "math/vec4.h"
#include "raster/edge.h"
#include "raster/polygon_target.h"
#include "scene/render_context.h"

// The specular highlight at a pixel, summed over all lights with half vectors:
// (N . H)^shininess times the specular colour per light. The pixel's window position
// (column, scanline, depth) is carried back through the projection and the view into
// the space of the stored vertices and lights. A light whose direction or half vector
// has no length adds nothing; a normal of zero length, or a pixel at the eye, gives no
// highlight at all.
Color pixelSpecular(const RenderContext& context, int frameWidth, int frameHeight, Vec3 eye,
                    Vec3 windowPosition, Vec3 normal, float shininess, Color specular);

// What pixelSpecular's highlight is made of, for a pixel's history: the unit normal, the
// pixel in the scene and the unit direction to the viewer (`lit` false where any of them
// has no length, and there is no highlight), and per light that adds to it the unit
// directions to the light and halfway, N . H and (N . H)^shininess.
struct HighlightLight {
  Vec3 toLight;
  Vec3 half;
  float nDotH;
  float k;
};
struct HighlightTerms {
  bool lit = false;
  Vec3 normal;
  Vec3 position;
  Vec3 toViewer;
  std::vector<HighlightLight> lights;
  Color result{0, 0, 0, 0};
};

// pixelSpecular's terms, by its own formula.
HighlightTerms highlightTerms(const RenderContext& context, int frameWidth, int frameHeight,
                              Vec3 eye, Vec3 windowPosition, Vec3 normal, float shininess,
                              Color specular);

// The highlight at pixel (x, y) of a span, as scan conversion adds it to the colour:
// with lighting on, pixelSpecular with the specular colour of the span's mesh, which
// every vertex carries; with it off, nothing.
inline Color spanHighlight(const PolygonTarget& target, const Edge& left, int x, int y, float depth,
                           Vec3 normal, float shininess) {
  if (!target.context.lighting) return {0, 0, 0, 0};
  return pixelSpecular(target.context, target.frame.frameWidth, target.frame.frameHeight,
                       target.eye, {float(x), float(y), depth}, normal, shininess,
                       left.lower->specular);
}

// spanHighlight's terms, for a pixel's history; not `lit` with lighting off.
inline HighlightTerms spanHighlightTerms(const PolygonTarget& target, const Edge& left, int x,
                                         int y, float depth, Vec3 normal, float shininess) {
  if (!target.context.lighting) return {};
  return highlightTerms(target.context, target.frame.frameWidth, target.frame.frameHeight,
                        target.eye, {float(x), float(y), depth}, normal, shininess,
                        left.lower->specular);
}
