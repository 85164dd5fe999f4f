#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model_files.h"
#include "model/model_mesh.h"

// Whether bytes are glTF: a binary container (GLB), or JSON text that has an "asset".
bool isGltf(std::string_view bytes);

// The triangles of a glTF 2.0 file (JSON with external or embedded buffers, or GLB),
// read and checked here: the default scene's nodes (or, without scenes, every node that
// is no node's child), each placed by its matrix or its translation, rotation and scale,
// composed in double; every primitive of mode TRIANGLES, TRIANGLE_STRIP or TRIANGLE_FAN,
// indexed or not, with POSITION, and NORMAL, COLOR_0 and the base colour's TEXCOORD_n
// where it has them. Each material becomes one of the record's own (model/gltf_materials.h).
// Points and lines are said in `warnings` and not drawn.
//
// Every accessor is decoded once, however often its mesh is placed; every placement is
// charged its vertices and its indices, kept or not, against the budgets before it is
// placed. The buffers and pictures the file names come from `files`, looked up in the
// file's folder, only where what is drawn needs them. Throws SceneFileError with one line
// naming the file and what is wrong: a buffer that cannot be read, an index or accessor
// that reaches past what it indexes, a number that is not finite, a node reached twice
// (a cycle), an extension the file requires, a budget passed.
ModelMesh readGltf(const std::string& path, std::string_view bytes, ModelFiles& files,
                   std::vector<std::string>& warnings);
