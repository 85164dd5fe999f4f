#include "model/gltf_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>

#include "model/display_colors.h"
#include "model/gltf_accessor.h"
#include "model/gltf_document.h"
#include "model/gltf_materials.h"
#include "model/gltf_placement.h"
#include "model/gltf_sources.h"
#include "model/model_files.h"
#include "model/model_text.h"
#include "model/scene_file_error.h"
#include "model/warnings.h"

namespace {

const AccessorShape kPositions{"POSITION", {"VEC3"}, {gltf::kFloat}};
const AccessorShape kNormals{"NORMAL", {"VEC3"}, {gltf::kFloat}};
const AccessorShape kTexCoords{
    "TEXCOORD", {"VEC2"}, {gltf::kFloat, gltf::kUnsignedByte, gltf::kUnsignedShort}, true};
const AccessorShape kColors{
    "COLOR_0", {"VEC3", "VEC4"}, {gltf::kFloat, gltf::kUnsignedByte, gltf::kUnsignedShort}, true};
const AccessorShape kIndices{
    "indices", {"SCALAR"}, {gltf::kUnsignedByte, gltf::kUnsignedShort, gltf::kUnsignedInt}};

using Triangle = std::array<std::uint32_t, 3>;

// The triangles of `count` indices in the order glTF draws them, index i being
// `indexAt(i)`; one with a repeated vertex (a strip's join) covers nothing and is left
// out.
template <typename IndexAt>
std::vector<Triangle> trianglesOf(std::size_t count, int mode, IndexAt indexAt) {
  std::vector<Triangle> out;
  const auto add = [&](std::size_t a, std::size_t b, std::size_t c) {
    const Triangle t{indexAt(a), indexAt(b), indexAt(c)};
    if (t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) out.push_back(t);
  };
  for (std::size_t i = 0; i + 2 < count; i += mode == gltf::kTriangles ? 3 : 1) {
    if (mode == gltf::kTriangles) add(i, i + 1, i + 2);
    if (mode == gltf::kTriangleStrip) add(i + i % 2, i + 1 - i % 2, i + 2);
    if (mode == gltf::kTriangleFan) add(i + 1, i + 2, 0);
  }
  return out;
}

// What a primitive brings wherever it is placed, worked out at its first placement: its
// triangles, and where its texture coordinates and colours, the same at every
// placement, lie in the model's lists.
struct PrimitiveParts {
  int material = -1;
  std::size_t vertices = 0;
  std::uint64_t indices = 0;  // read at each placement: its work, whether kept or not
  std::vector<Triangle> triangles;
  long texCoords = -1;  // the first vertex's, or -1 for none
  long colors = -1;
  bool normals = false;
};

// The scene's nodes, each walked once, their meshes' triangles gathered into one record.
class MeshGathering {
 public:
  MeshGathering(const std::string& path, const GltfDocument& document, GltfSources& sources,
                std::vector<std::string>& warnings)
      : path_(path),
        document_(document),
        accessors_(path, document, sources),
        materials_(path, document, sources, mesh_, warnings),
        refusal_(path + ": "),
        warnings_(warnings) {
    mesh_.path = path;
  }

  ModelMesh gather() {
    std::vector<char> reached(document_.nodes.size(), 0);
    for (int root : roots())
      walk(root, reached);
    return std::move(mesh_);
  }

 private:
  // The nodes under `root` and it, depth first in the file's order: the last pushed is
  // walked first.
  void walk(int root, std::vector<char>& reached) {
    std::vector<std::pair<int, Placement>> waiting = {{root, Placement{}}};
    while (!waiting.empty()) {
      const auto [index, parent] = waiting.back();
      waiting.pop_back();
      refusal_.require(!reached[std::size_t(index)],
                       "node " + std::to_string(index) +
                           " is reached twice: the nodes form a cycle, or a node has two parents");
      reached[std::size_t(index)] = 1;
      const GltfNode& node = document_.nodes[std::size_t(index)];
      const Placement placement = parent * localPlacement(node, index, path_);
      if (node.mesh != -1) addMesh(node.mesh, placement);
      if (node.hasSkin) warnOnce(warnings_, path_ + ": skins are not applied");
      for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
        refusal_.requireIndex(*child, document_.nodes.size(),
                              "node " + std::to_string(index) + " has child node");
        waiting.push_back({*child, placement});
      }
    }
  }

  // The default scene's nodes; without scenes, every node that is no node's child.
  std::vector<int> roots() const {
    if (!document_.scenes.empty()) {
      const int scene = document_.scene == -1 ? 0 : document_.scene;
      refusal_.requireIndex(scene, document_.scenes.size(), "the default scene is scene");
      for (int node : document_.scenes[std::size_t(scene)].nodes)
        refusal_.requireIndex(node, document_.nodes.size(), "the scene names node");
      return document_.scenes[std::size_t(scene)].nodes;
    }
    std::vector<char> isChild(document_.nodes.size(), 0);
    for (const GltfNode& node : document_.nodes)
      for (int child : node.children)
        if (std::size_t(child) < isChild.size()) isChild[std::size_t(child)] = 1;
    std::vector<int> out;
    for (std::size_t i = 0; i < isChild.size(); ++i)
      if (!isChild[i]) out.push_back(int(i));
    refusal_.require(!out.empty() || document_.nodes.empty(),
                     "every node is some node's child: the nodes form a cycle");
    return out;
  }

  void addMesh(int index, const Placement& placement) {
    refusal_.requireIndex(index, document_.meshes.size(), "a node names mesh");
    const std::vector<GltfPrimitive>& primitives = document_.meshes[std::size_t(index)].primitives;
    for (std::size_t p = 0; p < primitives.size(); ++p)
      addPrimitive(index, int(p), primitives[p], placement);
  }

  void addPrimitive(int mesh, int index, const GltfPrimitive& primitive,
                    const Placement& placement) {
    const int mode = primitive.mode;
    if (mode >= gltf::kPoints && mode <= gltf::kLineStrip) {
      ++mesh_.linesAndPoints;
      warnOnce(warnings_, path_ + ": points and lines are not drawn");
      return;
    }
    refusal_.require(mode >= gltf::kTriangles && mode <= gltf::kTriangleFan,
                     "a primitive has mode " + std::to_string(mode) + ", which glTF does not have");
    if (!primitive.attributes.count("POSITION")) {
      warnOnce(warnings_, path_ + ": a primitive without POSITION is not drawn");
      return;
    }
    if (primitive.hasTargets) warnOnce(warnings_, path_ + ": morph targets are not applied");
    const auto [at, first] = parts_.try_emplace({mesh, index});
    if (first) at->second = partsOf(primitive);
    const PrimitiveParts& parts = at->second;
    spend(parts);
    addVertices(primitive, parts, placement);
    addTriangles(parts, placement.mirrors());
  }

  // Refuses a placement of `vertices` and `indices` more that would pass a budget.
  void requireRoomFor(std::uint64_t vertices, std::uint64_t indices) const {
    refusal_.require(verticesPlaced_ + vertices <= kMostGltfVertices,
                     "too large: its scene places more than " + std::to_string(kMostGltfVertices) +
                         " vertices, the most a glTF model may have");
    refusal_.require(indicesRead_ + indices <= std::uint64_t(kMostModelCorners),
                     "too large: its scene reads more than " + std::to_string(kMostModelCorners) +
                         " indices, the most a model may have");
  }

  // Charged at every placement, before anything is placed.
  void spend(const PrimitiveParts& parts) {
    requireRoomFor(parts.vertices, parts.indices);
    verticesPlaced_ += parts.vertices;
    indicesRead_ += parts.indices;
  }

  PrimitiveParts partsOf(const GltfPrimitive& primitive) {
    PrimitiveParts parts;
    parts.material = materials_.slot(primitive.material, primitive);
    const int positions = primitive.attributes.at("POSITION");
    parts.vertices = accessors_.check(positions, kPositions).count;
    parts.indices = primitive.indices == -1 ? parts.vertices
                                            : accessors_.check(primitive.indices, kIndices).count;
    requireRoomFor(parts.vertices, parts.indices);  // before any of it is decoded
    parts.normals = sameCount(primitive, "NORMAL", kNormals, parts.vertices);
    parts.triangles = triangles(primitive, parts.vertices);
    parts.texCoords = texCoordsOf(primitive, parts);
    parts.colors = colorsOf(primitive, parts);
    return parts;
  }

  // Whether the primitive has the attribute, which must then have one element a vertex.
  bool sameCount(const GltfPrimitive& primitive, const std::string& name,
                 const AccessorShape& shape, std::size_t vertices) {
    const auto found = primitive.attributes.find(name);
    if (found == primitive.attributes.end()) return false;
    const std::uint64_t count = accessors_.check(found->second, shape).count;
    refusal_.require(count == vertices, name + " has " + std::to_string(count) +
                                            " elements, POSITION " + std::to_string(vertices));
    return true;
  }

  std::vector<Triangle> triangles(const GltfPrimitive& primitive, std::size_t vertices) {
    const int mode = primitive.mode;
    if (primitive.indices == -1) {
      refusal_.require(mode != gltf::kTriangles || vertices % 3 == 0,
                       "a primitive of triangles has " + std::to_string(vertices) +
                           " vertices, not a multiple of 3");
      return trianglesOf(vertices, mode, [](std::size_t i) { return std::uint32_t(i); });
    }
    const std::vector<std::uint32_t>& indices = accessors_.indices(primitive.indices, kIndices);
    refusal_.require(mode != gltf::kTriangles || indices.size() % 3 == 0,
                     "a primitive of triangles has " + std::to_string(indices.size()) +
                         " indices, not a multiple of 3");
    const auto largest = std::max_element(indices.begin(), indices.end());
    if (largest != indices.end() && *largest >= vertices) {
      refusal_.refuse("a primitive's index " + std::to_string(*largest) + " is past its " +
                      std::to_string(vertices) + " vertices");
    }
    return trianglesOf(indices.size(), mode, [&](std::size_t i) { return indices[i]; });
  }

  // glTF's v runs down the picture, t up it. Stored once, whatever the placements.
  long texCoordsOf(const GltfPrimitive& primitive, const PrimitiveParts& parts) {
    const int set = materials_.texCoordSet(parts.material);
    if (set < 0) return -1;
    const std::string name = "TEXCOORD_" + std::to_string(set);
    if (!sameCount(primitive, name, kTexCoords, parts.vertices)) return -1;
    const std::vector<float>& uv = accessors_.values(primitive.attributes.at(name), kTexCoords);
    const long first = long(mesh_.texCoords.size() / 2);
    for (std::size_t i = 0; i < uv.size(); i += 2) {
      mesh_.texCoords.push_back(uv[i]);
      mesh_.texCoords.push_back(float(1 - double(uv[i + 1])));
    }
    return first;
  }

  // COLOR_0 times the base colour factor, linear as glTF gives both, as display values.
  long colorsOf(const GltfPrimitive& primitive, const PrimitiveParts& parts) {
    if (!sameCount(primitive, "COLOR_0", kColors, parts.vertices)) return -1;
    if (materials_.texCoordSet(parts.material) >= 0) {
      warnOnce(warnings_, path_ +
                              ": COLOR_0 under a texture is not drawn: the texture's colour "
                              "replaces it");
      return -1;
    }
    const int accessor = primitive.attributes.at("COLOR_0");
    const std::vector<float>& c = accessors_.values(accessor, kColors);
    const std::size_t width = std::size_t(document_.accessors[std::size_t(accessor)].width);
    std::array<double, 4> factor{1, 1, 1, 1};
    if (parts.material >= 0) factor = materials_.source(parts.material).baseColorFactor;
    const long first = long(mesh_.colors.size() / 4);
    for (std::size_t v = 0; v < parts.vertices; ++v) {
      for (std::size_t k = 0; k < 3; ++k)
        mesh_.colors.push_back(float(displayValue(factor[k] * c[v * width + k])));
      mesh_.colors.push_back(float(factor[3] * (width == 4 ? c[v * width + 3] : 1.0f)));
    }
    return first;
  }

  void addVertices(const GltfPrimitive& primitive, const PrimitiveParts& parts,
                   const Placement& placement) {
    const std::vector<float>& p =
        accessors_.values(primitive.attributes.at("POSITION"), kPositions);
    for (std::size_t i = 0; i < parts.vertices; ++i) {
      const double at[3] = {p[i * 3], p[i * 3 + 1], p[i * 3 + 2]};
      const auto placed = placement.point(at);
      if (!std::isfinite(placed[0]) || !std::isfinite(placed[1]) || !std::isfinite(placed[2]))
        refusal_.refuse("a node places a position beyond a double's range");
      mesh_.positions.insert(mesh_.positions.end(), placed.begin(), placed.end());
    }
    if (!parts.normals) return;
    const std::vector<float>& n = accessors_.values(primitive.attributes.at("NORMAL"), kNormals);
    for (std::size_t i = 0; i < parts.vertices; ++i) {
      const double at[3] = {n[i * 3], n[i * 3 + 1], n[i * 3 + 2]};
      for (double c : placement.normal(at))
        mesh_.normals.push_back(float(c));
    }
  }

  // Corners name the vertices just placed, at the ends of the record's lists.
  void addTriangles(const PrimitiveParts& parts, bool mirrored) {
    const long position = long(mesh_.positions.size() / 3 - parts.vertices);
    const long normal = parts.normals ? long(mesh_.normals.size() / 3 - parts.vertices) : -1;
    const auto at = [](long first, std::uint32_t i) {
      return std::int32_t(first < 0 ? -1 : first + long(i));
    };
    for (Triangle t : parts.triangles) {
      if (mirrored) std::swap(t[1], t[2]);  // counter-clockwise again
      addFace(mesh_, 3, parts.material, 0);
      for (std::uint32_t i : t)
        mesh_.corners.push_back(
            {at(position, i), at(parts.texCoords, i), at(normal, i), at(parts.colors, i)});
    }
  }

  const std::string& path_;
  const GltfDocument& document_;
  ModelMesh mesh_;
  GltfAccessors accessors_;
  GltfMaterials materials_;
  Refusal refusal_;
  std::vector<std::string>& warnings_;
  std::map<std::pair<int, int>, PrimitiveParts> parts_;  // by (mesh, primitive)
  std::uint64_t verticesPlaced_ = 0;
  std::uint64_t indicesRead_ = 0;
};

}  // namespace

bool isGltf(std::string_view bytes) {
  if (bytes.substr(0, 4) == "glTF") return true;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos || bytes[start] != '{') return false;
  // Keys no other JSON a model folder holds is likely to have; glTF 1.0 files may lack
  // the asset, and are then named by its absence.
  for (const char* key : {"\"asset\"", "\"accessors\"", "\"bufferViews\""})
    if (bytes.find(key) != std::string_view::npos) return true;
  return false;
}

ModelMesh readGltf(const std::string& path, std::string_view bytes, ModelFiles& files,
                   std::vector<std::string>& warnings) {
  const GltfText text = splitGltf(path, bytes);
  const GltfDocument document = readGltfDocument(path, text);
  for (const std::string& used : document.extensionsUsed)
    warnOnce(warnings, path + ": the extension " + quotedName(used) + " is ignored");
  GltfSources sources(path, document, text, files, warnings);
  return MeshGathering(path, document, sources, warnings).gather();
}
