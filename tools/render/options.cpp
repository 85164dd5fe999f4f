#include "tools/render/options.h"

#include "tools/cli/numbers.h"

namespace {

// "X,Y,W,H": four whole numbers.
OptionParser::Setter crop(std::optional<Crop>& target) {
  return [&target](const std::string& text, std::string& error) {
    long values[4];
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
      const std::size_t comma = text.find(',', start);
      const bool last = i == 3;
      if (last != (comma == std::string::npos)) {
        error = quoted(text) + " is not X,Y,W,H";
        return false;
      }
      const std::string part = text.substr(start, last ? std::string::npos : comma - start);
      std::string reason;
      if (!parseWhole(part, i < 2 ? 0 : 1, kLargestPictureSide, values[i], reason)) {
        error = quoted(text) + ": " + reason;
        return false;
      }
      start = comma + 1;
    }
    target = Crop{int(values[0]), int(values[1]), int(values[2]), int(values[3])};
    return true;
  };
}

bool checkCrop(const RenderOptions& o, std::string& error) {
  const Crop region = o.crop.value_or(Crop{0, 0, o.view.width, o.view.height});
  if (o.crop &&
      (region.x + region.width > o.view.width || region.y + region.height > o.view.height)) {
    error = "--crop: " + std::to_string(region.x) + "," + std::to_string(region.y) + "," +
            std::to_string(region.width) + "," + std::to_string(region.height) +
            " reaches outside the " + std::to_string(o.view.width) + " x " +
            std::to_string(o.view.height) + " picture";
    return false;
  }
  const long side = long(std::max(region.width, region.height)) * o.scale;
  if (side > kLargestPictureSide) {
    error = "--scale: " + std::to_string(o.scale) + " would make a picture " +
            std::to_string(side) + " pixels across, more than " +
            std::to_string(kLargestPictureSide);
    return false;
  }
  return true;
}

}  // namespace

std::string renderUsage() {
  return std::string(
             "usage: quadrelle-render [options]\n"
             "Draws the Quadrelle scene through the software pipeline alone, on the CPU,\n"
             "with no display and no OpenGL, and writes software.png: the picture the viewer\n"
             "shows after \"g\".\n"
             "\n"
             "The view, as the viewer's mouse and keys set it:\n") +
         kViewOptionsUsage +
         "\n"
         "  --layers            pictures of the pipeline's inside as well:\n"
         "                      depth.png     the depth buffer, near dark to far light\n"
         "                      level.png     the texture level each pixel was sampled at\n"
         "                      spans.png     every span in a colour of its own\n"
         "                      overdraw.png  where a later fragment lost the depth test,\n"
         "                                    and where one won over an earlier one\n"
         "  --edges             edges.png: the edges of every polygon, in window space\n"
         "  --crop X,Y,W,H      only this region, in pixels from the top-left corner\n"
         "  --scale N           every pixel N x N, with a grid from 4 up  (default 1)\n"
         "  --out DIR           folder for the PNGs                  (default out/render)\n"
         "  --json              print the report as JSON\n"
         "  --help              this text\n";
}

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& arguments,
                                                std::string& error) {
  RenderOptions options;
  OptionParser parser;
  addViewOptions(parser, options.view);
  parser.value("--out", folderName(options.outputFolder));
  parser.value("--crop", crop(options.crop));
  parser.value("--scale", whole(options.scale, 1, kLargestPictureSide));
  parser.flag("--layers", options.layers);
  parser.flag("--edges", options.edges);
  parser.flag("--json", options.json);
  parser.flag("--help", options.help);
  parser.flag("-h", options.help);
  if (!parser.parse(arguments, error) || !checkCrop(options, error)) return std::nullopt;
  return options;
}
