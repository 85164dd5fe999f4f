// The libFuzzer entry: every input goes through drawModelBytes.
#include "tests/fuzz/model_scene_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  drawModelBytes(data, size);
  return 0;
}
