#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/model_files.h"
#include "model/model_framing.h"
#include "model/model_mesh.h"
#include "model/texture_file.h"
#include "scene/render_context.h"

// Where a polygon of the scene came from: its face's number in the file, from 1 in the
// order the file gives its faces, and the line of text it was read from (0 for a file
// not of lines).
struct FaceSource {
  std::int32_t number = 0;
  std::int32_t line = 0;
};

// Where a mesh of the scene came from: its material's name (empty for faces without
// one) and the face of each of its polygons.
struct MeshSource {
  std::string material;
  std::vector<FaceSource> faces;
};

// What a model brought into the scene.
struct ModelSummary {
  std::string file;
  long polygons = 0;
  long vertices = 0;
  int meshes = 0;
  int textures = 0;
  ModelFraming framing;
  std::vector<MeshSource> sources;  // one a mesh, in the scene's order
};

// How far a model's own files are trusted.
struct ModelOptions {
  // Material libraries and textures may lie outside the model's folder tree.
  bool outsideFilesAllowed = false;
  // The model's axis that points up: 'y' for nearly every model file (glTF fixes it,
  // and most OBJ exporters follow), 'z' or 'x' for others.
  char up = 'y';
};

// Describes the model to `context` through the capture operations, as the demo scene
// describes its squares: the built-in scene's ambient light and two lights, then one
// mesh per material, in the order the file first uses them (Kd the diffuse colour, Ks
// the specular, Ns the shininess, map_Kd the texture; faces without a material are
// light grey), each face one polygon with all its corners. A corner without a normal
// gets its face's own; one without texture coordinates gets (0, 0). Positions are
// framed (model/model_framing.h).
//
// Material libraries and textures come from `files`. One that cannot be read is a
// warning, and the model is drawn without it; a library that is malformed is refused.
// Textures share `texelBudget`, and each file is decoded once. The reduced texture
// levels are not prepared here. Throws SceneFileError.
ModelSummary captureModelScene(const ModelMesh& mesh, ModelFiles& files, RenderContext& context,
                               std::vector<std::string>& warnings, char up = 'y',
                               long long texelBudget = kTexelBudget);

// The model in a file's bytes, by its content: a glTF file (its buffers and pictures
// from `files`), a PLY file, an STL file (ASCII or binary), or else a Wavefront OBJ file.
// Throws SceneFileError, for a model without faces too.
ModelMesh readModelBytes(const std::string& path, std::string_view bytes, ModelFiles& files,
                         std::vector<std::string>& warnings);

// Reads the model file (OBJ, STL, PLY or glTF) and what it names from disk, then
// captureModelScene. Throws SceneFileError with one line naming the file, for lack of
// memory too.
ModelSummary loadModelScene(const std::string& path, const ModelOptions& options,
                            RenderContext& context, std::vector<std::string>& warnings);
