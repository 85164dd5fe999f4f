#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "scene/render_context.h"

// A scene built once for the whole test program under its name, by `build` the first
// time it is asked for: building textures and their levels is the slow part of a scene.
inline RenderContext& builtScene(const std::string& name,
                                 const std::function<void(RenderContext&)>& build) {
  static std::map<std::string, std::unique_ptr<RenderContext>> scenes;
  std::unique_ptr<RenderContext>& scene = scenes[name];
  if (!scene) {
    scene = std::make_unique<RenderContext>();
    build(*scene);
  }
  return *scene;
}
