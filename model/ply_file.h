#pragma once

#include <string>
#include <string_view>

#include "model/obj_file.h"

// Whether bytes are a PLY file: they start with its mark, "ply" on a line of its own.
bool isPly(std::string_view bytes);

// The polygons of a PLY file, ASCII or binary of either byte order, as a model of one
// material: the vertex element's x, y and z, with nx, ny, nz and texture coordinates
// (u and v, s and t, or texture_u and texture_v) where it has them, and each face of the
// face element's vertex_indices (or vertex_index) a polygon of all its corners. Other
// elements and properties are read past. Read strictly: the header must describe what
// follows it exactly, every number must be finite, every index in range. Throws
// SceneFileError naming the file and what is wrong.
ModelMesh readPly(const std::string& path, std::string_view bytes);
