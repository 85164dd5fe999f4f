// The fuzz target's path in the ordinary test runs: every seed it starts from and every
// input that once made it crash is read, captured and drawn both ways, or refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/fuzz/obj_scene_target.h"

namespace {

namespace fs = std::filesystem;

int drawEveryFile(const fs::path& folder) {
  int files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    SCOPED_TRACE(entry.path().string());
    drawObjBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ++files;
  }
  return files;
}

TEST(ObjSceneFuzzTarget, DrawsOrRefusesEverySeedAndEveryInputThatOnceCrashedIt) {
  EXPECT_GT(drawEveryFile(QUADRELLE_SOURCE_DIR "/tests/data/models"), 0);
  drawEveryFile(QUADRELLE_SOURCE_DIR "/tests/fuzz/crashes");
}

}  // namespace
