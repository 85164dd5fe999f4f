// quadrelle-bench: what a frame of the viewer's scene, or of a model, costs, from the
// initial view.
//
//   pipeline/W/H        the software pipeline's own work: points counted, no OpenGL call
//   softwareFrame/W/H   a software frame as the viewer draws it, points handed to OpenGL
//   openGLFrame/W/H     a frame through OpenGL, textures kept from frame to frame
//   openGLUploading     the same at 480 x 480 with every texture uploaded again each frame
//
// Frames drawn through OpenGL are timed by the clock on the wall, since llvmpipe draws
// on threads of its own; they are drawn offscreen, on a private X server when there is
// no display. Every Google Benchmark flag works too, --benchmark_format=json among them.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/frame.h"
#include "app/view_setup.h"
#include "glview/texture_upload.h"
#include "model/scene_file_error.h"
#include "raster/frame_budget.h"
#include "raster/frame_driver.h"
#include "raster/opengl_points.h"
#include "raster/span_sink.h"
#include "raster/texture_levels.h"
#include "tools/cli/numbers.h"
#include "tools/cli/output.h"
#include "tools/cli/scene_options.h"
#include "tools/xsession/gl_surface.h"

namespace {

const char* const kProgram = "quadrelle-bench";
constexpr int kLargestSide = 8192;  // as the other programs take

struct BenchOptions {
  std::vector<std::pair<int, int>> sizes = {{480, 480}, {1920, 1080}, {3840, 2160}};
  SceneOptions scene;
  int threads = 1;
  bool help = false;
  bool version = false;
};

BenchOptions options;

// The scene every benchmark draws, built on first use.
RenderContext& scene() {
  static const std::unique_ptr<RenderContext> context = [] {
    auto made = std::make_unique<RenderContext>();
    std::vector<std::string> warnings;
    buildScene(options.scene, *made, warnings);
    warn(kProgram, warnings);
    return made;
  }();
  return *context;
}

long polygonsOf(const RenderContext& context) {
  long polygons = 0;
  for (const Mesh& mesh : context.meshes)
    polygons += long(mesh.polygons.size());
  return polygons;
}

// Created on first use, so that the pipeline alone runs without any X server.
GlSurface& surface(int width, int height) {
  static GlSurface instance(width, height);
  if (instance.width() != width || instance.height() != height) instance.resize(width, height);
  return instance;
}

// The points a software frame of this size hands on, counted once.
long fragmentsOf(int width, int height) {
  RenderContext& context = scene();
  context.useOpenGL = false;
  setupView(context, width, height, CameraPose{});
  CountingPoints counted;
  FrameState frame;
  frame.points = &counted;
  frame.threads = options.threads;
  frame.workBudget = workBudgetFor(width, height);
  renderFrame(context, width, height, frame);
  return counted.count;
}

void setRates(benchmark::State& state, long fragmentsPerFrame) {
  const double frames = double(state.iterations());
  state.counters["fragments"] = double(fragmentsPerFrame);
  state.counters["fragments/s"] =
      benchmark::Counter(double(fragmentsPerFrame) * frames, benchmark::Counter::kIsRate);
  state.counters["polygons/s"] =
      benchmark::Counter(double(polygonsOf(scene())) * frames, benchmark::Counter::kIsRate);
}

void pipeline(benchmark::State& state, int width, int height) {
  const long fragments = fragmentsOf(width, height);  // also sizes the depth buffer
  RenderContext& context = scene();
  CountingPoints counted;
  FrameState frame;
  frame.points = &counted;
  frame.threads = options.threads;
  for (auto _ : state)
    renderFrame(context, width, height, frame);
  setRates(state, fragments);
}

// The fragments of an OpenGL frame are counted as the pipeline counts them for the same
// view: llvmpipe does not say how many it shades.
void drawnFrame(benchmark::State& state, int width, int height, bool useOpenGL,
                bool uploadEveryFrame) {
  const long fragments = fragmentsOf(width, height);
  surface(width, height);
  RenderContext& context = scene();
  context.useOpenGL = useOpenGL;
  // A software frame's points go to OpenGL from every thread's bands in turn.
  FrameState software;
  software.points = &bandedOpenGLPoints();
  software.threads = options.threads;
  const float white[3] = {1, 1, 1};
  // One frame first, untimed: the driver compiles its shaders and takes the textures.
  drawFrame(context, CameraPose{}, width, height, white, software);
  glFinish();
  // Which OpenGL drew, and for llvmpipe how wide its vectors are on this processor: its
  // speed against the pipeline's depends on both.
  const GLubyte* renderer = glGetString(GL_RENDERER);
  if (renderer != nullptr) state.SetLabel(reinterpret_cast<const char*>(renderer));
  for (auto _ : state) {
    if (uploadEveryFrame) forgetUploadedTextures();
    drawFrame(context, CameraPose{}, width, height, white, software);
    glFinish();
  }
  setRates(state, fragments);
}

// "WxH[,WxH...]", each side a whole number from 1 to kLargestSide, read whole.
bool takeSizes(const std::string& list, std::vector<std::pair<int, int>>& sizes) {
  sizes.clear();
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    const std::string size = list.substr(start, comma - start);
    const std::size_t x = size.find('x');
    long width = 0;
    long height = 0;
    std::string error;
    if (x == std::string::npos || !parseWhole(size.substr(0, x), 1, kLargestSide, width, error) ||
        !parseWhole(size.substr(x + 1), 1, kLargestSide, height, error)) {
      return false;
    }
    sizes.emplace_back(int(width), int(height));
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

// Takes this program's own options out of the arguments, as "--name value" or
// "--name=value"; the rest go to Google Benchmark. False, with the reason, for one it
// cannot take.
bool takeOptions(int& argc, char** argv, std::string& error) {
  OptionParser parser;
  parser.value("--sizes", [](const std::string& text, std::string& reason) {
    if (takeSizes(text, options.sizes)) return true;
    reason = "takes WxH[,WxH...], each side 1 to " + std::to_string(kLargestSide);
    return false;
  });
  addSceneOptions(parser, options.scene);
  addThreadsOption(parser, options.threads);
  parser.flag("--version", options.version);
  std::vector<std::string> others;
  if (!parser.take(std::vector<std::string>(argv + 1, argv + argc), others, error)) return false;
  // What is left is Google Benchmark's, in place of what was taken.
  static std::vector<std::string> kept;
  kept = std::move(others);
  argc = 1;
  for (std::string& argument : kept) {
    if (argument == "--help" || argument == "-h") options.help = true;
    argv[argc++] = argument.data();
  }
  return true;
}

void registerFrames() {
  for (const auto& [width, height] : options.sizes) {
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

void printUsage() {
  std::printf(
      "usage: %s [options] [Google Benchmark flags]\n"
      "Times a frame of the Quadrelle scene, or of a model, from the initial view:\n"
      "pipeline/W/H (the software pipeline alone), softwareFrame/W/H (its points handed\n"
      "to OpenGL) and openGLFrame/W/H (the OpenGL path), with fragments and polygons a\n"
      "second; an OpenGL frame's fragments are counted as the pipeline counts them.\n"
      "Each option takes its value after a space or after '='.\n"
      "\n"
      "  --sizes WxH[,WxH...] picture sizes, each side 1 to %d\n"
      "                      (default 480x480,1920x1080,3840x2160)\n"
      "%s%s"
      "  --version           the version\n"
      "\n"
      "Google Benchmark's own flags follow.\n",
      kProgram, kLargestSide, kSceneOptionsUsage, kThreadsUsage);
  std::fflush(stdout);
}

// Builds the scene and counts the fragments of a frame of every size before any
// benchmark runs, so that a model that cannot be drawn, or would take a frame too many
// steps, is refused at once.
int prepareScene() {
  try {
    scene();
    for (const auto& [width, height] : options.sizes)
      fragmentsOf(width, height);
  } catch (const SceneFileError& e) {
    return refuseInput(kProgram, e.what());
  } catch (const FrameTooCostly& e) {
    return refuseInput(kProgram, sceneName(options.scene) + ": " + e.what());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  if (!takeOptions(argc, argv, error)) {
    std::fprintf(stderr, "%s: %s\nRun %s --help for the options.\n", kProgram, error.c_str(),
                 kProgram);
    return 2;
  }
  if (options.version) {
    std::printf("%s", versionLine(kProgram).c_str());
    return 0;
  }
  if (options.help) printUsage();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  if (const int status = prepareScene(); status != 0) return status;
  // A failure inside a benchmark (no X server to start, a size the OpenGL surface cannot
  // make, memory that cannot be had) ends the run with its reason.
  try {
    registerFrames();
    benchmark::RunSpecifiedBenchmarks();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", kProgram, e.what());
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
