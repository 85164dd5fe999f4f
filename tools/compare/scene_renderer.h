#pragma once

#include "app/camera_pose.h"
#include "raster/frame_state.h"
#include "raster/point_sink.h"
#include "scene/render_context.h"
#include "tools/imaging/image.h"
#include "tools/xsession/gl_surface.h"

// The viewer's scene, drawn offscreen through either path with the viewer's own frame
// code.
class SceneRenderer {
 public:
  SceneRenderer();

  // One frame through OpenGL or through the software pipeline, read back.
  Image draw(bool useOpenGL, const CameraPose& pose, int width, int height, bool mipmaps);

  // One frame as above, finished (glFinish) but not read back.
  void drawOnly(bool useOpenGL, const CameraPose& pose, int width, int height, bool mipmaps);

  // The software pipeline's own work for one frame: the points go to `points` and no
  // OpenGL call is made.
  void drawPipelineOnly(PointSink& points, const CameraPose& pose, int width, int height,
                        bool mipmaps);

 private:
  GlSurface surface_;
  RenderContext context_;
  FrameState pipelineOnly_;  // the software path's state when no point reaches OpenGL
};
