// The fast path's logarithm against the plain level of an area, bit for bit. The fast
// one works out ln(area) from a table and a short series, and hands an area to the plain
// formula whenever the float it rounds to is in doubt; these tests make sure the doubt
// is never misplaced.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "raster/fast_fragment.h"
#include "raster/fast_level.h"
#include "raster/fragment.h"
#include "raster/texture_levels.h"
#include "raster/texture_sampler.h"

namespace {

// What the fast levels must be: the plain level where it is above 0 (an area above 1),
// 0 where the sampler takes the nearest texel anyway, and not a number where the area
// is not one.
float expectedLevel(float area) {
  if (std::isnan(area)) return area;
  return area > 1.0f ? levelOfArea(area) : 0.0f;
}

bool sameBits(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

float fromBits(std::uint32_t bits) {
  return std::bit_cast<float>(bits);
}

// How far the plain level in double lies from the nearest point where rounding to float
// changes, relative to the level: the fast logarithm is in doubt below 2^-40.
double distanceFromRounding(float area) {
  const double level = (std::log(double(area)) / std::log(2.0)) * 0.5;
  const float below = static_cast<float>(level);
  const float other =
      level > below ? std::nextafter(below, INFINITY) : std::nextafter(below, -INFINITY);
  const double midpoint = (double(below) + double(other)) / 2;
  return std::fabs(level - midpoint) / level;
}

// The areas checked: every power of two from the smallest denormal to the largest
// float, with 64 floats either side of it; zeros, infinities, NaNs; and random floats,
// nine tenths of them above 1.
std::vector<float> areasToCheck(std::size_t randomCount) {
  std::vector<float> areas;
  for (int e = -149; e <= 127; ++e) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(std::ldexp(1.0f, e));
    for (std::uint32_t d = 0; d <= 64; ++d) {
      areas.push_back(fromBits(bits + d));
      if (bits > d) areas.push_back(fromBits(bits - d));
    }
  }
  areas.insert(areas.end(), {0.0f, -0.0f, 1.0f, FLT_MIN, FLT_MAX, FLT_TRUE_MIN, INFINITY,
                             std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::signaling_NaN(), -NAN});
  std::mt19937 random(20261207);
  const std::uint32_t one = std::bit_cast<std::uint32_t>(1.0f);
  const std::uint32_t infinity = std::bit_cast<std::uint32_t>(INFINITY);
  for (std::size_t i = 0; i < randomCount; ++i) {
    const std::uint32_t r = random();
    areas.push_back(i % 10 == 9 ? fromBits(r % one) : fromBits(one + r % (infinity - one)));
  }
  return areas;
}

// Four areas at a time in the order given, so that lanes above 1, at or below 1 and not
// a number meet in every combination; every area is checked once in each lane.
int mismatches(const std::vector<float>& areas) {
  std::vector<float> expected(areas.size());
  std::transform(areas.begin(), areas.end(), expected.begin(), expectedLevel);
  int wrong = 0;
  for (int shift = 0; shift < 4; ++shift) {
    for (std::size_t i = 0; i + 4 <= areas.size(); i += 4) {
      Float4 lanes;
      for (int lane = 0; lane < 4; ++lane)
        lanes[lane] = areas[i + (lane + shift) % 4];
      const Float4 levels = levelsAtLeastZero(lanes);
      for (int lane = 0; lane < 4; ++lane) {
        const std::size_t at = i + (lane + shift) % 4;
        if (sameBits(levels[lane], expected[at])) continue;
        if (wrong < 5) ADD_FAILURE() << "area " << areas[at] << " (lane " << lane << ")";
        ++wrong;
      }
    }
  }
  return wrong;
}

TEST(FastLevel, EqualsThePlainLevelOnTenMillionAreas) {
  const std::vector<float> areas = areasToCheck(10'000'000);
  EXPECT_EQ(mismatches(areas), 0);
  // The check means something only if the doubtful cases are among the areas: those
  // the fast logarithm must hand over, and those just clear of it.
  long inDoubt = 0;
  long justClear = 0;
  for (float area : areas) {
    if (!(area > 1.0f) || area > FLT_MAX) continue;
    const double distance = distanceFromRounding(area);
    inDoubt += distance < 0x1p-40;
    justClear += distance >= 0x1p-40 && distance < 0x1p-36;
  }
  EXPECT_GT(inDoubt, 50);
  EXPECT_GT(justClear, 500);
}

// Quads of pixels whose footprints cover about one texel, from a little less to a little
// more: the fast path settles some quads as magnified without the logarithm, and must
// never settle one that holds a pixel the plain path takes as minified.
TEST(FastLevel, QuadsAroundOneTexelAPixelKeepThePlainLevels) {
  Texture texture = Texture::makeRingTexture(256, 256);
  TextureLevels levels;
  buildLevels(levels, texture);
  const float a = 1.0f / 256;
  int minified = 0;
  for (int step = -4000; step < 4000; step += 4) {
    TexturedPixelBatch batch;
    for (int i = 0; i < 4; ++i) {
      const float d = (1 + float(step + i) * 0x1p-22f) / 256;  // area 1 + (step + i) 2^-22
      batch.add(i, Float4{0.5f, 0.5f, 0, d}, 1);
    }
    QuadSamplePoints at =
        samplePointsOf(levels, LevelSearch::TryMagnified, batch.quad(0), Float4{a, 0});
    settleLevel(levels, at);
    for (int i = 0; i < 4; ++i) {
      const float plain = textureLevel({0.5f, 0.5f, 1, a, 0, 0, batch.perspective[i][3]}, 65536);
      EXPECT_TRUE(sameBits(at.level[i], sampledLevel(levels, plain))) << step + i;
      minified += plain > 0;
    }
  }
  EXPECT_GT(minified, 3000) << "half the areas are above 1";
}

// Every float above 1, about 1.07 x 10^9 of them, on every core: scripts/check-level-
// logarithm.sh runs it. Too slow for every test run.
TEST(FastLevel, DISABLED_EqualsThePlainLevelOnEveryFloatAboveOne) {
  const std::uint32_t first = std::bit_cast<std::uint32_t>(1.0f);
  const std::uint32_t end = std::bit_cast<std::uint32_t>(INFINITY) + 1;
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  std::vector<long> wrong(threads, 0);
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      for (std::uint32_t bits = first + 4 * t; bits < end; bits += 4 * threads) {
        const Float4 areas{fromBits(bits), fromBits(bits + 1), fromBits(bits + 2),
                           fromBits(bits + 3)};
        const Float4 levels = levelsAtLeastZero(areas);
        for (int lane = 0; lane < 4; ++lane)
          wrong[t] += !sameBits(levels[lane], expectedLevel(areas[lane]));
      }
    });
  }
  for (std::thread& worker : workers)
    worker.join();
  long total = 0;
  for (long w : wrong)
    total += w;
  EXPECT_EQ(total, 0);
}

}  // namespace
