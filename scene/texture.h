#pragma once

#include <memory>
#include <vector>

#include "math/vec4.h"

// The reduced levels the software pipeline makes of a texture (raster/texture_levels.h).
struct TextureLevels;

// What a sampler does with texture coordinates outside [0, 1].
enum class TextureWrap {
  // The built-in scene's: the software pipeline's bilinear samples clamp to the edge
  // texels, and its nearest texel falls back to column or row 0, as the pipeline was
  // first made; OpenGL clamps to the edge.
  Clamp,
  ClampToEdge,     // every sample takes the edge texels
  Repeat,          // the texture tiles: only the fraction of a coordinate counts
  MirroredRepeat,  // it tiles, every other copy mirrored
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
  TextureWrap wrapS = TextureWrap::Clamp;  // along s, the rows
  TextureWrap wrapT = TextureWrap::Clamp;  // along t, the columns
  // Prepared once by the software pipeline and owned here. Shared only in type: the
  // pointer erases how to delete a type that the scene does not know.
  std::shared_ptr<TextureLevels> levels;

 private:
  std::size_t index(int x, int y, int c) const {
    return (std::size_t(x) + std::size_t(y) * width) * components + c;
  }
};
