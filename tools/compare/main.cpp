// quadrelle-compare: renders the Quadrelle scene through OpenGL and through the
// software pipeline, offscreen, and shows and measures how the two pictures differ.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "tools/compare/options.h"
#include "tools/compare/report.h"
#include "tools/compare/scene_renderer.h"
#include "tools/compare/sweep.h"
#include "tools/imaging/png_file.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(const std::string& message, int status) {
  std::cerr << "quadrelle-compare: " << message << "\n";
  if (status == kExitUsage) std::cerr << "Run quadrelle-compare --help for the options.\n";
  return status;
}

// Makes the folder if need be and proves it writable before anything is rendered.
bool prepareFolder(const std::string& folder, std::string& error) {
  std::error_code code;
  std::filesystem::create_directories(folder, code);
  const std::string probe = folder + "/.quadrelle-compare-probe";
  std::FILE* file = code ? nullptr : std::fopen(probe.c_str(), "w");
  if (file == nullptr) {
    error = "cannot write to '" + folder + "': " + (code ? code.message() : "permission denied");
    return false;
  }
  std::fclose(file);
  std::remove(probe.c_str());
  return true;
}

std::string poseJson(const SweepPose& p) {
  std::ostringstream json;
  json << "{\"rotationZ\": " << jsonNumber(p.pose.rotationZ)
       << ", \"rotationX\": " << jsonNumber(p.pose.rotationX)
       << ", \"zoom\": " << jsonNumber(p.pose.zoom) << ", \"panX\": " << jsonNumber(p.pose.panX)
       << ", \"panY\": " << jsonNumber(p.pose.panY) << ", \"width\": " << p.width
       << ", \"height\": " << p.height << ", \"mipmaps\": " << (p.mipmaps ? "true" : "false")
       << "}";
  return json.str();
}

int comparePose(SceneRenderer& renderer, const CompareOptions& o) {
  std::string error;
  if (!prepareFolder(o.outputFolder, error)) return fail(error, kExitUsage);
  const Image opengl = renderer.draw(true, o.pose, o.width, o.height, o.mipmaps);
  const Image software = renderer.draw(false, o.pose, o.width, o.height, o.mipmaps);
  const Agreement a = compareImages(opengl, software, o.tolerance);
  const std::string folder = o.outputFolder + "/";
  if (!writePng(opengl, folder + "opengl.png", error) ||
      !writePng(software, folder + "software.png", error) ||
      !writePng(differenceMap(opengl, software), folder + "difference.png", error)) {
    return fail(error, kExitFailure);
  }
  const SweepPose pose{o.pose, o.width, o.height, o.mipmaps};
  if (o.json) {
    std::cout << "{\"pose\": " << poseJson(pose) << ", \"tolerance\": " << o.tolerance << ", "
              << agreementJson(a) << ", \"pictures\": {\"opengl\": \"" << folder
              << "opengl.png\", \"software\": \"" << folder << "software.png\", \"difference\": \""
              << folder << "difference.png\"}}\n";
  } else {
    std::cout << commandLineFor(o.pose, o.width, o.height, o.mipmaps) << "\n"
              << agreementText(a, o.tolerance) << "pictures: " << folder
              << "{opengl,software,difference}.png\n";
  }
  return 0;
}

// A bar on a terminal, a line every tenth otherwise.
void showProgress(int done, int total) {
  if (isatty(STDERR_FILENO)) {
    const int width = 40;
    const int filled = done * width / total;
    std::fprintf(stderr, "\r[%s%s] %d/%d", std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(width - filled), ' ').c_str(), done, total);
    if (done == total) std::fprintf(stderr, "\n");
  } else if (done == total || done % std::max(1, total / 10) == 0) {
    std::fprintf(stderr, "%d/%d poses\n", done, total);
  }
}

int sweep(SceneRenderer& renderer, const CompareOptions& o) {
  std::mt19937 random(o.seed);
  std::vector<SweepResult> results;
  for (int i = 0; i < o.sweep; ++i) {
    const SweepPose p = randomPose(random);
    const Image opengl = renderer.draw(true, p.pose, p.width, p.height, p.mipmaps);
    const Image software = renderer.draw(false, p.pose, p.width, p.height, p.mipmaps);
    results.push_back({p, compareImages(opengl, software, o.tolerance)});
    showProgress(i + 1, o.sweep);
  }
  const SweepSummary s = summarise(results, 5, 100);
  if (o.json) {
    std::cout << "{\"poses\": " << s.poses
              << ", \"posesShowingTheScene\": " << s.posesShowingTheScene
              << ", \"seed\": " << o.seed << ", \"tolerance\": " << o.tolerance
              << ", \"worstCoverageIoU\": " << jsonNumber(s.worstCoverageIoU)
              << ", \"worstWithinTolerance\": " << jsonNumber(s.worstWithinTolerance)
              << ", \"medianCoverageIoU\": " << jsonNumber(s.medianCoverageIoU)
              << ", \"medianWithinTolerance\": " << jsonNumber(s.medianWithinTolerance)
              << ", \"worst\": [";
    for (std::size_t i = 0; i < s.worst.size(); ++i) {
      std::cout << (i ? ", " : "") << "{\"pose\": " << poseJson(s.worst[i].pose) << ", "
                << agreementJson(s.worst[i].agreement) << "}";
    }
    std::cout << "]}\n";
    return 0;
  }
  std::printf("%d poses (seed %u), %d showing the scene in at least 100 pixels\n", s.poses, o.seed,
              s.posesShowingTheScene);
  std::printf("coverage IoU           worst %.4f  median %.4f\n", s.worstCoverageIoU,
              s.medianCoverageIoU);
  std::printf("within %3d per channel worst %.4f  median %.4f\n", o.tolerance,
              s.worstWithinTolerance, s.medianWithinTolerance);
  std::printf("worst poses:\n");
  for (const SweepResult& r : s.worst) {
    std::printf("  IoU %.4f  within %.4f  mean |d| %.2f  %ld/%ld pixels\n    %s\n",
                r.agreement.coverageIoU, r.agreement.withinTolerance,
                r.agreement.meanAbsoluteDifference, r.agreement.coveredReference,
                r.agreement.coveredCandidate,
                commandLineFor(r.pose.pose, r.pose.width, r.pose.height, r.pose.mipmaps).c_str());
  }
  return 0;
}

int run(const CompareOptions& o) {
  SceneRenderer renderer;
  if (o.sweep > 0) return sweep(renderer, o);
  return comparePose(renderer, o);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<CompareOptions> options =
      parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return fail(error, kExitUsage);
  if (options->help) {
    std::cout << kUsage;
    return 0;
  }
  try {
    return run(*options);
  } catch (const std::exception& e) {
    return fail(e.what(), kExitFailure);
  }
}
