#include "model/model_scene.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <new>
#include <stdexcept>
#include <tuple>

#include "math/newell_normal.h"
#include "model/gltf_file.h"
#include "model/memory_left.h"
#include "model/model_text.h"
#include "model/mtl_file.h"
#include "model/obj_file.h"
#include "model/ply_file.h"
#include "model/scene_file_error.h"
#include "model/stl_file.h"
#include "model/texture_file.h"
#include "model/warnings.h"
#include "scene/demo_scene.h"

namespace {

// The materials the model names, read from its libraries: one that cannot be read is a
// warning, and a name that none defines draws light grey.
std::vector<const ModelMaterial*> materialsOf(const ModelMesh& mesh, ModelFiles& files,
                                              std::vector<ModelMaterial>& read,
                                              std::vector<std::string>& warnings) {
  for (const std::string& library : mesh.libraries) {
    std::vector<std::string> problems;
    const auto mtl = files.find(library, {files.modelFolder()}, kLargestMtlFile, problems);
    for (const std::string& problem : problems)
      warnOnce(warnings, mesh.path + ": material library " + problem +
                             (mtl ? "" : "; drawn without its materials"));
    if (!mtl) continue;
    std::vector<ModelMaterial> materials = readMtlText(mtl->path, mtl->bytes, warnings);
    std::move(materials.begin(), materials.end(), std::back_inserter(read));
  }
  read.insert(read.end(), mesh.materials.begin(), mesh.materials.end());
  // Pointers into `read` only once it holds every library; the first definition wins.
  std::map<std::string, const ModelMaterial*> byName;
  for (const ModelMaterial& m : read)
    byName.try_emplace(m.name, &m);
  std::vector<const ModelMaterial*> used;
  for (const std::string& name : mesh.materialNames) {
    const auto found = byName.find(name);
    if (found == byName.end()) {
      warnOnce(warnings, mesh.path + ": material " + quotedName(name) +
                             " is in no library; its faces are drawn light grey");
    }
    used.push_back(found == byName.end() ? nullptr : found->second);
  }
  return used;
}

// The textures of the materials, each file decoded once however its path is written,
// all within one budget of texels; null where a material has none or it cannot be read.
// A texture used with other wrap modes or another tint is another texture, of the same
// decoded texels.
class TextureShelf {
 public:
  TextureShelf(const ModelMesh& mesh, ModelFiles& files, RenderContext& context,
               std::vector<std::string>& warnings, long long texelBudget)
      : mesh_(mesh),
        files_(files),
        context_(context),
        warnings_(warnings),
        texelsLeft_(texelBudget) {}

  Texture* textureOf(const ModelMaterial* material) {
    if (material == nullptr || material->texture.empty()) return nullptr;
    const std::optional<Texture>* decoded = decodedOf(*material);
    if (decoded == nullptr || !*decoded) return nullptr;
    const Texture* source = &**decoded;
    const auto key = std::tuple(source, material->wrapS, material->wrapT, tintKey(*material));
    const auto [at, added] = made_.try_emplace(key, nullptr);
    if (added) at->second = &context_.adoptTexture(made(*source, *material));
    return at->second;
  }
  int count() const { return int(made_.size()); }

 private:
  using Tint = std::array<double, 7>;
  static Tint tintKey(const ModelMaterial& m) {
    const TexelTint& t = m.tint;
    return {t.factor[0],   t.factor[1],   t.factor[2],  t.factor[3],
            t.emission[0], t.emission[1], t.emission[2]};
  }

  static Texture made(const Texture& decoded, const ModelMaterial& material) {
    Texture texture = material.tint.changes() ? tinted(decoded, material.tint) : decoded;
    texture.wrapS = material.wrapS;
    texture.wrapT = material.wrapT;
    return texture;
  }

  // The texels of the material's picture, decoded once; null where it cannot be found.
  const std::optional<Texture>* decodedOf(const ModelMaterial& material) {
    if (material.ownTexture >= 0) {
      // A picture the model file holds itself: known by its place in the file.
      const std::size_t index = std::size_t(material.ownTexture);
      return &decoded("#" + std::to_string(index), mesh_.textures[index], material.texture);
    }
    std::vector<std::string> problems;
    const auto found = files_.find(material.texture, {material.folder, files_.modelFolder()},
                                   kLargestTextureFile, problems);
    for (const std::string& problem : problems)
      warn("texture " + problem + (found ? "" : "; drawn without it"));
    if (!found) return nullptr;
    return &decoded(found->identity, found->bytes, material.texture);
  }

  const std::optional<Texture>& decoded(const std::string& identity, const std::string& bytes,
                                        const std::string& written) {
    const auto [at, added] = decoded_.try_emplace(identity);
    if (!added) return at->second;
    std::string problem;
    at->second = decodeTexture(bytes, texelsLeft_, problem);
    if (!at->second) warn("texture " + quotedName(written) + " " + problem + "; drawn without it");
    return at->second;
  }

  void warn(const std::string& what) { warnOnce(warnings_, mesh_.path + ": " + what); }

  const ModelMesh& mesh_;
  ModelFiles& files_;
  RenderContext& context_;
  std::vector<std::string>& warnings_;
  std::map<std::string, std::optional<Texture>> decoded_;
  std::map<std::tuple<const Texture*, TextureWrap, TextureWrap, Tint>, Texture*> made_;
  long long texelsLeft_;
};

Color colorOrGrey(const ModelMaterial* material) {
  // Faces without a material: light grey, which shows on the white the window is
  // cleared to.
  return material ? material->diffuse : Color{0.8f, 0.8f, 0.8f, 1};
}

// OpenGL takes shininess from 0 to 128, MTL files give it up to 1000.
int shininessOf(double ns) {
  return int(std::lround(std::clamp(ns, 0.0, 128.0)));
}

// A normal of no length (a degenerate face, or a zero normal in the file) stays zero: the
// capture operation refuses to normalise it and keeps what it was given.
void setNormal(RenderContext& context, Vec3 n) {
  try {
    context.normal(n.x, n.y, n.z);
  } catch (const ZeroDivide&) {
  }
}

class FaceCapture {
 public:
  FaceCapture(const ModelMesh& mesh, const ModelFraming& framing, RenderContext& context)
      : mesh_(mesh), framing_(framing), context_(context) {}

  // `color`: what a corner without a colour of its own gets, where the mesh has vertex
  // colours.
  void capture(const MeshFace& face, Color color) const {
    const MeshCorner* corners = &mesh_.corners[face.firstCorner];
    context_.beginPolygon();
    context_.meshes.back().polygons.back().vertices.reserve(std::size_t(face.cornerCount));
    bool faceNormalSet = false;
    for (int k = 0; k < face.cornerCount; ++k) {
      const MeshCorner& corner = corners[k];
      if (corner.normal >= 0) {
        const float* n = &mesh_.normals[std::size_t(corner.normal) * 3];
        setNormal(context_, framing_.turn({n[0], n[1], n[2]}));
        faceNormalSet = false;
      } else if (!faceNormalSet) {
        setNormal(context_, faceNormal(corners, face.cornerCount));
        faceNormalSet = true;
      }
      if (corner.texCoord >= 0) {
        const float* st = &mesh_.texCoords[std::size_t(corner.texCoord) * 2];
        context_.texCoord(st[0], st[1]);
      } else {
        context_.texCoord(0, 0);
      }
      if (corner.color >= 0) {
        const float* c = &mesh_.colors[std::size_t(corner.color) * 4];
        context_.color({c[0], c[1], c[2], c[3]});
      } else {
        context_.color(color);
      }
      const Vec3 p = positionOf(corner);
      context_.vertex(p.x, p.y, p.z);
    }
  }

 private:
  Vec3 positionOf(const MeshCorner& corner) const {
    return framing_.place(&mesh_.positions[std::size_t(corner.position) * 3]);
  }

  // The face's own normal, from its framed corners by Newell's method.
  Vec3 faceNormal(const MeshCorner* corners, int count) const {
    const auto n =
        newellNormal(std::size_t(count), [&](std::size_t k) { return positionOf(corners[k]); });
    return {float(n[0]), float(n[1]), float(n[2])};
  }

  const ModelMesh& mesh_;
  const ModelFraming& framing_;
  RenderContext& context_;
};

// The faces of one material, and whether any of their corners has a colour of its own.
struct MaterialGroup {
  int material = -1;
  std::vector<const MeshFace*> faces;
  bool vertexColors = false;
};

// The faces of each material, in the order the model first uses the materials; -1 is
// no material.
std::vector<MaterialGroup> facesByMaterial(const ModelMesh& mesh) {
  std::vector<MaterialGroup> groups;
  std::map<int, std::size_t> groupOf;
  for (const MeshFace& face : mesh.faces) {
    const auto [at, added] = groupOf.try_emplace(face.material, groups.size());
    if (added) groups.push_back({face.material, {}, false});
    MaterialGroup& group = groups[at->second];
    group.faces.push_back(&face);
    group.vertexColors = group.vertexColors || mesh.corners[face.firstCorner].color >= 0;
  }
  return groups;
}

void setMaterial(RenderContext& context, const ModelMaterial* material, Texture* texture,
                 bool vertexColors) {
  context.setMaterial(colorOrGrey(material), material ? material->specular : Color{0, 0, 0, 1},
                      material ? shininessOf(material->shininess) : 0);
  context.setEmission(material ? material->emission : Color{0, 0, 0, 0});
  context.setVertexColors(vertexColors);
  context.bindTexture(texture, nullptr);
}

}  // namespace

ModelSummary captureModelScene(const ModelMesh& mesh, ModelFiles& files, RenderContext& context,
                               std::vector<std::string>& warnings, char up, long long texelBudget) {
  ModelSummary summary;
  summary.file = mesh.path;
  summary.framing = frameModel(mesh, up);
  if (summary.framing.isOnePoint()) {
    warnOnce(warnings, mesh.path + ": all its positions are one point, which covers no pixel");
  }
  // The scene's polygons and vertices, counted before the first is made.
  requireMemoryFor(mesh.path,
                   mesh.faces.size() * (sizeof(Polygon) + sizeof(FaceSource) + 16) +
                       mesh.corners.size() * sizeof(Vertex),
                   "its scene");
  std::vector<ModelMaterial> materials;
  const std::vector<const ModelMaterial*> used = materialsOf(mesh, files, materials, warnings);
  context.reset();
  addSceneLights(context);
  TextureShelf textures(mesh, files, context, warnings, texelBudget);
  const FaceCapture faces(mesh, summary.framing, context);
  for (const MaterialGroup& group : facesByMaterial(mesh)) {
    const ModelMaterial* m = group.material < 0 ? nullptr : used[std::size_t(group.material)];
    Texture* texture = textures.textureOf(m);
    if (texture != nullptr && group.vertexColors) {
      warnOnce(warnings, mesh.path +
                             ": vertex colours under a texture are not drawn: the "
                             "texture's colour replaces them");
    }
    setMaterial(context, m, texture, group.vertexColors && texture == nullptr);
    context.begin();
    context.meshes.back().polygons.reserve(group.faces.size());
    MeshSource& source = summary.sources.emplace_back();
    source.material = group.material < 0 ? "" : mesh.materialNames[std::size_t(group.material)];
    source.faces.reserve(group.faces.size());
    for (const MeshFace* face : group.faces) {
      faces.capture(*face, colorOrGrey(m));
      source.faces.push_back(
          {std::int32_t(face - mesh.faces.data() + 1), mesh.faceLinesAreLines ? face->line : 0});
    }
  }
  summary.polygons = long(mesh.faces.size());
  summary.vertices = long(mesh.corners.size());
  summary.meshes = int(context.meshes.size());
  summary.textures = textures.count();
  return summary;
}

ModelMesh readModelBytes(const std::string& path, std::string_view bytes, ModelFiles& files,
                         std::vector<std::string>& warnings) {
  ModelMesh mesh;
  if (isGltf(bytes)) {
    mesh = readGltf(path, bytes, files, warnings);
  } else if (isPly(bytes)) {
    mesh = readPly(path, bytes, warnings);
  } else if (isStl(bytes)) {
    mesh = readStl(path, bytes);
  } else if (const std::string stl = binaryStlMismatch(bytes); !stl.empty()) {
    throw SceneFileError(path + ": " + stl);
  } else {
    mesh = readObjText(path, bytes, warnings);
  }
  if (mesh.faces.empty()) {
    throw SceneFileError(path + (mesh.linesAndPoints > 0
                                     ? ": holds only lines and points, which are not drawn"
                                     : ": no faces to draw"));
  }
  return mesh;
}

ModelSummary loadModelScene(const std::string& path, const ModelOptions& options,
                            RenderContext& context, std::vector<std::string>& warnings) {
  try {
    std::optional<DiskModelFiles> files;
    ModelMesh mesh;
    {
      // The file's bytes are let go once read: the model holds what it needs of them.
      const ModelFile model = readModelFile(path, kLargestModelFile);
      // A link's own files lie beside the file it leads to.
      files.emplace(folderOf(model.location.empty() ? path : model.location),
                    options.outsideFilesAllowed);
      mesh = readModelBytes(path, model.bytes, *files, warnings);
    }
    return captureModelScene(mesh, *files, context, warnings, options.up);
  } catch (const std::bad_alloc&) {
    throw SceneFileError(path + ": too large to hold in memory");
  } catch (const std::length_error&) {
    throw SceneFileError(path + ": too large to hold in memory");
  }
}
