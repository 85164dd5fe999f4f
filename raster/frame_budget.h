#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "raster/frame_state.h"

// What a frame costs, counted as it is drawn: every fragment a span walks, and every
// edge stepped from one scanline to the next or moved while the edges are sorted, each
// one step. A frame past its frame state's budget is given up before the span or
// scanline that would pass it.
class FrameTooCostly : public std::runtime_error {
 public:
  explicit FrameTooCostly(std::int64_t budget)
      : std::runtime_error("the frame would take more than " + std::to_string(budget) +
                           " steps (fragments, and edges stepped or sorted), the most one "
                           "frame may take") {}
};

// The most steps a frame of the companion programs may take: 64 for every pixel of the
// picture, and at least 33,554,432 for any size. Real models take a few steps a pixel:
// a torus of a million triangles 2.4 at 1920 x 1080 and 9.2 at 480 x 480, where its
// edges' steps outnumber its fragments; one of four million triangles, the most a
// model may have, about 8.5 million steps at 480 x 480. 64 a pixel is overdraw or edge
// work that only a file made to cost minutes asks for.
inline std::int64_t workBudgetFor(int width, int height) {
  constexpr std::int64_t kPerPixel = 64;
  constexpr std::int64_t kLeast = std::int64_t(1) << 25;
  const std::int64_t pixels = std::int64_t(width) * height;
  return pixels * kPerPixel > kLeast ? pixels * kPerPixel : kLeast;
}

// A band on several threads tells the others what it has taken every so many steps:
// often enough that bands filled side by side give up within a few of these of each
// other, seldom enough that telling costs nothing beside the steps.
constexpr std::int64_t kStepsBetweenTelling = 1 << 16;

// Tells the bands beside this one the steps it has taken since it last told them.
inline void tellWork(RowBand& band) {
  band.batchWork->fetch_add(band.work - band.toldWork, std::memory_order_relaxed);
  band.toldWork = band.work;
}

// Counts `steps` of a band against the frame's budget, where it has one: what the band
// has taken, with what earlier batches took and what the bands beside it have told,
// already more than the budget means the whole frame would be. Bands filled beside it
// only add to that, so whether a frame is refused does not depend on how many threads
// draw it; and a band gives up once the bands together have passed the budget, not
// after taking the whole budget alone.
inline void spendWork(const FrameState& frame, RowBand& band, std::int64_t steps) {
  band.work += steps;
  if (frame.workBudget <= 0) return;
  std::int64_t taken = band.work;
  if (band.batchWork != nullptr) {
    if (band.work - band.toldWork >= kStepsBetweenTelling) tellWork(band);
    taken = band.batchWork->load(std::memory_order_relaxed) + (band.work - band.toldWork);
  }
  if (frame.committedWork + taken > frame.workBudget) {
    if (band.batchWork != nullptr) tellWork(band);
    throw FrameTooCostly(frame.workBudget);
  }
}
