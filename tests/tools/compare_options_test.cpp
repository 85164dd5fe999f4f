#include <gtest/gtest.h>

#include <sstream>

#include "tools/compare/options.h"

namespace {

std::optional<CompareOptions> parse(std::vector<std::string> arguments,
                                    std::string* error = nullptr) {
  std::string ignored;
  return parseOptions(arguments, error ? *error : ignored);
}

// The options of a command line that must be accepted; the defaults, and a failure,
// where it is refused.
CompareOptions accepted(std::vector<std::string> arguments) {
  std::string error;
  const std::optional<CompareOptions> options = parse(arguments, &error);
  EXPECT_TRUE(options.has_value()) << error;
  return options.value_or(CompareOptions{});
}

std::string errorOf(std::vector<std::string> arguments) {
  std::string error;
  EXPECT_FALSE(parse(arguments, &error)) << "accepted";
  return error;
}

TEST(CompareOptions, DefaultsAreTheViewersStart) {
  const CompareOptions o = accepted({});
  EXPECT_EQ(o.view.pose.rotationZ, -135.0f);
  EXPECT_EQ(o.view.pose.rotationX, -60.0f);
  EXPECT_EQ(o.view.pose.zoom, 0.25f);
  EXPECT_EQ(o.view.width, 480);
  EXPECT_EQ(o.view.height, 480);
  EXPECT_TRUE(o.view.mipmaps);
  EXPECT_EQ(o.tolerance, 8);
  EXPECT_EQ(o.sweep, 0);
  EXPECT_FALSE(o.output.json);
}

TEST(CompareOptions, EveryOptionIsTaken) {
  const CompareOptions o = accepted(
      {"--rotation-z", "10.5", "--rotation-x", "-20",      "--zoom",   "3",      "--pan-x",   "-7",
       "--pan-y",      "8",    "--width",      "640",      "--height", "360",    "--mipmaps", "off",
       "--tolerance",  "0",    "--out",        "pictures", "--json",   "--seed", "42"});
  EXPECT_EQ(o.view.pose.rotationZ, 10.5f);
  EXPECT_EQ(o.view.pose.rotationX, -20.0f);
  EXPECT_EQ(o.view.pose.zoom, 3.0f);
  EXPECT_EQ(o.view.pose.panX, -7.0f);
  EXPECT_EQ(o.view.pose.panY, 8.0f);
  EXPECT_EQ(o.view.width, 640);
  EXPECT_EQ(o.view.height, 360);
  EXPECT_FALSE(o.view.mipmaps);
  EXPECT_EQ(o.tolerance, 0);
  EXPECT_EQ(o.output.folder, "pictures");
  EXPECT_TRUE(o.output.json);
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(accepted({"--sweep", "200"}).sweep, 200);
  EXPECT_TRUE(accepted({"--help"}).help);
}

TEST(CompareOptions, BadArgumentsAreNamed) {
  EXPECT_EQ(errorOf({"--frobnicate"}), "unknown option '--frobnicate'");
  EXPECT_EQ(errorOf({"480"}), "unknown option '480'");
  EXPECT_EQ(errorOf({"--zoom"}), "--zoom needs a value");
  EXPECT_EQ(errorOf({"--zoom", "abc"}), "--zoom: 'abc' is not a number");
  EXPECT_EQ(errorOf({"--zoom", "1.5x"}), "--zoom: '1.5x' is not a number");
  EXPECT_EQ(errorOf({"--zoom", ""}), "--zoom: '' is not a number");
  EXPECT_EQ(errorOf({"--zoom", "nan"}), "--zoom: 'nan' is not a number");
  EXPECT_EQ(errorOf({"--pan-x", "inf"}), "--pan-x: 'inf' is not a number");
  EXPECT_EQ(errorOf({"--zoom", "1e400"}), "--zoom: '1e400' is out of range (-1000000 to 1000000)");
  EXPECT_EQ(errorOf({"--zoom", "1e-310"}),
            "--zoom: '1e-310' is too close to zero: a float holds only numbers from 1.2e-38 up");
  EXPECT_EQ(errorOf({"--width", "0"}), "--width: '0' is out of range (1 to 8192)");
  EXPECT_EQ(errorOf({"--height", "9000"}), "--height: '9000' is out of range (1 to 8192)");
  EXPECT_EQ(errorOf({"--width", "12.5"}), "--width: '12.5' is not a whole number");
  EXPECT_EQ(errorOf({"--width", "0x10"}), "--width: '0x10' is not a whole number");
  EXPECT_EQ(errorOf({"--width", " 5"}), "--width: ' 5' is not a whole number");
  EXPECT_EQ(errorOf({"--zoom", "0x1p3"}), "--zoom: '0x1p3' is not a number");
  EXPECT_EQ(errorOf({"--tolerance", "-1"}), "--tolerance: '-1' is out of range (0 to 255)");
  EXPECT_EQ(errorOf({"--sweep", "0"}), "--sweep: '0' is out of range (1 to 1000000)");
  const std::string huge(100000, '7');
  EXPECT_EQ(errorOf({"--width", huge}),
            "--width: '777777777777777777777777...777777777777777777777777' (100000 characters) "
            "is out of range (1 to 8192)");
  EXPECT_EQ(errorOf({"--mipmaps", "yes"}), "--mipmaps: 'yes' is neither on nor off");
  EXPECT_EQ(errorOf({"--out", ""}), "--out: the folder name is empty");
  EXPECT_EQ(errorOf({"--seed", "-1"}), "--seed: '-1' is out of range (0 to 2147483647)");
  // A sweep draws random poses and sizes and writes no pictures.
  EXPECT_EQ(errorOf({"--sweep", "5", "--width", "64"}),
            "--width does not apply to --sweep, which draws random poses and sizes and writes "
            "no pictures");
  EXPECT_EQ(errorOf({"--crop", "1,1,2,2", "--sweep", "5"}),
            "--crop does not apply to --sweep, which draws random poses and sizes and writes "
            "no pictures");
}

TEST(CompareOptions, APosesCommandLineParsesBackToThePose) {
  ViewOptions view;
  CameraPose& pose = view.pose;
  pose.rotationZ = -174.07341f;
  pose.rotationX = 54.0192871f;
  pose.zoom = 3.35673332f;
  pose.panX = 9.77267456f;
  pose.panY = -46.6084213f;
  view.width = 97;
  view.height = 61;
  view.mipmaps = false;
  std::istringstream line(commandLineFor(view, {}));
  std::vector<std::string> words;
  for (std::string word; line >> word;)
    words.push_back(word);
  ASSERT_EQ(words.front(), "quadrelle-compare");
  const CompareOptions o = accepted({words.begin() + 1, words.end()});
  EXPECT_EQ(o.view.pose.rotationZ, pose.rotationZ);
  EXPECT_EQ(o.view.pose.rotationX, pose.rotationX);
  EXPECT_EQ(o.view.pose.zoom, pose.zoom);
  EXPECT_EQ(o.view.pose.panX, pose.panX);
  EXPECT_EQ(o.view.pose.panY, pose.panY);
  EXPECT_EQ(o.view.width, 97);
  EXPECT_EQ(o.view.height, 61);
  EXPECT_FALSE(o.view.mipmaps);
}

}  // namespace
