#pragma once

#include "raster/frame_state.h"
#include "scene/render_context.h"

// Draws one frame of a width x height viewport: through OpenGL when the context says
// so, otherwise through the software pipeline, its points handed to OpenGL.
void renderFrame(RenderContext& context, int width, int height);

// The frame state of the viewer's software frames: its depth buffer tells which pixels
// the last one covered.
const FrameState& viewerFrameState();

// The same with a given frame state, whose points go where it says. OpenGL frames leave
// the frame state alone.
void renderFrame(const RenderContext& context, int width, int height, FrameState& frame);
