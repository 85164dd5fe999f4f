#include "tools/compare/scene_renderer.h"

#include "app/frame.h"
#include "app/viewer_scene.h"

SceneRenderer::SceneRenderer() : surface_(480, 480) {
  buildViewerScene(context_);
}

Image SceneRenderer::draw(bool useOpenGL, const CameraPose& pose, int width, int height,
                          bool mipmaps) {
  if (width != surface_.width() || height != surface_.height()) surface_.resize(width, height);
  context_.useOpenGL = useOpenGL;
  context_.useMipmaps = mipmaps;
  drawFrame(context_, pose, width, height);
  return surface_.read();
}
