#include "model/model_scene.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <new>
#include <stdexcept>

#include "math/newell_normal.h"
#include "model/gltf_file.h"
#include "model/mtl_file.h"
#include "model/ply_file.h"
#include "model/scene_file_error.h"
#include "model/stl_file.h"
#include "model/texture_file.h"
#include "scene/demo_scene.h"

namespace {

// The materials the file names, read from its libraries: one that cannot be read is a
// warning, and a name that none defines draws light grey.
std::vector<const ModelMaterial*> materialsOf(const ModelMesh& file, ModelFiles& files,
                                              std::vector<ModelMaterial>& read,
                                              std::vector<std::string>& warnings) {
  for (const std::string& library : file.libraries) {
    std::vector<std::string> problems;
    const auto mtl = files.find(library, {folderOf(file.path)}, kLargestMtlFile, problems);
    for (const std::string& problem : problems)
      warnOnce(warnings, file.path + ": material library " + problem +
                             (mtl ? "" : "; drawn without its materials"));
    if (!mtl) continue;
    std::vector<ModelMaterial> materials = readMtlText(mtl->path, mtl->bytes, warnings);
    std::move(materials.begin(), materials.end(), std::back_inserter(read));
  }
  read.insert(read.end(), file.materials.begin(), file.materials.end());
  // Pointers into `read` only once it holds every library; the first definition wins.
  std::map<std::string, const ModelMaterial*> byName;
  for (const ModelMaterial& m : read)
    byName.try_emplace(m.name, &m);
  std::vector<const ModelMaterial*> used;
  for (const std::string& name : file.materialNames) {
    const auto found = byName.find(name);
    if (found == byName.end()) {
      warnOnce(warnings, file.path + ": material '" + name +
                             "' is in no library; its faces are drawn light grey");
    }
    used.push_back(found == byName.end() ? nullptr : found->second);
  }
  return used;
}

// The textures of the materials, each file decoded once however its path is written,
// all within one budget of texels; null where a material has none or it cannot be read.
class TextureShelf {
 public:
  TextureShelf(const ModelMesh& file, ModelFiles& files, RenderContext& context,
               std::vector<std::string>& warnings, long long texelBudget)
      : file_(file),
        files_(files),
        context_(context),
        warnings_(warnings),
        texelsLeft_(texelBudget) {}

  Texture* textureOf(const ModelMaterial* material) {
    if (material == nullptr || material->texture.empty()) return nullptr;
    if (material->ownTexture >= 0) return ownTexture(*material);
    std::vector<std::string> problems;
    const auto found = files_.find(material->texture, {material->folder, folderOf(file_.path)},
                                   kLargestTextureFile, problems);
    for (const std::string& problem : problems)
      warn("texture " + problem + (found ? "" : "; drawn without it"));
    if (!found) return nullptr;
    const auto [at, added] = decoded_.try_emplace(found->identity, nullptr);
    if (added) at->second = decode(found->bytes, material->texture);
    return at->second;
  }
  int count() const { return count_; }

 private:
  // A picture the model file holds itself: known by its place in the file.
  Texture* ownTexture(const ModelMaterial& material) {
    const std::size_t index = std::size_t(material.ownTexture);
    const auto [at, added] = decoded_.try_emplace("#" + std::to_string(index), nullptr);
    if (added) at->second = decode(file_.textures[index], material.texture);
    return at->second;
  }

  void warn(const std::string& what) { warnOnce(warnings_, file_.path + ": " + what); }

  Texture* decode(const std::string& bytes, const std::string& written) {
    std::string problem;
    std::optional<Texture> texture = decodeTexture(bytes, texelsLeft_, problem);
    if (!texture) {
      warn("texture '" + written + "' " + problem + "; drawn without it");
      return nullptr;
    }
    ++count_;
    return &context_.adoptTexture(std::move(*texture));
  }

  const ModelMesh& file_;
  ModelFiles& files_;
  RenderContext& context_;
  std::vector<std::string>& warnings_;
  std::map<std::string, Texture*> decoded_;
  long long texelsLeft_;
  int count_ = 0;
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

void setMaterial(RenderContext& context, const ModelMaterial* material, Texture* texture) {
  context.setMaterial(colorOrGrey(material), material ? material->specular : Color{0, 0, 0, 1},
                      material ? shininessOf(material->shininess) : 0);
  context.bindTexture(texture, nullptr);
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
  FaceCapture(const ModelMesh& file, const ModelFraming& framing, RenderContext& context)
      : file_(file), framing_(framing), context_(context) {}

  void capture(const MeshFace& face) const {
    const MeshCorner* corners = &file_.corners[face.firstCorner];
    context_.beginPolygon();
    context_.meshes.back().polygons.back().vertices.reserve(std::size_t(face.cornerCount));
    bool faceNormalSet = false;
    for (int k = 0; k < face.cornerCount; ++k) {
      const MeshCorner& corner = corners[k];
      if (corner.normal >= 0) {
        const float* n = &file_.normals[std::size_t(corner.normal) * 3];
        setNormal(context_, framing_.turn({n[0], n[1], n[2]}));
        faceNormalSet = false;
      } else if (!faceNormalSet) {
        setNormal(context_, faceNormal(corners, face.cornerCount));
        faceNormalSet = true;
      }
      if (corner.texCoord >= 0) {
        const float* st = &file_.texCoords[std::size_t(corner.texCoord) * 2];
        context_.texCoord(st[0], st[1]);
      } else {
        context_.texCoord(0, 0);
      }
      const Vec3 p = positionOf(corner);
      context_.vertex(p.x, p.y, p.z);
    }
  }

 private:
  Vec3 positionOf(const MeshCorner& corner) const {
    return framing_.place(&file_.positions[std::size_t(corner.position) * 3]);
  }

  // The face's own normal, from its framed corners by Newell's method.
  Vec3 faceNormal(const MeshCorner* corners, int count) const {
    const auto n =
        newellNormal(std::size_t(count), [&](std::size_t k) { return positionOf(corners[k]); });
    return {float(n[0]), float(n[1]), float(n[2])};
  }

  const ModelMesh& file_;
  const ModelFraming& framing_;
  RenderContext& context_;
};

// The faces of each material, in the order the file first uses the materials; -1 is no
// material.
std::vector<std::pair<int, std::vector<const MeshFace*>>> facesByMaterial(const ModelMesh& file) {
  std::vector<std::pair<int, std::vector<const MeshFace*>>> groups;
  std::map<int, std::size_t> groupOf;
  for (const MeshFace& face : file.faces) {
    const auto [at, added] = groupOf.try_emplace(face.material, groups.size());
    if (added) groups.push_back({face.material, {}});
    groups[at->second].second.push_back(&face);
  }
  return groups;
}

}  // namespace

ModelSummary captureModelScene(const ModelMesh& file, ModelFiles& files, RenderContext& context,
                               std::vector<std::string>& warnings, char up, long long texelBudget) {
  ModelSummary summary;
  summary.file = file.path;
  summary.framing = frameModel(file, up);
  if (summary.framing.isOnePoint()) {
    warnOnce(warnings, file.path + ": all its positions are one point, which covers no pixel");
  }
  std::vector<ModelMaterial> materials;
  const std::vector<const ModelMaterial*> used = materialsOf(file, files, materials, warnings);
  context.reset();
  addSceneLights(context);
  TextureShelf textures(file, files, context, warnings, texelBudget);
  const FaceCapture faces(file, summary.framing, context);
  for (const auto& [material, group] : facesByMaterial(file)) {
    const ModelMaterial* m = material < 0 ? nullptr : used[std::size_t(material)];
    setMaterial(context, m, textures.textureOf(m));
    context.begin();
    context.meshes.back().polygons.reserve(group.size());
    for (const MeshFace* face : group)
      faces.capture(*face);
  }
  summary.polygons = long(file.faces.size());
  summary.vertices = long(file.corners.size());
  summary.meshes = int(context.meshes.size());
  summary.textures = textures.count();
  return summary;
}

ModelMesh readModelBytes(const std::string& path, std::string_view bytes, ModelFiles& files,
                         std::vector<std::string>& warnings) {
  ModelMesh mesh = isGltf(bytes)  ? readGltf(path, bytes, files, warnings)
                   : isPly(bytes) ? readPly(path, bytes)
                   : isStl(bytes) ? readStl(path, bytes)
                                  : readObjText(path, bytes, warnings);
  if (mesh.faces.empty()) throw SceneFileError(path + ": no faces to draw");
  return mesh;
}

ModelSummary loadModelScene(const std::string& path, const ModelOptions& options,
                            RenderContext& context, std::vector<std::string>& warnings) {
  try {
    const ModelFile model = readModelFile(path, kLargestObjFile);
    DiskModelFiles files(folderOf(path), options.outsideFilesAllowed);
    return captureModelScene(readModelBytes(path, model.bytes, files, warnings), files, context,
                             warnings, options.up);
  } catch (const std::bad_alloc&) {
    throw SceneFileError(path + ": too large to hold in memory");
  } catch (const std::length_error&) {
    throw SceneFileError(path + ": too large to hold in memory");
  }
}
