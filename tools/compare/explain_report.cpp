#include "tools/compare/explain_report.h"

#include <cstdio>

#include "tools/compare/options.h"

namespace {

double share(long part, long whole) {
  return whole > 0 ? double(part) / double(whole) : 0.0;
}

std::string pixelCommand(const std::string& renderCommand, PicturePixel p) {
  return renderCommand + " --pixel " + std::to_string(p.x) + "," + std::to_string(p.y);
}

}  // namespace

std::string causesText(const std::vector<CauseCount>& causes, long differing) {
  std::string text;
  char line[160];
  for (const CauseCount& c : causes) {
    std::snprintf(line, sizeof line, "  %-52s %8ld  %6.2f %%\n", causeName(c.cause).c_str(),
                  c.pixels, 100 * share(c.pixels, differing));
    text += line;
  }
  return text;
}

Json causesJson(const std::vector<CauseCount>& causes, long differing) {
  Json json = Json::array();
  for (const CauseCount& c : causes) {
    json.push_back({{"cause", causeName(c.cause)},
                    {"pixels", c.pixels},
                    {"share", share(c.pixels, differing)}});
  }
  return json;
}

std::string toleranceText(const Explanation& e) {
  char line[320];
  std::snprintf(line, sizeof line,
                "tolerance %d: OpenGL's own arithmetic, the largest difference between OpenGL "
                "and the model of its rules at %ld pixels of the viewer's scene%s\n",
                e.tolerance, e.measuredPixels,
                e.measuredArithmetic > e.tolerance
                    ? (" (measured " + std::to_string(e.measuredArithmetic) + ", held at " +
                       std::to_string(e.tolerance) + ")")
                          .c_str()
                    : "");
  return line;
}

std::string explanationText(const Explanation& e, const std::string& renderCommand,
                            std::size_t listed) {
  char line[200];
  std::snprintf(line, sizeof line,
                "why they differ: %ld of %ld covered pixels more than %d apart, or covered by "
                "one picture only\n",
                e.differing, e.covered, e.tolerance);
  std::string text = toleranceText(e) + line + causesText(e.causes, e.differing);
  if (e.unexplained.empty()) return text;
  text += "unexplained pixels, each with its history:\n";
  for (std::size_t i = 0; i < e.unexplained.size() && i < listed; ++i)
    text += "  " + pixelCommand(renderCommand, e.unexplained[i]) + "\n";
  if (e.unexplained.size() > listed) {
    text += "  and " + std::to_string(e.unexplained.size() - listed) + " more (--json lists all)\n";
  }
  return text;
}

Json explanationJson(const Explanation& e, const std::string& renderCommand) {
  Json unexplained = Json::array();
  for (const PicturePixel& p : e.unexplained)
    unexplained.push_back({{"x", p.x}, {"y", p.y}, {"history", pixelCommand(renderCommand, p)}});
  return {{"tolerance", e.tolerance},           {"measuredArithmetic", e.measuredArithmetic},
          {"measuredPixels", e.measuredPixels}, {"covered", e.covered},
          {"differing", e.differing},           {"causes", causesJson(e.causes, e.differing)},
          {"unexplained", unexplained}};
}

std::string sweepCausesText(const SweepCauses& s, const SceneOptions& scene) {
  char line[200];
  std::snprintf(line, sizeof line,
                "why they differ, over the poses: %ld of %ld covered pixels more than %d apart, "
                "or covered by one picture only\n",
                s.differing, s.covered, s.tolerance);
  std::string text = line + causesText(s.causes, s.differing);
  if (s.mostUnexplained.empty()) return text + "no pose has an unexplained pixel\n";
  text += "poses with the most unexplained pixels:\n";
  for (const SweepCauses::Pose& p : s.mostUnexplained) {
    std::snprintf(line, sizeof line, "  %ld pixels\n", p.unexplained);
    text += line + ("    " + commandLineFor(p.view, scene) + " --explain\n");
  }
  return text;
}

Json sweepCausesJson(const SweepCauses& s, const SceneOptions& scene) {
  Json poses = Json::array();
  for (const SweepCauses::Pose& p : s.mostUnexplained)
    poses.push_back({{"unexplained", p.unexplained}, {"pose", poseJson(p.view, scene)}});
  return {{"tolerance", s.tolerance},
          {"covered", s.covered},
          {"differing", s.differing},
          {"causes", causesJson(s.causes, s.differing)},
          {"mostUnexplained", poses}};
}
