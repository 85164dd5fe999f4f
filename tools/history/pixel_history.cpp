#include "tools/history/pixel_history.h"

#include <algorithm>
#include <cmath>

#include "math/rounding.h"
#include "raster/polygon_target.h"
#include "raster/texture_levels.h"

float PolygonOutline::top() const {
  float top = -INFINITY;
  for (const auto& side : sides)
    top = std::max(top, side[1].y);
  return top;
}

const FragmentRecord* PixelHistory::shown() const {
  for (auto f = fragments.rbegin(); f != fragments.rend(); ++f)
    if (f->passed) return &*f;
  return nullptr;
}

namespace {

// A window coordinate as a column or row, held to -1 to `size` so that one far off
// screen (a corner clipping put near the eye) still converts.
int withinPicture(float coordinate, int size) {
  return heldToInt(coordinate, -1, size);
}

ScreenCorner cornerOf(const ScreenVertex& v) {
  return {v.x, v.y, v.z, v.sOverW, v.tOverW, v.oneOverW, v.color, *v.source};
}

LevelSample nearestSample(const TextureLevels& levels, float s, float t) {
  LevelSample sample;
  sample.count = 1;
  sample.texels[0] = nearestTexel(levels, s, t);
  sample.weights[0] = 1;
  return sample;
}

LevelSample bilinearSample(const TextureLevels& levels, int level, float weight, float s, float t) {
  const BilinearTexels b = bilinearTexels(levels, level, s, t);
  LevelSample sample;
  sample.level = level;
  sample.weight = weight;
  sample.count = 4;
  for (int i = 0; i < 4; ++i) {
    sample.texels[std::size_t(i)] = b.texels[i];
    sample.weights[std::size_t(i)] = b.weights[i];
  }
  return sample;
}

}  // namespace

TextureSample textureSample(const TextureLevels& levels, const TextureTerms& terms, float level,
                            bool mipmaps) {
  TextureSample sample;
  sample.s = terms.sOverW / terms.oneOverW;
  sample.t = terms.tOverW / terms.oneOverW;
  sample.sWrapped = wrapCoordinate(sample.s, levels.texture->wrapS);
  sample.tWrapped = wrapCoordinate(sample.t, levels.texture->wrapT);
  sample.footprint = footprintOf(terms, levels.texelCount);
  sample.mipmaps = mipmaps;
  sample.level = mipmaps ? level : 0.0f;
  if (std::isnan(sample.level)) return sample;  // black, from no texel
  sample.sampledLevel = sampledLevel(levels, sample.level);
  const float s = sample.sWrapped;
  const float t = sample.tWrapped;
  if (sample.sampledLevel == 0) {
    sample.levels.push_back(nearestSample(levels, s, t));
    return sample;
  }
  // As sampleTexture blends them: the two whole levels around the level number, one
  // where both samples are the same colour.
  const float below = std::floor(sample.sampledLevel);
  const float f = sample.sampledLevel - below;
  const LevelSample finer = bilinearSample(levels, int(below), 1 - f, s, t);
  const LevelSample coarser = bilinearSample(levels, int(std::ceil(sample.sampledLevel)), f, s, t);
  if (sampleBilinear(levels, finer.level, s, t) == sampleBilinear(levels, coarser.level, s, t)) {
    sample.levels.push_back(finer);
    sample.levels.back().weight = 1;
  } else {
    sample.levels.push_back(finer);
    sample.levels.push_back(coarser);
  }
  return sample;
}

HistoryPoints::HistoryPoints(const RenderContext& context, int width, int height,
                             const std::vector<PicturePixel>& watched)
    : nearby(watched.size()),
      context_(context),
      width_(width),
      height_(height),
      watchedRows_(std::size_t(std::max(height, 0))) {
  std::uint32_t start = 0;
  for (const Mesh& mesh : context.meshes) {
    meshStarts_.push_back(start);
    start += std::uint32_t(mesh.polygons.size());
  }
  std::unordered_map<std::int64_t, std::size_t> lastAt;
  for (const PicturePixel& p : watched) {
    const int windowY = height - 1 - p.y;
    const std::int64_t at = std::int64_t(windowY) * width + p.x;
    const std::size_t i = pixels.size();
    if (watchedAt_.try_emplace(at, i).second) {
      watchedRows_[std::size_t(windowY)].push_back(p.x);
    } else {
      sameAs_[lastAt[at]] = i;  // a pixel watched twice is recorded twice
    }
    lastAt[at] = i;
    pixels.push_back({p, windowY, {}});
    sameAs_.push_back(kNone);
  }
  for (std::vector<int>& row : watchedRows_)
    std::sort(row.begin(), row.end());
}

PolygonName HistoryPoints::nameOf(std::uint32_t frameNumber) const {
  const auto after = std::upper_bound(meshStarts_.begin(), meshStarts_.end(), frameNumber);
  const std::size_t mesh = std::size_t(after - meshStarts_.begin()) - 1;
  return {frameNumber, int(mesh), int(frameNumber - meshStarts_[mesh])};
}

void HistoryPoints::polygonEdges(const std::vector<Edge>& edges) {
  current_.sides.clear();
  current_.corners.clear();
  // The edges' corners lie in one list, in the order of the polygon's vertices.
  const ScreenVertex* first = nullptr;
  const ScreenVertex* last = nullptr;
  for (const Edge& edge : edges) {
    for (const ScreenVertex* v : {edge.lower, edge.upper}) {
      first = first == nullptr ? v : std::min(first, v);
      last = last == nullptr ? v : std::max(last, v);
    }
  }
  if (first != nullptr) {
    for (const ScreenVertex* v = first; v <= last; ++v)
      current_.corners.push_back(cornerOf(*v));
  }
  float left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
  for (const Edge& edge : edges) {
    current_.sides.push_back({cornerOf(*edge.lower), cornerOf(*edge.upper)});
    left = std::min({left, edge.lower->x, edge.upper->x});
    right = std::max({right, edge.lower->x, edge.upper->x});
    bottom = std::min(bottom, edge.lower->y);
    top = std::max(top, edge.upper->y);
  }
  current_.name = nameOf(polygonsSeen_);
  ++polygonsSeen_;
  if (edges.empty()) return;
  // The watched pixels whose centres lie within the polygon's bounds, or a pixel of
  // them: those OpenGL might cover with it.
  const int firstRow = std::max(0, withinPicture(std::floor(bottom - 1.5f), height_));
  const int lastRow = std::min(height_ - 1, withinPicture(std::ceil(top + 0.5f), height_));
  for (int y = firstRow; y <= lastRow; ++y) {
    const std::vector<int>& row = watchedRows_[std::size_t(y)];
    auto x =
        std::lower_bound(row.begin(), row.end(), withinPicture(std::floor(left - 1.5f), width_));
    for (; x != row.end() && float(*x) <= right + 0.5f; ++x) {
      const std::size_t i = watchedAt_.at(std::int64_t(y) * width_ + *x);
      nearby[i].push_back(current_.name.frameNumber);
      keepOutline(current_.name.frameNumber);
    }
  }
}

void HistoryPoints::keepOutline(std::uint32_t frameNumber) {
  if (frameNumber == current_.name.frameNumber) outlines.try_emplace(frameNumber, current_);
}

void HistoryPoints::fragmentSeen(const FragmentSeen& f) {
  const auto watched = watchedAt_.find(std::int64_t(f.y) * width_ + f.x);
  if (watched == watchedAt_.end()) return;
  FragmentRecord r;
  r.polygon = nameOf(f.polygon);
  r.x = f.x;
  r.y = f.y;
  r.leftX = f.left->x;
  r.rightX = f.right->x;
  r.firstColumn = roundToInt(f.left->x);
  r.endColumn = roundToInt(f.right->x);
  r.steps = f.x - r.firstColumn;
  r.depth = f.depth;
  r.depthBefore = f.outcome.depthBefore;
  r.passed = f.outcome.passed;
  r.color = f.color;
  r.highlight = f.highlight;
  r.highlightTerms =
      spanHighlightTerms(*f.target, *f.left, f.x, f.y, f.depth, f.normal, f.shininess);
  r.terms = f.terms;
  r.handed = f.outcome.handed;
  r.textured = f.target->texture != nullptr;
  if (r.textured) {
    // A fragment that failed was never sampled: what it would have taken, had it passed.
    const TextureLevels& levels = *f.target->texture->levels;
    const float level = r.passed ? f.outcome.level : footprintOf(f.terms, levels.texelCount).level;
    r.sample = textureSample(levels, f.terms, level, context_.useMipmaps);
  }
  keepOutline(f.polygon);
  for (std::size_t i = watched->second; i != kNone; i = sameAs_[i])
    pixels[i].fragments.push_back(r);
}
