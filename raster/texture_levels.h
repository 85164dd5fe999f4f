#pragma once

#include <vector>

#include "math/float4.h"
#include "scene/render_context.h"
#include "scene/texture.h"

// One level of a texture's chain of reduced copies; level 0 is the texture itself.
struct TextureLevel {
  const float* texels = nullptr;  // rows along y, x fastest, `components` floats a texel
  const float* rgb = nullptr;     // the same texels as red, green, blue: 3 floats a texel
  int width = 0;
  int height = 0;
  int rowFloats = 0;     // floats a row of `rgb`
  float lastColumn = 0;  // width - 1 and height - 1, as the samplers scale by them
  float lastRow = 0;
  // lastColumn and lastRow of this level, then of the next (of this one again for the
  // last level): where a sample between the two falls.
  Float4 pairScale{};
};

// The reduced levels of a texture, each half the size of the one before, made once
// at start-up by the software pipeline. `data` holds levels 1 to `count` one after the
// other, every level followed by one spare row that nothing reads: with it, level i
// takes trunc(0.5^i W + 0.25^i W H) texels, and where a level starts is a closed sum
// rather than a walk through the levels before it. `level[k]` points at level k, so
// samplers never work out where a level starts.
//
// The samplers read `rgb`, a copy of every level with three floats a texel whatever the
// texture's component count, and a row and a texel of zeros to spare at the end: a
// texel is then one four-float load whose fourth lane (the next texel's red) is never
// used, a bilinear sample weighs all its channels in one vector operation, and the
// fast sampler may read the whole 2 x 2 block of texels of any sample.
struct TextureLevels {
  std::vector<float> data;
  const Texture* texture = nullptr;
  int count = 0;
  std::vector<TextureLevel> level;  // levels 0 to count
  std::vector<float> rgb;
  float texelCount = 0;            // width x height of level 0, for the level choice
  bool offsetsFit16Bits = false;   // rows and rowFloats of every level below 2^15
  bool finiteNonNegative = false;  // every float of `rgb` finite, its sign bit clear
};

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
