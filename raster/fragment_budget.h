#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "raster/frame_state.h"

// A frame would draw more fragments than its frame state's budget allows. Thrown before
// the span that would pass it draws anything.
class FrameTooCostly : public std::runtime_error {
 public:
  explicit FrameTooCostly(std::int64_t budget)
      : std::runtime_error("the frame would take more than " + std::to_string(budget) +
                           " fragments, the most one frame may take; nothing was drawn") {}
};

// The most fragments a frame of the companion programs may take: 64 for every pixel of
// the picture on average, and 16,777,216 for any size. Real models draw a few fragments
// a pixel where they cover it, closed ones about twice their covered pixels; 64 is
// overdraw that only a file made to cost minutes asks for.
inline std::int64_t fragmentBudgetFor(int width, int height) {
  constexpr std::int64_t kPerPixel = 64;
  constexpr std::int64_t kLeast = std::int64_t(1) << 24;
  const std::int64_t pixels = std::int64_t(width) * height;
  return pixels * kPerPixel > kLeast ? pixels * kPerPixel : kLeast;
}

// Counts the fragments of a span of columns first to end - 1 against the frame's
// budget, where it has one.
inline void spendFragments(FrameState& frame, int first, int end) {
  if (end <= first) return;
  frame.fragments += end - first;
  if (frame.fragmentBudget > 0 && frame.fragments > frame.fragmentBudget) {
    throw FrameTooCostly(frame.fragmentBudget);
  }
}
