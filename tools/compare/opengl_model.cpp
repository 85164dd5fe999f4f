#include "tools/compare/opengl_model.h"

#include <algorithm>
#include <cmath>

#include "math/rounding.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"
#include "tools/compare/opengl_lighting.h"
#include "tools/compare/polygon_planes.h"

namespace {

// The pipeline's levels of a texture, each texel rounded to 8 bits as OpenGL stores it.
TexelImages pipelineTexels(const Texture& texture) {
  TexelImages images;
  const TextureLevels& levels = *texture.levels;
  for (int k = 0; k <= levels.count; ++k) {
    const TextureLevel& level = levels.level[k];
    TexelImage& image = images.levels.emplace_back();
    image.width = level.width;
    image.height = level.height;
    for (int i = 0; i < level.width * level.height; ++i) {
      const float* rgb = level.rgb + std::size_t(i) * 3;
      image.texels.push_back(to8Bit(Color{rgb[0], rgb[1], rgb[2], 1}));
    }
  }
  return images;
}

bool sameSizes(const TexelImages& a, const TexelImages& b) {
  if (a.levels.size() != b.levels.size()) return false;
  for (std::size_t k = 0; k < a.levels.size(); ++k) {
    if (a.levels[k].width != b.levels[k].width || a.levels[k].height != b.levels[k].height) {
      return false;
    }
  }
  return true;
}

}  // namespace

MeshTexels meshTexels(const Texture& texture, TexelImages opengl) {
  MeshTexels texels;
  TexelImages pipeline = pipelineTexels(texture);
  texels.levelsDiffer = !sameSizes(pipeline, opengl);
  texels.pipeline = texels.levelsDiffer ? std::move(pipeline) : opengl;
  texels.opengl = std::move(opengl);
  return texels;
}

namespace {

struct Rgbf {
  double r = 0, g = 0, b = 0;
};

Rgbf operator*(double k, Rgbf c) {
  return {k * c.r, k * c.g, k * c.b};
}
Rgbf operator+(Rgbf a, Rgbf b) {
  return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Rgbf texel(const TexelImage& image, int x, int y) {
  const Rgb c = image.texels[std::size_t(y) * image.width + x];
  return {c.r / 255.0, c.g / 255.0, c.b / 255.0};
}

// --- Where a sample falls in a level, each way.

// The pipeline's: the nearest texel of (width - 1) s, column 0 outside the level; the
// bilinear sample around (width - 1) s clamped to [0, 1].
Rgbf pipelineNearest(const TexelImage& image, float s, float t) {
  auto index = [](float scaled, int size) {
    const int i = roundToInt(scaled);
    return (i < 0 || i >= size) ? 0 : i;
  };
  return texel(image, index(float(image.width - 1) * s, image.width),
               index(float(image.height - 1) * t, image.height));
}

float unit(float v) {
  return v > 0 ? (v < 1 ? v : 1) : 0;
}

Rgbf pipelineBilinear(const TexelImage& image, float s, float t) {
  const float u = float(image.width - 1) * unit(s);
  const float v = float(image.height - 1) * unit(t);
  const int left = int(std::floor(u)), right = int(std::ceil(u));
  const int lower = int(std::floor(v)), upper = int(std::ceil(v));
  const double fx = u - std::floor(u), fy = v - std::floor(v);
  return (1 - fx) * (1 - fy) * texel(image, left, lower) +
         fy * (1 - fx) * texel(image, left, upper) + fx * (1 - fy) * texel(image, right, lower) +
         fx * fy * texel(image, right, upper);
}

// The texel column or row under u texels, floor(u), held within ±2^30: far enough out
// that a repeat has long lost every digit that would tell the texel, and never past
// what converts to an int (not a number is the farthest left).
int texelIndex(double u) {
  return heldToInt(std::floor(u), -(1 << 30), 1 << 30);
}

// OpenGL's: texel i covers [i, i + 1) of s x width; out of the level, as the wrap mode
// says.
int wrapped(int i, int size, TextureWrap wrap) {
  switch (wrap) {
    case TextureWrap::Repeat:
      return ((i % size) + size) % size;
    case TextureWrap::MirroredRepeat: {
      const int period = 2 * size;
      const int m = ((i % period) + period) % period;
      return m < size ? m : period - 1 - m;
    }
    default:  // to the edge
      return std::clamp(i, 0, size - 1);
  }
}

Rgbf openglNearest(const TexelImage& image, const Texture& texture, double s, double t,
                   double nudge) {
  return texel(image, wrapped(texelIndex(s * image.width + nudge), image.width, texture.wrapS),
               wrapped(texelIndex(t * image.height + nudge), image.height, texture.wrapT));
}

Rgbf openglBilinear(const TexelImage& image, const Texture& texture, double s, double t) {
  const double u = s * image.width - 0.5;
  const double v = t * image.height - 0.5;
  const int i = texelIndex(u), j = texelIndex(v);
  const double a = u - i, b = v - j;
  const int i0 = wrapped(i, image.width, texture.wrapS);
  const int i1 = wrapped(i + 1, image.width, texture.wrapS);
  const int j0 = wrapped(j, image.height, texture.wrapT);
  const int j1 = wrapped(j + 1, image.height, texture.wrapT);
  return (1 - a) * (1 - b) * texel(image, i0, j0) + a * (1 - b) * texel(image, i1, j0) +
         (1 - a) * b * texel(image, i0, j1) + a * b * texel(image, i1, j1);
}

// s and t at a window position, perspective-correct.
struct TexturePlanes {
  Plane s, t, q;
  double sAt(double x, double y) const { return s.at(x, y) / q.at(x, y); }
  double tAt(double x, double y) const { return t.at(x, y) / q.at(x, y); }
};

TexturePlanes texturePlanes(const Triangle& tri) {
  return {planeOf(tri, [](const ScreenCorner& c) { return double(c.sOverW); }),
          planeOf(tri, [](const ScreenCorner& c) { return double(c.tOverW); }),
          planeOf(tri, [](const ScreenCorner& c) { return double(c.oneOverW); })};
}

// The rates of s and t in texels, across and up: the footprint's sides.
struct Rates {
  double dudx = 0, dvdx = 0, dudy = 0, dvdy = 0;
};

// As OpenGL's implementation takes them, once for each 2 x 2 block of pixels (rows of
// the block counted from the top of the picture): the differences between the block's
// first pixel and the pixel beside it and the one below it.
Rates blockRates(const TexturePlanes& planes, int x, int y, int height, int width,
                 int levelHeight) {
  (void)height;
  const double x0 = (x & ~1) + 0.5;
  const double y0 = (y & ~1) + 0.5;
  const double s0 = planes.sAt(x0, y0), t0 = planes.tAt(x0, y0);
  return {(planes.sAt(x0 + 1, y0) - s0) * width, (planes.tAt(x0 + 1, y0) - t0) * levelHeight,
          (planes.sAt(x0, y0 + 1) - s0) * width, (planes.tAt(x0, y0 + 1) - t0) * levelHeight};
}

// The pipeline's rates, from the fragment's own terms.
Rates recordedRates(const FragmentRecord& f, int width, int height) {
  const Footprint& p = f.sample.footprint;
  return {double(p.a) * width, double(p.b) * height, double(p.c) * width, double(p.d) * height};
}

// A quick base-2 logarithm, as llvmpipe takes it: the exponent, and the mantissa's
// fraction for the rest (exact at powers of 2, up to 0.086 low between them).
double quickLog2(double v) {
  if (!(v > 0)) return v == 0 ? -INFINITY : NAN;
  int e = 0;
  const double m = std::frexp(v, &e);  // v = m 2^e, m in [0.5, 1)
  return (e - 1) + (2 * m - 1);
}

// log2 of the footprint's longer side: half the quick logarithm of its square.
double longerSideLevel(const Rates& r) {
  const double across = r.dudx * r.dudx + r.dvdx * r.dvdx;
  const double up = r.dudy * r.dudy + r.dvdy * r.dvdy;
  return 0.5 * quickLog2(std::max(across, up));
}

double areaLevel(const Rates& r) {
  return 0.5 * std::log2(std::fabs(r.dudx * r.dvdy - r.dvdx * r.dudy));
}

// --- The sample.

struct Sampler {
  const Texture& texture;
  const TexelImages& images;
  unsigned rules;
  double nudge;  // of OpenGL's nearest texel's position, in texels

  Rgbf nearest(int level, double s, double t) const {
    const TexelImage& image = images.levels[std::size_t(level)];
    if (rules & kTexelCentres) return openglNearest(image, texture, s, t, nudge);
    return pipelineNearest(image, wrapCoordinate(float(s), texture.wrapS),
                           wrapCoordinate(float(t), texture.wrapT));
  }
  // OpenGL's linear magnification, which has its own texel positions.
  Rgbf magnified(double s, double t) const {
    return openglBilinear(images.levels[0], texture, s, t);
  }
  Rgbf bilinear(int level, double s, double t) const {
    const TexelImage& image = images.levels[std::size_t(level)];
    if (rules & kTexelCentres) return openglBilinear(image, texture, s, t);
    return pipelineBilinear(image, wrapCoordinate(float(s), texture.wrapS),
                            wrapCoordinate(float(t), texture.wrapT));
  }
};

// The level sampled and how: OpenGL's clamped to its last level, or the pipeline's,
// which takes one level finer past its last.
Rgbf trilinear(const Sampler& sampler, double level, double s, double t, bool clampAtLast) {
  const int last = int(sampler.images.levels.size()) - 1;
  if (!(level > 0)) level = 0;  // magnified, or not a number
  if (clampAtLast) {
    if (level >= last) return sampler.bilinear(last, s, t);
  } else if (level > last) {
    level = last - 1;
  }
  const int below = int(std::floor(level));
  const double f = level - below;
  const Rgbf finer = sampler.bilinear(below, s, t);
  if (f == 0) return finer;
  return (1 - f) * finer + f * sampler.bilinear(std::min(below + 1, last), s, t);
}

Color textured(const ModelScene& scene, const FragmentRecord& f, const PolygonOutline& outline,
               unsigned rules, double nudge) {
  const Mesh& mesh = scene.context->meshes[std::size_t(f.polygon.mesh)];
  const bool opengl = (rules & kOpenGLLevels) != 0;
  const MeshTexels& texels = (*scene.texels)[std::size_t(f.polygon.mesh)];
  const TexelImages& images = opengl ? texels.opengl : texels.pipeline;
  const Sampler sampler{*mesh.texture, images, rules, nudge};
  const double cx = f.x + 0.5, cy = f.y + 0.5;
  const Triangle tri = triangleAt(outline, cx, cy);
  const bool centre = (rules & kPixelCentre) && tri.valid;
  const TexturePlanes planes = centre ? texturePlanes(tri) : TexturePlanes{};
  const double s = centre ? planes.sAt(cx, cy) : f.sample.s;
  const double t = centre ? planes.tAt(cx, cy) : f.sample.t;
  Rgbf color;
  if (!scene.mipmaps) {
    color = sampler.nearest(0, s, t);
  } else {
    const int w = images.levels[0].width, h = images.levels[0].height;
    const Rates rates =
        centre ? blockRates(planes, f.x, f.y, scene.height, w, h) : recordedRates(f, w, h);
    // With none of the rules that change it, the level the pipeline worked out itself.
    const bool own = !(rules & (kLongerSide | kPixelCentre | kOpenGLLevels));
    const double level = own                     ? double(f.sample.level)
                         : (rules & kLongerSide) ? longerSideLevel(rates)
                                                 : areaLevel(rates);
    if (std::isnan(level)) return {0, 0, 0, 1};
    if (level <= 0) {
      color = (rules & kLinearMagnification) ? sampler.magnified(s, t) : sampler.nearest(0, s, t);
    } else {
      color = trilinear(sampler, level, s, t, (rules & kLongerSide) != 0);
    }
  }
  return {float(color.r), float(color.g), float(color.b), 1};
}

// --- Colours across the polygon.

// Corner colours blended across the polygon as OpenGL blends them: each channel over w
// is a plane, and so is 1/w; their quotient is perspective-correct.
template <typename CornerColor>
Color blendedAt(const Triangle& tri, double x, double y, CornerColor colorOf) {
  const double q = planeOf(tri, [](const ScreenCorner& c) { return double(c.oneOverW); }).at(x, y);
  auto channel = [&](int k) {
    const Plane overW =
        planeOf(tri, [&](const ScreenCorner& c) { return double(colorOf(c)[k]) * c.oneOverW; });
    return float(overW.at(x, y) / q);
  };
  return {channel(0), channel(1), channel(2), 1};
}

Color untextured(const ModelScene& scene, const FragmentRecord& f, const PolygonOutline& outline,
                 unsigned rules) {
  const double cx = f.x + 0.5, cy = f.y + 0.5;
  const Triangle tri = triangleAt(outline, cx, cy);
  if (!tri.valid) return f.handed;
  if (rules & kCornerLighting) {
    const Mesh& mesh = scene.context->meshes[std::size_t(f.polygon.mesh)];
    const Polygon& polygon = mesh.polygons[std::size_t(f.polygon.polygon)];
    return blendedAt(tri, cx, cy, [&](const ScreenCorner& c) {
      return openglLitCorner(*scene.context, mesh, polygon, c.source);
    });
  }
  if (!(rules & kPixelCentre)) return f.handed;
  return blendedAt(tri, cx, cy, [](const ScreenCorner& c) { return c.color; }) + f.highlight;
}

}  // namespace

Color modelledColor(const ModelScene& scene, const FragmentRecord& f, const PolygonOutline& outline,
                    unsigned rules, double nudge) {
  if (f.textured) return textured(scene, f, outline, rules, nudge);
  return untextured(scene, f, outline, rules);
}

unsigned rulesThatApply(const ModelScene& scene, const FragmentRecord& f) {
  if (!f.textured) return kPixelCentre | (scene.context->lighting ? kCornerLighting : 0u);
  const unsigned levels =
      (*scene.texels)[std::size_t(f.polygon.mesh)].levelsDiffer ? kOpenGLLevels : 0u;
  if (!scene.mipmaps) return kPixelCentre | kTexelCentres | levels;
  return kPixelCentre | kLongerSide | kLinearMagnification | kTexelCentres | levels;
}
