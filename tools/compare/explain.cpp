#include "tools/compare/explain.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/view_setup.h"
#include "raster/frame_budget.h"
#include "raster/software_frame.h"
#include "tools/compare/opengl_coverage.h"
#include "tools/imaging/bitmap_font.h"
#include "tools/imaging/legend.h"

namespace {

// The words a cause is told in: in full in the report, short and in capitals in the
// legend's pixel font.
struct CauseWords {
  const char* topScanline;
  const char* edgePlacement;
  const char* unexplained;
  const char* rules[kGlRuleCount];
  const char* joiner;
};

const CauseWords kReportWords{"taller top scanline",
                              "edge placement",
                              "unexplained",
                              {"pixel centre", "longer side", "linear magnification",
                               "texel rounding", "OpenGL's levels", "lighting per corner"},
                              " + "};
const CauseWords kLegendWords{
    "TOP SCANLINE",
    "EDGE",
    "UNEXPLAINED",
    {"CENTRE", "LONGER SIDE", "MAGNIFICATION", "ROUNDING", "GL LEVELS", "LIGHTING"},
    "+"};

std::string causeIn(PixelCause cause, const CauseWords& words) {
  switch (cause.kind) {
    case PixelCause::TopScanline:
      return words.topScanline;
    case PixelCause::EdgePlacement:
      return words.edgePlacement;
    case PixelCause::Unexplained:
      return words.unexplained;
    case PixelCause::Rules:
      break;
  }
  std::string name;
  for (int r = 0; r < kGlRuleCount; ++r) {
    if (!(cause.rules & (1u << r))) continue;
    name += (name.empty() ? "" : words.joiner) + std::string(words.rules[r]);
  }
  return name;
}

int differenceOf(Rgb a, Rgb b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

// The pixels covered by only one picture, or by both and further apart than the
// tolerance, from the top left.
std::vector<PicturePixel> differingPixels(const ExplainInput& in, long& covered) {
  std::vector<PicturePixel> pixels;
  covered = 0;
  const Image& gl = *in.opengl;
  for (int y = 0; y < gl.height; ++y)
    for (int x = 0; x < gl.width; ++x) {
      const std::size_t i = std::size_t(y) * gl.width + x;
      const bool a = (*in.openglCovered)[i] != 0, b = (*in.softwareCovered)[i] != 0;
      if (!a && !b) continue;
      ++covered;
      if (a != b || differenceOf(gl.pixels[i], in.software->pixels[i]) > in.tolerance) {
        pixels.push_back({x, y});
      }
    }
  return pixels;
}

// The watched pixels' histories, from a frame of their own on the plain path.
void recordHistories(const ExplainInput& in, HistoryPoints& points) {
  RenderContext& context = *in.context;
  context.useOpenGL = false;
  context.useMipmaps = in.view.mipmaps;
  setupView(context, in.view.width, in.view.height, in.view.pose);
  FrameState frame;
  frame.points = &points;
  frame.fragmentPath = FragmentPath::Plain;
  frame.threads = 1;
  frame.workBudget = workBudgetFor(in.view.width, in.view.height);
  renderSoftwareFrame(context, in.view.width, in.view.height, frame);
}

// A pixel the pipeline gave a polygon that OpenGL's rule leaves out, or may leave out
// (its centre on an edge): above its top corner, or beside its edges.
PixelCause outsideCause(const PolygonOutline& outline, int windowY) {
  return {windowY + 0.5 > outline.top() ? PixelCause::TopScanline : PixelCause::EdgePlacement, 0};
}

// The polygons that OpenGL's rule puts at the pixel: those whose outline holds its
// centre.
std::vector<const PolygonOutline*> coveringPolygons(const HistoryPoints& h, std::size_t i, int x,
                                                    int y) {
  std::vector<const PolygonOutline*> covering;
  for (std::uint32_t number : h.nearby[i]) {
    const PolygonOutline& outline = h.outlines.at(number);
    if (centreIn(outline, x, y) != CentreIn::Outside) covering.push_back(&outline);
  }
  return covering;
}

// The smallest set of OpenGL's rules, with those `needed`, that brings the pixel within
// the tolerance of OpenGL's: sets of one rule first, then of two, and so on.
PixelCause ruleCause(const ModelScene& scene, const FragmentRecord& f,
                     const PolygonOutline& outline, Rgb opengl, int tolerance, unsigned needed) {
  const unsigned apply = rulesThatApply(scene, f) | needed;
  for (int size = 1; size <= kGlRuleCount; ++size) {
    for (unsigned rules = 1; rules <= kEveryGlRule; ++rules) {
      if (std::popcount(rules) != size || (rules & ~apply) != 0 || (rules & needed) != needed) {
        continue;
      }
      for (double nudge : {0.0, kTexelMargin, -kTexelMargin}) {
        const Rgb modelled = to8Bit(modelledColor(scene, f, outline, rules, nudge));
        if (differenceOf(modelled, opengl) <= tolerance) return {PixelCause::Rules, rules};
      }
    }
  }
  return {};
}

// What OpenGL shows at a pixel the pipeline covers: the fragment of the polygon OpenGL
// draws there, with its outline and the rules its colour takes in any case; or, where
// OpenGL would not draw the pipeline's polygon there, the coverage cause.
struct OpenGLFragment {
  const FragmentRecord* fragment = nullptr;
  const PolygonOutline* outline = nullptr;
  unsigned needed = 0;
  bool coverage = false;
  PixelCause cause;  // where `coverage`
};

OpenGLFragment openglFragment(const HistoryPoints& h, std::size_t i, bool openglCovers) {
  const PixelHistory& p = h.pixels[i];
  const int x = p.pixel.x, y = p.windowY;
  const FragmentRecord* shown = p.shown();
  if (shown == nullptr) return {nullptr, nullptr, 0, true, {}};
  const PolygonOutline& outline = h.outlines.at(shown->polygon.frameNumber);
  // A polygon that OpenGL leaves out here, whether OpenGL draws another one or none.
  if (centreIn(outline, x, y) != CentreIn::Inside) {
    return {nullptr, nullptr, 0, true, outsideCause(outline, y)};
  }
  if (!openglCovers) return {nullptr, nullptr, 0, true, {}};
  // OpenGL shows the polygon nearest at the pixel's centre. Where that is another one,
  // the pipeline either left it out here, or drew it and its fragment lost the depth
  // test to depths stepped from the spans' starts: then OpenGL's pixel is that
  // fragment's, with its values at the centre.
  const PolygonOutline* nearest = &outline;
  for (const PolygonOutline* other : coveringPolygons(h, i, x, y)) {
    if (depthAtCentre(*other, x, y) < depthAtCentre(*nearest, x, y)) nearest = other;
  }
  if (nearest == &outline) return {shown, &outline, 0, false, {}};
  const auto drawn = std::find_if(p.fragments.rbegin(), p.fragments.rend(), [&](auto& f) {
    return f.polygon.frameNumber == nearest->name.frameNumber;
  });
  if (drawn == p.fragments.rend())
    return {nullptr, nullptr, 0, true, {PixelCause::EdgePlacement, 0}};
  return {&*drawn, nearest, kPixelCentre, false, {}};
}

PixelCause causeOf(const ExplainInput& in, const HistoryPoints& h, std::size_t i) {
  const PixelHistory& p = h.pixels[i];
  const std::size_t at = std::size_t(p.pixel.y) * in.view.width + p.pixel.x;
  if (!(*in.softwareCovered)[at]) {
    // OpenGL's rule puts a polygon here where no span of the pipeline reached.
    const bool covering = !coveringPolygons(h, i, p.pixel.x, p.windowY).empty();
    return {covering ? PixelCause::EdgePlacement : PixelCause::Unexplained, 0};
  }
  const OpenGLFragment gl = openglFragment(h, i, (*in.openglCovered)[at] != 0);
  if (gl.coverage) return gl.cause;
  return ruleCause(*in.scene, *gl.fragment, *gl.outline, in.opengl->pixels[at], in.tolerance,
                   gl.needed);
}

bool sameCause(PixelCause a, PixelCause b) {
  return a.kind == b.kind && a.rules == b.rules;
}

void count(std::vector<CauseCount>& counts, PixelCause cause, long pixels) {
  for (CauseCount& c : counts) {
    if (sameCause(c.cause, cause)) {
      c.pixels += pixels;
      return;
    }
  }
  counts.push_back({cause, pixels});
  std::sort(counts.begin(), counts.end(), [](const CauseCount& a, const CauseCount& b) {
    return listedBefore(a.cause, b.cause);
  });
}

// The picture a dim copy of the pipeline's where the two agree, black where neither
// covers, each differing pixel in its cause's colour.
Image causePicture(const ExplainInput& in, const std::vector<PicturePixel>& pixels,
                   const std::vector<PixelCause>& causes) {
  Image picture(in.view.width, in.view.height, {0, 0, 0});
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    if (!(*in.openglCovered)[i] && !(*in.softwareCovered)[i]) continue;
    const Rgb c = in.software->pixels[i];
    const int grey = 40 + (c.r + c.g + c.b) / 12;
    picture.pixels[i] = {std::uint8_t(grey), std::uint8_t(grey), std::uint8_t(grey)};
  }
  for (std::size_t i = 0; i < pixels.size(); ++i)
    picture.at(pixels[i].x, pixels[i].y) = causeColor(causes[i]);
  return picture;
}

}  // namespace

std::string causeName(PixelCause cause) {
  return causeIn(cause, kReportWords);
}

bool listedBefore(PixelCause a, PixelCause b) {
  if (a.kind != b.kind) return a.kind < b.kind;
  const int na = std::popcount(a.rules), nb = std::popcount(b.rules);
  return na != nb ? na < nb : a.rules < b.rules;
}

long Explanation::unexplainedCount() const {
  return long(unexplained.size());
}

Explanation explainDifferences(const ExplainInput& in) {
  Explanation e;
  e.tolerance = in.tolerance;
  const std::vector<PicturePixel> pixels = differingPixels(in, e.covered);
  e.differing = long(pixels.size());
  HistoryPoints histories(*in.context, in.view.width, in.view.height, pixels);
  recordHistories(in, histories);
  std::vector<PixelCause> causes;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const PixelCause cause = causeOf(in, histories, i);
    causes.push_back(cause);
    count(e.causes, cause, 1);
    if (cause.kind == PixelCause::Unexplained) e.unexplained.push_back(pixels[i]);
  }
  e.picture = causePicture(in, pixels, causes);
  return e;
}

ModelResidual modelResidual(const ExplainInput& in) {
  std::vector<PicturePixel> both;
  const Image& gl = *in.opengl;
  for (int y = 0; y < gl.height; ++y)
    for (int x = 0; x < gl.width; ++x) {
      const std::size_t i = std::size_t(y) * gl.width + x;
      if ((*in.openglCovered)[i] && (*in.softwareCovered)[i]) both.push_back({x, y});
    }
  HistoryPoints histories(*in.context, in.view.width, in.view.height, both);
  recordHistories(in, histories);
  ModelResidual residual;
  for (std::size_t i = 0; i < both.size(); ++i) {
    const OpenGLFragment f = openglFragment(histories, i, true);
    if (f.coverage || f.needed != 0) continue;
    const Rgb modelled = to8Bit(
        modelledColor(*in.scene, *f.fragment, *f.outline, rulesThatApply(*in.scene, *f.fragment)));
    residual.largest =
        std::max(residual.largest, differenceOf(modelled, gl.at(both[i].x, both[i].y)));
    ++residual.pixels;
  }
  return residual;
}

void addCounts(std::vector<CauseCount>& total, const std::vector<CauseCount>& more) {
  for (const CauseCount& c : more)
    count(total, c.cause, c.pixels);
}

namespace {

constexpr Rgb kRuleColors[kGlRuleCount] = {{190, 100, 255}, {60, 120, 255}, {0, 200, 90},
                                           {0, 215, 215},   {170, 120, 70}, {255, 130, 200}};
}  // namespace

Rgb causeColor(PixelCause cause) {
  switch (cause.kind) {
    case PixelCause::TopScanline:
      return {255, 220, 0};
    case PixelCause::EdgePlacement:
      return {255, 140, 0};
    case PixelCause::Unexplained:
      return {255, 0, 60};
    case PixelCause::Rules:
      break;
  }
  // Several rules: the mean of their colours.
  int r = 0, g = 0, b = 0, n = 0;
  for (int k = 0; k < kGlRuleCount; ++k) {
    if (!(cause.rules & (1u << k))) continue;
    r += kRuleColors[k].r;
    g += kRuleColors[k].g;
    b += kRuleColors[k].b;
    ++n;
  }
  if (n == 0) return {255, 255, 255};
  return {std::uint8_t(r / n), std::uint8_t(g / n), std::uint8_t(b / n)};
}

Image explainLegend(const Explanation& e, int width) {
  std::vector<std::pair<Rgb, std::string>> entries;
  entries.push_back({{40, 40, 40}, "WITHIN " + std::to_string(e.tolerance)});
  for (const CauseCount& c : e.causes)
    entries.push_back({causeColor(c.cause), causeIn(c.cause, kLegendWords)});
  // As many entries a row as the picture is wide.
  Image legend(0, 0);
  LegendWriter row;
  for (const auto& [color, name] : entries) {
    if (row.x > LegendWriter::kMargin && row.x + 10 + textWidth(name) > width) {
      legend = legend.width == 0 ? row.band : withLegend(legend, row.band);
      row = LegendWriter{};
    }
    row.swatch(color);
    row.text(name);
  }
  return legend.width == 0 ? row.band : withLegend(legend, row.band);
}
