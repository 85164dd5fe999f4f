#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/cli/options.h"
#include "tools/cli/picture_output.h"
#include "tools/cli/scene_options.h"

// What one run of quadrelle-compare does.
struct CompareOptions {
  ViewOptions view;
  SceneOptions scene;
  int tolerance = 8;                               // per 8-bit channel
  PictureOutput output{"out/compare", {}, false};  // the figures are of the whole view, uncropped
  int sweep = 0;  // random poses to render; 0 renders the one pose above
  unsigned seed = 1;
  int threads = 1;       // that draw the software picture
  bool explain = false;  // give every differing pixel its cause
  bool help = false;
  bool version = false;
};

// The options, or the reason they cannot be taken in `error`. A crop must lie inside the
// picture, and each picture written must be no larger than kLargestPictureSide on a side.
std::optional<CompareOptions> parseOptions(const std::vector<std::string>& arguments,
                                           std::string& error);

// The command line that renders this view of the scene alone.
std::string commandLineFor(const ViewOptions& view, const SceneOptions& scene);
// The command line that renders it with quadrelle-render.
std::string renderCommandFor(const ViewOptions& view, const SceneOptions& scene);

std::string usage();
