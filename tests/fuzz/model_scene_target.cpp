#include "tests/fuzz/model_scene_target.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/view_setup.h"
#include "model/model_scene.h"
#include "model/scene_file_error.h"
#include "raster/frame_budget.h"
#include "raster/software_frame.h"
#include "raster/texture_levels.h"
#include "tests/support/digest_points.h"

namespace {

constexpr long long kFuzzTexelBudget = 256 * 256;

// A frame may take 64 steps a pixel, as in the tools but without their floor for small
// pictures, so that each input stays quick under the sanitizers.
DigestPoints draw(const RenderContext& context, FragmentPath path) {
  DigestPoints points;
  FrameState frame;
  frame.points = &points;
  frame.fragmentPath = path;
  frame.workBudget = 64 * 64 * 64;
  renderSoftwareFrame(context, 64, 64, frame);
  return points;
}

// The part of `text` before `mark`, and what follows it in `rest`.
std::string cut(std::string_view& text, std::string_view mark) {
  const std::size_t at = text.find(mark);
  const std::string part(text.substr(0, at));
  text.remove_prefix(at == std::string_view::npos ? text.size() : at + mark.size());
  return part;
}

}  // namespace

int drawModelBytes(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string obj = cut(input, "\n@@mtl\n");
  const std::string mtl = cut(input, "\n@@image\n");
  MemoryModelFiles files(
      {{"model.mtl", mtl}, {"model.bin", mtl}, {"texture.png", std::string(input)}});
  std::vector<std::string> warnings;
  RenderContext context;
  ModelSummary model;
  try {
    // A budget of 256 x 256 texels keeps each input quick to draw under the sanitizers.
    model = captureModelScene(readModelBytes("input.obj", obj, files, warnings), files, context,
                              warnings, "xyz"[size % 3], kFuzzTexelBudget);
  } catch (const SceneFileError&) {
    return -1;
  }
  prepareTextureLevels(context);
  context.useOpenGL = false;
  context.lighting = size % 2 == 1;
  setupView(context, 64, 64, CameraPose{});
  DigestPoints fast;
  DigestPoints plain;
  try {
    fast = draw(context, FragmentPath::Fast);
    plain = draw(context, FragmentPath::Plain);
  } catch (const FrameTooCostly&) {
    return -1;
  }
  if (fast.digest != plain.digest) {
    std::fprintf(stderr, "the fast and the plain fragment paths drew different points\n");
    std::abort();
  }
  return model.textures;
}
