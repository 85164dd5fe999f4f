#pragma once

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
