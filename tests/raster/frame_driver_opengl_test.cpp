// The frame driver with the OpenGL path selected, in a window on the test's X server.
#include <gtest/gtest.h>

#include "app/view_setup.h"
#include "raster/frame_driver.h"
#include "scene/demo_scene.h"
#include "tests/support/gl_test_surface.h"
#include "tests/support/recording_points.h"

namespace {

TEST(FrameDriver, OpenGLFramesLeaveTheSoftwareStateAlone) {
  ensureGlContext();
  RenderContext context;
  setupScene(context);
  setupView(context, 480, 480, CameraPose{});
  RecordingPoints points;
  FrameState state;
  state.points = &points;
  renderFrame(context, 480, 480, state);
  EXPECT_EQ(state.frameWidth, 0);
  EXPECT_TRUE(state.depthBuffer.empty());
  EXPECT_TRUE(points.points.empty());
}

}  // namespace
