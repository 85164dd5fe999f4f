#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/mtl_file.h"

// The most corners a face may have. Scan conversion fills a polygon of any corner count,
// but a face of thousands is a file's mistake far more often than a shape.
inline constexpr int kMostCorners = 4096;
// The largest OBJ file read.
inline constexpr std::size_t kLargestObjFile = std::size_t(1) << 30;

// One corner of a face: where its position, texture coordinates and normal lie in the
// file's lists, counted from 0; -1 where the corner names none.
struct ObjCorner {
  long position = 0;
  long texCoord = -1;
  long normal = -1;
};

struct ObjFace {
  std::size_t firstCorner = 0;
  int cornerCount = 0;
  int material = -1;  // into ObjFile::materialNames; -1 for none
  long line = 0;
};

// What a Wavefront OBJ file holds (and what an STL or PLY file holds, in the same
// record, with one material or none, and a glTF file, with materials and pictures of its
// own), read strictly and checked: every number whole and
// finite, every face of 3 to kMostCorners corners that name only positions, texture
// coordinates and normals the file has. Faces keep all their corners: nothing is
// triangulated. Positions stay in double until the model is framed.
struct ObjFile {
  std::string path;
  std::vector<double> positions;  // x, y, z
  std::vector<float> texCoords;   // s, t
  std::vector<float> normals;     // x, y, z
  std::vector<ObjCorner> corners;
  std::vector<ObjFace> faces;
  std::vector<std::string> materialNames;  // as usemtl names them, in order of first use
  std::vector<std::string> libraries;      // as mtllib names them
  std::vector<ObjMaterial> materials;      // that the file holds itself (glTF), by name
  std::vector<std::string> textures;       // pictures it holds, as their files have them
};

// Reads the text of an OBJ file. Throws SceneFileError with one line naming the file,
// and the line and text at fault where there is one; what the file holds but is not
// drawn (lines, points, curves) is said in `warnings`, once each.
ObjFile readObjText(const std::string& path, std::string_view text,
                    std::vector<std::string>& warnings);
