#include "tools/model/obj_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <utility>

#include "tools/model/scene_file_error.h"

namespace {

[[noreturn]] void refuse(const std::string& path, const std::string& reason) {
  throw SceneFileError(path + ": " + reason);
}

// The whole file, read as it comes (a pipe too).
std::string contentsOf(const std::string& path) {
  std::error_code code;
  if (std::filesystem::is_directory(path, code)) refuse(path, "is a folder, not a file");
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    const int reason = errno;
    refuse(path, std::string("cannot read it: ") + std::strerror(reason));
  }
  std::string text;
  char chunk[1 << 16];
  std::size_t count;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
    text.append(chunk, count);
  const int reason = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (reason != 0) refuse(path, std::string("cannot read it: ") + std::strerror(reason));
  return text;
}

// The loader turns the joint number of a vertex weight into an int unchecked, which is
// undefined for a number beyond int's range. A model has no use for weights: their
// lines ("vw", after any blanks, where a line ends at '\n' or '\r' as the loader
// reads it) become comments before the loader sees them.
void commentOutVertexWeights(std::string& text) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t at = text.find_first_not_of(" \t", start);
    if (at == std::string::npos) return;
    if (text.compare(at, 2, "vw") == 0 && at + 2 < text.size() &&
        (text[at + 2] == ' ' || text[at + 2] == '\t')) {
      text[at] = '#';
    }
    const std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) return;
    start = end + 1;
  }
}

// The text between the first two marks of a loader message, as in
// "Material file [ name ] not found".
std::string between(const std::string& line, char open, char close) {
  const std::size_t first = line.find(open);
  const std::size_t last = line.find(close, first + 1);
  if (first == std::string::npos || last == std::string::npos) return "";
  std::string text = line.substr(first + 1, last - first - 1);
  const std::size_t start = text.find_first_not_of(" '");
  const std::size_t end = text.find_last_not_of(" '");
  return start == std::string::npos ? "" : text.substr(start, end - start + 1);
}

// The loader's warnings, one a line: a face with fewer than three corners is refused;
// indices out of range are refused by the checks below, with more to say; the rest
// (a material library or material not found) is passed on.
void takeWarnings(const std::string& path, const std::string& text,
                  std::vector<std::string>& warnings) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line == ".") continue;
    if (line.find("Degenerated face") != std::string::npos) {
      refuse(path, "a face has fewer than 3 corners");
    }
    if (line.find("out of bounds") != std::string::npos) continue;
    if (line.find("Material file") != std::string::npos) {
      warnings.push_back(path + ": material library '" + between(line, '[', ']') +
                         "' not found; drawn without its materials");
    } else if (line.find("not found in .mtl") != std::string::npos) {
      warnings.push_back(path + ": material '" + between(line, '[', ']') +
                         "' not found; its faces are drawn light grey");
    } else {
      warnings.push_back(path + ": " + line);
    }
  }
}

// The line of the file a loader message names, or 0.
long lineNamed(const std::string& message) {
  const std::size_t at = message.find("line ");
  return at == std::string::npos ? 0 : std::atol(message.c_str() + at + 5);
}

// The loader's error, said plainly, with the line of the file where it gives one.
[[noreturn]] void refuseWithLoaderError(const std::string& path, const std::string& error) {
  const std::string first = error.substr(0, error.find('\n'));
  const long line = lineNamed(first);
  const std::string where = line > 0 ? "line " + std::to_string(line) + ": " : "";
  if (first.find("Failed parse `f'") != std::string::npos) {
    refuse(path, where + "a face names corner 0, or a corner that cannot be read");
  }
  if (first.find("Failed parse `l'") != std::string::npos ||
      first.find("Failed parse `p'") != std::string::npos) {
    refuse(path, where + "a line or point names corner 0, or a corner that cannot be read");
  }
  refuse(path, first.empty() ? "cannot be read as an OBJ file" : first);
}

void checkFinite(const std::string& path, const std::vector<tinyobj::real_t>& values,
                 const char* what) {
  for (tinyobj::real_t v : values) {
    if (!std::isfinite(v)) refuse(path, std::string("a ") + what + " is not a finite number");
  }
}

void checkMaterials(const ObjFile& file) {
  for (const tinyobj::material_t& m : file.materials) {
    bool finite = std::isfinite(m.shininess);
    for (int i = 0; i < 3; ++i)
      finite = finite && std::isfinite(m.diffuse[i]) && std::isfinite(m.specular[i]);
    if (!finite) refuse(file.path, "material '" + m.name + "' has a number that is not finite");
  }
}

void checkIndex(const std::string& path, int index, std::size_t count, bool optional,
                const char* what, long face) {
  if (optional && index == -1) return;
  if (index < 0 || std::size_t(index) >= count) {
    refuse(path, "face " + std::to_string(face) + " refers to " + what + " " +
                     std::to_string(long(index) + 1) + ", but the file has " +
                     std::to_string(count));
  }
}

// Every face of every shape, with its corners' indices in range and its material known.
void checkFaces(ObjFile& file) {
  const tinyobj::attrib_t& a = file.attrib;
  for (const tinyobj::shape_t& shape : file.shapes) {
    const tinyobj::mesh_t& mesh = shape.mesh;
    std::size_t corner = 0;
    for (std::size_t f = 0; f < mesh.num_face_vertices.size(); ++f) {
      const long face = ++file.faces;
      const unsigned corners = mesh.num_face_vertices[f];
      if (corners < 3) refuse(file.path, "a face has fewer than 3 corners");
      if (corner + corners > mesh.indices.size()) break;
      for (unsigned k = 0; k < corners; ++k, ++corner) {
        const tinyobj::index_t& i = mesh.indices[corner];
        checkIndex(file.path, i.vertex_index, a.vertices.size() / 3, false, "position", face);
        checkIndex(file.path, i.normal_index, a.normals.size() / 3, true, "normal", face);
        checkIndex(file.path, i.texcoord_index, a.texcoords.size() / 2, true, "texture coordinate",
                   face);
      }
      const int material = f < mesh.material_ids.size() ? mesh.material_ids[f] : -1;
      if (material < -1 || material >= int(file.materials.size())) {
        refuse(file.path, "face " + std::to_string(face) + " names a material that is not there");
      }
    }
    // The loader keeps a face's corner count in a byte: a face of more than 255 corners
    // leaves its corners and its count apart.
    if (corner != mesh.indices.size()) {
      refuse(file.path, "a face has more than 255 corners, more than the OBJ loader keeps");
    }
    file.corners += long(corner);
  }
  if (file.faces == 0) refuse(file.path, "no faces to draw");
}

}  // namespace

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

namespace {

// The checks every file goes through once the loader has read it.
ObjFile checked(ObjFile file, bool read, const std::string& loaderWarnings,
                const std::string& loaderError, std::vector<std::string>& warnings) {
  if (!read) refuseWithLoaderError(file.path, loaderError);
  takeWarnings(file.path, loaderWarnings, warnings);
  checkFinite(file.path, file.attrib.vertices, "position coordinate");
  checkFinite(file.path, file.attrib.normals, "normal coordinate");
  checkFinite(file.path, file.attrib.texcoords, "texture coordinate");
  checkMaterials(file);
  checkFaces(file);
  return file;
}

}  // namespace

namespace {

ObjFile loaded(const std::string& path, std::string text, tinyobj::MaterialReader* materials,
               std::vector<std::string>& warnings) {
  commentOutVertexWeights(text);
  ObjFile file;
  file.path = path;
  std::string loaderWarnings;
  std::string loaderError;
  std::istringstream stream(std::move(text));
  const bool read = tinyobj::LoadObj(&file.attrib, &file.shapes, &file.materials, &loaderWarnings,
                                     &loaderError, &stream, materials, /*triangulate=*/false,
                                     /*default_vcols_fallback=*/false);
  return checked(std::move(file), read, loaderWarnings, loaderError, warnings);
}

}  // namespace

ObjFile readObjFile(const std::string& path, std::vector<std::string>& warnings) {
  tinyobj::MaterialFileReader materials(folderOf(path) + "/");
  return loaded(path, contentsOf(path), &materials, warnings);
}

ObjFile readObjText(const std::string& name, const std::string& text,
                    std::vector<std::string>& warnings) {
  return loaded(name, text, /*materials=*/nullptr, warnings);
}
