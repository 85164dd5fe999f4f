// quadrelle-render: the Quadrelle scene through the software pipeline alone, on the
// CPU, with no display and no OpenGL, and pictures of what the pipeline does inside.
#include <malloc.h>

#include <chrono>
#include <exception>
#include <memory>

#include "app/standard_streams.h"
#include "app/view_setup.h"
#include "raster/frame_budget.h"
#include "raster/software_frame.h"
#include "tools/cli/json.h"
#include "tools/cli/output.h"
#include "tools/cli/picture_set.h"
#include "tools/cli/scene_options.h"
#include "tools/history/history_report.h"
#include "tools/render/frame_statistics.h"
#include "tools/render/layers.h"
#include "tools/render/options.h"

namespace {

const char* const kProgram = "quadrelle-render";

// The pictures are made one after another, each as large as the last. Freed memory is
// kept in the process, so that each reuses the pages of the one before: fresh pages
// cost a fault each, which in a virtual machine is dear.
void keepFreedMemory() {
  constexpr int kLarge = 1 << 30;
  mallopt(M_MMAP_THRESHOLD, kLarge);
  mallopt(M_TRIM_THRESHOLD, kLarge);
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What it took to make the pictures.
struct Timing {
  double pipelineMs = 0;
  double layersMs = 0;
  double pngMs = 0;
};

// The pixels that got a point, in the picture's order: rows from the top.
Coverage coverageOf(const LayerPoints& points) {
  Coverage covered(points.records.size());
  for (int y = 0; y < points.height; ++y)
    for (int x = 0; x < points.width; ++x)
      covered[std::size_t(points.height - 1 - y) * points.width + x] =
          points.records[std::size_t(y) * points.width + x].drawn > 0;
  return covered;
}

// Draws one frame into `points` and returns how long the pipeline took.
double drawFrame(const RenderOptions& o, RenderContext& context, FrameState& frame,
                 PointSink& points) {
  context.useOpenGL = false;
  context.useMipmaps = o.view.mipmaps;
  setupView(context, o.view.width, o.view.height, o.view.pose);
  frame.points = &points;
  frame.fragmentPath = o.plain ? FragmentPath::Plain : FragmentPath::Fast;
  frame.threads = o.threads;
  frame.workBudget = workBudgetFor(o.view.width, o.view.height);
  const Clock::time_point start = Clock::now();
  renderSoftwareFrame(context, o.view.width, o.view.height, frame);
  return millisecondsSince(start);
}

// The watched pixels' histories, from a frame of their own on the plain path, one
// thread, which gives the same points as the frame the pictures show.
std::vector<PixelHistory> pixelHistories(const RenderOptions& o, RenderContext& context) {
  if (o.pixels.empty()) return {};
  RenderOptions plain = o;
  plain.plain = true;
  plain.threads = 1;
  FrameState frame;
  HistoryPoints points(context, o.view.width, o.view.height, o.pixels);
  drawFrame(plain, context, frame, points);
  return std::move(points.pixels);
}

// Crops and enlarges each picture as asked, puts its legend below and writes it. The
// pictures are made one after another, so that only one is held at a time.
class Writer {
 public:
  Writer(const RenderOptions& o, Timing& timing)
      : options_(o),
        timing_(timing),
        pictures_(o.output.folder, {"software.png", "depth.png", "level.png", "spans.png",
                                    "overdraw.png", "edges.png"}) {}

  bool open(std::string& error) { return pictures_.open(error); }

  template <typename MakeLayer>
  bool write(MakeLayer make, std::string& error) {
    Clock::time_point start = Clock::now();
    Layer layer = make();
    const RenderOptions& o = options_;
    layer.picture = enlarge(std::move(layer.picture), o.output.enlargement);
    if (layer.legend.width > 0) {
      layer.picture = withLegend(std::move(layer.picture), layer.legend);
    }
    timing_.layersMs += millisecondsSince(start);
    start = Clock::now();
    const bool written = pictures_.add(layer.file, layer.picture, error);
    timing_.pngMs += millisecondsSince(start);
    files_.push_back(pictures_.pathOf(layer.file));
    return written;
  }
  bool keep(std::string& error) { return pictures_.keep(error); }
  const std::vector<std::string>& files() const { return files_; }

 private:
  const RenderOptions& options_;
  Timing& timing_;
  PictureSet pictures_;
  std::vector<std::string> files_;
};

// The scene as asked, built before anything is written: a model that cannot be drawn
// is refused like a bad option.
struct Scene {
  RenderContext context;
  std::optional<ModelSummary> model;
};

bool writePictures(const RenderOptions& o, const LayerPoints& points, const FrameState& frame,
                   Writer& writer, std::string& error) {
  const bool layers = o.layers;
  return writer.write(
             [&] {
               return Layer{"software.png", points.picture, {}};
             },
             error) &&
         (!layers || writer.write([&] { return depthLayer(frame); }, error)) &&
         (!layers || writer.write([&] { return levelLayer(points, o.view.mipmaps); }, error)) &&
         (!layers || writer.write([&] { return spansLayer(points); }, error)) &&
         (!layers || writer.write([&] { return overdrawLayer(points); }, error)) &&
         (!o.edges || writer.write([&] { return edgesLayer(points); }, error));
}

std::string report(const RenderOptions& o, const Scene& scene, const FrameStatistics& statistics,
                   const std::vector<PixelHistory>& histories,
                   const std::vector<std::string>& files, const Timing& t) {
  const bool lighting = scene.context.lighting;
  if (o.output.json) {
    Json json = {{"pose", poseJson(o.view, o.scene)}};
    if (scene.model) json["model"] = modelJson(*scene.model);
    json.update(statisticsJson(statistics));
    if (!histories.empty()) json["pixels"] = historyJson(histories, lighting, scene.model);
    json.update({{"pictures", files},
                 {"pipelineMs", t.pipelineMs},
                 {"layersMs", t.layersMs},
                 {"pngMs", t.pngMs}});
    return reportLine(json);
  }
  std::string text = commandLineFor(o) + "\n";
  if (scene.model) text += modelText(*scene.model);
  text += statisticsText(statistics);
  text += historyText(histories, lighting, scene.model);
  for (const std::string& file : files)
    text += "wrote " + file + "\n";
  char line[160];
  std::snprintf(line, sizeof line, "pipeline %.1f ms, layers %.1f ms, PNG %.1f ms\n", t.pipelineMs,
                t.layersMs, t.pngMs);
  return text + line;
}

int run(const RenderOptions& o) {
  std::string error;
  auto scene = std::make_unique<Scene>();
  if (!buildSceneOrRefuse(kProgram, o.scene, scene->context, scene->model)) return kExitUsage;
  if (!prepareFolder(o.output.folder, error)) return fail(kProgram, error, kExitUsage);
  Timing timing;
  FrameState frame;
  auto points =
      std::make_unique<LayerPoints>(o.view.width, o.view.height, o.edges, o.output.background);
  std::vector<PixelHistory> histories;
  try {
    timing.pipelineMs = drawFrame(o, scene->context, frame, *points);
    histories = pixelHistories(o, scene->context);
  } catch (const FrameTooCostly& e) {
    return refuseInput(kProgram, sceneName(o.scene) + ": " + e.what());
  }
  const FrameStatistics statistics = frameStatistics(scene->context, *points, frame);
  if (scene->model) {
    warnIfModelUnseen(kProgram, *scene->model, points->picture, coverageOf(*points),
                      o.output.background);
  }
  Writer writer(o, timing);
  if (!writer.open(error) || !writePictures(o, *points, frame, writer, error) ||
      !writer.keep(error)) {
    return fail(kProgram, error, kExitUsage);
  }
  if (!writeReport(report(o, *scene, statistics, histories, writer.files(), timing), error)) {
    return fail(kProgram, error, kExitFailure);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  openStandardStreams();
  endQuietlyOnClosedPipe();
  keepFreedMemory();
  std::string error;
  const std::optional<RenderOptions> options =
      parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return fail(kProgram, error, kExitUsage);
  try {
    if (options->help || options->version) {
      const std::string text = options->help ? renderUsage() : versionLine(kProgram);
      return writeReport(text, error) ? 0 : fail(kProgram, error, kExitFailure);
    }
    return run(*options);
  } catch (const std::exception& e) {
    return fail(kProgram, e.what(), kExitFailure);
  }
}
