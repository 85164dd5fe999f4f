#include "tests/fuzz/obj_scene_target.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/view_setup.h"
#include "raster/software_frame.h"
#include "raster/texture_levels.h"
#include "tests/support/digest_points.h"
#include "tools/model/obj_scene.h"
#include "tools/model/scene_file_error.h"

namespace {

DigestPoints draw(const RenderContext& context, FragmentPath path) {
  DigestPoints points;
  FrameState frame;
  frame.points = &points;
  frame.fragmentPath = path;
  renderSoftwareFrame(context, 64, 64, frame);
  return points;
}

}  // namespace

void drawObjBytes(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> warnings;
  RenderContext context;
  try {
    captureObjScene(readObjText("input.obj", text, warnings), context, warnings);
  } catch (const SceneFileError&) {
    return;
  }
  prepareTextureLevels(context);
  context.useOpenGL = false;
  context.lighting = size % 2 == 1;
  setupView(context, 64, 64, CameraPose{});
  const DigestPoints fast = draw(context, FragmentPath::Fast);
  const DigestPoints plain = draw(context, FragmentPath::Plain);
  if (fast.digest != plain.digest) {
    std::fprintf(stderr, "the fast and the plain fragment paths drew different points\n");
    std::abort();
  }
}
