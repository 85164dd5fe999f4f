// The real viewer in a real X server: window, first frame, keys and mouse, read back
// through the X server and driven with synthetic input.
#include <gtest/gtest.h>

#include <thread>

#include "tests/support/image_checks.h"
#include "tests/support/viewer_session.h"

namespace {

constexpr Rgb kRingLight{204, 168, 61};
constexpr Rgb kRingDark{153, 126, 46};

// The label sits 10 pixels from the lower-left corner, Helvetica 18.
int labelPixels(const Image& image) {
  return countNear(image, kBlack, 40, 0, 0, 340, 40);
}

TEST(Viewer, OpensItsWindowWithTitleAndSize) {
  ViewerSession viewer;
  XClient& x = XTestServer::client();
  EXPECT_EQ(x.title(viewer.window()), "Quadrelle");
  const XWindowAttributes attributes = x.attributes(viewer.window());
  EXPECT_EQ(attributes.width, 480);
  EXPECT_EQ(attributes.height, 480);
  EXPECT_GE(attributes.depth, 24);
}

TEST(Viewer, FirstFrameShowsBothTexturedSquaresAndTheLabelOnWhite) {
  ViewerSession viewer;
  const Image frame = viewer.grab();
  // Corners away from the squares and the label are the white clear.
  EXPECT_EQ(frame.atGl(479, 479), kWhite);
  EXPECT_EQ(frame.atGl(0, 479), kWhite);
  EXPECT_EQ(frame.atGl(479, 0), kWhite);
  EXPECT_GT(labelPixels(frame), 300);
  EXPECT_EQ(countNear(frame, kBlack, 40, 0, 60, 480, 480), 0) << "black only in the label band";
  EXPECT_GT(countNear(frame, kTile, 3), 5000);
  EXPECT_GT(countNear(frame, kRingLight, 3), 3000);
  EXPECT_GT(countNear(frame, kRingDark, 3), 1000);
  EXPECT_EQ(viewer.process().standardOutput(), "") << "no OpenGL error was reported";
}

TEST(Viewer, MipmapKeyChangesTheMinifiedFarParts) {
  ViewerSession viewer;
  const Image mipmapped = viewer.grab();
  EXPECT_EQ(viewer.key("a"), 1);
  const Image nearest = viewer.grab();
  // The tile square is the farther one, in the upper half of the window.
  EXPECT_GT(countDifferent(mipmapped, nearest, 240, 480), 2000);
  EXPECT_EQ(viewer.key("a"), 1);
  EXPECT_EQ(viewer.grab(), mipmapped);
}

TEST(Viewer, RendererKeyTogglesAndTwoPressesReturn) {
  ViewerSession viewer;
  const Image opengl = viewer.grab();
  EXPECT_EQ(viewer.key("g"), 1);
  EXPECT_EQ(labelPixels(viewer.grab()), 0) << "the software picture has no label";
  EXPECT_EQ(viewer.key("g"), 1);
  EXPECT_EQ(viewer.grab(), opengl);
  EXPECT_EQ(viewer.process().standardOutput(), "");
}

TEST(Viewer, LeftDragRotatesAndRightDragPans) {
  ViewerSession viewer;
  const Image before = viewer.grab();
  viewer.framesDrawnBy([](XClient& x, Window w) { x.drag(w, 1, 200, 200, 260, 230); });
  const Image rotated = viewer.grab();
  EXPECT_GT(countDifferent(before, rotated), 10000);
  viewer.framesDrawnBy([](XClient& x, Window w) { x.drag(w, 3, 200, 200, 300, 200); });
  const Image panned = viewer.grab();
  EXPECT_GT(countDifferent(rotated, panned), 10000);
}

TEST(Viewer, WheelBringsTheSceneCloser) {
  ViewerSession viewer;
  const int coveredBefore = 480 * 480 - countNear(viewer.grab(), kWhite, 0);
  viewer.framesDrawnBy([](XClient& x, Window w) { x.wheel(w, true, 2); });
  const int coveredAfter = 480 * 480 - countNear(viewer.grab(), kWhite, 0);
  EXPECT_GT(coveredAfter, coveredBefore * 3 / 2);
}

TEST(Viewer, DrawsNothingWhileIdle) {
  ViewerSession viewer;
  const long frames = viewer.process().frames();
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  EXPECT_EQ(viewer.process().frames(), frames);
}

TEST(Viewer, UnboundKeysChangeNothingAndDrawNoFrame) {
  ViewerSession viewer;
  const Image before = viewer.grab();
  const long frames = viewer.process().settle();
  XClient& x = XTestServer::client();
  for (const auto& [keysym, shift] : std::initializer_list<std::pair<const char*, bool>>{
           {"a", true}, {"g", true}, {"q", true}, {"x", false}, {"space", false}, {"1", false}}) {
    x.key(viewer.window(), keysym, shift);
  }
  EXPECT_EQ(viewer.process().settle(std::chrono::milliseconds(800)), frames);
  EXPECT_TRUE(viewer.process().running());
  EXPECT_EQ(viewer.grab(), before);
  EXPECT_EQ(viewer.key("g"), 1) << "a bound key still draws";
}

TEST(Viewer, QuitsWithStatusZeroOnQAndEscape) {
  for (const char* keysym : {"q", "Escape"}) {
    ViewerSession viewer;
    XTestServer::client().key(viewer.window(), keysym);
    EXPECT_EQ(viewer.process().waitForExit(), 0) << keysym;
  }
}

}  // namespace
