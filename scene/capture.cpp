#include "math/precondition.h"
#include "scene/render_context.h"

void RenderContext::setAmbient(Color color) {
  ambient = color;
}

void RenderContext::addLight(Vec3 position, Color color) {
  lights.push_back({position, color});
}

void RenderContext::setMaterial(Color diffuse, Color specular, int shininess) {
  currentDiffuse = diffuse;
  currentSpecular = specular;
  currentShininess = shininess;
}

void RenderContext::bindTexture(Texture* texture, Texture* environmentTexture) {
  currentTexture = texture;
  currentEnvironmentTexture = environmentTexture;
}

void RenderContext::setVertexColors(bool on) {
  currentVertexColors = on;
}

void RenderContext::setEmission(Color emission) {
  currentEmission = emission;
}

void RenderContext::normal(float x, float y, float z) {
  currentNormal = {x, y, z};
  normalize(currentNormal);
}

void RenderContext::texCoord(float s, float t) {
  currentTexCoord[0] = s;
  currentTexCoord[1] = t;
}

void RenderContext::color(Color color) {
  currentColor = color;
}

void RenderContext::begin() {
  Mesh& mesh = meshes.emplace_back();
  mesh.diffuse = currentDiffuse;
  mesh.specular = currentSpecular;
  mesh.shininess = currentShininess;
  mesh.texture = currentTexture;
  mesh.environmentTexture = currentEnvironmentTexture;
  mesh.vertexColors = currentVertexColors;
  mesh.emission = currentEmission;
}

void RenderContext::beginPolygon() {
  requireThat(!meshes.empty(), "beginPolygon before any begin");
  meshes.back().polygons.emplace_back();
}

void RenderContext::vertex(float x, float y, float z) {
  requireThat(!meshes.empty() && !meshes.back().polygons.empty(), "vertex before any beginPolygon");
  const Vec4 position = modelStack.transform({x, y, z, 1});
  const Vec4 normal = modelStack.transform({currentNormal.x, currentNormal.y, currentNormal.z, 0});
  std::vector<Vertex>& vertices = meshes.back().polygons.back().vertices;
  const int k = static_cast<int>(vertices.size());
  vertices.push_back({position,
                      {normal.x, normal.y, normal.z},
                      currentTexCoord[0],
                      currentTexCoord[1],
                      k - 1,
                      currentColor});
  // The first vertex always links to the newest, which closes the outline.
  vertices.front().previous = k;
}
