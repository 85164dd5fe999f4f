#include "tools/compare/explainer.h"

#include <algorithm>

#include "app/viewer_scene.h"

std::vector<MeshTexels> meshTexelsOf(const SceneRenderer& renderer, const RenderContext& context) {
  std::vector<MeshTexels> texels;
  for (std::size_t m = 0; m < context.meshes.size(); ++m) {
    const Texture* texture = context.meshes[m].texture;
    texels.push_back(texture ? meshTexels(*texture, renderer.openglTexels(int(m))) : MeshTexels{});
  }
  return texels;
}

namespace {

ExplainInput inputFor(RenderContext& context, const ModelScene& scene, const ViewOptions& view,
                      const SceneRenderer::Drawn& opengl, const SceneRenderer::Drawn& software) {
  ExplainInput in;
  in.context = &context;
  in.scene = &scene;
  in.view = view;
  in.opengl = &opengl.picture;
  in.openglCovered = &opengl.covered;
  in.software = &software.picture;
  in.softwareCovered = &software.covered;
  return in;
}

ModelScene modelScene(const RenderContext& context, const std::vector<MeshTexels>& texels,
                      const ViewOptions& view) {
  ModelScene scene;
  scene.context = &context;
  scene.texels = &texels;
  scene.width = view.width;
  scene.height = view.height;
  scene.mipmaps = view.mipmaps;
  return scene;
}

// The viewer's scene drawn by both renderers, and the model's residual over the three
// views.
OpenGLArithmetic measureArithmetic(SceneRenderer& renderer) {
  RenderContext viewer;
  buildViewerScene(viewer);
  renderer.use(viewer);
  ViewOptions initial, unfiltered, closer;
  unfiltered.mipmaps = false;
  closer.pose.zoom = 8.25f;
  OpenGLArithmetic arithmetic;
  std::vector<MeshTexels> texels;
  for (const ViewOptions& view : {initial, unfiltered, closer}) {
    const SceneRenderer::Drawn software =
        renderer.draw(false, view.pose, view.width, view.height, view.mipmaps);
    const SceneRenderer::Drawn opengl =
        renderer.draw(true, view.pose, view.width, view.height, view.mipmaps);
    if (texels.empty()) texels = meshTexelsOf(renderer, viewer);
    const ModelScene scene = modelScene(viewer, texels, view);
    const ModelResidual residual = modelResidual(inputFor(viewer, scene, view, opengl, software));
    arithmetic.measured = std::max(arithmetic.measured, residual.largest);
    arithmetic.pixels += residual.pixels;
  }
  arithmetic.tolerance = std::min(arithmetic.measured, kMostTolerance);
  return arithmetic;
}

}  // namespace

Explainer::Explainer(SceneRenderer& renderer, RenderContext& context)
    : renderer_(renderer), context_(context) {}

void Explainer::prepare() {
  if (prepared_) return;
  prepared_ = true;
  // The scene's own textures first: measuring draws the viewer's scene, whose textures
  // take the same OpenGL names until the scene is drawn again.
  texels_ = meshTexelsOf(renderer_, context_);
  arithmetic_ = measureArithmetic(renderer_);
  renderer_.use(context_);
}

const OpenGLArithmetic& Explainer::arithmetic() {
  prepare();
  return arithmetic_;
}

Explanation Explainer::explain(const ViewOptions& view, const SceneRenderer::Drawn& opengl,
                               const SceneRenderer::Drawn& software) {
  prepare();
  const ModelScene scene = modelScene(context_, texels_, view);
  ExplainInput in = inputFor(context_, scene, view, opengl, software);
  in.tolerance = arithmetic_.tolerance;
  Explanation e = explainDifferences(in);
  e.measuredArithmetic = arithmetic_.measured;
  e.measuredPixels = arithmetic_.pixels;
  return e;
}
