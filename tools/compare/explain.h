#pragma once

#include <string>
#include <vector>

#include "tools/cli/options.h"
#include "tools/compare/opengl_model.h"
#include "tools/imaging/agreement.h"
#include "tools/imaging/image.h"

// Why a pixel differs between the two pictures.
struct PixelCause {
  enum Kind {
    TopScanline,    // only the pipeline covers it, above the polygon's top corner
    EdgePlacement,  // the pipeline's span ends, rounded, where OpenGL tests the centre
    Rules,          // OpenGL's `rules` in place of the pipeline's give OpenGL's colour
    Unexplained,
  };
  Kind kind = Unexplained;
  unsigned rules = 0;
};

// The cause's name, as the reports give it: "edge placement", "linear magnification +
// texel rounding".
std::string causeName(PixelCause cause);

// The same cause, counted over a picture or a sweep. Ordered as the reports list them:
// coverage first, then each set of rules by how many rules it takes, then unexplained.
struct CauseCount {
  PixelCause cause;
  long pixels = 0;
};
bool listedBefore(PixelCause a, PixelCause b);

// What --explain found in one picture.
struct Explanation {
  int tolerance = 0;  // per 8-bit channel: differences up to it are OpenGL's arithmetic
  // The arithmetic as measured (the tolerance, unless more than allowed), and at how
  // many pixels.
  int measuredArithmetic = 0;
  long measuredPixels = 0;
  long covered = 0;  // by either picture
  long differing = 0;
  std::vector<CauseCount> causes;
  std::vector<PicturePixel> unexplained;  // every one, from the top left
  Image picture;                          // explain.png, without its legend
  long unexplainedCount() const;
};

// The two pictures of one view, and the scene behind them.
struct ExplainInput {
  RenderContext* context = nullptr;
  const ModelScene* scene = nullptr;
  ViewOptions view;
  const Image* opengl = nullptr;
  const Coverage* openglCovered = nullptr;
  const Image* software = nullptr;
  const Coverage* softwareCovered = nullptr;
  int tolerance = 0;
};

// Gives every pixel where the pictures differ by more than the tolerance, or that only
// one covers, one cause. The pixels' histories come from a frame drawn on the plain
// path for them alone.
Explanation explainDifferences(const ExplainInput& input);

// How far OpenGL's pixels lie from the model with every rule where nothing but OpenGL's
// own arithmetic can part them: at the pixels both pictures draw from the same polygon,
// whose centres lie inside it. The largest difference in any channel, and over how many
// pixels. The input's tolerance is not used.
struct ModelResidual {
  int largest = 0;
  long pixels = 0;
};
ModelResidual modelResidual(const ExplainInput& input);

// Adds one picture's counts to a sweep's.
void addCounts(std::vector<CauseCount>& total, const std::vector<CauseCount>& more);

// explain.png's colour for a cause: one of its own for each rule and for coverage, the
// mean of theirs for several rules; and the legend that reads it, in rows no wider than
// `width` where the names allow.
Rgb causeColor(PixelCause cause);
Image explainLegend(const Explanation& e, int width);
