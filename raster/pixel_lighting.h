#pragma once

#include "math/vec3.h"
#include "math/vec4.h"
#include "scene/render_context.h"

// The specular highlight at a pixel, summed over all lights with half vectors:
// (N . H)^shininess times the specular colour per light. The pixel's window position
// (column, scanline, depth) is carried back through the projection and the view into
// the space of the stored vertices and lights. A light whose direction or half vector
// has no length adds nothing; a normal of zero length, or a pixel at the eye, gives no
// highlight at all.
Color pixelSpecular(const RenderContext& context, int frameWidth, int frameHeight, Vec3 eye,
                    Vec3 windowPosition, Vec3 normal, float shininess, Color specular);
