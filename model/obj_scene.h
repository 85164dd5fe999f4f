#pragma once

#include <string>
#include <vector>

#include "scene/render_context.h"
#include "tools/model/model_framing.h"
#include "tools/model/obj_file.h"

// What a model brought into the scene.
struct ModelSummary {
  std::string file;
  long polygons = 0;
  long vertices = 0;
  int meshes = 0;
  int textures = 0;
  ModelFraming framing;
};

// Describes the model to `context` through the capture operations, as the demo scene
// describes its squares: the built-in scene's ambient light and two lights, then one
// mesh per material, in the order the file first uses them (Kd the diffuse colour, Ks
// the specular, Ns the shininess, map_Kd the texture; faces without a material are
// light grey), each face one polygon with all its corners. A corner without a normal gets its
// face's own; one without texture coordinates gets (0, 0). Positions are framed
// (tools/model/model_framing.h).
//
// Textures are read from PNG and JPEG files beside the model; one that cannot be read
// is a warning, and its material is drawn without it. The reduced texture levels are
// not prepared here.
ModelSummary captureObjScene(const ObjFile& file, RenderContext& context,
                             std::vector<std::string>& warnings);

// readObjFile, then captureObjScene. Throws SceneFileError.
ModelSummary loadObjScene(const std::string& path, RenderContext& context,
                          std::vector<std::string>& warnings);
