#pragma once

#include "raster/frame_state.h"
#include "scene/render_context.h"

// Draws one frame of a width x height viewport: through OpenGL when the context says
// so, otherwise through the software pipeline with the viewer's frame state.
void renderFrame(RenderContext& context, int width, int height);

// The same with a given frame state. The depth buffer follows the frame size and is
// cleared every software frame; OpenGL frames leave the frame state alone.
void renderFrame(const RenderContext& context, int width, int height, FrameState& frame);

// The software pipeline proper: every polygon of every mesh, in order, through the
// vertex stage, clipping, edges, optional lighting and scan conversion.
void renderMeshes(const RenderContext& context, FrameState& frame);
