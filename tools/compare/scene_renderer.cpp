#include "tools/compare/scene_renderer.h"

#include <GL/gl.h>

#include "app/frame.h"
#include "app/view_setup.h"
#include "raster/frame_driver.h"
#include "raster/texture_levels.h"
#include "scene/demo_scene.h"

SceneRenderer::SceneRenderer() : surface_(480, 480) {
  setupScene(context_);
  prepareTextureLevels(context_);
}

void SceneRenderer::drawOnly(bool useOpenGL, const CameraPose& pose, int width, int height,
                             bool mipmaps) {
  if (width != surface_.width() || height != surface_.height()) surface_.resize(width, height);
  context_.useOpenGL = useOpenGL;
  context_.useMipmaps = mipmaps;
  drawFrame(context_, pose, width, height);
  glFinish();
}

Image SceneRenderer::draw(bool useOpenGL, const CameraPose& pose, int width, int height,
                          bool mipmaps) {
  drawOnly(useOpenGL, pose, width, height, mipmaps);
  return surface_.read();
}

void SceneRenderer::drawPipelineOnly(PointSink& points, const CameraPose& pose, int width,
                                     int height, bool mipmaps) {
  pipelineOnly_.points = &points;
  context_.useOpenGL = false;
  context_.useMipmaps = mipmaps;
  setupView(context_, width, height, pose);
  renderFrame(context_, width, height, pipelineOnly_);
}
