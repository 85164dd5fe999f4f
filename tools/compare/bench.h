#pragma once

#include <string>
#include <vector>

#include "tools/compare/options.h"
#include "tools/compare/scene_renderer.h"

// Milliseconds per frame over repeated frames.
struct FrameTimes {
  double median = 0;
  double p90 = 0;
};

// Both paths at one size: an OpenGL frame, a software frame with its points drawn
// through OpenGL, and the software pipeline alone with no OpenGL call.
struct BenchRow {
  int width = 0;
  int height = 0;
  FrameTimes opengl;
  FrameTimes software;
  FrameTimes pipeline;
  long fragments = 0;  // points the pipeline hands on per frame
};

// The chosen size, then 1920 x 1080 and 3840 x 2160, from the chosen pose.
std::vector<BenchRow> runBench(SceneRenderer& renderer, const CompareOptions& options);

std::string benchText(const std::vector<BenchRow>& rows);
std::string benchJson(const std::vector<BenchRow>& rows);
