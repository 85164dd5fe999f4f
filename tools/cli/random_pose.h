#pragma once

#include <random>

#include "tools/cli/options.h"

// Random poses from a seeded generator. The generator's numbers are turned into poses
// here, not by the standard library's distributions, whose results differ from one
// library to another: a seed gives the same poses wherever the program is built.

// A number in [low, high) from the generator's next 32 bits, worked in double.
float uniform(std::mt19937& random, float low, float high);

// One of `count` choices, equally likely but for a bias of count / 2^32.
int choice(std::mt19937& random, int count);

// A pose the mouse can reach: any turn, from far away to through and behind the
// squares, panned off centre, in windows from 1 x 1 to 1920 x 1080.
ViewOptions randomPose(std::mt19937& random);
