#include "model/gltf_loading.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>

#include "model/byte_order.h"
#include "model/gltf_file.h"
#include "model/scene_file_error.h"

namespace {

// Deeper than any glTF file's own structure (about 8) with room for extras; tinygltf
// turns extras and extensions into values recursively, so depth must be bounded first.
constexpr int kDeepestJson = 64;

// How deeply the arrays and objects of JSON text nest.
int nestingDepth(std::string_view json) {
  int depth = 0, deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

// The JSON of a GLB container, as far as its header says it reaches; tinygltf checks the
// rest of the container.
std::string_view jsonOf(std::string_view bytes, bool binary) {
  if (!binary || bytes.size() < 20) return bytes;
  const auto length = numberAt(reinterpret_cast<const unsigned char*>(bytes.data()) + 12, 4);
  return bytes.substr(20, length);
}

std::string firstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  while (!line.empty() && (line.back() == ' ' || line.back() == '.'))
    line.pop_back();
  return line.empty() ? "tinygltf cannot read it" : line;
}

// The files tinygltf asks for, each looked up once through the model's own rules.
class FileGate {
 public:
  FileGate(const std::string& path, ModelFiles& files) : path_(path), files_(files) {}

  tinygltf::FsCallbacks callbacks() {
    return {&FileGate::exists, &FileGate::expand, &FileGate::read, &FileGate::write, this};
  }
  const std::vector<std::string>& problems() const { return problems_; }
  const std::string& lastMissing() const { return lastMissing_; }

 private:
  // tinygltf tries "name" and then "./name": both are the name in the model's folder.
  static std::string plain(const std::string& asked) {
    return asked.rfind("./", 0) == 0 ? asked.substr(2) : asked;
  }
  static FileGate& of(void* gate) { return *static_cast<FileGate*>(gate); }

  static bool exists(const std::string& asked, void* gate) { return of(gate).find(plain(asked)); }
  static std::string expand(const std::string& asked, void*) { return asked; }
  static bool read(std::vector<unsigned char>* out, std::string* err, const std::string& asked,
                   void* gate) {
    auto& found = of(gate).found_[plain(asked)];
    if (!found) {
      *err = "not found";
      return false;
    }
    // Kept until loading ends: two buffers or pictures may name one file.
    out->assign(found->bytes.begin(), found->bytes.end());
    return true;
  }
  static bool write(std::string* err, const std::string&, const std::vector<unsigned char>&,
                    void*) {
    *err = "a model is never written";
    return false;
  }

  bool find(const std::string& name) {
    const auto [at, added] = found_.try_emplace(name);
    if (!added) return at->second.has_value();
    std::vector<std::string> problems;
    at->second = files_.find(name, {folderOf(path_)}, bytesLeft_, problems);
    // Said only when the model is drawn, so a file that is missing was a picture.
    for (const std::string& problem : problems)
      warnOnce(problems_, path_ + ": " + problem + (at->second ? "" : "; drawn without it"));
    if (at->second) {
      bytesLeft_ -= at->second->bytes.size();
    } else {
      lastMissing_ = problems.empty() ? "'" + name + "' not found" : problems.back();
    }
    return at->second.has_value();
  }

  const std::string& path_;
  ModelFiles& files_;
  std::map<std::string, std::optional<ModelFile>> found_;
  std::vector<std::string> problems_;
  std::string lastMissing_;
  std::size_t bytesLeft_ = kLargestGltfFiles;
};

// Keeps a picture's bytes for later. A picture in a buffer view comes as a pointer into
// the buffer that tinygltf has not checked: the view is checked here before it is read.
bool keepPicture(tinygltf::Image* image, int index, std::string* err, std::string*, int, int,
                 const unsigned char* bytes, int size, void* loading) {
  if (image->bufferView != -1) {
    const auto& model = *static_cast<const tinygltf::Model*>(loading);
    const auto& view = model.bufferViews[std::size_t(image->bufferView)];
    const std::size_t bufferSize = model.buffers[std::size_t(view.buffer)].data.size();
    if (view.byteOffset > bufferSize || view.byteLength > bufferSize - view.byteOffset) {
      *err = "image " + std::to_string(index) + "'s buffer view reaches past its buffer";
      return false;
    }
  }
  image->image.assign(bytes, bytes + size);
  image->width = image->height = -1;  // not decoded
  return true;
}

}  // namespace

tinygltf::Model loadGltfModel(const std::string& path, std::string_view bytes, ModelFiles& files,
                              std::vector<std::string>& warnings) {
  const bool binary = bytes.substr(0, 4) == "glTF";
  if (nestingDepth(jsonOf(bytes, binary)) > kDeepestJson) {
    throw SceneFileError(path + ": its JSON nests more than " + std::to_string(kDeepestJson) +
                         " deep");
  }
  FileGate gate(path, files);
  tinygltf::Model model;
  tinygltf::TinyGLTF parser;
  parser.SetFsCallbacks(gate.callbacks());
  parser.SetImageLoader(&keepPicture, &model);
  std::string err, warn;  // tinygltf's warnings are of pictures, said here by the gate
  bool parsed = false;
  try {
    const auto size = static_cast<unsigned int>(bytes.size());
    parsed = binary ? parser.LoadBinaryFromMemory(
                          &model, &err, &warn, reinterpret_cast<const unsigned char*>(bytes.data()),
                          size, "")
                    : parser.LoadASCIIFromString(&model, &err, &warn, bytes.data(), size, "");
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    err = e.what();  // tinygltf reads some malformed files through std::vector::at
  }
  for (const std::string& problem : gate.problems())
    warnOnce(warnings, problem);
  if (!parsed) {
    const bool missing = err.rfind("File not found", 0) == 0 && !gate.lastMissing().empty();
    throw SceneFileError(path + ": " + (missing ? "buffer " + gate.lastMissing() : firstLine(err)));
  }
  return model;
}
