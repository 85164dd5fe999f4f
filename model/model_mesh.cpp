#include "model/model_mesh.h"

#include "model/scene_file_error.h"

void requireRoomForCorners(const ModelMesh& mesh, std::int64_t more) {
  if (std::int64_t(mesh.corners.size()) + more > kMostModelCorners) {
    throw SceneFileError(mesh.path + ": too large: it has more than " +
                         std::to_string(kMostModelCorners) +
                         " face corners, the most a model may have");
  }
}

void addFace(ModelMesh& mesh, int cornerCount, int material, long line) {
  requireRoomForCorners(mesh, cornerCount);
  mesh.faces.push_back(
      {std::uint32_t(mesh.corners.size()), cornerCount, material, std::int32_t(line)});
}
