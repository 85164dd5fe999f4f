// The libFuzzer entry: every input goes through drawObjBytes.
#include "tests/fuzz/obj_scene_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  drawObjBytes(data, size);
  return 0;
}
