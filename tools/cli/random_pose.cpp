#include "tools/cli/random_pose.h"

#include <cstdint>
#include <iterator>
#include <utility>

float uniform(std::mt19937& random, float low, float high) {
  const double fraction = double(random()) / 4294967296.0;
  return static_cast<float>(low + (double(high) - low) * fraction);
}

int choice(std::mt19937& random, int count) {
  return int((std::uint64_t(random()) * std::uint64_t(count)) >> 32);
}

ViewOptions randomPose(std::mt19937& random) {
  static constexpr std::pair<int, int> kSizes[] = {{1, 1},      {3, 7},      {16, 16},   {97, 61},
                                                   {320, 240},  {480, 480},  {640, 480}, {480, 640},
                                                   {1280, 720}, {1920, 1080}};
  ViewOptions p;
  p.pose.rotationZ = uniform(random, -180, 180);
  p.pose.rotationX = uniform(random, -180, 180);
  // Mostly the usual distances; a fifth close to or through the squares (the eye
  // reaches their plane near zoom 11.75), a tenth with the scene behind the eye.
  const float band = uniform(random, 0, 1);
  p.pose.zoom = band < 0.7f   ? uniform(random, -24, 8)
                : band < 0.9f ? uniform(random, 8, 13)
                              : uniform(random, 13, 30);
  p.pose.panX = uniform(random, -120, 120);
  p.pose.panY = uniform(random, -120, 120);
  const auto [width, height] = kSizes[choice(random, int(std::size(kSizes)))];
  p.width = width;
  p.height = height;
  p.mipmaps = choice(random, 2) == 1;
  return p;
}
