#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "math/vec3.h"
#include "math/vec4.h"
#include "raster/fragment_values.h"

struct Edge;
struct PolygonTarget;

// A fragment as the plain path saw it, in full: what its pixel's history records. Only
// for the length of the call that tells it.
struct FragmentSeen {
  const PolygonTarget* target = nullptr;  // its mesh's texture, the context, the frame
  std::uint32_t polygon = 0;              // the frame's number of the polygon it fills
  const Edge* left = nullptr;             // the span's edges, on this scanline
  const Edge* right = nullptr;
  int x = 0;
  int y = 0;
  float depth = 0;
  Color color;      // interpolated, before the highlight
  Color highlight;  // added to it
  Vec3 normal;      // interpolated, for the highlight
  float shininess = 0;
  TextureTerms terms;
  FragmentOutcome outcome;
};

// Where finished pixels go. The viewer hands each one to OpenGL as a point in the
// pixel-space projection of the frame; tests and tools record, count or picture them.
//
// On the fast path, scan conversion hands every span to the sink's fillFastSpan. A sink
// derives from SpanSink (raster/span_sink.h), whose fillFastSpan runs the fast span loop
// compiled for that sink, so that per pixel nothing is called through a pointer. The
// plain path calls `point` through this interface.
class PointSink {
 public:
  virtual ~PointSink() = default;
  // Draws the pixels of scanline y between two active edges into this sink, on the
  // fast path.
  virtual void fillFastSpan(const PolygonTarget& target, int y, const Edge& left,
                            const Edge& right) = 0;
  // Brackets the points of one span.
  virtual void beginSpan() = 0;
  virtual void endSpan() = 0;
  // Pixel column x of scanline y gets colour's red, green and blue.
  virtual void point(int x, int y, Color color) = 0;
  // The edges of a polygon about to be scan converted, for a sink that pictures them and
  // says so.
  virtual bool takesPolygonEdges() const { return false; }
  virtual void polygonEdges(const std::vector<Edge>& edges) { (void)edges; }

  // A frame drawn on several threads fills bands of rows at once, each into a sink of its
  // own for rows first to end - 1, made here; the sink takes back what each band counted
  // with joinBand, in the order of the bands. Null for a sink that takes its points on
  // one thread only, in one order (the viewer's OpenGL points): its frames are drawn on
  // one thread.
  virtual std::unique_ptr<PointSink> bandOf(int first, int end) {
    (void)first;
    (void)end;
    return nullptr;
  }
  virtual void joinBand(PointSink& band) { (void)band; }
};

// What a sink that pictures the pipeline's inside is told besides its points. A sink
// that wants it derives from this class as well as from SpanSink: its copy of the fast
// span loop makes these calls, and the plain path finds the class once a frame. Since
// they are pure virtual, a sink that misspells one does not compile.
class PipelineObserver {
 public:
  virtual ~PipelineObserver() = default;
  // The columns first to end - 1 that a span of scanline y walks, before its points;
  // `span` names it (spanNumber), the same however many threads draw the frame.
  virtual void spanPixels(std::uint32_t span, int y, int first, int end) = 0;
  // A fragment at (x, y) failed the depth test.
  virtual void lostDepthTest(int x, int y) = 0;
  // The texture level the point just handed on at (x, y) was sampled at: 0 for the
  // nearest texel of level 0, which every level up to 0 takes.
  virtual void pointLevel(int x, int y, float level) = 0;
  // Every fragment of the plain path, once it is drawn or lost: by default told as the
  // fast path tells it, by lostDepthTest and pointLevel.
  virtual void fragmentSeen(const FragmentSeen& f);
};

template <typename Points>
inline constexpr bool kObservesPipeline = std::is_base_of_v<PipelineObserver, Points>;

// A span's name: the frame's polygon it fills, its scanline and its place among the
// spans of that scanline, mixed into one number. Spans of neighbouring scanlines of one
// polygon differ by 65537, a prime, and so differ modulo any smaller prime, as a
// palette of a prime number of colours takes them.
inline std::uint32_t spanNumber(std::uint32_t polygon, int y, int pair) {
  return polygon * 2654435761u + std::uint32_t(y) * 65537u + std::uint32_t(pair) * 97u;
}
