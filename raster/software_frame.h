#pragma once

#include "raster/frame_state.h"
#include "scene/render_context.h"

// One frame of a width x height window through the software pipeline, into the frame's
// points: the depth buffer follows the frame size and is cleared, then every polygon is
// drawn.
void renderSoftwareFrame(const RenderContext& context, int width, int height, FrameState& frame);

// The software pipeline proper: every polygon of every mesh, in order, through the
// vertex stage, clipping, edges, optional lighting and scan conversion.
void renderMeshes(const RenderContext& context, FrameState& frame);
