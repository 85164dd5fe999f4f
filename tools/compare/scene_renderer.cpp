#include "tools/compare/scene_renderer.h"

#include "app/frame.h"
#include "raster/depth_buffer.h"
#include "raster/frame_budget.h"
#include "raster/frame_driver.h"

SceneRenderer::SceneRenderer(RenderContext& context) : surface_(480, 480), context_(context) {}

namespace {

// Pixels the software pipeline's last frame gave a depth, rows from the top.
Coverage softwareCoverage(int width, int height) {
  const FrameState& frame = viewerFrameState();
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
  limitViewerWork(workBudgetFor(width, height));
  const float clear[3] = {background.r / 255.0f, background.g / 255.0f, background.b / 255.0f};
  drawFrame(context_, pose, width, height, clear);
  return {surface_.read(),
          useOpenGL ? Coverage(surface_.readDepthWritten()) : softwareCoverage(width, height)};
}
