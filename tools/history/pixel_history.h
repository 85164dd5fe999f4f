#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "raster/fragment.h"
#include "raster/pixel_lighting.h"
#include "raster/span_sink.h"
#include "raster/texture_sampler.h"
#include "scene/render_context.h"

// A pixel as an image viewer counts it: columns from the left, rows from the top.
struct PicturePixel {
  int x = 0;
  int y = 0;
};

// A polygon corner where the pipeline placed it on screen, with what OpenGL would
// interpolate from it.
struct ScreenCorner {
  float x = 0;  // window coordinates, y up
  float y = 0;
  float z = 0;
  float sOverW = 0;
  float tOverW = 0;
  float oneOverW = 0;
  Color color;    // the colour scan conversion starts from
  Vertex source;  // the captured vertex, or the one clipping made: kept, as clipping's
                  // scratch is reused by the next polygon
};

// Which polygon of the frame: its number among all of them, its mesh and its place in
// the mesh, both from 0.
struct PolygonName {
  std::uint32_t frameNumber = 0;
  int mesh = 0;
  int polygon = 0;
};

// A polygon's outline on screen: its corners in the order of its vertices, and every
// side the pipeline scan converts or skips as horizontal, lower corner first.
struct PolygonOutline {
  PolygonName name;
  std::vector<ScreenCorner> corners;
  std::vector<std::array<ScreenCorner, 2>> sides;
  // The highest corner's y: the polygon's top.
  float top() const;
};

// The texels one level of a sample took and their weights, in the order summed: one
// texel of weight 1 for the nearest texel, four for a bilinear sample.
struct LevelSample {
  int level = 0;
  float weight = 1;  // of this level in the sample
  int count = 0;
  std::array<LevelTexel, 4> texels{};
  std::array<float, 4> weights{};
};

// A textured fragment's sample, term by term.
struct TextureSample {
  float s = 0;  // s/w over 1/w
  float t = 0;
  float sWrapped = 0;  // as the texture's wrap modes take them
  float tWrapped = 0;
  Footprint footprint;  // from the fragment's rates (worked out with mipmapping off too)
  bool mipmaps = true;
  float level = 0;         // the level the fragment stage worked out: 0 with mipmapping off
  float sampledLevel = 0;  // the level sampleTexture takes for it
  std::vector<LevelSample> levels;
};

// One fragment that reached a watched pixel, with everything that made its colour.
struct FragmentRecord {
  PolygonName polygon;
  int x = 0;  // window coordinates: row 0 at the bottom
  int y = 0;
  // The span it lay in: its edges' x on this scanline, its first column (the left
  // edge's x rounded), the column after its last, and the pixel's steps from the first.
  float leftX = 0;
  float rightX = 0;
  int firstColumn = 0;
  int endColumn = 0;
  int steps = 0;
  float depth = 0;
  float depthBefore = 0;
  bool passed = false;
  Color color;      // interpolated
  Color highlight;  // added to it with lighting on
  HighlightTerms highlightTerms;
  bool textured = false;
  TextureTerms terms;
  // Where textured: the sample taken, or for a fragment that failed the depth test (and
  // was never sampled) the one it would have taken.
  TextureSample sample;
  Color handed;  // where it passed
};

// Every fragment that reached one pixel, in the order they came.
struct PixelHistory {
  PicturePixel pixel;
  int windowY = 0;  // the pipeline's row, from the bottom
  std::vector<FragmentRecord> fragments;
  // The last fragment that passed the depth test: the one whose colour the pixel shows.
  const FragmentRecord* shown() const;
};

// The texels and weights sampleTexture takes at this level and these coordinates.
TextureSample textureSample(const TextureLevels& levels, const TextureTerms& terms, float level,
                            bool mipmaps);

// The sink of a frame drawn on the plain path on one thread, which records every
// fragment of the watched pixels, and keeps the outline of every polygon that reached
// one or whose bounds hold one. It draws nothing and costs little beyond the plain path
// itself; a frame without it records nothing.
class HistoryPoints final : public SpanSink<HistoryPoints>, public PipelineObserver {
 public:
  HistoryPoints(const RenderContext& context, int width, int height,
                const std::vector<PicturePixel>& watched);

  void beginSpan() override {}
  void endSpan() override {}
  void point(int, int, Color) override {}
  void polygonEdges(const std::vector<Edge>& edges) override;
  void spanPixels(std::uint32_t, int, int, int) override {}
  void lostDepthTest(int, int) override {}
  void pointLevel(int, int, float) override {}
  void fragmentSeen(const FragmentSeen& f) override;

  // In the order watched.
  std::vector<PixelHistory> pixels;
  // Polygons that reached a watched pixel or whose bounds hold one's centre, by number.
  std::map<std::uint32_t, PolygonOutline> outlines;
  // For each watched pixel, the polygons whose bounds hold its centre, by number.
  std::vector<std::vector<std::uint32_t>> nearby;

 private:
  PolygonName nameOf(std::uint32_t frameNumber) const;
  void keepOutline(std::uint32_t frameNumber);

  const RenderContext& context_;
  int width_;
  int height_;
  std::vector<std::uint32_t> meshStarts_;  // the frame number of each mesh's first polygon
  // Window pixel index -> its first place in `pixels`, and from each place the next
  // place of the same pixel, or kNone.
  static constexpr std::size_t kNone = ~std::size_t(0);
  std::unordered_map<std::int64_t, std::size_t> watchedAt_;
  std::vector<std::size_t> sameAs_;
  std::vector<std::vector<int>> watchedRows_;  // columns watched on each window row, sorted
  std::uint32_t polygonsSeen_ = 0;
  PolygonOutline current_;  // of the polygon being filled
};
