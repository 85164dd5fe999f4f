#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "math/vec4.h"

// The most corners a face may have. Scan conversion fills a polygon of any corner count,
// but a face of thousands is a file's mistake far more often than a shape.
inline constexpr int kMostCorners = 4096;

// One material of a model, from an MTL library or a glTF file, as far as the renderers
// use it; glTF's base colour factor is the diffuse colour and its base colour texture
// the texture.
struct ModelMaterial {
  std::string name;
  Color diffuse{0, 0, 0, 1};   // Kd
  Color specular{0, 0, 0, 1};  // Ks
  double shininess = 1;        // Ns
  std::string texture;         // map_Kd's file, as written; empty for none
  std::string folder;          // of the library, where the texture is looked for first
  int ownTexture = -1;         // a picture the model file holds itself (glTF); -1 for none
};

// One corner of a face: where its position, texture coordinates and normal lie in the
// file's lists, counted from 0; -1 where the corner names none.
struct MeshCorner {
  long position = 0;
  long texCoord = -1;
  long normal = -1;
};

struct MeshFace {
  std::size_t firstCorner = 0;
  int cornerCount = 0;
  int material = -1;  // into ModelMesh::materialNames; -1 for none
  long line = 0;
};

// What a model file holds, whatever its format: an OBJ file with its libraries' names,
// an STL or PLY file with one material or none, a glTF file with materials and pictures
// of its own. Read strictly and checked: every number whole and finite, every face of 3
// to kMostCorners corners that name only positions, texture coordinates and normals the
// file has. Faces keep all their corners: nothing is
// triangulated. Positions stay in double until the model is framed.
struct ModelMesh {
  std::string path;
  std::vector<double> positions;  // x, y, z
  std::vector<float> texCoords;   // s, t
  std::vector<float> normals;     // x, y, z
  std::vector<MeshCorner> corners;
  std::vector<MeshFace> faces;
  std::vector<std::string> materialNames;  // as usemtl names them, in order of first use
  std::vector<std::string> libraries;      // as mtllib names them
  std::vector<ModelMaterial> materials;    // that the file holds itself (glTF), by name
  std::vector<std::string> textures;       // pictures it holds, as their files have them
};
