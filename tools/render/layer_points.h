#pragma once

#include <cstdint>
#include <vector>

#include "raster/span_sink.h"
#include "tools/imaging/image.h"

// What the pipeline did at each pixel of a frame, besides its colour.
struct PixelRecord {
  std::uint8_t drawn = 0;  // points handed on here (at most 255 counted)
  std::uint8_t lost = 0;   // fragments that failed the depth test here
  std::uint32_t span = 0;  // the last span that walked over it (spanNumber)
  float level = -1;        // the texture level its last point was sampled at; -1 untextured
};

// The picture, and a record of every pixel, with the edges of every polygon: what the
// pictures of the pipeline's inside are made of. Only this sink asks the span loop for
// the extra values, so no other pipeline does the work. A frame drawn on several
// threads writes each band of rows into the one picture and record, and counts apart.
class alignas(64) LayerPoints final : public SpanSink<LayerPoints>, public PipelineObserver {
 public:
  // The edges of every polygon are kept only when asked for: a model of a million
  // polygons has three million.
  LayerPoints(int width, int height, bool keepEdges = true, Rgb background = {255, 255, 255});
  void beginSpan() override {}
  void endSpan() override {}
  void point(int x, int y, Color color) override;
  bool takesPolygonEdges() const override { return keepEdges; }
  void polygonEdges(const std::vector<Edge>& edges) override;
  std::unique_ptr<PointSink> bandOf(int first, int end) override;
  void joinBand(PointSink& band) override;

  void spanPixels(std::uint32_t span, int y, int first, int end) override;
  void lostDepthTest(int x, int y) override;
  void pointLevel(int x, int y, float level) override { at(x, y).level = level; }

  // One side of a polygon in window coordinates, y up, and the polygon it belongs to.
  struct EdgeLine {
    float x0, y0, x1, y1;
    int polygon;
  };

  int width;
  int height;
  // Rows from the top. Only a frame's whole sink holds them; its bands write into it.
  Image picture;
  // Rows from the bottom, as the pipeline counts them; likewise.
  std::vector<PixelRecord> records;
  std::vector<EdgeLine> edges;
  std::uint32_t spans = 0;
  int polygons = 0;
  bool keepEdges;
  long pointsDrawn = 0;      // every point handed on, however many at one pixel
  long depthTestLosses = 0;  // every fragment that failed the depth test

 private:
  // A band of `whole`'s rows.
  explicit LayerPoints(LayerPoints& whole);
  PixelRecord& at(int x, int y) { return (*records_)[std::size_t(y) * width + x]; }

  Image* picture_;                     // `picture`, or the whole frame's
  std::vector<PixelRecord>* records_;  // `records`, or the whole frame's
};
