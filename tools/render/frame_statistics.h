#pragma once

#include <string>
#include <vector>

#include "raster/frame_state.h"
#include "scene/render_context.h"
#include "tools/cli/json.h"
#include "tools/render/layer_points.h"

// What one software frame did, in counts.
struct FrameStatistics {
  long polygons = 0;  // in the scene
  long vertices = 0;
  long fragments = 0;  // every pixel a span walked in the window: each one depth-tested
  long depthTestLosses = 0;
  long pixelsCovered = 0;  // pixels that got at least one point
  // Depth complexity: [k] is the number of pixels with k fragments.
  std::vector<long> fragmentsPerPixel;
  // What the frame cost, as its budget counts it (raster/frame_budget.h), and the budget.
  long long steps = 0;
  long long stepBudget = 0;
};

FrameStatistics frameStatistics(const RenderContext& context, const LayerPoints& points,
                                const FrameState& frame);

Json statisticsJson(const FrameStatistics& s);
std::string statisticsText(const FrameStatistics& s);
