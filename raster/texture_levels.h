#pragma once

#include "scene/render_context.h"
#include "scene/texture.h"

// Gives every mesh texture that has none yet its chain of reduced levels; a texture
// shared by several meshes gets one chain.
void prepareTextureLevels(RenderContext& context);

// Builds the chain of `texture` into `levels`: each level half the size of the one
// before (integer halving; an odd last row or column is dropped) until a side is 1,
// every texel the mean of a 2 x 2 block.
void buildLevels(TextureLevels& levels, const Texture& texture);

// Writes the level below a width x height source of c floats a texel at
// `destination`, then the levels below that, each followed by one spare row; returns
// how many levels it wrote.
int halveLevel(const float* source, int width, int height, int c, float* destination);
