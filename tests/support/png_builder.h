#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

// A PNG file put together chunk by chunk, with true lengths and checksums unless a test
// says otherwise: the image data is the inflated bytes given, compressed here.
class PngBuilder {
 public:
  PngBuilder(std::uint32_t width, std::uint32_t height, int colourType, bool interlaced = false) {
    std::string header = number(width) + number(height);
    header += char(8);  // bits a channel
    header += char(colourType);
    header += std::string(2, '\0');  // deflate, adaptive filters
    header += char(interlaced ? 1 : 0);
    chunk("IHDR", header);
  }

  // The image data, each row led by its filter byte, compressed whole.
  PngBuilder& imageData(const std::string& inflated) {
    uLongf size = compressBound(uLong(inflated.size()));
    std::string deflated(size, '\0');
    compress2(reinterpret_cast<Bytef*>(deflated.data()), &size,
              reinterpret_cast<const Bytef*>(inflated.data()), uLong(inflated.size()), 9);
    deflated.resize(size);
    return chunk("IDAT", deflated);
  }

  PngBuilder& chunk(const std::string& type, const std::string& data) {
    return chunkClaiming(type, data, std::uint32_t(data.size()));
  }

  // A chunk whose length field says `claimed`, whatever it holds.
  PngBuilder& chunkClaiming(const std::string& type, const std::string& data,
                            std::uint32_t claimed) {
    const std::string body = type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
    bytes_ += number(claimed) + body + number(std::uint32_t(crc));
    return *this;
  }

  std::string file() const { return bytes_ + number(0) + "IEND" + "\xae\x42\x60\x82"; }

 private:
  static std::string number(std::uint32_t value) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8)
      out += char((value >> shift) & 0xff);
    return out;
  }

  std::string bytes_ = "\x89PNG\r\n\x1a\n";
};
