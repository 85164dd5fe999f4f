#include "tools/compare/scene_renderer.h"

#include "app/frame.h"
#include "raster/depth_buffer.h"
#include "raster/frame_budget.h"
#include "raster/frame_driver.h"
#include "raster/opengl_points.h"

SceneRenderer::SceneRenderer(RenderContext& context, int threads)
    : surface_(480, 480), context_(context) {
  software_.points = &bandedOpenGLPoints();
  software_.threads = threads;
}

namespace {

// Pixels the software pipeline's last frame gave a depth, rows from the top.
Coverage softwareCoverage(const FrameState& frame, int width, int height) {
  Coverage covered(std::size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float depth = frame.depthBuffer[std::size_t(y) * width + x];
      covered[std::size_t(height - 1 - y) * width + x] = depth != kEmptyDepth;
    }
  }
  return covered;
}

}  // namespace

SceneRenderer::Drawn SceneRenderer::draw(bool useOpenGL, const CameraPose& pose, int width,
                                         int height, bool mipmaps, Rgb background) {
  if (width != surface_.width() || height != surface_.height()) surface_.resize(width, height);
  context_.useOpenGL = useOpenGL;
  context_.useMipmaps = mipmaps;
  software_.workBudget = workBudgetFor(width, height);
  const float clear[3] = {background.r / 255.0f, background.g / 255.0f, background.b / 255.0f};
  drawFrame(context_, pose, width, height, clear, software_);
  return {surface_.read(), useOpenGL ? Coverage(surface_.readDepthWritten())
                                     : softwareCoverage(software_, width, height)};
}
