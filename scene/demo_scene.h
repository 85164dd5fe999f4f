#pragma once

#include "scene/render_context.h"

// The one scene: two textured unit squares side by side, tiles on the left and rings
// on the right, two grey-white lights on opposite sides and a grey ambient light.
void setupScene(RenderContext& context);

// The scene's lights: a grey ambient light, and two grey-white lights shining from
// opposite sides.
void addSceneLights(RenderContext& context);

// One width x height rectangle in the plane z = 0, centred on the origin of the
// modelling transform and wound counter-clockwise seen from +z; the texture covers it
// once, s along x and t along y.
void addRectangle(RenderContext& context, double width, double height);
