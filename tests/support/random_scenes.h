#pragma once

#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/built_scenes.h"
#include "tools/cli/random_pose.h"
#include "tools/cli/scene_options.h"

// Random poses of the viewer's scene and of models, for the tests that draw frames two
// ways and compare them.

// The models bring textures that repeat (box, wrapped), clamp to their edge (box's
// rgba.png), mirror (wrapped), vertex colours and emission (wrapped).
inline const char* const kScenes[] = {"",
                                      QUADRELLE_SOURCE_DIR "/tests/data/models/box.obj",
                                      QUADRELLE_SOURCE_DIR "/tests/data/models/concave.obj",
                                      QUADRELLE_SOURCE_DIR "/tests/data/models/wide.obj",
                                      QUADRELLE_SOURCE_DIR "/tests/data/models/wrapped.gltf",
                                      QUADRELLE_SOURCE_DIR "/tests/data/models/house.glb"};

struct Pose {
  ViewOptions view;
  SceneOptions scene;
};

inline Pose randomScenePose(std::mt19937& random) {
  Pose p;
  p.view = randomPose(random);
  p.scene.file = kScenes[choice(random, int(std::size(kScenes)))];
  p.scene.lighting = choice(random, 2) == 1;
  return p;
}

inline std::string commandFor(const Pose& p) {
  return "quadrelle-render " + viewArguments(p.view) + sceneArguments(p.scene);
}

inline RenderContext& sceneOf(const SceneOptions& scene) {
  RenderContext& context = builtScene(scene.file, [&scene](RenderContext& built) {
    std::vector<std::string> warnings;
    buildScene({scene.file, false, {}}, built, warnings);
  });
  context.lighting = scene.lighting;
  return context;
}

// The poses a test draws: QUADRELLE_DIFFERENTIAL_POSES, or `otherwise`.
inline int poseCount(int otherwise = 200) {
  const char* count = std::getenv("QUADRELLE_DIFFERENTIAL_POSES");
  return count != nullptr ? std::atoi(count) : otherwise;
}
