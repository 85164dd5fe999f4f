// The real viewer under rough use: window sizes from one pixel to beyond what the
// OpenGL driver can take, and a long run of random input, in both renderers.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "tests/support/viewer_session.h"

namespace {

// Waits until the X server reports the window at that size, for up to a minute: in the
// sanitizer build, with another test beside it, a viewer took more than ten seconds to
// take and shrink a window of 32767 pixels a side.
bool waitForSize(Window window, int width, int height) {
  XClient& x = XTestServer::client();
  for (int i = 0; i < 3000; ++i) {
    const XWindowAttributes a = x.attributes(window);
    if (a.width == width && a.height == height) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Waits until the window shows `picture` again: a frame at a large size can take the
// viewer seconds, and the frame at the size asked for comes after it.
bool showsAgain(ViewerSession& viewer, const Image& picture) {
  for (int i = 0; i < 600; ++i) {
    if (viewer.grab() == picture) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// To a single pixel, to a large window, and back: the picture at 480 x 480 is the one
// it was. Through OpenGL the large window is one no driver could draw into; the viewer
// shrinks it to the driver's limit (16,384 pixels a side on llvmpipe) and draws there.
// The software renderer would hand 30 million points to OpenGL at that size, for a
// minute; it goes to 4000 x 3000.
TEST(ViewerRobustness, SurvivesAnyWindowSizeInBothRenderers) {
  ViewerSession viewer;
  const Window window = viewer.window();
  XClient& x = XTestServer::client();
  for (const char* renderer : {"OpenGL", "software"}) {
    const bool openGL = renderer[0] == 'O';
    const Image before = viewer.grab();
    x.resize(window, 1, 1);
    ASSERT_TRUE(waitForSize(window, 1, 1));
    x.resize(window, openGL ? 32767 : 4000, openGL ? 32767 : 3000);
    EXPECT_TRUE(openGL ? waitForSize(window, 16384, 16384) : waitForSize(window, 4000, 3000))
        << renderer;
    x.resize(window, 480, 480);
    EXPECT_TRUE(showsAgain(viewer, before)) << renderer;
    ASSERT_TRUE(viewer.process().running()) << renderer;
    if (openGL) viewer.key("g");
  }
  EXPECT_EQ(viewer.process().standardOutput(), "") << "no OpenGL error";
}

// A seeded run of random input of every kind: keys bound and unbound, drags with either
// or both buttons and the renderer or the filtering toggled in the middle, bursts of
// wheel notches and resizes. The viewer must end on "q" with status 0, with nothing on
// standard output and, in the sanitizer build, no finding and no leak (which is where a
// leak is looked for: resident memory says more about the drivers than about the code).
TEST(ViewerRobustness, RandomInputSoakEndsCleanly) {
  ViewerSession viewer;
  XClient& x = XTestServer::client();
  const Window window = viewer.window();
  std::mt19937 random(20261207);
  auto below = [&](int n) { return int(random() % unsigned(n)); };
  const long framesBefore = viewer.process().frames();
  constexpr int kActions = 300;
  for (int action = 0; action < kActions; ++action) {
    switch (below(6)) {
      case 0: {
        // "a" and "g", and keys bound to nothing: "Q", "A", "G", "x", "1" and space.
        const std::pair<const char*, bool> keys[] = {{"a", false}, {"g", false},    {"q", true},
                                                     {"a", true},  {"g", true},     {"x", false},
                                                     {"1", false}, {"space", false}};
        const auto [key, shift] = keys[below(8)];
        x.key(window, key, shift);
        break;
      }
      case 1: {
        const int button = 1 + 2 * below(2);  // left or right
        x.moveTo(window, 100 + below(280), 100 + below(280));
        x.press(button);
        if (below(2) == 1) x.press(button == 1 ? 3 : 1);
        x.moveTo(window, 100 + below(280), 100 + below(280));
        if (below(3) == 0) x.key(window, below(2) == 1 ? "g" : "a");
        x.moveTo(window, 100 + below(280), 100 + below(280));
        x.release(1);
        x.release(3);
        break;
      }
      case 2:
        x.wheel(window, below(2) == 1, 1 + below(below(4) == 0 ? 200 : 10));
        break;
      case 3:
        x.resize(window, 1 + below(below(5) == 0 ? 4000 : 800),
                 1 + below(below(5) == 0 ? 3000 : 800));
        break;
      default:
        x.drag(window, 1, 240, 240, 240 + below(60) - 30, 240 + below(60) - 30);
        break;
    }
    ASSERT_TRUE(viewer.process().running()) << "after action " << action;
    viewer.process().settle(std::chrono::milliseconds(30));
  }
  viewer.process().settle();
  const long frames = viewer.process().frames() - framesBefore;
  // Back at the first size, in both renderers: what the soak leaves behind.
  x.resize(window, 480, 480);
  for (int i = 0; i < 2; ++i) {
    x.key(window, "g");
    viewer.process().settle();
  }
  EXPECT_GT(frames, kActions / 4);
  x.key(window, "q");
  EXPECT_EQ(viewer.process().waitForExit(std::chrono::seconds(60)), 0)
      << viewer.process().standardError();
  EXPECT_EQ(viewer.process().standardOutput(), "");
  EXPECT_EQ(viewer.process().standardError().find("Sanitizer"), std::string::npos)
      << viewer.process().standardError();
}

}  // namespace
