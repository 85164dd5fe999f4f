#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/cli/options.h"
#include "tools/cli/picture_output.h"
#include "tools/cli/scene_options.h"
#include "tools/history/pixel_history.h"

// What one run of quadrelle-render does.
struct RenderOptions {
  ViewOptions view;
  SceneOptions scene;
  PictureOutput output{"out/render", {}, false};
  bool layers = false;  // the pictures of the pipeline's inside too
  bool edges = false;   // the edges of every polygon over a faint picture
  bool plain = false;   // the plain fragment path rather than the fast one
  int threads = 1;      // that draw the picture
  // Pixels whose every fragment is reported, recorded on the plain path in a frame of
  // their own.
  std::vector<PicturePixel> pixels;
  bool help = false;
  bool version = false;
};

// The options, or the reason they cannot be taken in `error`. A crop must lie inside
// the picture, and the picture written, cropped and enlarged, must be no larger than
// kLargestPictureSide on a side.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& arguments,
                                                std::string& error);

std::string renderUsage();

// " --pixel X,Y" for each pixel.
std::string pixelArguments(const std::vector<PicturePixel>& pixels);

// The command line that renders this again.
std::string commandLineFor(const RenderOptions& options);
