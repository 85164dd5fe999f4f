#pragma once

#include "app/camera_pose.h"
#include "raster/frame_state.h"
#include "scene/render_context.h"
#include "tools/compare/opengl_model.h"
#include "tools/imaging/agreement.h"
#include "tools/imaging/image.h"
#include "tools/xsession/gl_surface.h"

// A scene drawn offscreen through either path with the viewer's own frame code, its
// software frames on `threads` threads (the same picture from any number).
class SceneRenderer {
 public:
  // The context holds the scene, built and with its texture levels; it must outlive
  // the renderer.
  SceneRenderer(RenderContext& context, int threads);

  // Draws another scene from now on, in the same OpenGL context; its textures are
  // uploaded again as they are drawn.
  void use(RenderContext& context) { context_ = &context; }

  // One frame through OpenGL or through the software pipeline, read back, with the
  // pixels it covered: those whose depth was written, in OpenGL's depth buffer or in
  // the software pipeline's own, whatever their colour.
  struct Drawn {
    Image picture;
    Coverage covered;
  };
  Drawn draw(bool useOpenGL, const CameraPose& pose, int width, int height, bool mipmaps,
             Rgb background = {255, 255, 255});

  // Every level of mesh m's texture as OpenGL holds it, read back from OpenGL as 8-bit
  // colours (a grey level as red, green and blue alike); no levels for a mesh without a
  // texture, or before an OpenGL frame has uploaded it.
  TexelImages openglTexels(int mesh) const;

 private:
  GlSurface surface_;
  RenderContext* context_;
  FrameState software_;
};
