#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The parts of a glTF 2.0 file that Quadrelle draws, as the JSON gives them, each field
// checked for its JSON type and, where it is an index, for not being negative. Whether
// an index names something the file has is checked where it is followed.

// glTF's component types and primitive modes, by the numbers the format gives them.
namespace gltf {
inline constexpr int kUnsignedByte = 5121;
inline constexpr int kUnsignedShort = 5123;
inline constexpr int kUnsignedInt = 5125;
inline constexpr int kFloat = 5126;

inline constexpr int kPoints = 0;
inline constexpr int kLineStrip = 3;
inline constexpr int kTriangles = 4;
inline constexpr int kTriangleStrip = 5;
inline constexpr int kTriangleFan = 6;

inline constexpr int kRepeat = 10497;
inline constexpr int kClampToEdge = 33071;
inline constexpr int kMirroredRepeat = 33648;
}  // namespace gltf

// Where a run of values lies: a buffer view and an offset into it.
struct GltfPlace {
  int bufferView = -1;  // -1: no view
  std::uint64_t byteOffset = 0;
};

struct GltfSparse {
  std::uint64_t count = 0;
  GltfPlace indices;
  int indexType = 0;  // a component type
  GltfPlace values;
};

struct GltfAccessor {
  GltfPlace place;
  int componentType = 0;
  bool normalized = false;
  std::uint64_t count = 0;
  int width = 0;  // components an element: 1 for SCALAR, 2 to 4 for VEC2 to VEC4; 0 else
  std::string type;
  std::optional<GltfSparse> sparse;
};

struct GltfBufferView {
  int buffer = -1;
  std::uint64_t byteOffset = 0;
  std::uint64_t byteLength = 0;
  std::uint64_t byteStride = 0;  // 0: elements packed
};

// Where a buffer's or a picture's bytes come from: a file beside the model, a data URI
// in the JSON (by its number, see GltfText), or the binary chunk of a GLB file.
struct GltfSource {
  std::string uri;   // percent-decoded; empty for none
  int dataUri = -1;  // the data URI's number; -1 for none
};

struct GltfBuffer {
  GltfSource source;
  std::uint64_t byteLength = 0;
};

struct GltfImage {
  GltfSource source;
  int bufferView = -1;
};

struct GltfTexture {
  int source = -1;  // an image; -1 where the texture has none in a format glTF defines
  int sampler = -1;
};

struct GltfSampler {
  int wrapS = gltf::kRepeat;
  int wrapT = gltf::kRepeat;
};

struct GltfTextureRef {
  int index = -1;
  int texCoord = 0;
};

struct GltfMaterial {
  std::array<double, 4> baseColorFactor{1, 1, 1, 1};
  GltfTextureRef baseColorTexture;
  std::array<double, 3> emissiveFactor{0, 0, 0};
};

struct GltfPrimitive {
  std::map<std::string, int> attributes;
  int indices = -1;
  int material = -1;
  int mode = gltf::kTriangles;
  bool hasTargets = false;
};

struct GltfMesh {
  std::vector<GltfPrimitive> primitives;
};

struct GltfNode {
  std::vector<int> children;
  int mesh = -1;
  bool hasSkin = false;
  std::vector<double> matrix;
  std::vector<double> translation;
  std::vector<double> rotation;
  std::vector<double> scale;
};

struct GltfScene {
  std::vector<int> nodes;
};

struct GltfDocument {
  int scene = -1;  // the default scene; -1 where the file names none
  std::vector<GltfScene> scenes;
  std::vector<GltfNode> nodes;
  std::vector<GltfMesh> meshes;
  std::vector<GltfAccessor> accessors;
  std::vector<GltfBufferView> bufferViews;
  std::vector<GltfBuffer> buffers;
  std::vector<GltfMaterial> materials;
  std::vector<GltfTexture> textures;
  std::vector<GltfSampler> samplers;
  std::vector<GltfImage> images;
  std::vector<std::string> extensionsUsed;
};

// The JSON of a glTF file, its data URIs taken out: each string value that starts with
// "data:" is replaced by a short one naming its number, and kept as a place in the
// file's bytes, decoded only when a buffer or a picture that is drawn needs it. A large
// embedded buffer is then never copied into the parsed JSON.
struct GltfText {
  std::string json;
  std::vector<std::string_view> dataUris;  // into the file's bytes, escapes and all
  std::string_view binaryChunk;            // a GLB file's BIN chunk; empty for none
};

// Splits a GLB container into its chunks, or takes JSON text as it is, and takes the
// data URIs out. Throws SceneFileError naming `path`: a GLB of another version or whose
// header disagrees with its size or its chunks, JSON larger than kLargestGltfJson.
GltfText splitGltf(const std::string& path, std::string_view bytes);

// Reads the JSON into the document. Throws SceneFileError naming `path` and the fault: a
// file of another glTF version (1.0 is named as such), one that requires an extension,
// JSON nested deeper than any glTF file needs, a field of the wrong type (named by its
// place, as in "meshes[0].primitives is not an array").
GltfDocument readGltfDocument(const std::string& path, const GltfText& text);

// The bytes of data URI `text`: "data:" with a media type and ";base64," before
// base64. Nothing, with the reason in `problem`, for another kind or for text that is
// not base64.
std::optional<std::string> decodeDataUri(std::string_view text, std::string& problem);
