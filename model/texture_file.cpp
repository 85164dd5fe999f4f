#include "tools/model/texture_file.h"

#include <stb_image.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "tools/model/scene_file_error.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

struct PixelsFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};
using Pixels = std::unique_ptr<stbi_uc, PixelsFree>;

// Only PNG and JPEG are given to the decoder, which knows other formats too: those two
// are what models come with, and the fewer formats that read untrusted bytes, the
// better.
bool isPngOrJpeg(std::FILE* file) {
  unsigned char start[8] = {};
  const std::size_t read = std::fread(start, 1, sizeof start, file);
  std::rewind(file);
  static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  const bool png = read == 8 && std::memcmp(start, kPng, 8) == 0;
  const bool jpeg = read >= 3 && start[0] == 0xff && start[1] == 0xd8 && start[2] == 0xff;
  return png || jpeg;
}

Texture toTexture(const stbi_uc* pixels, int width, int height, int components) {
  try {
    Texture texture(width, height, components);
    const std::size_t row = std::size_t(width) * components;
    for (int y = 0; y < height; ++y) {
      const stbi_uc* from = pixels + std::size_t(height - 1 - y) * row;
      float* to = texture.texels.data() + std::size_t(y) * row;
      for (std::size_t i = 0; i < row; ++i)
        to[i] = float(from[i]) / 255.0f;
    }
    return texture;
  } catch (const std::bad_alloc&) {
    throw SceneFileError("too large to hold as floats");
  }
}

}  // namespace

std::optional<Texture> readTextureFile(const std::string& path, std::string& problem) {
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    const int reason = errno;
    problem = std::strerror(reason);
    return std::nullopt;
  }
  if (!isPngOrJpeg(file.get())) {
    problem = "not a PNG or JPEG picture";
    return std::nullopt;
  }
  int width = 0;
  int height = 0;
  int components = 0;
  if (!stbi_info_from_file(file.get(), &width, &height, &components)) {
    problem = std::string("does not decode: ") + stbi_failure_reason();
    return std::nullopt;
  }
  if (width > kLargestTextureSide || height > kLargestTextureSide) {
    throw SceneFileError(std::to_string(width) + " x " + std::to_string(height) + ", larger than " +
                         std::to_string(kLargestTextureSide) + " on a side");
  }
  const Pixels pixels(stbi_load_from_file(file.get(), &width, &height, &components, 0));
  if (!pixels) {
    problem = std::string("does not decode: ") + stbi_failure_reason();
    return std::nullopt;
  }
  return toTexture(pixels.get(), width, height, components);
}
