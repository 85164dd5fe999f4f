#pragma once

#include <optional>
#include <string>

#include "scene/texture.h"

// The largest side of a texture read from a file: the largest texture OpenGL takes here.
inline constexpr int kLargestTextureSide = 16384;

// A texture from a PNG or JPEG file, as it comes: any size up to kLargestTextureSide on
// a side, with 1 to 4 components (grey, grey and alpha, red green blue, red green blue
// alpha), each 8-bit channel made a float in [0, 1]. Row 0 of the texture is the
// picture's bottom row, since texture coordinate t grows upwards.
//
// Nothing, with the reason in `problem`, when the file cannot be read or is not a PNG
// or JPEG picture that decodes: the model is then drawn without it. Throws
// SceneFileError, with the reason alone, for a picture larger than the largest texture
// or too large to hold.
std::optional<Texture> readTextureFile(const std::string& path, std::string& problem);
