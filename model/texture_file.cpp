#include "model/texture_file.h"

#include <stb_image.h>

#include <climits>
#include <cstring>
#include <memory>

namespace {

struct PixelsFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};
using Pixels = std::unique_ptr<stbi_uc, PixelsFree>;

// Only PNG and JPEG are given to the decoder, which knows other formats too: those two
// are what models come with, and the fewer formats that read untrusted bytes, the
// better.
bool isPngOrJpeg(const std::string& bytes) {
  static const char kPng[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
  const bool png = bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0;
  const bool jpeg = bytes.size() >= 3 && bytes.compare(0, 3, "\xff\xd8\xff") == 0;
  return png || jpeg;
}

Texture toTexture(const stbi_uc* pixels, int width, int height, int components) {
  Texture texture(width, height, components);
  const std::size_t row = std::size_t(width) * components;
  for (int y = 0; y < height; ++y) {
    const stbi_uc* from = pixels + std::size_t(height - 1 - y) * row;
    float* to = texture.texels.data() + std::size_t(y) * row;
    for (std::size_t i = 0; i < row; ++i)
      to[i] = float(from[i]) / 255.0f;
  }
  return texture;
}

std::string sizeText(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

std::string decodeProblem() {
  const char* reason = stbi_failure_reason();
  return reason != nullptr && *reason != '\0' ? std::string("does not decode: ") + reason
                                              : "does not decode";
}

}  // namespace

std::optional<Texture> decodeTexture(const std::string& bytes, long long& texelsLeft,
                                     std::string& problem) {
  if (!isPngOrJpeg(bytes) || bytes.size() > std::size_t(INT_MAX)) {
    problem = "is not a PNG or JPEG picture";
    return std::nullopt;
  }
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = int(bytes.size());
  int width = 0;
  int height = 0;
  int components = 0;
  if (!stbi_info_from_memory(data, length, &width, &height, &components)) {
    problem = decodeProblem();
    return std::nullopt;
  }
  if (width > kLargestTextureSide || height > kLargestTextureSide) {
    problem = "is " + sizeText(width, height) + ", larger than " +
              std::to_string(kLargestTextureSide) + " on a side";
    return std::nullopt;
  }
  const long long texels = 1LL * width * height;
  if (texels > texelsLeft) {
    problem = "is " + sizeText(width, height) + ": " + std::to_string(texels) +
              " texels, more than the " + std::to_string(texelsLeft) +
              " left of the model's budget";
    return std::nullopt;
  }
  const Pixels pixels(stbi_load_from_memory(data, length, &width, &height, &components, 0));
  if (!pixels) {
    problem = decodeProblem();
    return std::nullopt;
  }
  // The decoder read the header again; what it decoded is what was counted.
  if (1LL * width * height != texels) {
    problem = "does not decode: its size changed";
    return std::nullopt;
  }
  texelsLeft -= texels;
  return toTexture(pixels.get(), width, height, components);
}
