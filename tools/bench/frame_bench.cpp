// quadrelle-bench: what a frame of the viewer's scene costs, from the initial view.
//
//   pipeline/W/H        the software pipeline's own work: points counted, no OpenGL call
//   softwareFrame/W/H   a software frame as the viewer draws it, points handed to OpenGL
//   openGLFrame/W/H     a frame through OpenGL, textures kept from frame to frame
//   openGLUploading     the same at 480 x 480 with every texture uploaded again each frame
//
// Sizes default to 480x480, 1920x1080 and 3840x2160; --sizes=WxH,WxH,... picks others.
// Frames drawn through OpenGL are timed by the clock on the wall, since llvmpipe draws
// on threads of its own; they are drawn offscreen, on a private X server when there is
// no display. Every Google Benchmark flag works too, --benchmark_format=json among them.
//
// This file builds against earlier revisions of the pipeline too, so that
// scripts/compare-revisions.sh can time an old and a new build with the same code.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/view_setup.h"
#include "glview/texture_upload.h"
#include "raster/frame_driver.h"
#if __has_include("raster/span_sink.h")
#include "raster/span_sink.h"  // CountingPoints, since the sinks were folded
#endif
#include "raster/texture_levels.h"
#include "scene/demo_scene.h"
#include "tools/xsession/gl_surface.h"

namespace {

struct Viewer {
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

// Created on first use, so that the pipeline alone runs without any X server.
GlSurface& surface(int width, int height) {
  static GlSurface instance(width, height);
  if (instance.width() != width || instance.height() != height) instance.resize(width, height);
  return instance;
}

void pipeline(benchmark::State& state, int width, int height) {
  RenderContext& context = viewer().context;
  context.useOpenGL = false;
  setupView(context, width, height, CameraPose{});
  CountingPoints counted;
  FrameState frame;
  frame.points = &counted;
  renderFrame(context, width, height, frame);  // sizes the depth buffer
  counted.count = 0;
  for (auto _ : state)
    renderFrame(context, width, height, frame);
  state.counters["fragments"] = double(counted.count) / double(state.iterations());
  state.counters["fragments/s"] =
      benchmark::Counter(double(counted.count), benchmark::Counter::kIsRate);
}

void drawnFrame(benchmark::State& state, int width, int height, bool useOpenGL,
                bool uploadEveryFrame) {
  surface(width, height);
  RenderContext& context = viewer().context;
  context.useOpenGL = useOpenGL;
  for (auto _ : state) {
    if (uploadEveryFrame) forgetUploadedTextures();
    drawFrame(context, CameraPose{}, width, height);
    glFinish();
  }
}

std::vector<std::pair<int, int>> sizesFrom(const char* list) {
  std::vector<std::pair<int, int>> sizes;
  for (const char* p = list; *p != '\0';) {
    int width = 0;
    int height = 0;
    int used = 0;
    if (std::sscanf(p, "%dx%d%n", &width, &height, &used) != 2 || width < 1 || height < 1) {
      return {};
    }
    sizes.emplace_back(width, height);
    p += used;
    if (*p == ',') ++p;
  }
  return sizes;
}

// Takes --sizes=... out of the arguments; the rest go to Google Benchmark.
bool takeSizes(int& argc, char** argv, std::vector<std::pair<int, int>>& sizes) {
  sizes = {{480, 480}, {1920, 1080}, {3840, 2160}};
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--sizes=", 8) == 0) {
      sizes = sizesFrom(argv[i] + 8);
      if (sizes.empty()) return false;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return true;
}

void registerFrames(const std::vector<std::pair<int, int>>& sizes) {
  for (const auto& [width, height] : sizes) {
    const std::string size = "/" + std::to_string(width) + "/" + std::to_string(height);
    benchmark::RegisterBenchmark(("pipeline" + size).c_str(), pipeline, width, height)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("softwareFrame" + size).c_str(), drawnFrame, width, height, false,
                                 false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("openGLFrame" + size).c_str(), drawnFrame, width, height, true,
                                 false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::RegisterBenchmark("openGLUploading", drawnFrame, 480, 480, true, true)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<int, int>> sizes;
  if (!takeSizes(argc, argv, sizes)) {
    std::fprintf(stderr, "quadrelle-bench: --sizes takes WxH[,WxH...], each side at least 1\n");
    return 2;
  }
  registerFrames(sizes);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
