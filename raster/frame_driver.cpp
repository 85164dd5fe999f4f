#include "raster/frame_driver.h"

#include <GL/gl.h>

#include "glview/opengl_renderer.h"
#include "raster/opengl_points.h"
#include "raster/software_frame.h"

namespace {

FrameState& viewerFrame() {
  static FrameState frame = [] {
    FrameState state;
    state.points = &openGLPoints();
    return state;
  }();
  return frame;
}

}  // namespace

void renderFrame(RenderContext& context, int width, int height) {
  renderFrame(context, width, height, viewerFrame());
}

void renderFrame(const RenderContext& context, int width, int height, FrameState& frame) {
  if (context.useOpenGL) {
    renderWithOpenGL(context, width, height);
    return;
  }
  // The points need neither dithering nor smooth shading; without them llvmpipe takes
  // each point a little faster. The OpenGL path's state is put back afterwards.
  glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
  glDisable(GL_DITHER);
  glShadeModel(GL_FLAT);
  renderSoftwareFrame(context, width, height, frame);
  glPopAttrib();
}
