#include "model/texture_file.h"

#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

#include "model/display_colors.h"
#include "model/picture_checks.h"

namespace {

struct PixelsFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};
using Pixels = std::unique_ptr<stbi_uc, PixelsFree>;

unsigned byteAt(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

// A Truevision TGA file has no mark of its own; its 18-byte header must describe an
// uncompressed or run-length image of colour, mapped colour or grey, with sizes and a
// depth the format has.
bool isTga(const std::string& bytes) {
  if (bytes.size() < 18) return false;
  const unsigned mapType = byteAt(bytes, 1);
  const unsigned imageType = byteAt(bytes, 2);
  const unsigned depth = byteAt(bytes, 16);
  const bool type = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                    imageType == 10 || imageType == 11;
  const bool sized =
      (byteAt(bytes, 12) | byteAt(bytes, 13)) != 0 && (byteAt(bytes, 14) | byteAt(bytes, 15)) != 0;
  return mapType <= 1 && type && sized &&
         (depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32);
}

bool isPng(const std::string& bytes) {
  static const char kPng[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kPng, 8) == 0;
}

bool isJpeg(const std::string& bytes) {
  return bytes.size() >= 3 && bytes.compare(0, 3, "\xff\xd8\xff") == 0;
}

// Only the formats models come with are given to the decoder, which knows others too:
// the fewer formats that read untrusted bytes, the better. Each is told by its content.
bool isTextureFormat(const std::string& bytes) {
  const bool png = isPng(bytes);
  const bool jpeg = isJpeg(bytes);
  const bool bmp = bytes.size() >= 26 && bytes.compare(0, 2, "BM") == 0;
  return png || jpeg || bmp || isTga(bytes);
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
  if (!isTextureFormat(bytes) || bytes.size() > std::size_t(INT_MAX)) {
    problem = "is not a PNG, JPEG, BMP or TGA picture";
    return std::nullopt;
  }
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = int(bytes.size());
  int width = 0;
  int height = 0;
  int components = 0;
  const bool sized = pngSize(bytes, width, height) ||
                     stbi_info_from_memory(data, length, &width, &height, &components);
  if (!sized) {
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
  problem = isPng(bytes) ? pngProblem(bytes) : isJpeg(bytes) ? jpegProblem(bytes) : "";
  if (!problem.empty()) return std::nullopt;
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

Texture tinted(const Texture& texture, const TexelTint& tint) {
  const int from = texture.components;
  const bool alpha = from == 2 || from == 4;
  Texture out(texture.width, texture.height, alpha ? 4 : 3);
  out.wrapS = texture.wrapS;
  out.wrapT = texture.wrapT;
  for (int y = 0; y < texture.height; ++y) {
    for (int x = 0; x < texture.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        const float display = texture.texel(x, y, from < 3 ? 0 : c);
        const double linear = linearValue(display) * tint.factor[c] + tint.emission[c];
        out.texel(x, y, c) = float(displayValue(linear));
      }
      if (alpha) out.texel(x, y, 3) = float(texture.texel(x, y, from - 1) * tint.factor[3]);
    }
  }
  return out;
}
