#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/model_budgets.h"
#include "model/model_mesh.h"

// Reads the text of a material library, strictly: every number whole and finite; Kd, Ka
// and Ks take one value (grey) or three; names run to the end of the line. Throws
// SceneFileError naming the library, the line and the text at fault; what is not read
// (spectral colours, texture options) is said in `warnings`, once each.
std::vector<ModelMaterial> readMtlText(const std::string& path, std::string_view text,
                                       std::vector<std::string>& warnings);
