#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/cli/options.h"

// A rectangle of a picture, in pixels from its top-left corner.
struct Crop {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// What one run of quadrelle-render does.
struct RenderOptions {
  ViewOptions view;
  std::string outputFolder = "out/render";
  bool layers = false;  // the pictures of the pipeline's inside too
  bool edges = false;   // the edges of every polygon over a faint picture
  std::optional<Crop> crop;
  int scale = 1;
  bool json = false;
  bool help = false;
};

// The largest side of a picture written.
inline constexpr int kLargestPictureSide = 16384;

// The options, or the reason they cannot be taken in `error`. A crop must lie inside
// the picture, and the picture written, cropped and enlarged, must be no larger than
// kLargestPictureSide on a side.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& arguments,
                                                std::string& error);

std::string renderUsage();
