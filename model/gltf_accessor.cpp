#include "model/gltf_accessor.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "model/byte_order.h"
#include "model/scene_file_error.h"

namespace {

int widthOf(int type) {
  return type == TINYGLTF_TYPE_VEC2 ? 2 : type == TINYGLTF_TYPE_VEC3 ? 3 : 1;
}

std::size_t sizeOf(int componentType) {
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return 1;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return 2;
    default:  // unsigned int, float: only these are ever asked for
      return 4;
  }
}

double component(const unsigned char* at, int componentType, bool normalized) {
  const int size = int(sizeOf(componentType));
  const std::uint64_t bits = numberAt(at, size);
  if (componentType == TINYGLTF_COMPONENT_TYPE_FLOAT) {
    return std::bit_cast<float>(std::uint32_t(bits));
  }
  // Normalized integers map 0..255 or 0..65535 onto 0..1.
  return normalized ? double(bits) / double((1u << (8 * size)) - 1) : double(bits);
}

// Where the accessor's first element starts, and how far apart its elements lie, once
// every element is known to lie inside the buffer.
struct Layout {
  const unsigned char* first = nullptr;
  std::size_t stride = 0;
};

Layout layoutOf(const tinygltf::Model& model, const tinygltf::Accessor& accessor,
                std::size_t elementSize, const Refusal& check) {
  const auto views = model.bufferViews.size();
  check.require(accessor.bufferView >= 0 && std::size_t(accessor.bufferView) < views,
                "names buffer view " + std::to_string(accessor.bufferView) + ", but the file has " +
                    std::to_string(views));
  const tinygltf::BufferView& view = model.bufferViews[std::size_t(accessor.bufferView)];
  check.require(view.buffer >= 0 && std::size_t(view.buffer) < model.buffers.size(),
                "has a buffer view naming buffer " + std::to_string(view.buffer) +
                    ", which the file does not have");
  const std::size_t bufferSize = model.buffers[std::size_t(view.buffer)].data.size();
  check.require(
      view.byteOffset <= bufferSize && view.byteLength <= bufferSize - view.byteOffset,
      "has a buffer view that reaches past its buffer's " + std::to_string(bufferSize) + " bytes");
  const std::size_t stride = view.byteStride == 0 ? elementSize : view.byteStride;
  check.require(stride >= elementSize, "has elements of " + std::to_string(elementSize) +
                                           " bytes but a stride of " + std::to_string(stride));
  // Both factors are below 2^32 and 2^24, so the product fits in 64 bits.
  const std::uint64_t end = std::uint64_t(accessor.byteOffset) +
                            std::uint64_t(stride) * (accessor.count - 1) + elementSize;
  check.require(accessor.byteOffset <= view.byteLength && end <= view.byteLength,
                "reaches past its buffer view's " + std::to_string(view.byteLength) + " bytes");
  return {
      model.buffers[std::size_t(view.buffer)].data.data() + view.byteOffset + accessor.byteOffset,
      stride};
}

}  // namespace

std::vector<double> accessorValues(const tinygltf::Model& model, int index,
                                   const AccessorShape& shape, const std::string& path) {
  const Refusal check(path + ": " + shape.role + "'s accessor " + std::to_string(index) + " ");
  check.require(index >= 0 && std::size_t(index) < model.accessors.size(),
                "is not in the file, which has " + std::to_string(model.accessors.size()));
  const tinygltf::Accessor& accessor = model.accessors[std::size_t(index)];
  check.require(!accessor.sparse.isSparse, "is sparse, which is not read");
  const auto& types = shape.componentTypes;
  check.require(accessor.type == shape.type &&
                    std::find(types.begin(), types.end(), accessor.componentType) != types.end(),
                "is not of a type " + std::string(shape.role) + " may have");
  const bool isFloat = accessor.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT;
  check.require(accessor.normalized == (shape.normalizedIntegers && !isFloat),
                accessor.normalized
                    ? "is normalized, which " + std::string(shape.role) + " may not be"
                    : "has integers that are not normalized");
  check.require(accessor.count <= kMostAccessorElements,
                "has " + std::to_string(accessor.count) + " elements, more than the " +
                    std::to_string(kMostAccessorElements) + " read");
  const int width = widthOf(shape.type);
  std::vector<double> values(accessor.count * std::size_t(width));
  if (accessor.count == 0 || accessor.bufferView == -1) return values;
  const std::size_t componentSize = sizeOf(accessor.componentType);
  const Layout layout = layoutOf(model, accessor, componentSize * std::size_t(width), check);
  for (std::size_t e = 0; e < accessor.count; ++e) {
    const unsigned char* element = layout.first + e * layout.stride;
    for (int c = 0; c < width; ++c) {
      const double value = component(element + std::size_t(c) * componentSize,
                                     accessor.componentType, accessor.normalized);
      if (!std::isfinite(value)) check.refuse("holds a number that is not finite");
      values[e * std::size_t(width) + std::size_t(c)] = value;
    }
  }
  return values;
}
