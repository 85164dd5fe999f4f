#pragma once

#include <string>

// What is wrong with a PNG before it is decoded, or nothing. The decoder allocates what a
// chunk's length claims before it reads the chunk, and grows its output for as long as
// the compressed image data goes on: a few kilobytes could ask it for gigabytes. So every
// chunk up to the end must lie within the bytes, and the image data must inflate to no
// more than the header's size holds, counted through a small buffer that is thrown away.
// Damaged image data is refused too, since the decoder would read it on regardless.
std::string pngProblem(const std::string& bytes);
