#include "tools/render/frame_statistics.h"

#include <cstdio>

FrameStatistics frameStatistics(const RenderContext& context, const LayerPoints& points,
                                const FrameState& frame) {
  FrameStatistics s;
  s.steps = frame.work;
  s.stepBudget = frame.workBudget;
  for (const Mesh& mesh : context.meshes) {
    s.polygons += long(mesh.polygons.size());
    for (const Polygon& polygon : mesh.polygons)
      s.vertices += long(polygon.vertices.size());
  }
  s.fragments = points.pointsDrawn + points.depthTestLosses;
  s.depthTestLosses = points.depthTestLosses;
  for (const PixelRecord& r : points.records) {
    const std::size_t fragments = std::size_t(r.drawn) + r.lost;
    if (fragments >= s.fragmentsPerPixel.size()) s.fragmentsPerPixel.resize(fragments + 1, 0);
    ++s.fragmentsPerPixel[fragments];
    s.pixelsCovered += r.drawn > 0;
  }
  return s;
}

Json statisticsJson(const FrameStatistics& s) {
  return {{"polygons", s.polygons},
          {"vertices", s.vertices},
          {"fragments", s.fragments},
          {"depthTestLosses", s.depthTestLosses},
          {"pixelsCovered", s.pixelsCovered},
          {"fragmentsPerPixel", s.fragmentsPerPixel},
          {"steps", s.steps},
          {"stepBudget", s.stepBudget}};
}

std::string statisticsText(const FrameStatistics& s) {
  std::string text = std::to_string(s.polygons) + " polygons, " + std::to_string(s.vertices) +
                     " vertices; " + std::to_string(s.fragments) + " fragments, " +
                     std::to_string(s.depthTestLosses) + " lost the depth test; " +
                     std::to_string(s.pixelsCovered) + " pixels covered\n" +
                     "pixels by fragments (depth complexity):";
  for (std::size_t k = 0; k < s.fragmentsPerPixel.size(); ++k) {
    if (s.fragmentsPerPixel[k] > 0) {
      text += " " + std::to_string(k) + ": " + std::to_string(s.fragmentsPerPixel[k]);
    }
  }
  char steps[160];
  std::snprintf(
      steps, sizeof steps,
      "\n%lld steps (fragments, and edges stepped or sorted) of the %lld a frame may take\n",
      s.steps, s.stepBudget);
  return text + steps;
}
