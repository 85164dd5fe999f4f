#pragma once

#include <cstddef>
#include <cstdint>

// What the fuzz target does with each input: splits it into a model file (OBJ, STL, PLY
// or glTF, told by content), a material library or glTF buffer, and a picture (at the
// first "\n@@mtl\n" and the first "\n@@image\n" after it), reads the model with the
// other two as its only files, "model.mtl" (or "model.bin") and "texture.png", captures
// it, with textures of at most 256 x 256 texels in all, and draws a 64 x 64 software
// frame of it, through the fast and the plain fragment paths, lit when the input's
// length is odd. Models the reader refuses end there. Stops the program if the two paths
// draw different points. Returns how many textures the model brought, or -1 where it was
// refused.
int drawModelBytes(const std::uint8_t* data, std::size_t size);
