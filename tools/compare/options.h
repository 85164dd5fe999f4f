#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/cli/enlargement.h"
#include "tools/cli/options.h"

// What one run of quadrelle-compare does.
struct CompareOptions {
  ViewOptions view;
  int tolerance = 8;  // per 8-bit channel
  std::string outputFolder = "out/compare";
  Enlargement enlargement;  // of the pictures written; the figures are of the whole view
  bool json = false;
  int sweep = 0;  // random poses to render; 0 renders the one pose above
  unsigned seed = 1;
  bool help = false;
};

// The options, or the reason they cannot be taken in `error`. A crop must lie inside the
// picture, and each picture written must be no larger than kLargestPictureSide on a side.
std::optional<CompareOptions> parseOptions(const std::vector<std::string>& arguments,
                                           std::string& error);

// The command line that renders this view alone.
std::string commandLineFor(const ViewOptions& view);

std::string usage();
