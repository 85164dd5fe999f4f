#include "model/gltf_sources.h"

#include "model/model_text.h"
#include "model/scene_file_error.h"
#include "model/warnings.h"

GltfSources::GltfSources(const std::string& path, const GltfDocument& document,
                         const GltfText& text, ModelFiles& files,
                         std::vector<std::string>& warnings)
    : path_(path), document_(document), text_(text), files_(files), warnings_(warnings) {}

std::string_view GltfSources::buffer(int index) {
  const auto known = buffers_.find(index);
  if (known != buffers_.end()) return known->second;
  const Refusal refusal(path_ + ": buffer " + std::to_string(index));
  refusal.requireIndex(index, document_.buffers.size(), "a buffer view names buffer");
  const GltfBuffer& buffer = document_.buffers[std::size_t(index)];
  std::string_view bytes;
  if (buffer.source.uri.empty() && buffer.source.dataUri < 0) {
    // A GLB file's own buffer is its first, and has no uri.
    refusal.require(index == 0 && !text_.binaryChunk.empty(),
                    " has no uri, and is not the binary chunk of a GLB file");
    bytes = text_.binaryChunk;
  } else {
    std::string problem;
    const auto found = bytesOf(buffer.source, problem);
    if (!found) throw SceneFileError(path_ + ": buffer " + problem);
    bytes = *found;
  }
  refusal.require(bytes.size() >= buffer.byteLength, " has " + std::to_string(bytes.size()) +
                                                         " bytes, fewer than its byteLength of " +
                                                         std::to_string(buffer.byteLength));
  return buffers_[index] = bytes.substr(0, buffer.byteLength);
}

std::optional<std::string_view> GltfSources::picture(int index, std::string& written) {
  const GltfImage& image = document_.images[std::size_t(index)];
  written = image.source.uri.empty() ? "image " + std::to_string(index) : image.source.uri;
  std::string problem;
  std::optional<std::string_view> bytes;
  if (image.bufferView >= 0) {
    const Refusal refusal(path_ + ": image " + std::to_string(index));
    refusal.requireIndex(image.bufferView, document_.bufferViews.size(), "'s buffer view is");
    const GltfBufferView& view = document_.bufferViews[std::size_t(image.bufferView)];
    const std::string_view data = buffer(view.buffer);
    refusal.require(
        view.byteOffset <= data.size() && view.byteLength <= data.size() - view.byteOffset,
        "'s buffer view reaches past its buffer");
    bytes = data.substr(view.byteOffset, view.byteLength);
  } else {
    bytes = bytesOf(image.source, problem);
  }
  if (!bytes) {
    warnOnce(warnings_, path_ + ": picture " + problem + "; drawn without it");
  }
  return bytes;
}

std::optional<std::string_view> GltfSources::bytesOf(const GltfSource& source,
                                                     std::string& problem) {
  if (source.dataUri >= 0) return dataUriBytes(source.dataUri, problem);
  if (source.uri.empty()) {
    problem = "has neither a uri nor a buffer view";
    return std::nullopt;
  }
  return fileBytes(source.uri, problem);
}

std::optional<std::string_view> GltfSources::fileBytes(const std::string& uri,
                                                       std::string& problem) {
  const auto known = byName_.find(uri);
  if (known != byName_.end()) {
    if (known->second) return *known->second;
    problem = quotedName(uri) + " cannot be had";
    return std::nullopt;
  }
  std::shared_ptr<const std::string>& held = byName_[uri];
  if (uri.find('\0') != std::string::npos) {
    problem = quotedName(uri) + " names no file: it holds a NUL byte";
    return std::nullopt;
  }
  std::vector<std::string> problems;
  std::optional<ModelFile> file = files_.find(uri, {files_.modelFolder()}, bytesLeft_, problems);
  for (std::size_t i = 0; file && i < problems.size(); ++i)
    warnOnce(warnings_, path_ + ": " + problems[i]);
  if (!file) {
    problem = problems.empty() ? quotedName(uri) + " not found" : problems.back();
    return std::nullopt;
  }
  std::shared_ptr<const std::string>& same = byIdentity_[file->identity];
  if (!same) {
    if (!spend(file->bytes.size(), problem)) return std::nullopt;
    same = std::make_shared<const std::string>(std::move(file->bytes));
  }
  held = same;
  return *held;
}

std::optional<std::string_view> GltfSources::dataUriBytes(int number, std::string& problem) {
  const auto known = dataUris_.find(number);
  if (known != dataUris_.end()) return known->second;
  if (number < 0 || std::size_t(number) >= text_.dataUris.size()) {
    problem = "names a data URI that is not in the file";
    return std::nullopt;
  }
  std::optional<std::string> bytes = decodeDataUri(text_.dataUris[std::size_t(number)], problem);
  if (!bytes || !spend(bytes->size(), problem)) return std::nullopt;
  return dataUris_[number] = std::move(*bytes);
}

bool GltfSources::spend(std::size_t bytes, std::string& problem) {
  if (bytes > bytesLeft_) {
    problem = "would take the buffers and pictures past " +
              std::to_string(kLargestGltfFiles >> 20) + " MiB";
    return false;
  }
  bytesLeft_ -= bytes;
  return true;
}
