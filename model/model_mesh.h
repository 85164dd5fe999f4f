#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "math/vec4.h"
#include "model/model_budgets.h"
#include "scene/texture.h"

// How a material's texels are changed once decoded, in linear light: multiplied by
// `factor` and `emission` added, then clamped and encoded for display again. glTF's
// base colour factor multiplies its base colour texture, and its emissive factor adds
// to it; a texture without a tint is left as it is.
struct TexelTint {
  double factor[4] = {1, 1, 1, 1};
  double emission[3] = {0, 0, 0};
  bool changes() const {
    return factor[0] != 1 || factor[1] != 1 || factor[2] != 1 || factor[3] != 1 ||
           emission[0] != 0 || emission[1] != 0 || emission[2] != 0;
  }
};

// One material of a model, from an MTL library or a glTF file, as far as the renderers
// use it. Colours are display values, as pictures and textures hold them.
struct ModelMaterial {
  std::string name;
  Color diffuse{0, 0, 0, 1};   // Kd
  Color specular{0, 0, 0, 1};  // Ks
  Color emission{0, 0, 0, 0};  // glTF's emissive factor
  double shininess = 1;        // Ns
  std::string texture;         // map_Kd's file, as written; empty for none
  std::string folder;          // of the library, where the texture is looked for first
  int ownTexture = -1;         // a picture the model file holds itself (glTF); -1 for none
  TextureWrap wrapS = TextureWrap::Repeat;  // what the texture does past [0, 1]
  TextureWrap wrapT = TextureWrap::Repeat;
  TexelTint tint;
};

// One corner of a face: where its position, texture coordinates, normal and colour lie
// in the model's lists, counted from 0; -1 where the corner names none.
struct MeshCorner {
  std::int32_t position = 0;
  std::int32_t texCoord = -1;
  std::int32_t normal = -1;
  std::int32_t color = -1;
};

struct MeshFace {
  std::uint32_t firstCorner = 0;
  std::int32_t cornerCount = 0;
  std::int32_t material = -1;  // into ModelMesh::materialNames; -1 for none
  std::int32_t line = 0;       // of the file, or the face's number, for messages
};

// What a model file holds, whatever its format: an OBJ file with its libraries' names,
// an STL or PLY file with one material or none, a glTF file with materials and pictures
// of its own. Read strictly and checked: every number whole and finite, every face of 3
// to kMostCorners corners that name only positions, texture coordinates, normals and
// colours the file has, at most kMostModelCorners in all. Faces keep all their corners:
// nothing is triangulated. Positions stay in double until the model is framed.
struct ModelMesh {
  std::string path;
  std::vector<double> positions;  // x, y, z
  std::vector<float> texCoords;   // s, t
  std::vector<float> normals;     // x, y, z
  std::vector<float> colors;      // red, green, blue, alpha: display values
  std::vector<MeshCorner> corners;
  std::vector<MeshFace> faces;
  std::vector<std::string> materialNames;  // as usemtl names them, in order of first use
  std::vector<std::string> libraries;      // as mtllib names them
  std::vector<ModelMaterial> materials;    // that the file holds itself (glTF), by name
  std::vector<std::string> textures;       // pictures it holds, as their files have them
  long linesAndPoints = 0;                 // what the file holds but no renderer fills
  bool faceLinesAreLines = false;          // MeshFace::line a line of text (OBJ, ASCII STL)
};

// Throws SceneFileError, naming the file, where `more` corners would take the model past
// kMostModelCorners.
void requireRoomForCorners(const ModelMesh& mesh, std::int64_t more);

// Adds a face of `cornerCount` corners, whose corners are to follow at the end of
// `corners`. Throws SceneFileError, naming the file, where the model would then have
// more than kMostModelCorners corners: checked before the face is added.
void addFace(ModelMesh& mesh, int cornerCount, int material, long line);
