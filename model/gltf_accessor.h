#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "model/gltf_document.h"
#include "model/gltf_sources.h"
#include "model/model_budgets.h"
#include "model/scene_file_error.h"

// What one attribute or index list of a primitive must be: the accessor's element types
// and the component types it may have.
struct AccessorShape {
  const char* role;  // "POSITION", "indices", ... as messages name it
  std::initializer_list<const char*> types;
  std::initializer_list<int> componentTypes;
  // Whether integer components must be normalized (texture coordinates, colours) or must
  // not be (indices). Floats never are.
  bool normalizedIntegers = false;
};

// The accessors of a glTF file, each checked before a byte of it is read and decoded at
// most once, however many primitives and placements use it: a mesh placed at a thousand
// nodes is read once.
//
// Before anything is allocated, an accessor is checked to be in the file, of the shape
// asked, of at most kMostAccessorElements elements, and (where it has a buffer view) to
// have every element inside its view and its view inside its buffer; a sparse accessor's
// indices and values likewise, every index below its count and each above the one
// before. Every float read is checked for being finite. Faults throw SceneFileError
// naming the file, the accessor and the fault.
class GltfAccessors {
 public:
  GltfAccessors(const std::string& path, const GltfDocument& document, GltfSources& sources);

  // The accessor, checked against `shape`; nothing is read. Its `count` may then be
  // weighed against a budget before values() allocates for it.
  const GltfAccessor& check(int index, const AccessorShape& shape);

  // The accessor's numbers, element after element, as floats: floats as they are,
  // normalized integers divided by 255 or 65535 (glTF maps them to 0..1) and rounded to
  // float. An accessor without a buffer view holds zeros where no sparse value lands.
  const std::vector<float>& values(int index, const AccessorShape& shape);

  // An index list's numbers.
  const std::vector<std::uint32_t>& indices(int index, const AccessorShape& shape);

 private:
  template <typename T>
  std::vector<T> decoded(const GltfAccessor& accessor, const Refusal& refusal);
  // Where `count` elements of `size` bytes, `stride` apart, lie, once they are known to
  // lie inside their view and its buffer.
  const unsigned char* placed(const GltfPlace& place, std::uint64_t count, std::uint64_t size,
                              bool strided, const Refusal& refusal, std::uint64_t& stride);
  template <typename T>
  void applySparse(const GltfAccessor& accessor, std::vector<T>& values, const Refusal& refusal);

  const std::string& path_;
  const GltfDocument& document_;
  GltfSources& sources_;
  std::map<int, std::vector<float>> values_;
  std::map<int, std::vector<std::uint32_t>> indices_;
};
