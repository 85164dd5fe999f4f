#include "scene/demo_scene.h"

void addRectangle(RenderContext& context, double width, double height) {
  context.begin();
  context.beginPolygon();
  context.normal(0, 0, 1);
  const float x0 = static_cast<float>(width * -0.5);
  const float x1 = static_cast<float>(width * 0.5);
  const float y0 = static_cast<float>(height * -0.5);
  const float y1 = static_cast<float>(height * 0.5);
  context.texCoord(0, 0);
  context.vertex(x0, y0, 0);
  context.texCoord(1, 0);
  context.vertex(x1, y0, 0);
  context.texCoord(1, 1);
  context.vertex(x1, y1, 0);
  context.texCoord(0, 1);
  context.vertex(x0, y1, 0);
}

namespace {

void addSquare(RenderContext& context, Texture& texture, float x, Color diffuse) {
  context.bindTexture(&texture, nullptr);
  context.modelStack.push();
  context.modelStack.translate(x, 0, 0);
  context.setMaterial(diffuse, Color::fromHSV(0, 0, 0, 1), 0);
  addRectangle(context, 1, 1);
  context.modelStack.pop();
}

}  // namespace

void addSceneLights(RenderContext& context) {
  context.setAmbient({0.4f, 0.4f, 0.4f, 1});
  context.addLight({100, 80, 50}, {0.8f, 0.8f, 0.8f, 1});
  context.addLight({-100, -80, -50}, {0.8f, 0.8f, 0.8f, 1});
}

void setupScene(RenderContext& context) {
  context.reset();
  context.lighting = false;
  context.flatShading = false;
  Texture& tiles = context.adoptTexture(Texture::makeTileTexture(256, 256));
  Texture& rings = context.adoptTexture(Texture::makeRingTexture(256, 256));
  addSceneLights(context);
  addSquare(context, tiles, -0.6f, Color::fromHSV(0.083f, 0.75f, 0.8f, 1));
  addSquare(context, rings, 0.6f, Color::fromHSV(0.125f, 0.7f, 0.8f, 1));
}
