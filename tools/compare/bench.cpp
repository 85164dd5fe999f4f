#include "tools/compare/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sstream>

#include "tools/compare/report.h"

namespace {

FrameTimes timeFrames(int frames, const std::function<void()>& draw) {
  draw();  // the first frame uploads textures and sizes buffers
  std::vector<double> times;
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 9 / 10)]};
}

std::vector<std::pair<int, int>> sizesFor(const CompareOptions& options) {
  std::vector<std::pair<int, int>> sizes{{options.width, options.height}};
  for (std::pair<int, int> large : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    if (std::find(sizes.begin(), sizes.end(), large) == sizes.end()) sizes.push_back(large);
  }
  return sizes;
}

double perSecond(long fragments, double milliseconds) {
  return milliseconds > 0 ? fragments / (milliseconds / 1000) : 0;
}

}  // namespace

std::vector<BenchRow> runBench(SceneRenderer& renderer, const CompareOptions& options) {
  std::vector<BenchRow> rows;
  for (const auto& [width, height] : sizesFor(options)) {
    BenchRow row;
    row.width = width;
    row.height = height;
    const CameraPose& pose = options.pose;
    const bool mipmaps = options.mipmaps;
    row.opengl =
        timeFrames(options.frames, [&] { renderer.drawOnly(true, pose, width, height, mipmaps); });
    row.software =
        timeFrames(options.frames, [&] { renderer.drawOnly(false, pose, width, height, mipmaps); });
    CountingPoints counted;
    row.pipeline = timeFrames(
        options.frames, [&] { renderer.drawPipelineOnly(counted, pose, width, height, mipmaps); });
    row.fragments = counted.count / (options.frames + 1);
    rows.push_back(row);
  }
  return rows;
}

std::string benchText(const std::vector<BenchRow>& rows) {
  std::ostringstream text;
  char line[256];
  std::snprintf(line, sizeof line, "%-11s %17s %17s %17s %10s %12s %7s\n", "size", "OpenGL ms",
                "software ms", "pipeline ms", "fragments", "fragments/s", "growth");
  text << line;
  std::snprintf(line, sizeof line, "%-11s %17s %17s %17s\n", "", "median / p90", "median / p90",
                "median / p90");
  text << line;
  const BenchRow& first = rows.front();
  for (const BenchRow& r : rows) {
    char size[24];
    std::snprintf(size, sizeof size, "%dx%d", r.width, r.height);
    std::snprintf(
        line, sizeof line, "%-11s %8.2f / %6.2f %8.2f / %6.2f %8.2f / %6.2f %10ld %12.3g %6.1fx\n",
        size, r.opengl.median, r.opengl.p90, r.software.median, r.software.p90, r.pipeline.median,
        r.pipeline.p90, r.fragments, perSecond(r.fragments, r.pipeline.median),
        r.software.median / first.software.median);
    text << line;
  }
  text << "pipeline: the software path's own work, its points counted instead of drawn.\n"
          "growth: software frame time against the first size.\n";
  return text.str();
}

std::string benchJson(const std::vector<BenchRow>& rows) {
  std::ostringstream json;
  json << "{\"bench\": [";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const BenchRow& r = rows[i];
    auto times = [](const FrameTimes& t) {
      return "{\"medianMs\": " + jsonNumber(t.median) + ", \"p90Ms\": " + jsonNumber(t.p90) + "}";
    };
    json << (i ? ", " : "") << "{\"width\": " << r.width << ", \"height\": " << r.height
         << ", \"opengl\": " << times(r.opengl) << ", \"software\": " << times(r.software)
         << ", \"pipeline\": " << times(r.pipeline) << ", \"fragments\": " << r.fragments
         << ", \"fragmentsPerSecond\": " << jsonNumber(perSecond(r.fragments, r.pipeline.median))
         << "}";
  }
  json << "]}\n";
  return json.str();
}
