#pragma once

#include <vector>

#include "scene/render_context.h"
#include "tools/history/pixel_history.h"
#include "tools/imaging/image.h"

// A model of how OpenGL colours a pixel where the software pipeline has rules of its
// own: the pipeline's own arithmetic for a recorded fragment, with any of OpenGL's
// rules put in place of the pipeline's. With every rule it predicts OpenGL's pixel; with
// none, the pipeline's. It lives here, beside the comparison, and not in the pipeline.

// OpenGL's rules, each of which can be taken alone.
enum GlRule : unsigned {
  // s, t and colours at the pixel's centre, perspective-correct, rather than stepped
  // from the span's start.
  kPixelCentre = 1u << 0,
  // The level from the footprint's longer side, once for each 2 x 2 block of pixels,
  // rather than from its area; no finer than the last level.
  kLongerSide = 1u << 1,
  // Where a pixel covers less than a texel, OpenGL's blend of the four texels around
  // the sample, rather than the nearest texel. OpenGL's linear filter places texels as
  // it does (below), so this rule does for the sample what the next does for the
  // pipeline's own filters.
  kLinearMagnification = 1u << 2,
  // Texel positions as OpenGL addresses them, texel i covering [i, i + 1) of s x width,
  // in the nearest texel and the pipeline's blends of reduced levels, rather than
  // centred on i / (width - 1).
  kTexelCentres = 1u << 3,
  // The texel images OpenGL holds (GLU's levels), rather than the pipeline's own.
  kOpenGLLevels = 1u << 4,
  // Each corner lit by OpenGL's lighting and the colours blended to the pixel's centre,
  // rather than the flat colour with a highlight added per pixel.
  kCornerLighting = 1u << 5,
};
inline constexpr int kGlRuleCount = 6;
inline constexpr unsigned kEveryGlRule = (1u << kGlRuleCount) - 1;

// A texture's levels as 8-bit colours: as OpenGL holds them, or the pipeline's rounded
// as OpenGL would store them. Level k is levels[k].
struct TexelImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> texels;  // rows along t, s fastest
};
struct TexelImages {
  std::vector<TexelImage> levels;
};

// A mesh's texture as both renderers hold it. Where OpenGL's levels are as many and of
// the same sizes as the pipeline's, they are the same images but for rounding, and the
// model takes OpenGL's for both: the rule that puts OpenGL's in place of the pipeline's
// matters only where GLU made other levels (of a texture whose sides are not powers of
// 2, or one not square, whose chain OpenGL takes down to 1 x 1).
struct MeshTexels {
  TexelImages pipeline;
  TexelImages opengl;
  bool levelsDiffer = false;
};

// `opengl` as read back; the pipeline's levels rounded to 8 bits where they differ.
MeshTexels meshTexels(const Texture& texture, TexelImages opengl);

// What the model needs besides a fragment: the scene, its textures by mesh (empty for an
// untextured mesh), and the frame.
struct ModelScene {
  const RenderContext* context = nullptr;
  const std::vector<MeshTexels>* texels = nullptr;
  int width = 0;
  int height = 0;
  bool mipmaps = true;
};

// The colour of the pixel that `f` coloured (its last passing fragment), with `rules`
// in place of the pipeline's. `nudge` moves the position of OpenGL's nearest texel by a
// fraction of a texel: OpenGL finds it from coordinates of its own arithmetic, which
// at a boundary between texels may fall on either side (kTexelMargin).
Color modelledColor(const ModelScene& scene, const FragmentRecord& f, const PolygonOutline& outline,
                    unsigned rules, double nudge = 0);
inline constexpr double kTexelMargin = 1.0 / 256;

// The rules that matter for a fragment: a textured one's texture rules (the level rule
// only with mipmapping on), an untextured one's interpolation and lighting.
unsigned rulesThatApply(const ModelScene& scene, const FragmentRecord& f);
