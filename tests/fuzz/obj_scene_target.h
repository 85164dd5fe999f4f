#pragma once

#include <cstddef>
#include <cstdint>

// What the fuzz target does with each input: reads the bytes as an OBJ file, captures
// the model and draws a 64 x 64 software frame of it, through the fast and the plain
// fragment paths, lit when the input's length is odd. Files the loader refuses end
// there. Stops the program if the two paths draw different points.
void drawObjBytes(const std::uint8_t* data, std::size_t size);
