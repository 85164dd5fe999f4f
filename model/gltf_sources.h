#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/gltf_document.h"
#include "model/model_budgets.h"
#include "model/model_files.h"

// The bytes of a glTF file's buffers and pictures, each found only when something that
// is drawn needs it: a file beside the model through `files` (read once however many
// buffers and pictures name it, and held once), a data URI decoded once, or the binary
// chunk of a GLB file, which is not copied. Views stay valid while the sources live.
class GltfSources {
 public:
  GltfSources(const std::string& path, const GltfDocument& document, const GltfText& text,
              ModelFiles& files, std::vector<std::string>& warnings);

  // The bytes of buffer `index`, exactly its byteLength. Throws SceneFileError naming the
  // file and the buffer where the file has no such buffer or its bytes cannot be had.
  std::string_view buffer(int index);

  // The bytes of image `index`'s picture, and in `written` how messages name it; nothing,
  // said in the warnings with "drawn without it", where they cannot be had.
  std::optional<std::string_view> picture(int index, std::string& written);

 private:
  // The bytes of a source; nothing, with the reason in `problem`, where they cannot be
  // had.
  std::optional<std::string_view> bytesOf(const GltfSource& source, std::string& problem);
  std::optional<std::string_view> fileBytes(const std::string& uri, std::string& problem);
  std::optional<std::string_view> dataUriBytes(int number, std::string& problem);
  bool spend(std::size_t bytes, std::string& problem);

  const std::string& path_;
  const GltfDocument& document_;
  const GltfText& text_;
  ModelFiles& files_;
  std::vector<std::string>& warnings_;
  std::size_t bytesLeft_ = kLargestGltfFiles;
  std::map<std::string, std::shared_ptr<const std::string>> byName_;      // as written
  std::map<std::string, std::shared_ptr<const std::string>> byIdentity_;  // one per file
  std::map<int, std::string> dataUris_;
  std::map<int, std::string_view> buffers_;
};
