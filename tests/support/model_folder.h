#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/model_scene.h"
#include "model/scene_file_error.h"
#include "tests/support/scratch_folder.h"

// A folder of small model files, each written by the test.
class ModelFolder {
 public:
  ModelFolder() : scratch_("quadrelle-model") {
    std::filesystem::create_directories(scratch_.path() / "model");
  }
  std::string write(const std::string& name, const std::string& text) const {
    const std::filesystem::path path = scratch_.path() / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  std::filesystem::path path(const std::string& name) const { return scratch_.path() / name; }

 private:
  ScratchFolder scratch_;
};

// A whole 1 x 1 grey PNG.
inline std::string onePixelPng() {
  const unsigned char bytes[] = {
      0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
      0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
      0x00, 0x3a, 0x7e, 0x9b, 0x55, 0x00, 0x00, 0x00, 0x0a, 0x49, 0x44, 0x41, 0x54, 0x78,
      0x9c, 0x63, 0x68, 0x00, 0x00, 0x00, 0x82, 0x00, 0x81, 0x4c, 0x17, 0xd7, 0xdf, 0x00,
      0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// What loading a model file brought: the scene, or the one line refusing it.
struct Loaded {
  std::string refusal;  // empty when drawn
  std::vector<std::string> warnings;
  RenderContext context;
  ModelSummary model;
};

inline std::unique_ptr<Loaded> load(const std::string& path, bool outsideAllowed = false) {
  auto loaded = std::make_unique<Loaded>();
  try {
    loaded->model = loadModelScene(path, {outsideAllowed}, loaded->context, loaded->warnings);
  } catch (const SceneFileError& e) {
    loaded->refusal = e.what();
  }
  return loaded;
}

// Lines one after another, for messages of failed expectations.
inline std::string allOf(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines)
    all += line + "\n";
  return all;
}
