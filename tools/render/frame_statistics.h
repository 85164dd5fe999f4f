#pragma once

#include <string>
#include <vector>

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
};

FrameStatistics frameStatistics(const RenderContext& context, const LayerPoints& points);

Json statisticsJson(const FrameStatistics& s);
std::string statisticsText(const FrameStatistics& s);
