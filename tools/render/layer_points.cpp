#include "tools/render/layer_points.h"

#include <algorithm>

LayerPoints::LayerPoints(int width, int height, bool keepEdges, Rgb background)
    : width(width),
      height(height),
      picture(width, height, background),
      records(std::size_t(width) * height),
      keepEdges(keepEdges),
      picture_(&picture),
      records_(&records) {}

LayerPoints::LayerPoints(LayerPoints& whole)
    : width(whole.width),
      height(whole.height),
      keepEdges(false),
      picture_(&whole.picture),
      records_(&whole.records) {}

std::unique_ptr<PointSink> LayerPoints::bandOf(int, int) {
  return std::unique_ptr<PointSink>(new LayerPoints(*this));
}

void LayerPoints::joinBand(PointSink& band) {
  const auto& counted = static_cast<const LayerPoints&>(band);
  spans += counted.spans;
  pointsDrawn += counted.pointsDrawn;
  depthTestLosses += counted.depthTestLosses;
}

void LayerPoints::point(int x, int y, Color color) {
  picture_->atGl(x, y) = to8Bit(color);
  ++pointsDrawn;
  PixelRecord& record = at(x, y);
  if (record.drawn < 255) ++record.drawn;
  record.level = -1;  // until pointLevel says otherwise
}

void LayerPoints::spanPixels(std::uint32_t span, int y, int first, int end) {
  ++spans;
  for (int x = first; x < end; ++x)
    at(x, y).span = span;
}

void LayerPoints::lostDepthTest(int x, int y) {
  ++depthTestLosses;
  PixelRecord& record = at(x, y);
  if (record.lost < 255) ++record.lost;
}

void LayerPoints::polygonEdges(const std::vector<Edge>& polygonEdges) {
  if (!keepEdges) return;
  for (const Edge& edge : polygonEdges) {
    edges.push_back({edge.lower->x, edge.lower->y, edge.upper->x, edge.upper->y, polygons});
  }
  ++polygons;
}
