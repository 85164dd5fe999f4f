// The fuzz target's path in the ordinary test runs: every seed it starts from and every
// input that once made it crash is read, captured and drawn both ways, or refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/model_scene_target.h"

namespace {

namespace fs = std::filesystem;

// Each file drawn or refused; returns how many textures they brought in all, and counts
// the files refused.
int drawEveryFile(const fs::path& folder, int& refused) {
  int textures = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    SCOPED_TRACE(entry.path().string());
    const int brought =
        drawModelBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    textures += std::max(0, brought);
    refused += brought < 0;
  }
  return textures;
}

TEST(ModelSceneFuzzTarget, DrawsOrRefusesEverySeedAndEveryInputThatOnceCrashedIt) {
  int refused = 0;
  drawEveryFile(QUADRELLE_SOURCE_DIR "/tests/data/models", refused);
  // The seeds reach every reader, OBJ, MTL, STL, PLY, glTF, GLB and the texture decoder, and the
  // textured ones bring one texture each, drawn through both fragment paths.
  refused = 0;
  EXPECT_EQ(drawEveryFile(QUADRELLE_SOURCE_DIR "/tests/fuzz/seeds", refused), 5);
  EXPECT_EQ(refused, 0);
  drawEveryFile(QUADRELLE_SOURCE_DIR "/tests/fuzz/crashes", refused);
}

}  // namespace
