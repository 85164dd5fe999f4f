#pragma once

#include <optional>
#include <string>

#include "tools/cli/options.h"
#include "tools/imaging/image.h"

// A rectangle of a picture, in pixels from its top-left corner.
struct Crop {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// How the pictures a tool writes are cropped and enlarged: --crop X,Y,W,H and
// --scale N. Every pixel becomes N x N, so that it stays a square; from a scale of 4 up a
// grid is drawn between the pixels.
struct Enlargement {
  std::optional<Crop> crop;
  int scale = 1;
};

// The largest side of a picture written.
inline constexpr int kLargestPictureSide = 16384;

void addEnlargementOptions(OptionParser& parser, Enlargement& enlargement);
extern const char* const kEnlargementUsage;

// False, with the reason in `error`, when the crop reaches outside the view's picture or
// the picture written would be larger than kLargestPictureSide on a side.
bool checkEnlargement(const Enlargement& enlargement, const ViewOptions& view, std::string& error);

// The picture cropped and enlarged; the picture itself when neither is asked for.
Image enlarge(const Image& picture, const Enlargement& enlargement);
