#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model_mesh.h"

// Whether bytes are a PLY file: they start with its mark, "ply" on a line of its own.
bool isPly(std::string_view bytes);

// The polygons of a PLY file, ASCII or binary of either byte order, as a model of one
// material: the vertex element's x, y and z, with nx, ny, nz and texture coordinates
// (u and v, s and t, or texture_u and texture_v) and colours (red, green, blue and
// alpha, display values) where it has them, and each face of the face element's
// vertex_indices (or vertex_index) a polygon of all its corners. Other elements and
// properties are read past, and header lines that are not PLY statements (some writers
// add one of their own) passed over and said once in `warnings`. The body is read
// strictly: it must be what the header describes, exactly; every number within a
// float's range, every index in range. Throws SceneFileError naming the file and what
// is wrong.
ModelMesh readPly(const std::string& path, std::string_view bytes,
                  std::vector<std::string>& warnings);
