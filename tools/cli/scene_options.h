#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/model_scene.h"
#include "scene/render_context.h"
#include "tools/cli/json.h"
#include "tools/cli/options.h"
#include "tools/imaging/agreement.h"

// What the tools draw: the viewer's built-in scene, or a model from a Wavefront OBJ
// file; and whether lighting is on, which in the viewer it never is.
struct SceneOptions {
  std::string file;  // empty for the built-in scene
  bool lighting = false;
  ModelOptions model;
};

// --scene FILE, --allow-outside-files and --lighting on|off, and the lines of usage that
// describe them.
void addSceneOptions(OptionParser& parser, SceneOptions& scene);
extern const char* const kSceneOptionsUsage;

// Builds the scene into `context`, with the reduced levels of its textures, and sets
// its lighting. For a model, returns what it brought, and what it lacks but can be drawn
// without goes into `warnings`. Throws SceneFileError for a model that cannot be drawn.
std::optional<ModelSummary> buildScene(const SceneOptions& scene, RenderContext& context,
                                       std::vector<std::string>& warnings);

// buildScene in a program: the warnings printed as the program's own. A model that
// cannot be drawn is refused as refuseInput refuses it, and the answer is false; the
// program then ends with kExitUsage, having written nothing.
bool buildSceneOrRefuse(const std::string& program, const SceneOptions& scene,
                        RenderContext& context, std::optional<ModelSummary>& model);

// Warns, as `program`, when the model shows nothing in `picture`: it covers no pixel
// (`covered` holds no pixel, in the picture's order), or every pixel it covers has the
// background's colour.
void warnIfModelUnseen(const std::string& program, const ModelSummary& model, const Image& picture,
                       const Coverage& covered, Rgb background);

// How messages name the scene: its model file, or "the viewer's scene".
std::string sceneName(const SceneOptions& scene);

// The options that give this scene, those that differ from the defaults: "" for the
// built-in scene unlit.
std::string sceneArguments(const SceneOptions& scene);

// The view as viewJson gives it, with "lighting": true when lighting is on.
Json poseJson(const ViewOptions& view, const SceneOptions& scene);

// The model's counts, bounds, and how it was moved and scaled into the view.
Json modelJson(const ModelSummary& model);
std::string modelText(const ModelSummary& model);

// `word` as one word of a shell command line: quoted where it needs to be.
std::string shellWord(const std::string& word);
