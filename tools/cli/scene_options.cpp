#include "tools/cli/scene_options.h"

#include <charconv>
#include <cstdio>
#include <new>

#include "app/viewer_scene.h"
#include "model/scene_file_error.h"
#include "raster/texture_levels.h"
#include "tools/cli/output.h"

void addSceneOptions(OptionParser& parser, SceneOptions& scene) {
  parser.value("--scene", [&scene](const std::string& text, std::string& error) {
    if (text.empty()) {
      error = "the file name is empty";
      return false;
    }
    scene.file = text;
    return true;
  });
  parser.flag("--allow-outside-files", scene.model.outsideFilesAllowed);
  parser.value("--up", [&scene](const std::string& text, std::string& error) {
    if (text != "x" && text != "y" && text != "z") {
      error = "takes x, y or z, the model's axis that points up";
      return false;
    }
    scene.model.up = text[0];
    return true;
  });
  parser.value("--lighting", onOrOff(scene.lighting));
}

const char* const kSceneOptionsUsage =
    "  --scene FILE        a model instead of the viewer's scene: Wavefront OBJ (with\n"
    "                      its MTL materials and PNG, JPEG, BMP or TGA textures), glTF\n"
    "                      or GLB, STL or PLY, centred and scaled to fit the view; the\n"
    "                      scene's lights stay\n"
    "  --up x|y|z          the model's axis that points up (default y)\n"
    "  --allow-outside-files\n"
    "                      read materials, textures and glTF buffers that lie outside\n"
    "                      the model's folder, which by default are looked for inside it\n"
    "  --lighting on|off   lighting, which the viewer never turns on (default off)\n";

std::optional<ModelSummary> buildScene(const SceneOptions& scene, RenderContext& context,
                                       std::vector<std::string>& warnings) {
  std::optional<ModelSummary> model;
  if (scene.file.empty()) {
    buildViewerScene(context);
  } else {
    model = loadModelScene(scene.file, scene.model, context, warnings);
    try {
      prepareTextureLevels(context);
    } catch (const std::bad_alloc&) {
      throw SceneFileError(scene.file + ": its textures are too large to hold in memory");
    }
  }
  context.lighting = scene.lighting;
  return model;
}

bool buildSceneOrRefuse(const std::string& program, const SceneOptions& scene,
                        RenderContext& context, std::optional<ModelSummary>& model) {
  std::vector<std::string> warnings;
  try {
    model = buildScene(scene, context, warnings);
  } catch (const SceneFileError& e) {
    refuseInput(program, e.what());
    return false;
  }
  warn(program, warnings);
  return true;
}

void warnIfModelUnseen(const std::string& program, const ModelSummary& model, const Image& picture,
                       const Coverage& covered, Rgb background) {
  bool anyCovered = false;
  for (std::size_t i = 0; i < covered.size(); ++i) {
    if (!covered[i]) continue;
    if (!(picture.pixels[i] == background)) return;
    anyCovered = true;
  }
  warn(program,
       {model.file + (anyCovered ? ": every pixel the model covers has the background's colour"
                                 : ": the model covers no pixel at this pose")});
}

std::string sceneName(const SceneOptions& scene) {
  return scene.file.empty() ? "the viewer's scene" : scene.file;
}

std::string sceneArguments(const SceneOptions& scene) {
  std::string arguments;
  if (!scene.file.empty()) arguments += " --scene " + shellWord(scene.file);
  if (!scene.file.empty() && scene.model.up != 'y')
    arguments += std::string(" --up ") + scene.model.up;
  if (scene.model.outsideFilesAllowed) arguments += " --allow-outside-files";
  if (scene.lighting) arguments += " --lighting on";
  return arguments;
}

Json poseJson(const ViewOptions& view, const SceneOptions& scene) {
  Json pose = viewJson(view);
  if (scene.lighting) pose["lighting"] = true;
  return pose;
}

namespace {

Json pointJson(const ModelFraming::Point& p) {
  return Json::array({p[0], p[1], p[2]});
}

// The shortest decimal that reads back as the same double.
std::string decimal(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

std::string pointText(const ModelFraming::Point& p) {
  return "(" + decimal(p[0]) + ", " + decimal(p[1]) + ", " + decimal(p[2]) + ")";
}

}  // namespace

Json modelJson(const ModelSummary& model) {
  const ModelFraming& f = model.framing;
  return {{"file", model.file},
          {"polygons", model.polygons},
          {"vertices", model.vertices},
          {"meshes", model.meshes},
          {"textures", model.textures},
          {"boundsLow", pointJson(f.low)},
          {"boundsHigh", pointJson(f.high)},
          {"offset", pointJson(f.offset)},
          {"scale", f.scale},
          {"up", std::string(1, f.up)}};
}

std::string modelText(const ModelSummary& model) {
  const ModelFraming& f = model.framing;
  char scale[32];
  std::snprintf(scale, sizeof scale, "%.9g", f.scale);
  return "model " + model.file + ": " + std::to_string(model.polygons) + " polygons, " +
         std::to_string(model.vertices) + " vertices, " + std::to_string(model.meshes) +
         " meshes, " + std::to_string(model.textures) + " textures\n" + "bounds " +
         pointText(f.low) + " to " + pointText(f.high) + ", moved by " + pointText(f.offset) +
         " and scaled by " + scale + ", " + std::string(1, f.up) + " up\n";
}

std::string shellWord(const std::string& word) {
  const bool plain = !word.empty() && word.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_-.,/+:=@%") == std::string::npos;
  if (plain) return word;
  std::string quoted = "'";
  for (char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}
