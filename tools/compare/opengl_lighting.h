#pragma once

#include "scene/render_context.h"

// A polygon corner as OpenGL's fixed-function lighting colours it, with a local viewer
// and directional lights: the material's emission, the scene's ambient light on its
// ambient colour, and for each light its diffuse share and, where the light reaches
// the front, its highlight; the normal as given (not made unit again), each channel
// clamped to [0, 1]. A mesh with vertex colours takes each corner's for its ambient and
// diffuse colour.
//
// OpenGL lights the polygon's own corners and clipping blends their colours, so a
// corner that clipping made, between two of `polygon`'s, takes their colours blended
// at its place on that side rather than a lighting of its own.
Color openglLitCorner(const RenderContext& context, const Mesh& mesh, const Polygon& polygon,
                      const Vertex& corner);
