#include "app/frame.h"

#include <GL/gl.h>

#include "app/view_setup.h"
#include "raster/frame_driver.h"

void drawFrame(RenderContext& context, const CameraPose& pose, int width, int height) {
  const float white[3] = {1, 1, 1};
  drawFrame(context, pose, width, height, white);
}

namespace {

// Clears the window and sets up the pixel-space projection and the view.
void beginFrame(RenderContext& context, const CameraPose& pose, int width, int height,
                const float background[3]) {
  glClearColor(background[0], background[1], background[2], 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, 0, -1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  setupView(context, width, height, pose);
}

}  // namespace

void drawFrame(RenderContext& context, const CameraPose& pose, int width, int height,
               const float background[3]) {
  beginFrame(context, pose, width, height, background);
  renderFrame(context, width, height);
}

void drawFrame(RenderContext& context, const CameraPose& pose, int width, int height,
               const float background[3], FrameState& frame) {
  beginFrame(context, pose, width, height, background);
  renderFrame(context, width, height, frame);
}
