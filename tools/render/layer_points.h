#pragma once

#include <cstdint>
#include <vector>

#include "raster/span_sink.h"
#include "tools/imaging/image.h"

// A colour as OpenGL stores it in an 8-bit framebuffer: each channel clamped to [0, 1],
// times 255 and rounded to the nearest whole number, a value exactly half-way up.
Rgb to8Bit(Color color);

// The software pipeline's points made into a picture, without OpenGL.
class PicturePoints final : public SpanSink<PicturePoints> {
 public:
  // The window is cleared to white before a frame.
  PicturePoints(int width, int height) : picture(width, height, {255, 255, 255}) {}
  void beginSpan() override {}
  void endSpan() override {}
  void point(int x, int y, Color color) override { picture.atGl(x, y) = to8Bit(color); }

  Image picture;  // rows from the top
};

// What the pipeline did at each pixel of a frame, besides its colour.
struct PixelRecord {
  std::uint8_t drawn = 0;  // points handed on here (at most 255 counted)
  std::uint8_t lost = 0;   // fragments that failed the depth test here
  std::uint32_t span = 0;  // the last span that walked over it, numbered from 1
  float level = -1;        // the texture level its last point was sampled at; -1 untextured
};

// The picture, and a record of every pixel, with the edges of every polygon: what the
// pictures of the pipeline's inside are made of. Only this sink asks the span loop for
// the extra values, so no other pipeline does the work.
class LayerPoints final : public SpanSink<LayerPoints>, public PipelineObserver {
 public:
  // The edges of every polygon are kept only when asked for: a model of a million
  // polygons has three million.
  LayerPoints(int width, int height, bool keepEdges = true, Rgb background = {255, 255, 255});
  void beginSpan() override {}
  void endSpan() override {}
  void point(int x, int y, Color color) override;
  void polygonEdges(const std::vector<Edge>& edges) override;

  void spanPixels(int y, int first, int end) override;
  void lostDepthTest(int x, int y) override;
  void pointLevel(int x, int y, float level) override { at(x, y).level = level; }

  // One side of a polygon in window coordinates, y up, and the polygon it belongs to.
  struct EdgeLine {
    float x0, y0, x1, y1;
    int polygon;
  };

  int width;
  int height;
  Image picture;                     // rows from the top
  std::vector<PixelRecord> records;  // rows from the bottom, as the pipeline counts them
  std::vector<EdgeLine> edges;
  std::uint32_t spans = 0;
  int polygons = 0;
  bool keepEdges;
  long pointsDrawn = 0;      // every point handed on, however many at one pixel
  long depthTestLosses = 0;  // every fragment that failed the depth test

 private:
  PixelRecord& at(int x, int y) { return records[std::size_t(y) * width + x]; }
};
