#include "model/gltf_file.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>

#include "model/gltf_accessor.h"
#include "model/gltf_loading.h"
#include "model/gltf_placement.h"
#include "model/scene_file_error.h"

namespace {

const AccessorShape kPositions{"POSITION", TINYGLTF_TYPE_VEC3, {TINYGLTF_COMPONENT_TYPE_FLOAT}};
const AccessorShape kNormals{"NORMAL", TINYGLTF_TYPE_VEC3, {TINYGLTF_COMPONENT_TYPE_FLOAT}};
const AccessorShape kTexCoords{
    "TEXCOORD",
    TINYGLTF_TYPE_VEC2,
    {TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE,
     TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT},
    true};
const AccessorShape kIndices{
    "indices",
    TINYGLTF_TYPE_SCALAR,
    {TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT,
     TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT}};

using Triangle = std::array<std::uint32_t, 3>;

// The triangles of a primitive, as indices into its vertices, in the order glTF draws
// them; one with a repeated vertex (a strip's join) covers nothing and is left out.
std::vector<Triangle> trianglesOf(const std::vector<double>& indices, int mode) {
  std::vector<Triangle> out;
  const std::size_t n = indices.size();
  const auto add = [&](std::size_t a, std::size_t b, std::size_t c) {
    const Triangle t{std::uint32_t(indices[a]), std::uint32_t(indices[b]),
                     std::uint32_t(indices[c])};
    if (t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) out.push_back(t);
  };
  for (std::size_t i = 0; i + 2 < n; i += mode == TINYGLTF_MODE_TRIANGLES ? 3 : 1) {
    if (mode == TINYGLTF_MODE_TRIANGLES) add(i, i + 1, i + 2);
    if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) add(i + i % 2, i + 1 - i % 2, i + 2);
    if (mode == TINYGLTF_MODE_TRIANGLE_FAN) add(i + 1, i + 2, 0);
  }
  return out;
}

// One primitive's vertices as read, before they are placed.
struct Vertices {
  std::vector<double> positions;  // x, y, z
  std::vector<double> normals;    // x, y, z; empty for none
  std::vector<double> texCoords;  // u, v; empty for none
  std::size_t count() const { return positions.size() / 3; }
};

// The scene's nodes, each walked once, their meshes' triangles gathered into one record.
class MeshGathering {
 public:
  MeshGathering(tinygltf::Model& model, const std::string& path, std::vector<std::string>& warnings)
      : model_(model), path_(path), refusal_(path + ": "), warnings_(warnings) {
    file_.path = path;
  }

  ModelMesh gather() {
    std::vector<char> reached(model_.nodes.size(), 0);
    std::vector<std::pair<int, Placement>> waiting;
    // Depth first, in the file's order: the last pushed is walked first.
    const std::vector<int> first = roots();
    for (auto root = first.rbegin(); root != first.rend(); ++root)
      waiting.push_back({*root, Placement{}});
    while (!waiting.empty()) {
      const auto [index, parent] = waiting.back();
      waiting.pop_back();
      refusal_.require(!reached[std::size_t(index)],
                       "node " + std::to_string(index) +
                           " is reached twice: the nodes form a cycle, or a node has two parents");
      reached[std::size_t(index)] = 1;
      const tinygltf::Node& node = model_.nodes[std::size_t(index)];
      const Placement placement = parent * localPlacement(node, index, path_);
      if (node.mesh != -1) addMesh(node.mesh, placement);
      if (node.skin != -1) warnOnce(warnings_, path_ + ": skins are not applied");
      for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
        refusal_.requireIndex(*child, model_.nodes.size(),
                              "node " + std::to_string(index) + " has child node");
        waiting.push_back({*child, placement});
      }
    }
    return std::move(file_);
  }

 private:
  // The default scene's nodes; without scenes, every node that is no node's child.
  std::vector<int> roots() const {
    if (!model_.scenes.empty()) {
      const int scene = model_.defaultScene == -1 ? 0 : model_.defaultScene;
      refusal_.requireIndex(scene, model_.scenes.size(), "the default scene is scene");
      for (int node : model_.scenes[std::size_t(scene)].nodes)
        refusal_.requireIndex(node, model_.nodes.size(), "the scene names node");
      return model_.scenes[std::size_t(scene)].nodes;
    }
    std::vector<char> isChild(model_.nodes.size(), 0);
    for (const tinygltf::Node& node : model_.nodes)
      for (int child : node.children)
        if (child >= 0 && std::size_t(child) < isChild.size()) isChild[std::size_t(child)] = 1;
    std::vector<int> out;
    for (std::size_t i = 0; i < isChild.size(); ++i)
      if (!isChild[i]) out.push_back(int(i));
    refusal_.require(!out.empty() || model_.nodes.empty(),
                     "every node is some node's child: the nodes form a cycle");
    return out;
  }

  void addMesh(int index, const Placement& placement) {
    refusal_.requireIndex(index, model_.meshes.size(), "a node names mesh");
    for (const tinygltf::Primitive& primitive : model_.meshes[std::size_t(index)].primitives)
      addPrimitive(primitive, placement);
  }

  void addPrimitive(const tinygltf::Primitive& primitive, const Placement& placement) {
    const int mode = primitive.mode;
    if (mode >= TINYGLTF_MODE_POINTS && mode <= TINYGLTF_MODE_LINE_STRIP) {
      warnOnce(warnings_, path_ + ": points and lines are not drawn");
      return;
    }
    refusal_.require(mode >= TINYGLTF_MODE_TRIANGLES && mode <= TINYGLTF_MODE_TRIANGLE_FAN,
                     "a primitive has mode " + std::to_string(mode) + ", which glTF does not have");
    if (!primitive.attributes.count("POSITION")) {
      warnOnce(warnings_, path_ + ": a primitive without POSITION is not drawn");
      return;
    }
    if (!primitive.targets.empty()) warnOnce(warnings_, path_ + ": morph targets are not applied");
    const int slot = materialSlot(primitive.material);
    const Vertices vertices = verticesOf(primitive, slot);
    const std::vector<Triangle> triangles = trianglesOf(indicesOf(primitive, vertices), mode);
    refusal_.require(long(file_.positions.size() / 3 + vertices.count()) <= kMostGltfVertices &&
                         long(file_.faces.size() + triangles.size()) <= kMostGltfTriangles,
                     "its scene has more than " + std::to_string(kMostGltfTriangles) +
                         " triangles or vertices to draw");
    addVertices(vertices, placement);
    addTriangles(triangles, vertices, placement.mirrors(), slot);
  }

  Vertices verticesOf(const tinygltf::Primitive& primitive, int slot) const {
    Vertices v;
    v.positions = accessorValues(model_, primitive.attributes.at("POSITION"), kPositions, path_);
    v.normals = attribute(primitive, "NORMAL", kNormals, v.count());
    if (slot >= 0 && texCoordSet_[std::size_t(slot)] >= 0) {
      const std::string set = "TEXCOORD_" + std::to_string(texCoordSet_[std::size_t(slot)]);
      v.texCoords = attribute(primitive, set, kTexCoords, v.count());
      if (std::any_of(v.texCoords.begin(), v.texCoords.end(),
                      [](double c) { return c < 0 || c > 1; })) {
        warnOnce(warnings_, path_ +
                                ": texture coordinates outside 0 to 1, which glTF repeats "
                                "by default, are not repeated here");
      }
    }
    return v;
  }

  std::vector<double> attribute(const tinygltf::Primitive& primitive, const std::string& name,
                                const AccessorShape& shape, std::size_t count) const {
    const auto found = primitive.attributes.find(name);
    if (found == primitive.attributes.end()) return {};
    std::vector<double> values = accessorValues(model_, found->second, shape, path_);
    const std::size_t width = shape.type == TINYGLTF_TYPE_VEC2 ? 2 : 3;
    refusal_.require(values.size() == count * width,
                     name + " has " + std::to_string(values.size() / width) +
                         " elements, POSITION " + std::to_string(count));
    return values;
  }

  std::vector<double> indicesOf(const tinygltf::Primitive& primitive, const Vertices& v) const {
    std::vector<double> indices;
    if (primitive.indices == -1) {
      for (std::size_t i = 0; i < v.count(); ++i)
        indices.push_back(double(i));
    } else {
      indices = accessorValues(model_, primitive.indices, kIndices, path_);
      for (double i : indices)
        if (i >= double(v.count())) {
          refusal_.refuse("a primitive's index " + std::to_string(long(i)) + " is past its " +
                          std::to_string(v.count()) + " vertices");
        }
    }
    refusal_.require(primitive.mode != TINYGLTF_MODE_TRIANGLES || indices.size() % 3 == 0,
                     "a primitive of triangles has " + std::to_string(indices.size()) +
                         " vertices, not a multiple of 3");
    return indices;
  }

  void addVertices(const Vertices& v, const Placement& placement) {
    for (std::size_t i = 0; i < v.count(); ++i) {
      const auto p = placement.point(&v.positions[i * 3]);
      if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
        refusal_.refuse("a node places a position beyond a double's range");
      file_.positions.insert(file_.positions.end(), p.begin(), p.end());
    }
    for (std::size_t i = 0; i < v.normals.size() / 3; ++i) {
      const auto n = placement.normal(&v.normals[i * 3]);
      for (double c : n)
        file_.normals.push_back(float(c));
    }
    // glTF's v runs down the picture, t up it.
    for (std::size_t i = 0; i < v.texCoords.size() / 2; ++i) {
      file_.texCoords.push_back(float(v.texCoords[i * 2]));
      file_.texCoords.push_back(float(1 - v.texCoords[i * 2 + 1]));
    }
  }

  // Corners name the vertices just added, at the ends of the record's lists.
  void addTriangles(const std::vector<Triangle>& triangles, const Vertices& v, bool mirrored,
                    int slot) {
    const long position = long(file_.positions.size() / 3 - v.count());
    const long normal = v.normals.empty() ? -1 : long(file_.normals.size() / 3 - v.count());
    const long texCoord = v.texCoords.empty() ? -1 : long(file_.texCoords.size() / 2 - v.count());
    for (Triangle t : triangles) {
      if (mirrored) std::swap(t[1], t[2]);  // counter-clockwise again
      file_.faces.push_back({file_.corners.size(), 3, slot, 0});
      for (std::uint32_t i : t)
        file_.corners.push_back({position + long(i), texCoord < 0 ? -1 : texCoord + long(i),
                                 normal < 0 ? -1 : normal + long(i)});
    }
  }

  // The record's material for a glTF material, made at its first use; -1 for none.
  int materialSlot(int index) {
    if (index == -1) return -1;
    refusal_.requireIndex(index, model_.materials.size(), "a primitive names material");
    const auto [at, added] = slotOf_.try_emplace(index, int(file_.materialNames.size()));
    if (!added) return at->second;
    const tinygltf::PbrMetallicRoughness& pbr =
        model_.materials[std::size_t(index)].pbrMetallicRoughness;
    const std::vector<double>& factor = pbr.baseColorFactor;
    const std::string name = "material " + std::to_string(index);
    refusal_.require(factor.size() == 4 && std::all_of(factor.begin(), factor.end(),
                                                       [](double c) { return std::isfinite(c); }),
                     name + "'s base colour factor is not 4 finite numbers");
    ModelMaterial material;
    material.name = name;
    material.diffuse = {float(factor[0]), float(factor[1]), float(factor[2]), float(factor[3])};
    material.shininess = 0;
    material.ownTexture = pictureOf(pbr.baseColorTexture, name, material.texture);
    texCoordSet_.push_back(material.ownTexture < 0 ? -1 : pbr.baseColorTexture.texCoord);
    file_.materialNames.push_back(name);
    file_.materials.push_back(std::move(material));
    return at->second;
  }

  // The record's own picture for a material's base colour texture, each glTF image
  // taken once, and in `written` how messages name it; -1 for none, said in the warnings
  // where it cannot be had.
  int pictureOf(const tinygltf::TextureInfo& info, const std::string& material,
                std::string& written) {
    if (info.index == -1) return -1;
    refusal_.requireIndex(info.index, model_.textures.size(),
                          material + "'s base colour texture is texture");
    const int image = model_.textures[std::size_t(info.index)].source;
    if (image == -1) {
      warnOnce(warnings_, path_ + ": texture " + std::to_string(info.index) +
                              " has no picture in a format read; drawn without it");
      return -1;
    }
    refusal_.requireIndex(image, model_.images.size(), "a texture's source is image");
    tinygltf::Image& picture = model_.images[std::size_t(image)];
    const auto [at, added] = pictureOf_.try_emplace(image, int(file_.textures.size()));
    if (added && picture.image.empty()) at->second = -1;  // its file was not read, and said so
    if (added && at->second >= 0) {
      file_.textures.emplace_back(picture.image.begin(), picture.image.end());
      std::vector<unsigned char>().swap(picture.image);
    }
    if (at->second >= 0) {
      written = picture.uri.empty() || picture.uri.rfind("data:", 0) == 0
                    ? "image " + std::to_string(image)
                    : picture.uri;
    }
    return at->second;
  }

  tinygltf::Model& model_;
  const std::string& path_;
  Refusal refusal_;
  std::vector<std::string>& warnings_;
  ModelMesh file_;
  std::map<int, int> slotOf_;     // glTF material -> the record's material
  std::vector<int> texCoordSet_;  // of each of the record's materials; -1 without texture
  std::map<int, int> pictureOf_;  // glTF image -> the record's own picture
};

// What the file requires is refused unless it is read; what it merely uses is ignored.
void checkExtensions(const tinygltf::Model& model, const std::string& path,
                     std::vector<std::string>& warnings) {
  for (const std::string& required : model.extensionsRequired)
    throw SceneFileError(path + ": it requires the extension " + required + ", which is not read");
  for (const std::string& used : model.extensionsUsed)
    warnOnce(warnings, path + ": the extension " + used + " is ignored");
}

}  // namespace

bool isGltf(std::string_view bytes) {
  if (bytes.substr(0, 4) == "glTF") return true;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && bytes[start] == '{' &&
         bytes.find("\"asset\"") != std::string_view::npos;
}

ModelMesh readGltf(const std::string& path, std::string_view bytes, ModelFiles& files,
                   std::vector<std::string>& warnings) {
  tinygltf::Model model = loadGltfModel(path, bytes, files, warnings);
  checkExtensions(model, path, warnings);
  return MeshGathering(model, path, warnings).gather();
}
