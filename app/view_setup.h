#pragma once

#include "app/camera_pose.h"
#include "scene/render_context.h"

// Rebuilds the projection and view stacks, and their inverses, for a window of
// width x height pixels seen from `pose`. The narrower side of the window sees
// 0.4 units at unit distance on either side of the centre.
void setupView(RenderContext& context, int width, int height, const CameraPose& pose);
