#include "tools/cli/picture_output.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

#include "tools/cli/numbers.h"
#include "tools/cli/scene_options.h"

namespace {

// "X,Y,W,H": four whole numbers.
OptionParser::Setter crop(std::optional<Crop>& target) {
  return [&target](const std::string& text, std::string& error) {
    std::vector<long> values;
    if (!parseWholeList(text, "X,Y,W,H", {0, 0, 1, 1}, kLargestPictureSide, values, error)) {
      return false;
    }
    target = Crop{int(values[0]), int(values[1]), int(values[2]), int(values[3])};
    return true;
  };
}

// A colour by name or as #rrggbb.
OptionParser::Setter color(Rgb& target) {
  return [&target](const std::string& text, std::string& error) {
    static const std::pair<const char*, Rgb> kNames[] = {
        {"white", {255, 255, 255}}, {"black", {0, 0, 0}},     {"grey", {128, 128, 128}},
        {"gray", {128, 128, 128}},  {"red", {255, 0, 0}},     {"green", {0, 128, 0}},
        {"blue", {0, 0, 255}},      {"yellow", {255, 255, 0}}};
    for (const auto& [name, rgb] : kNames) {
      if (text == name) {
        target = rgb;
        return true;
      }
    }
    const bool hex = text.size() == 7 && text[0] == '#' &&
                     text.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (!hex) {
      error = quoted(text) +
              " is not a colour: a name (white, black, grey, red, green, blue, "
              "yellow) or #rrggbb";
      return false;
    }
    unsigned value = 0;
    std::from_chars(text.data() + 1, text.data() + text.size(), value, 16);  // 6 hex digits
    target = {std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
    return true;
  };
}

Rgb halfway(Rgb a, Rgb b) {
  return {std::uint8_t((a.r + b.r) / 2), std::uint8_t((a.g + b.g) / 2),
          std::uint8_t((a.b + b.b) / 2)};
}

}  // namespace

void addPictureOutputOptions(OptionParser& parser, PictureOutput& output) {
  parser.value("--out", folderName(output.folder));
  parser.value("--crop", crop(output.enlargement.crop));
  parser.value("--scale", whole(output.enlargement.scale, 1, kLargestPictureSide));
  parser.value("--background", color(output.background));
  parser.flag("--json", output.json);
}

std::string backgroundArguments(Rgb background) {
  if (background == Rgb{255, 255, 255}) return "";
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", background.r, background.g, background.b);
  return " --background " + shellWord(text);
}

std::string pictureOutputUsage(const std::string& defaultFolder) {
  return "  --out DIR           folder for the PNGs                  (default " + defaultFolder +
         ")\n"
         "  --crop X,Y,W,H      only this region, in pixels from the top-left corner\n"
         "  --scale N           every pixel N x N, with a grid from 4 up  (default 1)\n"
         "  --background COLOR  what the scene is drawn on: a name or #rrggbb (default white)\n"
         "  --json              print the report as JSON\n";
}

bool checkEnlargement(const Enlargement& e, const ViewOptions& view, std::string& error) {
  const Crop region = e.crop.value_or(Crop{0, 0, view.width, view.height});
  if (region.x + region.width > view.width || region.y + region.height > view.height) {
    error = "--crop: " + std::to_string(region.x) + "," + std::to_string(region.y) + "," +
            std::to_string(region.width) + "," + std::to_string(region.height) +
            " reaches outside the " + std::to_string(view.width) + " x " +
            std::to_string(view.height) + " picture";
    return false;
  }
  const long side = long(std::max(region.width, region.height)) * e.scale;
  if (side > kLargestPictureSide) {
    error = "--scale: " + std::to_string(e.scale) + " would make a picture " +
            std::to_string(side) + " pixels across, more than " +
            std::to_string(kLargestPictureSide);
    return false;
  }
  return true;
}

Image enlarge(Image picture, const Enlargement& e) {
  if (!e.crop && e.scale == 1) return picture;
  const Crop c = e.crop.value_or(Crop{0, 0, picture.width, picture.height});
  const int scale = e.scale;
  Image result(c.width * scale, c.height * scale);
  const bool grid = scale >= 4;
  for (int row = 0; row < result.height; ++row) {
    for (int column = 0; column < result.width; ++column) {
      const Rgb p = picture.at(c.x + column / scale, c.y + row / scale);
      const bool line = grid && (column % scale == scale - 1 || row % scale == scale - 1);
      result.at(column, row) = line ? halfway(p, {128, 128, 128}) : p;
    }
  }
  return result;
}
