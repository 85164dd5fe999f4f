#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A file read whole.
struct ModelFile {
  std::string path;      // as messages name it
  std::string identity;  // one for each file, however its path is written
  std::string location;  // where it really lies, symbolic links resolved
  std::string bytes;
};

// The files a model names, its material libraries and its textures: input from
// whoever wrote the model, looked up and read under rules of the model's own.
class ModelFiles {
 public:
  explicit ModelFiles(std::string modelFolder) : modelFolder_(std::move(modelFolder)) {}
  virtual ~ModelFiles() = default;

  // The folder of the model file itself, where its own files are looked for first.
  const std::string& modelFolder() const { return modelFolder_; }

  // The file that `written` (a path as a model file wrote it, perhaps on another
  // system) names, looked for in each of `folders` in turn. Nothing, with the reason in
  // `warnings`, when no readable file of at most `largest` bytes answers to it.
  virtual std::optional<ModelFile> find(const std::string& written,
                                        const std::vector<std::string>& folders,
                                        std::size_t largest,
                                        std::vector<std::string>& warnings) = 0;

 private:
  std::string modelFolder_;
};

// A model's files on disk. A name is looked for as written (backslashes read as
// slashes, relative to each folder), then by its last component alone in each folder,
// then by that component in another letter case. Only regular files are read, opened
// without blocking; and unless `outsideAllowed`, only inside the tree of `root` (the
// model's own folder), symbolic links resolved: a name that leads out of it falls back
// to its last component inside.
class DiskModelFiles : public ModelFiles {
 public:
  // `root` is the folder the model file really lies in, links resolved.
  DiskModelFiles(const std::string& root, bool outsideAllowed);
  std::optional<ModelFile> find(const std::string& written, const std::vector<std::string>& folders,
                                std::size_t largest, std::vector<std::string>& warnings) override;

 private:
  std::string root_;  // resolved; empty when outside files are allowed
};

// A model's files in memory, found by their last component alone: what the fuzz target
// feeds.
class MemoryModelFiles : public ModelFiles {
 public:
  explicit MemoryModelFiles(std::map<std::string, std::string> files)
      : ModelFiles("."), files_(std::move(files)) {}
  std::optional<ModelFile> find(const std::string& written, const std::vector<std::string>& folders,
                                std::size_t largest, std::vector<std::string>& warnings) override;

 private:
  std::map<std::string, std::string> files_;
};

// The model file itself, named by the user: a regular file of at most `largest` bytes,
// with where it really lies. Throws SceneFileError naming it otherwise.
ModelFile readModelFile(const std::string& path, std::size_t largest);

// The folder part of a path: "." for a bare file name.
std::string folderOf(const std::string& path);
