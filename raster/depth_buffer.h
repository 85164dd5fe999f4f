#pragma once

#include <algorithm>
#include <limits>
#include <vector>

#include "raster/frame_state.h"

// An empty depth-buffer entry: farther than any depth a fragment can have.
inline constexpr float kEmptyDepth = std::numeric_limits<float>::infinity();

// Releases the buffer and allocates one of frameWidth x frameHeight entries, left
// undefined until cleared. Throws std::bad_alloc when the size in bytes does not fit
// in 32 bits.
void recreateDepthBuffer(FrameState& frame);

// Every entry empty. Only the columns noted since the last clear are written: the rest
// are empty already.
void clearDepthBuffer(FrameState& frame);

// Notes that pixels first to end - 1 of row y may get a depth before the next clear.
inline void noteDepthWrites(FrameState& frame, int y, int first, int end) {
  if (first >= end) return;
  WrittenColumns& row = frame.depthWritten[y];
  if (row.first >= row.end) {
    row = {first, end};
  } else {
    row = {std::min(row.first, first), std::max(row.end, end)};
  }
}

// The depth test: a fragment is drawn when it is nearer than what the pixel holds, and
// its depth is stored. Of two fragments at the same depth the first one drawn stays;
// a depth that is not a number is never drawn.
inline bool passDepthTest(std::vector<float>& depthBuffer, int index, float z) {
  if (!(z < depthBuffer[index])) return false;
  depthBuffer[index] = z;
  return true;
}
