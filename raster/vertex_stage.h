#pragma once

#include <vector>

#include "math/vec4.h"
#include "raster/edge.h"
#include "raster/screen_vertex.h"
#include "scene/render_context.h"

// The captured position through the view, then the projection: the clip-space
// position (xc, yc, zc, wc).
Vec4 toClipSpace(const RenderContext& context, Vec4 position);

// Divides by wc and maps to a width x height window: x = (xc/wc + 1) * width / 2,
// y likewise from the bottom, z = zc/wc; the texture terms become s/wc, t/wc and 1/wc.
ScreenVertex toWindow(Vec4 clip, const Vertex& vertex, float shininess, Color diffuse,
                      Color specular, int width, int height);

// Both of the above: the vertex stage for a corner that needs no clipping.
ScreenVertex transformVertex(const RenderContext& context, const Vertex& vertex, float shininess,
                             Color diffuse, Color specular, int width, int height);

// Gouraud lighting of one polygon's corners, ambient and diffuse only, in the space of
// the stored vertices and lights: colour = ambient x diffuse plus, per light,
// diffuse x |N . L| x light colour. Both faces light alike; nothing is clamped. A
// light that sits on a corner adds nothing there. The edges are set up again so that
// they carry the lit colours.
void lightVertices(std::vector<ScreenVertex>& screenVertices, std::vector<Edge>& edges,
                   const RenderContext& context);

// The lighting of lightVertices alone, for corners whose edges are yet to be built.
void lightCorners(std::vector<ScreenVertex>& screenVertices, const RenderContext& context);
