#include "model/picture_checks.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/byte_order.h"

namespace {

struct PngHeader {
  std::uint64_t width = 0;
  std::uint64_t height = 0;
  unsigned depth = 0;
  unsigned colourType = 0;
  bool interlaced = false;
};

const unsigned char* bytesOf(const std::string& bytes) {
  return reinterpret_cast<const unsigned char*>(bytes.data());
}

// Channels a pixel has for each colour type; 0 for a type PNG does not have.
unsigned channelsOf(unsigned colourType) {
  switch (colourType) {
    case 0:
      return 1;  // grey
    case 2:
      return 3;  // red green blue
    case 3:
      return 1;  // palette index
    case 4:
      return 2;  // grey and alpha
    case 6:
      return 4;  // red green blue alpha
    default:
      return 0;
  }
}

// Bytes of `rows` rows of `columns` pixels once inflated: each row a filter byte and its
// pixels packed to whole bytes.
std::uint64_t rowsBytes(const PngHeader& header, std::uint64_t columns, std::uint64_t rows) {
  if (columns == 0 || rows == 0) return 0;
  const std::uint64_t bits = columns * header.depth * channelsOf(header.colourType);
  return rows * (1 + (bits + 7) / 8);
}

// An interlaced picture is stored as seven smaller ones, each of the pixels at its own
// start and spacing across and down.
std::uint64_t imageDataBytes(const PngHeader& header) {
  if (!header.interlaced) return rowsBytes(header, header.width, header.height);
  struct Pass {
    unsigned x, y, dx, dy;
  };
  static const Pass kPasses[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                  {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  std::uint64_t total = 0;
  for (const Pass& p : kPasses) {
    const std::uint64_t columns = (header.width + p.dx - 1 - p.x) / p.dx;
    const std::uint64_t rows = (header.height + p.dy - 1 - p.y) / p.dy;
    total += rowsBytes(header, columns, rows);
  }
  return total;
}

// The header chunk, IHDR, which the decoder reads only as the first chunk; all zeros
// where the bytes have none there.
PngHeader headerOf(const std::string& bytes) {
  PngHeader header;
  if (bytes.size() < 29 || bytes.compare(12, 4, "IHDR") != 0) return header;
  const unsigned char* ihdr = bytesOf(bytes) + 16;
  header.width = numberAt(ihdr, 4, true);
  header.height = numberAt(ihdr + 4, 4, true);
  header.depth = ihdr[8];
  header.colourType = ihdr[9];
  header.interlaced = ihdr[12] != 0;
  return header;
}

// Walks the chunks from the signature to IEND (or to the last whole chunk), gathering
// the pieces of image data; a problem if a chunk runs past the end of the bytes.
std::string gatherChunks(const std::string& bytes, std::vector<std::string_view>& imageData) {
  const unsigned char* data = bytesOf(bytes);
  std::size_t at = 8;
  while (bytes.size() - at >= 12) {
    const std::uint64_t length = numberAt(data + at, 4, true);
    const std::string type = bytes.substr(at + 4, 4);
    if (length > bytes.size() - at - 12) {
      // A chunk's type is four letters; other bytes are not put into the message.
      const bool named = std::all_of(type.begin(), type.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      });
      return "does not decode: " + (named ? "its chunk '" + type + "'" : std::string("a chunk")) +
             " runs past the end of the file";
    }
    if (type == "IDAT") imageData.emplace_back(bytes.data() + at + 8, length);
    if (type == "IEND") break;
    at += 12 + length;
  }
  return "";
}

// How many bytes the image data inflates to, counted no further than one past `most`;
// -1 if it is damaged.
long long inflatedBytes(const std::vector<std::string_view>& pieces, std::uint64_t most) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return -1;
  std::array<unsigned char, 65536> scratch;
  std::uint64_t total = 0;
  int status = Z_OK;
  for (std::size_t i = 0; i < pieces.size() && status == Z_OK && total <= most; ++i) {
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(pieces[i].data()));
    stream.avail_in = uInt(pieces[i].size());
    while (status == Z_OK && total <= most && (stream.avail_in > 0 || stream.avail_out == 0)) {
      stream.next_out = scratch.data();
      stream.avail_out = uInt(scratch.size());
      status = inflate(&stream, Z_NO_FLUSH);
      total += scratch.size() - stream.avail_out;
      if (status == Z_BUF_ERROR) status = Z_OK;  // wants the next piece
    }
  }
  inflateEnd(&stream);
  const bool damaged = status != Z_OK && status != Z_STREAM_END;
  return damaged ? -1 : static_cast<long long>(total);
}

}  // namespace

bool pngSize(const std::string& bytes, int& width, int& height) {
  if (bytes.size() < 24 || bytes.compare(0, 4, "\x89PNG") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0) {
    return false;
  }
  const unsigned char* header = bytesOf(bytes);
  const auto side = [](std::uint64_t v) { return int(std::min<std::uint64_t>(v, INT_MAX)); };
  width = side(numberAt(header + 16, 4, true));
  height = side(numberAt(header + 20, 4, true));
  return true;
}

std::string pngProblem(const std::string& bytes) {
  const PngHeader header = headerOf(bytes);
  std::vector<std::string_view> imageData;
  const std::string chunks = gatherChunks(bytes, imageData);
  if (!chunks.empty()) return chunks;
  const std::uint64_t most = imageDataBytes(header);
  const long long inflated = inflatedBytes(imageData, most);
  if (inflated < 0) return "does not decode: its image data is damaged";
  if (std::uint64_t(inflated) > most) {
    return "does not decode: its image data inflates to more than its " +
           std::to_string(header.width) + " x " + std::to_string(header.height) + " pixels hold";
  }
  return "";
}

std::string jpegProblem(const std::string& bytes) {
  int scans = 0;
  for (std::size_t at = bytes.find("\xff\xda"); at != std::string::npos;
       at = bytes.find("\xff\xda", at + 2)) {
    if (++scans > kMostJpegScans) {
      return "does not decode: it holds more than " + std::to_string(kMostJpegScans) + " scans";
    }
  }
  return "";
}
