#include "tools/compare/options.h"

#include <string>

std::string usage() {
  return std::string(
             "usage: quadrelle-compare [options]\n"
             "Renders the Quadrelle scene, or a model, through OpenGL and through the\n"
             "software pipeline and measures how the two pictures differ.\n"
             "\n"
             "The view, as the viewer's mouse and keys set it:\n") +
         kViewOptionsUsage + kSceneOptionsUsage +
         "\n"
         "  --tolerance T       per-channel tolerance, 0 to 255      (default 8)\n" +
         pictureOutputUsage("out/compare") +
         "                      (the figures are always of the whole picture, whatever\n"
         "                      --crop and --scale make of the pictures written)\n"
         "  --sweep N           render N random poses and report the worst; it writes\n"
         "                      no pictures and takes no pose, size or picture options\n"
         "  --seed S            seed of the random poses             (default 1)\n"
         "  --explain           give every pixel where the pictures differ its cause, in\n"
         "                      the report and in explain.png; with --sweep, the causes\n"
         "                      summed over the poses\n" +
         std::string(kThreadsUsage) +
         "  --help              this text\n"
         "  --version           the version\n";
}

std::optional<CompareOptions> parseOptions(const std::vector<std::string>& arguments,
                                           std::string& error) {
  CompareOptions options;
  int seed = 1;
  OptionParser parser;
  addViewOptions(parser, options.view);
  addSceneOptions(parser, options.scene);
  parser.value("--tolerance", whole(options.tolerance, 0, 255));
  addPictureOutputOptions(parser, options.output);
  parser.value("--sweep", whole(options.sweep, 1, 1000000));
  parser.value("--seed", whole(seed, 0, 2147483647));
  addThreadsOption(parser, options.threads);
  parser.flag("--explain", options.explain);
  parser.flag("--help", options.help);
  parser.flag("--version", options.version);
  parser.flag("-h", options.help);
  if (!parser.parse(arguments, error) ||
      !checkEnlargement(options.output.enlargement, options.view, error)) {
    return std::nullopt;
  }
  if (options.sweep > 0) {
    for (const char* ignored :
         {"--rotation-z", "--rotation-x", "--zoom", "--pan-x", "--pan-y", "--width", "--height",
          "--mipmaps", "--out", "--crop", "--scale", "--background"}) {
      if (!parser.given(ignored)) continue;
      error = std::string(ignored) +
              " does not apply to --sweep, which draws random poses and sizes and writes no "
              "pictures";
      return std::nullopt;
    }
  }
  options.seed = unsigned(seed);
  return options;
}

std::string commandLineFor(const ViewOptions& view, const SceneOptions& scene) {
  return "quadrelle-compare " + viewArguments(view) + sceneArguments(scene);
}

std::string renderCommandFor(const ViewOptions& view, const SceneOptions& scene) {
  return "quadrelle-render " + viewArguments(view) + sceneArguments(scene);
}
