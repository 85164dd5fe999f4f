#pragma once

#include <string>
#include <string_view>

#include "model/model_mesh.h"

// Whether bytes are an STL file, told by content: a binary one is exactly 84 bytes and
// 50 a triangle, as its count says; an ASCII one starts with "solid" and holds a facet.
bool isStl(std::string_view bytes);

// Where bytes are binary but no STL file, as their size disagrees with the count of
// triangles a binary STL header would give, the message that says so; "" otherwise.
std::string binaryStlMismatch(std::string_view bytes);

// The triangles of an STL file, ASCII or binary, as a model of one material: each
// facet a face of three corners with its normal (a zero normal leaves the face its own).
// Read strictly: every number whole and finite, every facet of three vertices. Throws
// SceneFileError naming the file and, in ASCII, the line at fault.
ModelMesh readStl(const std::string& path, std::string_view bytes);
