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
}

void clearDepthBuffer(FrameState& frame) {
  std::fill(frame.depthBuffer.begin(), frame.depthBuffer.end(), kEmptyDepth);
}
