#include "model/gltf_materials.h"

#include "model/display_colors.h"
#include "model/model_files.h"
#include "model/scene_file_error.h"
#include "model/warnings.h"

GltfMaterials::GltfMaterials(const std::string& path, const GltfDocument& document,
                             GltfSources& sources, ModelMesh& mesh,
                             std::vector<std::string>& warnings)
    : path_(path), document_(document), sources_(sources), mesh_(mesh), warnings_(warnings) {}

int GltfMaterials::slot(int index, const GltfPrimitive& primitive) {
  if (index == -1) return -1;
  Refusal(path_ + ": ")
      .requireIndex(index, document_.materials.size(), "a primitive names material");
  const GltfTextureRef& ref = document_.materials[std::size_t(index)].baseColorTexture;
  const std::string set = "TEXCOORD_" + std::to_string(ref.texCoord);
  const bool covered = ref.index < 0 || primitive.attributes.count(set) > 0;
  if (!covered) {
    warnOnce(warnings_, path_ + ": material " + std::to_string(index) + "'s texture uses " + set +
                            ", which a primitive lacks; that primitive is drawn without it");
  }
  const auto [at, added] = slots_.try_emplace({index, covered}, int(mesh_.materials.size()));
  if (!added) return at->second;
  ModelMaterial material = made(index, covered);
  texCoordSets_.push_back(material.texture.empty() ? -1 : ref.texCoord);
  origins_.push_back(index);
  mesh_.materialNames.push_back(material.name);
  mesh_.materials.push_back(std::move(material));
  return at->second;
}

int GltfMaterials::texCoordSet(int slot) const {
  return slot < 0 ? -1 : texCoordSets_[std::size_t(slot)];
}

const GltfMaterial& GltfMaterials::source(int slot) const {
  return document_.materials[std::size_t(origins_[std::size_t(slot)])];
}

ModelMaterial GltfMaterials::made(int index, bool withTexture) {
  const GltfMaterial& m = document_.materials[std::size_t(index)];
  ModelMaterial material;
  material.name = "material " + std::to_string(index) + (withTexture ? "" : " without texture");
  const auto& f = m.baseColorFactor;
  const auto& e = m.emissiveFactor;
  material.diffuse = {float(displayValue(f[0])), float(displayValue(f[1])),
                      float(displayValue(f[2])), float(f[3])};
  material.emission = {float(displayValue(e[0])), float(displayValue(e[1])),
                       float(displayValue(e[2])), 0};
  material.shininess = 0;
  if (withTexture && m.baseColorTexture.index >= 0) {
    material.ownTexture = picture(m.baseColorTexture, material.name, material);
  }
  if (material.ownTexture >= 0) {
    // The factor and the emission are in the texels, which replace the colour.
    std::copy(f.begin(), f.end(), material.tint.factor);
    std::copy(e.begin(), e.end(), material.tint.emission);
    material.emission = {0, 0, 0, 0};
  } else {
    material.texture.clear();
  }
  return material;
}

int GltfMaterials::picture(const GltfTextureRef& ref, const std::string& material,
                           ModelMaterial& made) {
  const Refusal refusal(path_ + ": ");
  refusal.requireIndex(ref.index, document_.textures.size(),
                       material + "'s base colour texture is texture");
  const GltfTexture& texture = document_.textures[std::size_t(ref.index)];
  if (texture.sampler >= 0) {
    refusal.requireIndex(texture.sampler, document_.samplers.size(),
                         "texture " + std::to_string(ref.index) + "'s sampler is sampler");
    const GltfSampler& sampler = document_.samplers[std::size_t(texture.sampler)];
    const std::string where = "samplers[" + std::to_string(texture.sampler) + "].";
    made.wrapS = wrapOf(sampler.wrapS, where + "wrapS");
    made.wrapT = wrapOf(sampler.wrapT, where + "wrapT");
  }
  if (texture.source < 0) {
    warnOnce(warnings_, path_ + ": texture " + std::to_string(ref.index) +
                            " has no picture in a format glTF defines; drawn without it");
    return -1;
  }
  refusal.requireIndex(texture.source, document_.images.size(), "a texture's source is image");
  const auto [at, added] = pictures_.try_emplace(texture.source, -1);
  std::string written;
  if (added) {
    const auto bytes = sources_.picture(texture.source, written);
    if (bytes) {
      at->second = int(mesh_.textures.size());
      mesh_.textures.emplace_back(*bytes);
    }
  } else {
    const GltfImage& image = document_.images[std::size_t(texture.source)];
    written =
        image.source.uri.empty() ? "image " + std::to_string(texture.source) : image.source.uri;
  }
  made.texture = written;
  return at->second;
}

TextureWrap GltfMaterials::wrapOf(int mode, const std::string& where) const {
  if (mode == gltf::kRepeat) return TextureWrap::Repeat;
  if (mode == gltf::kClampToEdge) return TextureWrap::ClampToEdge;
  if (mode == gltf::kMirroredRepeat) return TextureWrap::MirroredRepeat;
  throw SceneFileError(path_ + ": " + where + " is " + std::to_string(mode) +
                       ", not a wrap mode glTF has");
}
