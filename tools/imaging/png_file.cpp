#include "tools/imaging/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::vector<png_bytep> rowPointers(const Image& image) {
  std::vector<png_bytep> rows(std::size_t(image.height));
  for (int y = 0; y < image.height; ++y) {
    // Rgb is three bytes, so a row of pixels is a row of the PNG.
    rows[std::size_t(y)] =
        reinterpret_cast<png_bytep>(const_cast<Rgb*>(&image.pixels[std::size_t(y) * image.width]));
  }
  return rows;
}

bool encode(const Image& image, std::FILE* file) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  std::vector<png_bytep> rows = rowPointers(image);
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // Each row stored as its difference from the pixel to the left, in runs: fast to write
  // for pictures of large even areas, like every picture of the tools.
  png_set_filter(png, 0, PNG_FILTER_SUB);
  png_set_compression_strategy(png, 3);  // Z_RLE
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

static_assert(sizeof(Rgb) == 3, "pixels are packed bytes");

bool writePngFile(const Image& image, const std::string& path, std::string& error) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  errno = 0;
  const bool encoded = encode(image, file.get());
  const int encodeError = errno;
  const bool closed = std::fclose(file.release()) == 0;
  if (!encoded || !closed) {
    const int reason = closed ? encodeError : errno;
    error = "cannot write " + path + ": " + (reason != 0 ? std::strerror(reason) : "PNG error");
    std::remove(path.c_str());
    return false;
  }
  return true;
}

bool writePng(const Image& image, const std::string& path, std::string& error) {
  const std::string partial = path + ".partial";
  if (!writePngFile(image, partial, error)) return false;
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

bool readPng(const std::string& path, Image& image, std::string& error) {
  png_image reader{};
  reader.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&reader, path.c_str())) {
    error = "cannot read " + path + ": " + reader.message;
    return false;
  }
  reader.format = PNG_FORMAT_RGB;
  Image result(int(reader.width), int(reader.height));
  if (!png_image_finish_read(&reader, nullptr, result.pixels.data(), 0, nullptr)) {
    error = "cannot read " + path + ": " + reader.message;
    png_image_free(&reader);
    return false;
  }
  image = std::move(result);
  return true;
}
