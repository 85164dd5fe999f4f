#pragma once

#include "math/float4.h"

// The texture levels of the fast fragment path, four pixels at a time, each lane
// exactly what raster/fragment.h gives for one pixel.

// footprintArea of four pixels, one a lane.
Float4 footprintAreas(Float4 a, Float4 b, Float4 c, Float4 d, float texelCount);

// levelOfArea of four areas where it is above 0, which is exactly where the area is
// above 1. A lane whose area is 1 or less gets 0 (the sampler takes the nearest texel
// at every level up to 0, so the exact value does not matter there); a lane that is
// not a number stays not a number. The levels are the same floats as levelOfArea's,
// from a faster logarithm that hands a lane to levelOfArea whenever it cannot vouch
// for the rounding.
Float4 levelsAtLeastZero(Float4 areas);
