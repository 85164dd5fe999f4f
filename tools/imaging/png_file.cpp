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

// libpng reports errors by longjmp back to the setjmp here: nothing in this function has
// a destructor, so nothing is skipped when it does.
bool encodeRows(png_structp png, png_infop info, std::FILE* file, const Image& image,
                png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // The pictures of the tools are large even areas. Most are stored compactly: each row
  // as its difference from the pixel to the left, in runs. A large one (a 4K layer) is
  // stored unfiltered at zlib's second level, which finds the repeats of whole pixels
  // on its own: more bytes for much less time (docs/performance.md).
  if (std::size_t(image.width) * image.height > (std::size_t(1) << 20)) {
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, 2);
  } else {
    png_set_filter(png, 0, PNG_FILTER_SUB);
    png_set_compression_strategy(png, 3);  // Z_RLE
  }
  png_set_rows(png, info, rows);
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  return true;
}

// libpng's own handlers print what went wrong; the caller says it, once, with the file.
[[noreturn]] void quietError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void quietWarning(png_structp, png_const_charp) {}

}  // namespace

bool encodePng(const Image& image, std::FILE* file) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows = rowPointers(image);
  const bool encoded = info != nullptr && encodeRows(png, info, file, image, rows.data());
  png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  return encoded;
}

static_assert(sizeof(Rgb) == 3, "pixels are packed bytes");

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
