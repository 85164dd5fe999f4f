#pragma once

#include "tools/compare/explain.h"
#include "tools/compare/scene_renderer.h"

// OpenGL's own arithmetic, as --explain measures it before anything is explained: the
// largest difference between OpenGL and the model with every rule, at the pixels of
// three views of the viewer's scene that both pictures draw from one polygon (the
// initial view, mipmapping on and off, and 8 wheel notches closer). The tolerance is
// that, and never more than kMostTolerance, so that the tolerance cannot do the
// explaining.
struct OpenGLArithmetic {
  int measured = 0;
  long pixels = 0;
  int tolerance = 0;
};
inline constexpr int kMostTolerance = 3;

// What --explain needs beyond a comparison's two pictures: the textures as both
// renderers hold them, read once the first OpenGL frame has uploaded them, and OpenGL's
// arithmetic, measured once.
class Explainer {
 public:
  // `context` is the scene the renderer draws.
  Explainer(SceneRenderer& renderer, RenderContext& context);

  // Why the two pictures of `view` differ; `opengl` and `software` as drawn from the
  // context.
  Explanation explain(const ViewOptions& view, const SceneRenderer::Drawn& opengl,
                      const SceneRenderer::Drawn& software);
  const OpenGLArithmetic& arithmetic();

 private:
  void prepare();

  SceneRenderer& renderer_;
  RenderContext& context_;
  std::vector<MeshTexels> texels_;
  OpenGLArithmetic arithmetic_;
  bool prepared_ = false;
};

// The textures of `context` as both renderers hold them, once an OpenGL frame of it has
// been drawn.
std::vector<MeshTexels> meshTexelsOf(const SceneRenderer& renderer, const RenderContext& context);
