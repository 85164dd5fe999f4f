#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "math/vec4.h"

// The largest material library read.
inline constexpr std::size_t kLargestMtlFile = std::size_t(16) << 20;

// One material of an MTL library, as far as the renderers use it.
struct ObjMaterial {
  std::string name;
  Color diffuse{0, 0, 0, 1};   // Kd
  Color specular{0, 0, 0, 1};  // Ks
  double shininess = 1;        // Ns
  std::string texture;         // map_Kd's file, as written; empty for none
  std::string folder;          // of the library, where the texture is looked for first
  int ownTexture = -1;         // a picture the model file holds itself (glTF); -1 for none
};

// Reads the text of a material library, strictly: every number whole and finite; Kd, Ka
// and Ks take one value (grey) or three; names run to the end of the line. Throws
// SceneFileError naming the library, the line and the text at fault; what is not read
// (spectral colours, texture options) is said in `warnings`, once each.
std::vector<ObjMaterial> readMtlText(const std::string& path, std::string_view text,
                                     std::vector<std::string>& warnings);
