#pragma once

#include "app/camera_pose.h"
#include "raster/frame_state.h"
#include "scene/render_context.h"

// Everything one frame does before the buffers are swapped: clear to white, set up a
// pixel-space projection with the origin at the lower-left corner (in which the
// software pipeline writes its points), rebuild the view, and draw with the renderer
// the context selects.
void drawFrame(RenderContext& context, const CameraPose& pose, int width, int height);

// The same, cleared to `background` (red, green, blue in 0..1) instead of white.
void drawFrame(RenderContext& context, const CameraPose& pose, int width, int height,
               const float background[3]);

// The same with a software frame state of the caller's, whose points go where it says
// (the companion programs draw on several threads into bandedOpenGLPoints).
void drawFrame(RenderContext& context, const CameraPose& pose, int width, int height,
               const float background[3], FrameState& frame);
