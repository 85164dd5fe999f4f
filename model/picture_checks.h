#pragma once

#include <string>

// What is wrong with a picture that its decoder would pay for before it noticed: each
// check costs one pass over the bytes and refuses before a byte is decoded.

// A PNG's size from its header, the first chunk, read here: the decoder refuses to say
// the size of one too large for it, and would call it of an unknown type.
bool pngSize(const std::string& bytes, int& width, int& height);

// What is wrong with a PNG before it is decoded, or nothing. The decoder allocates what a
// chunk's length claims before it reads the chunk, and grows its output for as long as
// the compressed image data goes on: a few kilobytes could ask it for gigabytes. So every
// chunk up to the end must lie within the bytes, and the image data must inflate to no
// more than the header's size holds, counted through a small buffer that is thrown away.
// Damaged image data is refused too, since the decoder would read it on regardless.
std::string pngProblem(const std::string& bytes);

// A JPEG scan is a pass over the whole picture, and a progressive JPEG may hold any
// number of them: a few bytes each, they could cost the decoder minutes. Every scan
// starts at the bytes FF DA, so counting those pairs anywhere in the file bounds the
// scans the decoder can meet, whatever the rest of the file holds.
inline constexpr int kMostJpegScans = 500;
std::string jpegProblem(const std::string& bytes);
