#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace tinygltf {
class Model;
}

// What one attribute or index list of a primitive must be: the accessor's element type
// (TINYGLTF_TYPE_SCALAR, _VEC2, _VEC3) and the component types it may have.
struct AccessorShape {
  const char* role;  // "POSITION", "indices", ... as messages name it
  int type;
  std::initializer_list<int> componentTypes;
  // Whether integer components must be normalized (texture coordinates) or must not be
  // (indices). Floats never are.
  bool normalizedIntegers = false;
};

// The most elements an accessor may have, and so the most vertices or indices of one
// primitive: a bound on what a small file may make the reader allocate.
inline constexpr std::size_t kMostAccessorElements = std::size_t(1) << 24;

// The numbers of accessor `index`, element after element, each as a double: floats as
// they are, integers as they are unless the accessor is normalized (then divided by
// 255 or 65535, as glTF maps them to 0..1). An accessor without a buffer view holds
// zeros.
//
// Everything is checked before a byte is read: the accessor is in the file, of the
// shape asked, not sparse, of at most kMostAccessorElements elements, and each element
// lies inside its buffer view, which lies inside its buffer; every float is finite.
// Throws SceneFileError naming `path`, the accessor and the fault.
std::vector<double> accessorValues(const tinygltf::Model& model, int index,
                                   const AccessorShape& shape, const std::string& path);
