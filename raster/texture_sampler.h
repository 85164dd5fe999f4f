#pragma once

#include "math/vec4.h"
#include "scene/texture.h"

// The colour of a texture at (s, t) for a fractional level number: the nearest texel
// of the full-size texture at level 0 and below, a blend of bilinear samples of the
// two enclosing levels above it. Above the last level it samples one level finer than
// the last. A level that is not a number gives (0, 0, 0, 1).
Color sampleTexture(const TextureLevels& levels, float level, float s, float t);

// Bilinear sample of level k (a whole number from 0 to count), with s and t clamped to
// [0, 1].
Color sampleBilinear(const TextureLevels& levels, float k, float s, float t);

// Nearest texel of level 0. Coordinates outside [0, 1] fall back to column 0 or row 0:
// no clamping to the nearest edge and no repetition.
Color sampleNearest(const TextureLevels& levels, float s, float t);
