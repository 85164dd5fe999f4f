#include "tools/compare/scene_renderer.h"

#include "app/frame.h"

SceneRenderer::SceneRenderer(RenderContext& context) : surface_(480, 480), context_(context) {}

Image SceneRenderer::draw(bool useOpenGL, const CameraPose& pose, int width, int height,
                          bool mipmaps) {
  if (width != surface_.width() || height != surface_.height()) surface_.resize(width, height);
  context_.useOpenGL = useOpenGL;
  context_.useMipmaps = mipmaps;
  drawFrame(context_, pose, width, height);
  return surface_.read();
}
