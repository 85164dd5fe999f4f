#include "scene/render_context.h"

RenderContext::RenderContext() {
  reset();
}

void RenderContext::reset() {
  lighting = false;
  flatShading = false;
  useOpenGL = true;
  useMipmaps = true;
  meshes.clear();
  lights.clear();
  currentNormal = {0, 0, 1};
  currentDiffuse = {1, 1, 1, 1};
  currentSpecular = {0, 0, 0, 1};
  currentTexCoord[0] = 0;
  currentTexCoord[1] = 0;
  currentShininess = 0;
  currentTexture = nullptr;
  currentEnvironmentTexture = nullptr;
  currentColor = {1, 1, 1, 1};
  currentVertexColors = false;
  currentEmission = {0, 0, 0, 0};
}

Texture& RenderContext::adoptTexture(Texture texture) {
  textures.push_back(std::make_unique<Texture>(std::move(texture)));
  return *textures.back();
}
