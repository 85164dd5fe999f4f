// What a frame costs at 480 x 480 from the initial view: the OpenGL path with its
// textures kept or uploaded every frame, and the software path with its points going
// to OpenGL or only counted (the pipeline's own work).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "app/view_setup.h"
#include "glview/texture_upload.h"
#include "raster/frame_driver.h"
#include "raster/texture_levels.h"
#include "scene/demo_scene.h"
#include "tools/xsession/gl_surface.h"

namespace {

struct Viewer {
  GlSurface surface{480, 480};
  RenderContext context;
  Viewer() {
    setupScene(context);
    prepareTextureLevels(context);
  }
};

Viewer& viewer() {
  static Viewer instance;
  return instance;
}

void drawOneFrame(Viewer& v) {
  drawFrame(v.context, CameraPose{}, 480, 480);
  glFinish();
}

void openGLFrame(benchmark::State& state) {
  Viewer& v = viewer();
  v.context.useOpenGL = true;
  const bool uploadEveryFrame = state.range(0) != 0;
  for (auto _ : state) {
    if (uploadEveryFrame) forgetUploadedTextures();
    drawOneFrame(v);
  }
}
BENCHMARK(openGLFrame)->ArgName("uploadEveryFrame")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The software path with its points going to OpenGL, as the viewer draws it.
void softwareFrame(benchmark::State& state) {
  Viewer& v = viewer();
  v.context.useOpenGL = false;
  for (auto _ : state)
    drawOneFrame(v);
}
BENCHMARK(softwareFrame)->Unit(benchmark::kMillisecond);

// The software pipeline's own work: the same frame with the points counted instead
// of drawn, and no OpenGL call at all.
void softwarePipelineOnly(benchmark::State& state) {
  Viewer& v = viewer();
  v.context.useOpenGL = false;
  setupView(v.context, 480, 480, CameraPose{});
  CountingPoints counted;
  FrameState frame;
  frame.points = &counted;
  for (auto _ : state)
    renderFrame(v.context, 480, 480, frame);
  state.counters["fragments"] = benchmark::Counter(double(counted.count) / state.iterations());
  state.counters["fragments/s"] =
      benchmark::Counter(double(counted.count), benchmark::Counter::kIsRate);
}
BENCHMARK(softwarePipelineOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
