#pragma once

#include <memory>
#include <vector>

#include "math/matrix_stack.h"
#include "math/vec3.h"
#include "math/vec4.h"
#include "scene/texture.h"

// A directional light: the direction it shines from is that of `position`, given in
// the space of the captured vertices.
struct Light {
  Vec3 position;
  Color color;
};

// A captured corner, already moved by the modelling transform.
struct Vertex {
  Vec4 position;
  Vec3 normal;  // transformed but not renormalised
  float s = 0;
  float t = 0;
  // The vertex before this one on the polygon's closed outline: k - 1 for vertex k,
  // the last vertex for vertex 0.
  int previous = -1;
  // Its own colour, drawn in place of the mesh's diffuse colour where the mesh has
  // vertex colours (a model's; the built-in scene has none).
  Color color{1, 1, 1, 1};
};

struct Polygon {
  std::vector<Vertex> vertices;
};

// The polygons begun by one `begin`, with the material and textures of that moment.
struct Mesh {
  std::vector<Polygon> polygons;
  Color diffuse{0, 0, 0, 1};
  Color specular{0, 0, 0, 1};
  int shininess = 0;
  Texture* texture = nullptr;             // not owned
  Texture* environmentTexture = nullptr;  // not owned; the OpenGL view alone uses it
  // Whether each vertex's own colour stands in for `diffuse`, as glColor does with
  // GL_COLOR_MATERIAL.
  bool vertexColors = false;
  // Light the surface gives off itself, added to its colour lit or unlit; a model's
  // (glTF's emissive factor), none in the built-in scene.
  Color emission{0, 0, 0, 0};
};

// A colour with the light a surface gives off added, each channel clamped to [0, 1] as
// OpenGL clamps a colour it is given; the colour itself, unclamped, where nothing is
// given off.
inline Color withEmission(Color base, Color emission) {
  if (emission.x == 0 && emission.y == 0 && emission.z == 0) return base;
  const auto clamped = [](float v) { return v < 0 ? 0.0f : v > 1 ? 1.0f : v; };
  return {clamped(base.x + emission.x), clamped(base.y + emission.y), clamped(base.z + emission.z),
          base.w};
}

// Everything either renderer draws, and the drawing state through which the scene is
// described, in the manner of an immediate-mode interface.
class RenderContext {
 public:
  RenderContext();

  // Default flags and attributes, no meshes and no lights. Keeps `ambient`, the matrix
  // stacks and the textures.
  void reset();

  // Capture. Material and textures are copied into a mesh by `begin`; the normal,
  // texture coordinates and modelling transform into a vertex by `vertex`.
  void setAmbient(Color color);
  void addLight(Vec3 position, Color color);
  void setMaterial(Color diffuse, Color specular, int shininess);
  void bindTexture(Texture* texture, Texture* environmentTexture);
  // What the next `begin` takes besides the material: whether its vertices' own colours
  // stand in for the diffuse colour, and the light it gives off.
  void setVertexColors(bool on);
  void setEmission(Color emission);
  void normal(float x, float y, float z);
  void texCoord(float s, float t);
  void color(Color color);
  void begin();
  void beginPolygon();
  void vertex(float x, float y, float z);

  // Keeps a texture alive for as long as the context; the reference stays valid.
  Texture& adoptTexture(Texture texture);

  bool lighting = false;
  bool flatShading = false;
  bool useOpenGL = true;
  bool useMipmaps = true;
  Color ambient{0, 0, 0, 1};
  std::vector<Light> lights;
  std::vector<Mesh> meshes;
  MatrixStack viewStack;
  MatrixStack projectionStack;
  MatrixStack modelStack;

  Vec3 currentNormal{0, 0, 0};
  Color currentDiffuse{0, 0, 0, 1};
  Color currentSpecular{0, 0, 0, 1};
  int currentShininess = 0;
  Texture* currentTexture = nullptr;
  Texture* currentEnvironmentTexture = nullptr;
  float currentTexCoord[2] = {0, 0};
  Color currentColor{1, 1, 1, 1};
  bool currentVertexColors = false;
  Color currentEmission{0, 0, 0, 0};

  // Textures made for the scene; never released before the context.
  std::vector<std::unique_ptr<Texture>> textures;
};
