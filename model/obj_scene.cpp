#include "tools/model/obj_scene.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "math/newell_normal.h"
#include "scene/demo_scene.h"
#include "tools/model/scene_file_error.h"
#include "tools/model/texture_file.h"

namespace {

// One face of the file: its shape, and where its corners start in the shape's indices.
struct FaceRef {
  int shape;
  int face;
  std::size_t firstCorner;
};

// The faces of each material, in the order the file first uses the materials; -1 is no
// material.
struct MaterialFaces {
  int material;
  std::vector<FaceRef> faces;
};

std::vector<MaterialFaces> facesByMaterial(const ObjFile& file) {
  std::vector<MaterialFaces> groups;
  std::map<int, std::size_t> groupOf;
  for (std::size_t s = 0; s < file.shapes.size(); ++s) {
    const tinyobj::mesh_t& mesh = file.shapes[s].mesh;
    std::size_t corner = 0;
    for (std::size_t f = 0; f < mesh.num_face_vertices.size(); ++f) {
      const int material = f < mesh.material_ids.size() ? mesh.material_ids[f] : -1;
      const auto [at, added] = groupOf.try_emplace(material, groups.size());
      if (added) groups.push_back({material, {}});
      groups[at->second].faces.push_back({int(s), int(f), corner});
      corner += mesh.num_face_vertices[f];
    }
  }
  return groups;
}

Color colorOf(const tinyobj::real_t rgb[3]) {
  return {float(rgb[0]), float(rgb[1]), float(rgb[2]), 1.0f};
}

// OpenGL takes shininess from 0 to 128, MTL files give it up to 1000.
int shininessOf(tinyobj::real_t ns) {
  return int(std::lround(std::clamp(double(ns), 0.0, 128.0)));
}

// A texture's file name as the material gives it, beside the model file; written on
// another system, its folders may be separated by backslashes.
std::string texturePath(const std::string& folder, std::string name) {
  if (name.empty() || name[0] != '/') name = folder + "/" + name;
  std::error_code code;
  if (!std::filesystem::exists(name, code)) std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

// The textures of the materials, each file read once; null where a material has none or
// its file cannot be read.
class TextureShelf {
 public:
  TextureShelf(const ObjFile& file, RenderContext& context, std::vector<std::string>& warnings)
      : file_(file), context_(context), warnings_(warnings) {}

  Texture* textureOf(int material) {
    if (material < 0) return nullptr;
    const std::string& name = file_.materials[std::size_t(material)].diffuse_texname;
    if (name.empty()) return nullptr;
    const std::string path = texturePath(folderOf(file_.path), name);
    const auto [at, added] = read_.try_emplace(path, nullptr);
    if (added) at->second = read(path, name);
    return at->second;
  }
  int count() const { return count_; }

 private:
  Texture* read(const std::string& path, const std::string& name) {
    std::string problem;
    std::optional<Texture> texture;
    try {
      texture = readTextureFile(path, problem);
    } catch (const SceneFileError& e) {
      throw SceneFileError(file_.path + ": texture '" + name + "': " + e.what());
    }
    if (!texture) {
      warnings_.push_back(file_.path + ": texture '" + name + "': " + problem +
                          "; drawn without it");
      return nullptr;
    }
    ++count_;
    return &context_.adoptTexture(std::move(*texture));
  }

  const ObjFile& file_;
  RenderContext& context_;
  std::vector<std::string>& warnings_;
  std::map<std::string, Texture*> read_;
  int count_ = 0;
};

// Faces without a material: light grey, which shows on the white the window is cleared
// to.
constexpr Color kNoMaterial{0.8f, 0.8f, 0.8f, 1};

void setMaterial(RenderContext& context, const ObjFile& file, int material, Texture* texture) {
  if (material >= 0) {
    const tinyobj::material_t& m = file.materials[std::size_t(material)];
    context.setMaterial(colorOf(m.diffuse), colorOf(m.specular), shininessOf(m.shininess));
  } else {
    context.setMaterial(kNoMaterial, {0, 0, 0, 1}, 0);
  }
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

Vec3 positionOf(const ObjFile& file, const ModelFraming& framing, int index) {
  const tinyobj::real_t* p = &file.attrib.vertices[std::size_t(index) * 3];
  return framing.place(float(p[0]), float(p[1]), float(p[2]));
}

// The face's own normal, from its framed corners by Newell's method.
Vec3 faceNormal(const ObjFile& file, const ModelFraming& framing, const tinyobj::index_t* corners,
                unsigned count) {
  const auto n = newellNormal(
      count, [&](std::size_t k) { return positionOf(file, framing, corners[k].vertex_index); });
  return {float(n[0]), float(n[1]), float(n[2])};
}

void captureFace(RenderContext& context, const ObjFile& file, const ModelFraming& framing,
                 const FaceRef& face) {
  const tinyobj::mesh_t& mesh = file.shapes[std::size_t(face.shape)].mesh;
  const tinyobj::index_t* corners = &mesh.indices[face.firstCorner];
  const unsigned count = mesh.num_face_vertices[std::size_t(face.face)];
  const tinyobj::attrib_t& a = file.attrib;
  context.beginPolygon();
  context.meshes.back().polygons.back().vertices.reserve(count);
  bool faceNormalSet = false;
  for (unsigned k = 0; k < count; ++k) {
    const tinyobj::index_t& corner = corners[k];
    if (corner.normal_index >= 0) {
      const tinyobj::real_t* n = &a.normals[std::size_t(corner.normal_index) * 3];
      setNormal(context, {float(n[0]), float(n[1]), float(n[2])});
      faceNormalSet = false;
    } else if (!faceNormalSet) {
      setNormal(context, faceNormal(file, framing, corners, count));
      faceNormalSet = true;
    }
    if (corner.texcoord_index >= 0) {
      const tinyobj::real_t* st = &a.texcoords[std::size_t(corner.texcoord_index) * 2];
      context.texCoord(float(st[0]), float(st[1]));
    } else {
      context.texCoord(0, 0);
    }
    const Vec3 p = positionOf(file, framing, corner.vertex_index);
    context.vertex(p.x, p.y, p.z);
  }
}

}  // namespace

ModelSummary captureObjScene(const ObjFile& file, RenderContext& context,
                             std::vector<std::string>& warnings) {
  ModelSummary summary;
  summary.file = file.path;
  summary.framing = frameModel(file);
  context.reset();
  addSceneLights(context);
  TextureShelf textures(file, context, warnings);
  for (const MaterialFaces& group : facesByMaterial(file)) {
    setMaterial(context, file, group.material, textures.textureOf(group.material));
    context.begin();
    context.meshes.back().polygons.reserve(group.faces.size());
    for (const FaceRef& face : group.faces)
      captureFace(context, file, summary.framing, face);
  }
  summary.polygons = file.faces;
  summary.vertices = file.corners;
  summary.meshes = int(context.meshes.size());
  summary.textures = textures.count();
  return summary;
}

ModelSummary loadObjScene(const std::string& path, RenderContext& context,
                          std::vector<std::string>& warnings) {
  return captureObjScene(readObjFile(path, warnings), context, warnings);
}
