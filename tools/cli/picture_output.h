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

// Where a tool writes its pictures and its report: the folder, the crop and scale of
// every picture, and the report as JSON or as text.
struct PictureOutput {
  std::string folder;
  Enlargement enlargement;
  bool json = false;
  Rgb background{255, 255, 255};  // what the picture of the scene is cleared to
};

// --out DIR, --crop X,Y,W,H, --scale N, --background COLOR and --json.
void addPictureOutputOptions(OptionParser& parser, PictureOutput& output);

// " --background #rrggbb" for a background other than white, as the reports repeat the
// command line; "" for white.
std::string backgroundArguments(Rgb background);

// The lines of usage that describe them, with the folder taken when --out is not given.
std::string pictureOutputUsage(const std::string& defaultFolder);

// False, with the reason in `error`, when the crop reaches outside the view's picture or
// a picture written would be larger than kLargestPictureSide on a side.
bool checkEnlargement(const Enlargement& enlargement, const ViewOptions& view, std::string& error);

// The picture cropped and enlarged; the picture itself when neither is asked for.
Image enlarge(Image picture, const Enlargement& enlargement);
