#pragma once

#include "math/vec3.h"
#include "raster/frame_state.h"
#include "scene/render_context.h"

// What the fragments of one polygon share: the frame they are drawn in, the band of its
// rows being filled (where the points go), and what colours them.
struct PolygonTarget {
  const RenderContext& context;
  FrameState& frame;
  RowBand& band;
  const Texture* texture;  // null for an untextured mesh; otherwise its levels are built
  Vec3 eye;                // the camera in the space of the stored vertices and lights
};
