#include "model/gltf_accessor.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "model/byte_order.h"
#include "model/scene_file_error.h"

namespace {

std::uint64_t sizeOf(int componentType) {
  switch (componentType) {
    case gltf::kUnsignedByte:
      return 1;
    case gltf::kUnsignedShort:
      return 2;
    default:  // unsigned int, float: only these are ever let through
      return 4;
  }
}

// One component as a double: a float as it is, an integer as it is unless normalized,
// then mapped from 0..255 or 0..65535 onto 0..1.
double component(const unsigned char* at, int componentType, bool normalized) {
  const int size = int(sizeOf(componentType));
  const std::uint64_t bits = numberAt(at, size);
  if (componentType == gltf::kFloat) return std::bit_cast<float>(std::uint32_t(bits));
  return normalized ? double(bits) / double((1u << (8 * size)) - 1) : double(bits);
}

// glTF's largest stride.
constexpr std::uint64_t kLargestStride = 252;

Refusal refusalFor(const std::string& path, const char* role, int index) {
  return Refusal(path + ": " + role + "'s accessor " + std::to_string(index) + " ");
}

}  // namespace

GltfAccessors::GltfAccessors(const std::string& path, const GltfDocument& document,
                             GltfSources& sources)
    : path_(path), document_(document), sources_(sources) {}

const GltfAccessor& GltfAccessors::check(int index, const AccessorShape& shape) {
  const Refusal refusal = refusalFor(path_, shape.role, index);
  refusal.require(index >= 0 && std::size_t(index) < document_.accessors.size(),
                  "is not in the file, which has " + std::to_string(document_.accessors.size()));
  const GltfAccessor& a = document_.accessors[std::size_t(index)];
  const auto& types = shape.types;
  const auto& components = shape.componentTypes;
  const bool typed = std::find_if(types.begin(), types.end(),
                                  [&](const char* t) { return a.type == t; }) != types.end();
  refusal.require(
      typed && std::find(components.begin(), components.end(), a.componentType) != components.end(),
      "is not of a type " + std::string(shape.role) + " may have");
  const bool isFloat = a.componentType == gltf::kFloat;
  refusal.require(a.normalized == (shape.normalizedIntegers && !isFloat),
                  a.normalized ? "is normalized, which " + std::string(shape.role) + " may not be"
                               : "has integers that are not normalized");
  refusal.require(a.count <= kMostAccessorElements,
                  "has " + std::to_string(a.count) + " elements, more than the " +
                      std::to_string(kMostAccessorElements) + " read");
  return a;
}

const std::vector<float>& GltfAccessors::values(int index, const AccessorShape& shape) {
  const GltfAccessor& a = check(index, shape);
  const auto known = values_.find(index);
  if (known != values_.end()) return known->second;
  return values_[index] = decoded<float>(a, refusalFor(path_, shape.role, index));
}

const std::vector<std::uint32_t>& GltfAccessors::indices(int index, const AccessorShape& shape) {
  const GltfAccessor& a = check(index, shape);
  const auto known = indices_.find(index);
  if (known != indices_.end()) return known->second;
  return indices_[index] = decoded<std::uint32_t>(a, refusalFor(path_, shape.role, index));
}

const unsigned char* GltfAccessors::placed(const GltfPlace& place, std::uint64_t count,
                                           std::uint64_t size, bool strided, const Refusal& refusal,
                                           std::uint64_t& stride) {
  const std::size_t views = document_.bufferViews.size();
  refusal.require(place.bufferView >= 0 && std::size_t(place.bufferView) < views,
                  "names buffer view " + std::to_string(place.bufferView) + ", but the file has " +
                      std::to_string(views));
  const GltfBufferView& view = document_.bufferViews[std::size_t(place.bufferView)];
  const std::string_view buffer = sources_.buffer(view.buffer);
  refusal.require(
      view.byteOffset <= buffer.size() && view.byteLength <= buffer.size() - view.byteOffset,
      "has a buffer view that reaches past its buffer's " + std::to_string(buffer.size()) +
          " bytes");
  stride = strided && view.byteStride != 0 ? view.byteStride : size;
  refusal.require(stride >= size && stride <= kLargestStride,
                  "has elements of " + std::to_string(size) + " bytes but a stride of " +
                      std::to_string(stride));
  refusal.require(place.byteOffset <= view.byteLength,
                  "starts past its buffer view's " + std::to_string(view.byteLength) + " bytes");
  // Each factor is small (a stride of at most 252, at most 2^24 elements), and the offset
  // lies inside a buffer: the sum cannot wrap.
  const std::uint64_t end = count == 0 ? 0 : place.byteOffset + stride * (count - 1) + size;
  refusal.require(end <= view.byteLength,
                  "reaches past its buffer view's " + std::to_string(view.byteLength) + " bytes");
  return reinterpret_cast<const unsigned char*>(buffer.data()) + view.byteOffset + place.byteOffset;
}

template <typename T>
std::vector<T> GltfAccessors::decoded(const GltfAccessor& a, const Refusal& refusal) {
  const std::uint64_t width = std::uint64_t(a.width);
  const std::uint64_t componentSize = sizeOf(a.componentType);
  const unsigned char* first = nullptr;
  std::uint64_t stride = 0;
  // Every element is known to lie inside the file before any is allocated for.
  if (a.place.bufferView >= 0 && a.count > 0) {
    first = placed(a.place, a.count, componentSize * width, true, refusal, stride);
  }
  std::vector<T> values(a.count * width);
  for (std::uint64_t e = 0; first != nullptr && e < a.count; ++e) {
    for (std::uint64_t c = 0; c < width; ++c) {
      const double v =
          component(first + e * stride + c * componentSize, a.componentType, a.normalized);
      if (!std::isfinite(v)) refusal.refuse("holds a number that is not finite");
      values[e * width + c] = T(v);
    }
  }
  if (a.sparse) applySparse(a, values, refusal);
  return values;
}

template <typename T>
void GltfAccessors::applySparse(const GltfAccessor& a, std::vector<T>& values,
                                const Refusal& refusal) {
  const GltfSparse& sparse = *a.sparse;
  refusal.require(sparse.count >= 1 && sparse.count <= a.count,
                  "is sparse with " + std::to_string(sparse.count) + " values, not 1 to its " +
                      std::to_string(a.count) + " elements");
  const int indexType = sparse.indexType;
  refusal.require(indexType == gltf::kUnsignedByte || indexType == gltf::kUnsignedShort ||
                      indexType == gltf::kUnsignedInt,
                  "is sparse with indices of a type glTF does not allow");
  const std::uint64_t width = std::uint64_t(a.width);
  const std::uint64_t componentSize = sizeOf(a.componentType);
  std::uint64_t stride = 0;
  const unsigned char* indices =
      placed(sparse.indices, sparse.count, sizeOf(indexType), false, refusal, stride);
  const unsigned char* replacing =
      placed(sparse.values, sparse.count, componentSize * width, false, refusal, stride);
  std::uint64_t previous = 0;
  for (std::uint64_t k = 0; k < sparse.count; ++k) {
    const std::uint64_t index = numberAt(indices + k * sizeOf(indexType), int(sizeOf(indexType)));
    refusal.require(index < a.count && (k == 0 || index > previous),
                    "is sparse with index " + std::to_string(index) +
                        (index < a.count ? ", not above the one before it"
                                         : ", past its " + std::to_string(a.count) + " elements"));
    previous = index;
    for (std::uint64_t c = 0; c < width; ++c) {
      const double v =
          component(replacing + (k * width + c) * componentSize, a.componentType, a.normalized);
      if (!std::isfinite(v)) refusal.refuse("holds a number that is not finite");
      values[index * width + c] = T(v);
    }
  }
}
