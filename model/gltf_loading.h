#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <tiny_gltf.h>

#include "model/model_files.h"

// The JSON of a glTF file and what it names, parsed by tinygltf with every file it asks
// for looked up through `files` in the file's folder (all of them together at most
// kLargestGltfFiles bytes; nothing is ever written), and each picture's bytes kept in its
// Image::image as the file has them, to be decoded later under the texel budget (a
// picture in a buffer view only once the view is known to lie inside its buffer). JSON
// nested deeper than a glTF file ever needs is refused before it is parsed.
//
// What the file names but cannot be read is said in `warnings`, once each; a buffer that
// cannot be read refuses the model. Throws SceneFileError naming `path` and the fault.
tinygltf::Model loadGltfModel(const std::string& path, std::string_view bytes, ModelFiles& files,
                              std::vector<std::string>& warnings);
