#pragma once

#include <tiny_obj_loader.h>

#include <string>
#include <vector>

// What a Wavefront OBJ file holds, as the loader library reads it, and checked: there is
// at least one face, every face has three corners or more and refers only to
// positions, normals and texture coordinates the file has, every number is finite, and
// every material a face names exists. Faces keep all their corners: nothing is
// triangulated.
struct ObjFile {
  std::string path;
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::vector<tinyobj::material_t> materials;
  long faces = 0;
  long corners = 0;
};

// Reads and checks the file and the material libraries it names. Throws SceneFileError
// with one line naming the file; what the file lacks but can be drawn without (a
// material library, a material) goes into `warnings`.
ObjFile readObjFile(const std::string& path, std::vector<std::string>& warnings);

// The same from text in memory, with no material libraries: what the fuzz target feeds.
ObjFile readObjText(const std::string& name, const std::string& text,
                    std::vector<std::string>& warnings);

// The folder in which a file's material libraries and textures are looked for.
std::string folderOf(const std::string& path);
