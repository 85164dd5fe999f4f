// The fast path function by function against the plain one, as a checker of hand-made
// vector code runs each function: the four-lane sampler against sampleTexture lane by
// lane, and the fast span loop against fillSpan span by span, on random and awkward
// inputs. A failure names the function and the lane.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "raster/fast_sampler.h"
#include "raster/scan_convert.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"
#include "tests/raster/raster_fixtures.h"

namespace {

// Floats from every kind a lane may hold: ordinary ones in and out of [0, 1], whole
// numbers, numbers just off a whole one, the edges of the range, and non-numbers.
float awkward(std::mt19937& random, float low, float high) {
  static const float kOdd[] = {0.0f,
                               -0.0f,
                               1.0f,
                               std::nextafter(1.0f, 2.0f),
                               std::nextafter(1.0f, 0.0f),
                               std::nextafter(0.0f, 1.0f),
                               -1e-10f,
                               2.0f,
                               3.5f,
                               1e30f,
                               -1e30f,
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN()};
  if (random() % 5 == 0) return kOdd[random() % std::size(kOdd)];
  return low + (high - low) * float(random() % 1000000) / 1e6f;
}

// Textures of every shape the samplers meet: powers of two and not, one texel tall, of
// one to four components, with each wrap.
std::vector<Texture> textures() {
  const int shapes[][3] = {{8, 8, 3}, {6, 5, 1}, {13, 1, 4}, {1, 9, 2}, {64, 2, 3}, {5, 40, 3}};
  std::vector<Texture> made;
  std::mt19937 random(3);
  for (const auto& [w, h, c] : shapes) {
    Texture& t = made.emplace_back(w, h, c);
    for (float& texel : t.texels)
      texel = float(random() % 256) / 255.0f;
  }
  return made;
}

TEST(FastLanes, TheFourLaneSamplerTakesThePlainSampleInEveryLane) {
  std::vector<Texture> all = textures();
  std::mt19937 random(20261208);
  const TextureWrap wraps[] = {TextureWrap::Clamp, TextureWrap::ClampToEdge, TextureWrap::Repeat,
                               TextureWrap::MirroredRepeat};
  int wrong = 0;
  for (Texture& texture : all) {
    for (TextureWrap wrap : wraps) {
      texture.wrapS = wrap;
      texture.wrapT = wraps[random() % 4];
      TextureLevels levels;
      buildLevels(levels, texture);
      for (int quad = 0; quad < 20000 && wrong < 5; ++quad) {
        Float4 level, s, t;
        // Neighbouring pixels mostly share a level, as sampleQuad's quickest case needs.
        const float shared = awkward(random, -1, float(levels.count) + 2);
        for (int i = 0; i < 4; ++i) {
          level[i] = random() % 3 == 0 ? awkward(random, -1, float(levels.count) + 2) : shared;
          s[i] = awkward(random, -0.5f, 1.5f);
          t[i] = awkward(random, -0.5f, 1.5f);
        }
        const int count = 1 + int(random() % 4);
        Float4 fast[4];
        sampleQuad(levels, usableLevels(levels, level), s, t, count, fast);
        for (int i = 0; i < count; ++i) {
          const Color plain = sampleTexture(levels, level[i], s[i], t[i]);
          const float rgb[3] = {plain.x, plain.y, plain.z};
          if (std::memcmp(&fast[i], rgb, sizeof rgb) == 0) continue;
          ++wrong;
          ADD_FAILURE() << "sampleQuad lane " << i << " of " << count << ": level " << level[i]
                        << ", s " << s[i] << ", t " << t[i] << " on a " << texture.width << " x "
                        << texture.height << " texture of " << texture.components
                        << " components, wraps " << int(texture.wrapS) << " " << int(texture.wrapT);
        }
      }
    }
  }
}

// Two spans from edges at random: between corners of random depths and perspective
// terms, and between the corners two triangles sharing a side make where the near plane
// cuts it, the side cut once from each end, so that the cut's values round differently
// for each triangle.
struct SpanCase {
  ScreenVertex corners[4];
};

ScreenVertex cornerAt(RecordedFrame& frame, std::mt19937& random, float x, float y) {
  ScreenVertex v = frame.corner(x, y, awkward(random, -1, 1));
  v.sOverW = awkward(random, -2, 2);
  v.tOverW = awkward(random, -2, 2);
  v.oneOverW = random() % 7 == 0 ? awkward(random, -1, 3) : 0.1f + float(random() % 1000) / 100;
  v.color = {awkward(random, 0, 1), awkward(random, 0, 1), awkward(random, 0, 1), 1};
  return v;
}

// The point at t along from a to b, as a clipped corner is made: each value a + (b - a) t.
ScreenVertex cut(const ScreenVertex& a, const ScreenVertex& b, float t) {
  const auto along = [t](float from, float to) { return float(from + (double(to) - from) * t); };
  ScreenVertex v = a;
  v.x = along(a.x, b.x);
  v.y = along(a.y, b.y);
  v.z = along(a.z, b.z);
  v.sOverW = along(a.sOverW, b.sOverW);
  v.tOverW = along(a.tOverW, b.tOverW);
  v.oneOverW = along(a.oneOverW, b.oneOverW);
  return v;
}

// Points equal to the bit, colours that are not numbers too.
bool sameBits(const std::vector<RecordedPoint>& a, const std::vector<RecordedPoint>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RecordedPoint)) == 0);
}

TEST(FastLanes, TheFastSpanLoopHandsOnThePlainSpansPoints) {
  std::mt19937 random(77);
  Texture texture(16, 16, 3);
  for (float& texel : texture.texels)
    texel = float(random() % 256) / 255.0f;
  texture.levels = std::make_shared<TextureLevels>();
  buildLevels(*texture.levels, texture);
  int wrong = 0;
  for (int i = 0; i < 20000 && wrong < 5; ++i) {
    RecordedFrame plain(96, 4);
    RecordedFrame fast(96, 4);
    fast.state.fragmentPath = FragmentPath::Fast;
    const float y0 = -2;
    const float y1 = 6;
    ScreenVertex a = cornerAt(plain, random, awkward(random, -20, 110), y0);
    ScreenVertex b = cornerAt(plain, random, awkward(random, -20, 110), y1);
    ScreenVertex c = cornerAt(plain, random, awkward(random, -20, 110), y0);
    ScreenVertex d = cornerAt(plain, random, awkward(random, -20, 110), y1);
    if (i % 2 == 1) {
      // A shared side a-b cut from each end: the right edge runs from the cut made from
      // b towards a up to b, the left from a to the cut made from a towards b.
      const float at = float(random() % 1000) / 1000;
      c = cut(b, a, 1 - at);
      b = cut(a, b, at);
    }
    for (const Texture* textured :
         {static_cast<const Texture*>(nullptr), static_cast<const Texture*>(&texture)}) {
      const Edge left(a, b);
      const Edge right(c, d);
      const int y = int(random() % 4);
      plain.points.points.clear();
      fast.points.points.clear();
      fillSpan(plain.target(textured), y, left, right);
      fast.band.points->fillFastSpan(fast.target(textured), y, left, right);
      if (sameBits(plain.points.points, fast.points.points)) continue;
      ++wrong;
      std::size_t k = 0;
      while (k < plain.points.points.size() && k < fast.points.points.size() &&
             sameBits({plain.points.points[k]}, {fast.points.points[k]}))
        ++k;
      const auto show = [](const std::vector<RecordedPoint>& points, std::size_t at) {
        if (at >= points.size()) return std::string("none");
        const RecordedPoint& p = points[at];
        return std::to_string(p.x) + "," + std::to_string(p.y) + " (" + std::to_string(p.color.x) +
               ", " + std::to_string(p.color.y) + ", " + std::to_string(p.color.z) + ")";
      };
      ADD_FAILURE() << "fillFastSpan drew " << fast.points.points.size() << " points where fillSpan"
                    << " drew " << plain.points.points.size() << ", case " << i
                    << (textured ? ", textured" : "") << "; point " << k << " is "
                    << show(fast.points.points, k) << " for " << show(plain.points.points, k)
                    << "; left edge 1/w " << a.oneOverW << " to " << b.oneOverW << ", right "
                    << c.oneOverW << " to " << d.oneOverW;
    }
  }
}

}  // namespace
