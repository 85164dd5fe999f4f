#include "raster/depth_buffer.h"

#include <algorithm>
#include <cstdint>
#include <new>

void recreateDepthBuffer(FrameState& frame) {
  std::vector<float>().swap(frame.depthBuffer);
  const std::int64_t count = std::int64_t(frame.frameHeight) * frame.frameWidth;
  if (count < 0 || count * std::int64_t(sizeof(float)) > std::int64_t(UINT32_MAX)) {
    throw std::bad_alloc{};
  }
  frame.depthBuffer.resize(std::size_t(count));
  frame.depthWritten.assign(std::size_t(frame.frameHeight), {0, frame.frameWidth});
}

void clearDepthBuffer(FrameState& frame) {
  for (std::size_t y = 0; y < frame.depthWritten.size(); ++y) {
    WrittenColumns& row = frame.depthWritten[y];
    if (row.first >= row.end) continue;
    float* entries = frame.depthBuffer.data() + y * std::size_t(frame.frameWidth);
    std::fill(entries + row.first, entries + row.end, kEmptyDepth);
    row = {};
  }
}
