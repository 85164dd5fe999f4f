#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "model/model_budgets.h"
#include "model/model_mesh.h"
#include "scene/texture.h"

// A texture from the bytes of a PNG, JPEG, BMP or TGA file, told by its content, as it
// comes: 1 to 4 components (grey, grey and alpha, red green blue, red green blue alpha),
// each 8-bit channel made a float in [0, 1]. Row 0 of the texture is the picture's bottom
// row, since texture coordinate t grows upwards.
//
// The size is read from the picture's header before anything is decoded. Nothing, with
// the reason in `problem`, for bytes of another kind, a picture that does not decode,
// one larger than kLargestTextureSide on a side, or one whose texels exceed
// `texelsLeft`; otherwise its texels are taken from `texelsLeft`.
std::optional<Texture> decodeTexture(const std::string& bytes, long long& texelsLeft,
                                     std::string& problem);

// The texture with the tint in its texels: each colour channel taken to linear light,
// multiplied by the tint's factor, its emission added, clamped to [0, 1] and encoded for
// display again, each texel in double and rounded to float once; alpha multiplied by
// the factor's alpha. A grey texture becomes a colour one, since the factor may colour
// it. Its wrap modes stay.
Texture tinted(const Texture& texture, const TexelTint& tint);
