#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model_files.h"
#include "model/obj_file.h"

// The most vertices, and the most triangles, one glTF model may bring: a file of a few
// kilobytes can place one large mesh at thousands of nodes.
inline constexpr long kMostGltfVertices = 1L << 22;
inline constexpr long kMostGltfTriangles = 1L << 22;
// The most bytes all the buffers and pictures a glTF file names may have together.
inline constexpr std::size_t kLargestGltfFiles = std::size_t(1) << 30;

// Whether bytes are glTF: a binary container (GLB), or JSON text that has an "asset".
bool isGltf(std::string_view bytes);

// The triangles of a glTF 2.0 file (JSON with external or embedded buffers, or GLB),
// parsed with tinygltf and then checked and read here: the default scene's nodes (or,
// without scenes, every node that is no node's child), each placed by its matrix or its
// translation, rotation and scale, composed in double; every primitive of mode
// TRIANGLES, TRIANGLE_STRIP or TRIANGLE_FAN, indexed or not, with POSITION, and NORMAL
// and the base colour's TEXCOORD_n where it has them. Each material becomes one of the
// record's own, its base colour factor the diffuse colour and its base colour texture's
// picture the texture. Points and lines are said in `warnings` and not drawn.
//
// The buffers and pictures the file names come from `files`, looked up in the file's
// folder. Throws SceneFileError with one line naming the file and what is wrong: a buffer
// that cannot be read, an index or accessor that reaches past what it indexes, a number
// that is not finite, a node reached twice (a cycle), an extension the file requires.
ModelMesh readGltf(const std::string& path, std::string_view bytes, ModelFiles& files,
                   std::vector<std::string>& warnings);
