#include "tools/compare/scene_renderer.h"

#include <GL/gl.h>

#include "app/frame.h"
#include "raster/depth_buffer.h"
#include "raster/frame_budget.h"
#include "raster/frame_driver.h"
#include "raster/opengl_points.h"

SceneRenderer::SceneRenderer(RenderContext& context, int threads)
    : surface_(480, 480), context_(&context) {
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
  context_->useOpenGL = useOpenGL;
  context_->useMipmaps = mipmaps;
  software_.workBudget = workBudgetFor(width, height);
  const float clear[3] = {background.r / 255.0f, background.g / 255.0f, background.b / 255.0f};
  drawFrame(*context_, pose, width, height, clear, software_);
  return {surface_.read(), useOpenGL ? Coverage(surface_.readDepthWritten())
                                     : softwareCoverage(software_, width, height)};
}

TexelImages SceneRenderer::openglTexels(int mesh) const {
  TexelImages images;
  const Mesh& m = context_->meshes[std::size_t(mesh)];
  if (m.texture == nullptr) return images;
  // Mesh m's texture is texture name m.
  glBindTexture(GL_TEXTURE_2D, GLuint(mesh));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int level = 0;; ++level) {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0) break;
    const bool grey = m.texture->components < 3;
    std::vector<std::uint8_t> bytes(std::size_t(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    TexelImage& image = images.levels.emplace_back();
    image.width = width;
    image.height = height;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      // A grey level reads back as red alone.
      image.texels.push_back(grey ? Rgb{bytes[i], bytes[i], bytes[i]}
                                  : Rgb{bytes[i], bytes[i + 1], bytes[i + 2]});
    }
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  return images;
}
