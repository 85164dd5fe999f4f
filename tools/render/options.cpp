#include "tools/render/options.h"

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
         "  --plain             colour the pixels one at a time with the fragment stage\n"
         "                      as it is written, rather than four at a time: the same\n"
         "                      picture, more slowly\n" +
         pictureOutputUsage("out/render") + "  --help              this text\n";
}

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& arguments,
                                                std::string& error) {
  RenderOptions options;
  OptionParser parser;
  addViewOptions(parser, options.view);
  addPictureOutputOptions(parser, options.output);
  parser.flag("--layers", options.layers);
  parser.flag("--edges", options.edges);
  parser.flag("--plain", options.plain);
  parser.flag("--help", options.help);
  parser.flag("-h", options.help);
  if (!parser.parse(arguments, error) ||
      !checkEnlargement(options.output.enlargement, options.view, error)) {
    return std::nullopt;
  }
  return options;
}
