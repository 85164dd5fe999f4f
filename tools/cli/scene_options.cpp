#include "tools/cli/scene_options.h"

#include <cstdio>

#include "app/viewer_scene.h"
#include "raster/texture_levels.h"
#include "tools/cli/output.h"
#include "tools/model/scene_file_error.h"

void addSceneOptions(OptionParser& parser, SceneOptions& scene) {
  parser.value("--scene", [&scene](const std::string& text, std::string& error) {
    if (text.empty()) {
      error = "the file name is empty";
      return false;
    }
    scene.file = text;
    return true;
  });
  parser.value("--lighting", onOrOff(scene.lighting));
}

const char* const kSceneOptionsUsage =
    "  --scene FILE        a Wavefront OBJ model (with its MTL materials and PNG or\n"
    "                      JPEG textures) instead of the viewer's scene, centred and\n"
    "                      scaled to fit the view; the scene's lights stay\n"
    "  --lighting on|off   lighting, which the viewer never turns on (default off)\n";

std::optional<ModelSummary> buildScene(const SceneOptions& scene, RenderContext& context,
                                       std::vector<std::string>& warnings) {
  std::optional<ModelSummary> model;
  if (scene.file.empty()) {
    buildViewerScene(context);
  } else {
    model = loadObjScene(scene.file, context, warnings);
    prepareTextureLevels(context);
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

std::string sceneArguments(const SceneOptions& scene) {
  std::string arguments;
  if (!scene.file.empty()) arguments += " --scene " + shellWord(scene.file);
  if (scene.lighting) arguments += " --lighting on";
  return arguments;
}

Json poseJson(const ViewOptions& view, const SceneOptions& scene) {
  Json pose = viewJson(view);
  if (scene.lighting) pose["lighting"] = true;
  return pose;
}

namespace {

Json vec3Json(Vec3 v) {
  return Json::array({floatJson(v.x), floatJson(v.y), floatJson(v.z)});
}

std::string vec3Text(Vec3 v) {
  return "(" + shortestDecimal(v.x) + ", " + shortestDecimal(v.y) + ", " + shortestDecimal(v.z) +
         ")";
}

}  // namespace

Json modelJson(const ModelSummary& model) {
  const ModelFraming& f = model.framing;
  return {{"file", model.file},
          {"polygons", model.polygons},
          {"vertices", model.vertices},
          {"meshes", model.meshes},
          {"textures", model.textures},
          {"boundsLow", vec3Json(f.low)},
          {"boundsHigh", vec3Json(f.high)},
          {"offset", vec3Json(f.offset)},
          {"scale", f.scale}};
}

std::string modelText(const ModelSummary& model) {
  const ModelFraming& f = model.framing;
  char scale[32];
  std::snprintf(scale, sizeof scale, "%.9g", f.scale);
  return "model " + model.file + ": " + std::to_string(model.polygons) + " polygons, " +
         std::to_string(model.vertices) + " vertices, " + std::to_string(model.meshes) +
         " meshes, " + std::to_string(model.textures) + " textures\n" + "bounds " +
         vec3Text(f.low) + " to " + vec3Text(f.high) + ", moved by " + vec3Text(f.offset) +
         " and scaled by " + scale + "\n";
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
