#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/model_mesh.h"

// Reads the text of an OBJ file. Throws SceneFileError with one line naming the file,
// and the line and text at fault where there is one; what the file holds but is not
// drawn (lines, points, curves) is said in `warnings`, once each.
ModelMesh readObjText(const std::string& path, std::string_view text,
                      std::vector<std::string>& warnings);
