// Pictures decoded as they mean, and a PNG that asks for more than its bytes hold refused
// before the decoder spends anything on it.
#include "model/texture_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "model/picture_checks.h"
#include "tests/support/png_builder.h"

namespace {

constexpr int kGrey = 0;
constexpr int kRgb = 2;

// The texture, or nothing with the reason in `problem`.
std::optional<Texture> decode(const std::string& file, std::string& problem) {
  long long texelsLeft = 1 << 20;
  return decodeTexture(file, texelsLeft, problem);
}

std::string refusalOf(const std::string& file) {
  std::string problem;
  return decode(file, problem) ? "" : problem;
}

Texture decoded(const std::string& file) {
  std::string problem;
  const auto texture = decode(file, problem);
  EXPECT_TRUE(texture) << problem;
  return texture.value_or(Texture(1, 1, 1));
}

TEST(TextureFile, RowsComeBottomFirstAndEachChannelIsItsByteOver255) {
  // Top row red, green; bottom row blue, grey 51.
  const std::string top("\0\xff\0\0\0\xff\0", 7);
  const std::string bottom("\0\0\0\xff\x33\x33\x33", 7);
  const Texture t = decoded(PngBuilder(2, 2, kRgb).imageData(top + bottom).file());
  ASSERT_EQ(t.components, 3);
  EXPECT_EQ(t.texel(0, 0, 2), 1.0f) << "row 0 is the picture's bottom row";
  EXPECT_EQ(t.texel(1, 0, 0), 51.0f / 255.0f);
  EXPECT_EQ(t.texel(1, 1, 1), 1.0f);
  EXPECT_EQ(t.texel(0, 1, 1), 0.0f);
}

// Seven passes of a 5 x 3 grey picture whose pixel at (x, y) is 10 y + x.
TEST(TextureFile, AnInterlacedPictureOfExactlyItsSizeDecodesInPlace) {
  struct Pass {
    int x, y, dx, dy;
  };
  const Pass passes[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                          {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  std::string data;
  for (const Pass& p : passes) {
    for (int y = p.y; y < 3; y += p.dy) {
      if (p.x >= 5) break;
      data += '\0';
      for (int x = p.x; x < 5; x += p.dx)
        data += char(10 * y + x);
    }
  }
  const Texture t = decoded(PngBuilder(5, 3, kGrey, true).imageData(data).file());
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(t.texel(x, 2 - y, 0), float(10 * y + x) / 255.0f) << x << ", " << y;
  }
}

TEST(TextureFile, APngIsRefusedWhenItsChunksOrImageDataClaimMoreThanItHolds) {
  const std::string onePixel("\0\x80", 2);
  EXPECT_EQ(refusalOf(PngBuilder(1, 1, kGrey).imageData(onePixel).file()), "");
  EXPECT_EQ(refusalOf(PngBuilder(1, 1, kGrey).imageData(onePixel + '\0').file()),
            "does not decode: its image data inflates to more than its 1 x 1 pixels hold");
  // Sixteen megabytes of zeros in some sixteen kilobytes, behind a 1 x 1 header.
  EXPECT_EQ(refusalOf(PngBuilder(1, 1, kGrey).imageData(std::string(1 << 24, '\0')).file()),
            "does not decode: its image data inflates to more than its 1 x 1 pixels hold");

  // A chunk of 1.9 GB in a file of a few bytes: the decoder would allocate it first.
  const std::string lying =
      PngBuilder(1, 1, kGrey).chunkClaiming("IDAT", "\x78\x9c", 1937440874u).file();
  EXPECT_EQ(refusalOf(lying), "does not decode: its chunk 'IDAT' runs past the end of the file");
  const std::string unnamed =
      PngBuilder(1, 1, kGrey).chunkClaiming(std::string("\0\nA\x7f", 4), "", 99).file();
  EXPECT_EQ(refusalOf(unnamed), "does not decode: a chunk runs past the end of the file");

  std::string damaged = PngBuilder(1, 1, kGrey).imageData(std::string(64, '\x7f')).file();
  damaged[damaged.find("IDAT") + 8] ^= 0x55;
  EXPECT_EQ(refusalOf(damaged), "does not decode: its image data is damaged");
}

// A 16 x 8 progressive JPEG of ten scans with its first scan of the luma's low AC
// coefficients (bytes 242 to 277, with the Huffman table before it) repeated until the
// file holds `scans`: each repeat decodes the same coefficients again.
std::string progressiveJpegOf(int scans) {
  std::ifstream in(std::string(QUADRELLE_SOURCE_DIR) + "/tests/data/models/progressive.jpg",
                   std::ios::binary);
  std::ostringstream read;
  read << in.rdbuf();
  std::string file = read.str();
  const std::string scan = file.substr(242, 277 - 242);
  EXPECT_EQ(scan.substr(23, 2), "\xff\xda");
  for (int i = 10; i < scans; ++i)
    file.insert(277, scan);
  return file;
}

TEST(TextureFile, AJpegOfMoreScansThanTheLimitIsRefusedUndecoded) {
  EXPECT_EQ(decoded(progressiveJpegOf(10)).width, 16);
  EXPECT_EQ(refusalOf(progressiveJpegOf(kMostJpegScans)), "");
  EXPECT_EQ(refusalOf(progressiveJpegOf(kMostJpegScans + 1)),
            "does not decode: it holds more than 500 scans");
}

}  // namespace
