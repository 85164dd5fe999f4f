#include "tools/render/options.h"

#include "tools/history/history_report.h"

std::string renderUsage() {
  return std::string(
             "usage: quadrelle-render [options]\n"
             "Draws the Quadrelle scene, or a model, through the software pipeline alone,\n"
             "on the CPU, with no display and no OpenGL, and writes software.png: the\n"
             "picture the viewer shows after \"g\". Reports what the frame did: polygons,\n"
             "fragments, depth-test losses, pixels covered and depth complexity.\n"
             "\n"
             "The view, as the viewer's mouse and keys set it:\n") +
         kViewOptionsUsage + kSceneOptionsUsage +
         "\n"
         "  --layers            pictures of the pipeline's inside as well:\n"
         "                      depth.png     the depth buffer, near dark to far light\n"
         "                      level.png     the texture level each pixel was sampled at\n"
         "                      spans.png     every span in a colour of its own\n"
         "                      overdraw.png  fragments a pixel: depth complexity\n"
         "  --edges             edges.png: the edges of every polygon, in window space\n"
         "  --plain             colour the pixels one at a time with the fragment stage\n"
         "                      as it is written, rather than four at a time: the same\n"
         "                      picture, more slowly\n"
         "  --pixel X,Y         the pixel's history: every fragment that reached it, in\n"
         "                      order, and what made its colour; X and Y from the picture's\n"
         "                      top left, as an image viewer shows them. May be repeated\n" +
         kThreadsUsage + pictureOutputUsage("out/render") + "  --help              this text\n";
}

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& arguments,
                                                std::string& error) {
  RenderOptions options;
  OptionParser parser;
  addViewOptions(parser, options.view);
  addSceneOptions(parser, options.scene);
  addPictureOutputOptions(parser, options.output);
  parser.flag("--layers", options.layers);
  parser.flag("--edges", options.edges);
  parser.flag("--plain", options.plain);
  std::vector<std::string> pixels;  // read once the picture's size is known
  parser.value("--pixel", [&pixels](const std::string& value, std::string&) {
    pixels.push_back(value);
    return true;
  });
  addThreadsOption(parser, options.threads);
  parser.flag("--help", options.help);
  parser.flag("--version", options.version);
  parser.flag("-h", options.help);
  if (!parser.parse(arguments, error) ||
      !checkEnlargement(options.output.enlargement, options.view, error)) {
    return std::nullopt;
  }
  for (const std::string& text : pixels) {
    PicturePixel pixel;
    if (!parsePicturePixel(text, options.view.width, options.view.height, pixel, error)) {
      error = "--pixel: " + error;
      return std::nullopt;
    }
    options.pixels.push_back(pixel);
  }
  return options;
}

std::string pixelArguments(const std::vector<PicturePixel>& pixels) {
  std::string text;
  for (const PicturePixel& p : pixels)
    text += " --pixel " + std::to_string(p.x) + "," + std::to_string(p.y);
  return text;
}

std::string commandLineFor(const RenderOptions& options) {
  return "quadrelle-render " + viewArguments(options.view) + sceneArguments(options.scene) +
         backgroundArguments(options.output.background) + (options.plain ? " --plain" : "") +
         pixelArguments(options.pixels);
}
