#include "raster/frame_driver.h"

#include <GL/gl.h>

#include "glview/opengl_renderer.h"
#include "raster/opengl_points.h"
#include "raster/software_frame.h"

namespace {

// The points need neither dithering nor smooth shading; without them llvmpipe takes
// each point a little faster. The OpenGL path's state is put back afterwards, also when
// the software frame ends with an exception.
class PointState {
 public:
  PointState() {
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT);
    glDisable(GL_DITHER);
    glShadeModel(GL_FLAT);
  }
  ~PointState() { glPopAttrib(); }
  PointState(const PointState&) = delete;
  PointState& operator=(const PointState&) = delete;
};

FrameState& viewerFrame() {
  static FrameState frame = [] {
    FrameState state;
    state.points = &openGLPoints();
    return state;
  }();
  return frame;
}

}  // namespace

const FrameState& viewerFrameState() {
  return viewerFrame();
}

void renderFrame(RenderContext& context, int width, int height) {
  renderFrame(context, width, height, viewerFrame());
}

void renderFrame(const RenderContext& context, int width, int height, FrameState& frame) {
  if (context.useOpenGL) {
    renderWithOpenGL(context, width, height);
    return;
  }
  const PointState points;
  renderSoftwareFrame(context, width, height, frame);
}
