// quadrelle-compare: renders the Quadrelle scene through OpenGL and through the
// software pipeline, offscreen, and shows and measures how the two pictures differ.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <iostream>
#include <sstream>

#include "app/standard_streams.h"
#include "glview/concave_polygon.h"
#include "raster/frame_budget.h"
#include "tools/cli/output.h"
#include "tools/cli/picture_set.h"
#include "tools/cli/scene_options.h"
#include "tools/compare/explain_report.h"
#include "tools/compare/explainer.h"
#include "tools/compare/options.h"
#include "tools/compare/report.h"
#include "tools/compare/scene_renderer.h"
#include "tools/compare/sweep.h"
#include "tools/imaging/legend.h"

namespace {

const char* const kProgram = "quadrelle-compare";

struct Comparison {
  SceneRenderer::Drawn opengl;
  SceneRenderer::Drawn software;
  Agreement agreement;
};

// The pixels either renderer covered.
Coverage coveredByEither(const Comparison& c) {
  Coverage either = c.opengl.covered;
  for (std::size_t i = 0; i < either.size(); ++i)
    either[i] = either[i] || c.software.covered[i];
  return either;
}

// The software picture first: a model that would take a frame too many steps is
// refused before OpenGL spends as long on it.
Comparison compare(SceneRenderer& renderer, const ViewOptions& view, int tolerance,
                   Rgb background = {255, 255, 255}) {
  Comparison c;
  c.software = renderer.draw(false, view.pose, view.width, view.height, view.mipmaps, background);
  c.opengl = renderer.draw(true, view.pose, view.width, view.height, view.mipmaps, background);
  c.agreement = compareImages(c.opengl.picture, c.opengl.covered, c.software.picture,
                              c.software.covered, tolerance);
  return c;
}

// explain.png: the causes' picture, cropped and enlarged as asked, with its legend.
Image explainPicture(const Explanation& explanation, const Enlargement& e) {
  Image picture = enlarge(explanation.picture, e);
  return withLegend(picture, explainLegend(explanation, std::max(picture.width, 240)));
}

// `folder`: where the pictures went, with a separator at its end.
std::string poseReport(const CompareOptions& o, const std::optional<ModelSummary>& model,
                       const Agreement& a, const Explanation* e, const std::string& folder) {
  const std::string render = renderCommandFor(o.view, o.scene);
  if (o.output.json) {
    Json report = {{"pose", poseJson(o.view, o.scene)}};
    if (model) report["model"] = modelJson(*model);
    report["tolerance"] = o.tolerance;
    report.update(agreementJson(a));
    if (e) report["explained"] = explanationJson(*e, render);
    report["pictures"] = {{"opengl", folder + "opengl.png"},
                          {"software", folder + "software.png"},
                          {"difference", folder + "difference.png"}};
    if (e) report["pictures"]["explain"] = folder + "explain.png";
    return reportLine(report);
  }
  return commandLineFor(o.view, o.scene) + backgroundArguments(o.output.background) + "\n" +
         (model ? modelText(*model) : "") + agreementText(a, o.tolerance) +
         (e ? explanationText(*e, render) : "") + "pictures: " + folder +
         (e ? "{opengl,software,difference,explain}.png\n" : "{opengl,software,difference}.png\n");
}

int comparePose(SceneRenderer& renderer, RenderContext& context, const CompareOptions& o,
                const std::optional<ModelSummary>& model) {
  std::string error;
  if (!prepareFolder(o.output.folder, error)) return fail(kProgram, error, kExitUsage);
  const Comparison c = compare(renderer, o.view, o.tolerance, o.output.background);
  if (tessellationFailures() > 0) {
    warn(kProgram, {std::to_string(tessellationFailures()) +
                    " faces could not be cut into triangles by GLU's tessellator; OpenGL drew "
                    "them as they are"});
  }
  // Judged on the software picture: a pixel only OpenGL covered is background there.
  if (model) {
    warnIfModelUnseen(kProgram, *model, c.software.picture, coveredByEither(c),
                      o.output.background);
  }
  const Image difference =
      differenceMap(c.opengl.picture, c.opengl.covered, c.software.picture, c.software.covered);
  std::optional<Explanation> explanation;
  if (o.explain) explanation = Explainer(renderer, context).explain(o.view, c.opengl, c.software);
  const Enlargement& e = o.output.enlargement;
  PictureSet pictures(o.output.folder,
                      {"opengl.png", "software.png", "difference.png", "explain.png"});
  if (!pictures.open(error) || !pictures.add("opengl.png", enlarge(c.opengl.picture, e), error) ||
      !pictures.add("software.png", enlarge(c.software.picture, e), error) ||
      !pictures.add("difference.png", enlarge(difference, e), error) ||
      (explanation && !pictures.add("explain.png", explainPicture(*explanation, e), error)) ||
      !pictures.keep(error)) {
    return fail(kProgram, error, kExitUsage);
  }
  const Explanation* explained = explanation ? &*explanation : nullptr;
  if (!writeReport(poseReport(o, model, c.agreement, explained, pictures.pathOf("")), error)) {
    return fail(kProgram, error, kExitFailure);
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

Json sweepJson(const SweepSummary& s, const CompareOptions& o) {
  Json worst = Json::array();
  for (const SweepResult& r : s.worst) {
    Json pose = {{"pose", poseJson(r.pose, o.scene)}};
    pose.update(agreementJson(r.agreement));
    worst.push_back(pose);
  }
  const Json report = {{"poses", s.poses},
                       {"posesShowingTheScene", s.posesShowingTheScene},
                       {"seed", o.seed},
                       {"tolerance", o.tolerance},
                       {"worstCoverageIoU", s.worstCoverageIoU},
                       {"worstWithinTolerance", s.worstWithinTolerance},
                       {"medianCoverageIoU", s.medianCoverageIoU},
                       {"medianWithinTolerance", s.medianWithinTolerance},
                       {"worst", worst}};
  return report;
}

std::string sweepText(const SweepSummary& s, const CompareOptions& o) {
  char line[256];
  std::ostringstream text;
  std::snprintf(line, sizeof line,
                "%d poses (seed %u), %d showing the scene in at least 100 pixels\n", s.poses,
                o.seed, s.posesShowingTheScene);
  text << line;
  std::snprintf(line, sizeof line, "coverage IoU           worst %.4f  median %.4f\n",
                s.worstCoverageIoU, s.medianCoverageIoU);
  text << line;
  std::snprintf(line, sizeof line, "within %3d per channel worst %.4f  median %.4f\n", o.tolerance,
                s.worstWithinTolerance, s.medianWithinTolerance);
  text << line << "worst poses:\n";
  for (const SweepResult& r : s.worst) {
    std::snprintf(line, sizeof line, "  IoU %.4f  within %.4f  mean |d| %.2f  %ld/%ld pixels\n",
                  r.agreement.coverageIoU, r.agreement.withinTolerance,
                  r.agreement.meanAbsoluteDifference, r.agreement.coveredReference,
                  r.agreement.coveredCandidate);
    text << line << "    " << commandLineFor(r.pose, o.scene) << "\n";
  }
  return text.str();
}

int sweep(SceneRenderer& renderer, RenderContext& context, const CompareOptions& o) {
  std::mt19937 random(o.seed);
  std::vector<SweepResult> results;
  Explainer explainer(renderer, context);
  SweepCauses causes;
  for (int i = 0; i < o.sweep; ++i) {
    const ViewOptions pose = randomPose(random);
    const Comparison c = compare(renderer, pose, o.tolerance);
    results.push_back({pose, c.agreement});
    if (o.explain) causes.add(pose, explainer.explain(pose, c.opengl, c.software), 5);
    showProgress(i + 1, o.sweep);
  }
  const SweepSummary summary = summarise(results, 5, 100);
  std::string report;
  if (o.output.json) {
    Json json = sweepJson(summary, o);
    if (o.explain) json["explained"] = sweepCausesJson(causes, o.scene);
    report = reportLine(json);
  } else {
    report = sweepText(summary, o) + (o.explain ? sweepCausesText(causes, o.scene) : "");
  }
  std::string error;
  if (!writeReport(report, error)) return fail(kProgram, error, kExitFailure);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  openStandardStreams();
  endQuietlyOnClosedPipe();
  std::string error;
  const std::optional<CompareOptions> options =
      parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return fail(kProgram, error, kExitUsage);
  try {
    if (options->help || options->version) {
      const std::string text = options->help ? usage() : versionLine(kProgram);
      return writeReport(text, error) ? 0 : fail(kProgram, error, kExitFailure);
    }
    RenderContext context;
    std::optional<ModelSummary> model;
    if (!buildSceneOrRefuse(kProgram, options->scene, context, model)) return kExitUsage;
    SceneRenderer renderer(context, options->threads);
    return options->sweep > 0 ? sweep(renderer, context, *options)
                              : comparePose(renderer, context, *options, model);
  } catch (const FrameTooCostly& e) {
    return refuseInput(kProgram, sceneName(options->scene) + ": " + e.what());
  } catch (const std::exception& e) {
    return fail(kProgram, e.what(), kExitFailure);
  }
}
