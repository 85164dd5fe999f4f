#pragma once

#include <memory>
#include <vector>

#include "math/float4.h"
#include "math/vec4.h"

class Texture;

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
  bool narrow = false;             // rows and rowFloats of every level below 2^15
  bool finiteNonNegative = false;  // every float of `rgb` finite, its sign bit clear
};

// A float image of 1 to 4 components a texel: grey, grey and alpha, red green blue, or
// red green blue alpha. Texel (x, y) component c is at (x + y * width) * components + c.
class Texture {
 public:
  // Throws std::bad_alloc for a negative size or one whose bytes do not fit in 32 bits.
  Texture(int width, int height, int components);

  // A 4 x 4 grid of tiles with pale borders; the tile size follows the width alone.
  // Requires width >= 4.
  static Texture makeTileTexture(int width, int height);
  // Light and dark bands at every 0.1 of squared distance from a tilted axis, like
  // growth rings in wood.
  static Texture makeRingTexture(int width, int height);

  float& texel(int x, int y, int c) { return texels[index(x, y, c)]; }
  float texel(int x, int y, int c) const { return texels[index(x, y, c)]; }
  // Writes the channels the texture has, as OpenGL reads them: red, green and blue for
  // 3 components (alpha is dropped), and alpha too for 4; red alone (a grey level) for
  // 1, red and alpha for 2. A texture of another count is left alone.
  void setTexel(int x, int y, Color color);

  int width;
  int height;
  int components;
  std::vector<float> texels;
  std::unique_ptr<TextureLevels> levels;  // prepared once by the software pipeline

 private:
  std::size_t index(int x, int y, int c) const {
    return (std::size_t(x) + std::size_t(y) * width) * components + c;
  }
};
