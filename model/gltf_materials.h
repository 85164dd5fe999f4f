#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/gltf_document.h"
#include "model/gltf_sources.h"
#include "model/model_mesh.h"

// The model's materials for a glTF file's materials, each made at its first use by a
// primitive that is drawn, so that a picture no drawn material uses is never read.
//
// A material's base colour factor, linear as glTF gives it, becomes its diffuse colour
// as a display value; its emissive factor is the light it gives off. Its base colour
// texture's picture becomes one of the model's own pictures, read once however many
// materials use it, with the factor and the emission to multiply and add to its texels
// (in linear light) once decoded, and its sampler's wrap modes.
class GltfMaterials {
 public:
  GltfMaterials(const std::string& path, const GltfDocument& document, GltfSources& sources,
                ModelMesh& mesh, std::vector<std::string>& warnings);

  // The model's material for glTF material `index` on `primitive`; -1 for none. Where the
  // texture uses a set of texture coordinates the primitive lacks, the material without
  // its texture, said once.
  int slot(int index, const GltfPrimitive& primitive);

  // The set of texture coordinates, TEXCOORD_n, the model's material `slot` samples its
  // texture with; -1 for a material without texture.
  int texCoordSet(int slot) const;

  // The glTF material of the model's material `slot`.
  const GltfMaterial& source(int slot) const;

 private:
  ModelMaterial made(int index, bool withTexture);
  int picture(const GltfTextureRef& ref, const std::string& material, ModelMaterial& made);
  TextureWrap wrapOf(int mode, const std::string& where) const;

  const std::string& path_;
  const GltfDocument& document_;
  GltfSources& sources_;
  ModelMesh& mesh_;
  std::vector<std::string>& warnings_;
  std::map<std::pair<int, bool>, int> slots_;  // (glTF material, with texture) -> the model's
  std::vector<int> texCoordSets_;              // of each of the model's materials
  std::vector<int> origins_;                   // the glTF material of each
  std::map<int, int> pictures_;                // glTF image -> the model's own picture
};
