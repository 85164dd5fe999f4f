// Drawing allocates nothing once the first frame of a size has run: every list of the
// pipeline is kept from polygon to polygon and frame to frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>

#include "app/view_setup.h"
#include "app/viewer_scene.h"
#include "raster/software_frame.h"
#include "raster/span_sink.h"

namespace {

bool counting = false;
long allocations = 0;

}  // namespace

// Every allocation of this test program passes through here. GCC takes the free in a
// replaced operator delete for a mismatch with operator new; here they are one pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc{};
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

long allocationsDuring(const std::function<void()>& work) {
  allocations = 0;
  counting = true;
  work();
  counting = false;
  return allocations;
}

TEST(Allocation, FramesAfterTheFirstOfASizeAllocateNothing) {
  RenderContext context;
  buildViewerScene(context);
  context.useOpenGL = false;
  CountingPoints points;
  FrameState frame;
  frame.points = &points;
  CameraPose through;  // the squares cut by the near plane: clipping makes corners
  through.panX = -42;
  through.panY = 21;
  through.zoom = 12.25f;
  auto draw = [&](const CameraPose& pose, int width, int height) {
    setupView(context, width, height, pose);
    renderSoftwareFrame(context, width, height, frame);
  };
  draw(through, 480, 480);
  draw(CameraPose{}, 480, 480);
  EXPECT_EQ(allocationsDuring([&] { draw(CameraPose{}, 480, 480); }), 0);
  EXPECT_EQ(allocationsDuring([&] { draw(through, 480, 480); }), 0);
  context.useMipmaps = false;
  context.lighting = true;
  EXPECT_EQ(allocationsDuring([&] { draw(CameraPose{}, 480, 480); }), 0);
  EXPECT_GT(points.count, 0);
  EXPECT_EQ(allocationsDuring([&] { draw(CameraPose{}, 640, 480); }), 1) << "the depth buffer";
}

}  // namespace
