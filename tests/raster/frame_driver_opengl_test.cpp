// The frame driver with the OpenGL path selected, in a window on the test's X server.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/view_setup.h"
#include "raster/frame_driver.h"
#include "raster/span_sink.h"
#include "raster/texture_levels.h"
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

// Where the points go can fail; a software frame that ends with an exception still puts
// back the OpenGL state it changed for its points.
TEST(FrameDriver, ASoftwareFrameThatThrowsPutsTheOpenGLStateBack) {
  struct FailingPoints final : SpanSink<FailingPoints> {
    void beginSpan() override {}
    void endSpan() override {}
    void point(int, int, Color) override { throw std::runtime_error("no room for a point"); }
  };
  ensureGlContext();
  RenderContext context;
  setupScene(context);
  prepareTextureLevels(context);
  context.useOpenGL = false;
  setupView(context, 64, 64, CameraPose{});
  FailingPoints points;
  FrameState state;
  state.points = &points;
  GLint before = -1;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &before);
  EXPECT_THROW(renderFrame(context, 64, 64, state), std::runtime_error);
  GLint after = -1;
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &after);
  EXPECT_EQ(after, before);
}

}  // namespace
