// quadrelle-compare as a user runs it: no display (it starts its own), pictures written,
// figures printed, bad arguments refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/program_run.h"
#include "tools/imaging/png_file.h"

namespace {

namespace fs = std::filesystem;

class CompareTool : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) / ("quadrelle-compare-" + std::to_string(getpid()));
    fs::remove_all(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  ProgramResult run(std::vector<std::string> arguments) {
    return runProgram(QUADRELLE_COMPARE, arguments);
  }

  fs::path folder;
};

struct PoseCase {
  const char* name;
  std::vector<std::string> arguments;
  double minimumCoverageIoU;
  double minimumWithinTolerance;
};

// The poses and thresholds of the viewer's own agreement test, set from the command line.
TEST_F(CompareTool, AgreesAsTheViewerDoes) {
  const PoseCase poses[] = {
      {"initial", {}, 0.98, 0.72},
      {"minified", {"--zoom", "-15.75"}, 0.96, 0.54},
      {"nearest", {"--mipmaps", "off"}, 0.98, 0.85},
      {"through", {"--pan-x", "-42", "--pan-y", "21", "--zoom", "12.25"}, 0.99, 0.92},
  };
  for (const PoseCase& pose : poses) {
    std::vector<std::string> arguments = pose.arguments;
    arguments.insert(arguments.end(), {"--json", "--out", folder.string()});
    const ProgramResult result = run(arguments);
    ASSERT_EQ(result.status, 0) << pose.name << ": " << result.standardError;
    const std::string& json = result.standardOutput;
    EXPECT_GE(std::stod(jsonValue(json, "coverageIoU")), pose.minimumCoverageIoU) << pose.name;
    EXPECT_GE(std::stod(jsonValue(json, "withinTolerance")), pose.minimumWithinTolerance)
        << pose.name;
    EXPECT_GT(std::stol(jsonValue(json, "coveredOpenGL")), 1000) << pose.name;
    for (const char* picture : {"opengl.png", "software.png", "difference.png"}) {
      Image image;
      std::string error;
      ASSERT_TRUE(readPng((folder / picture).string(), image, error)) << error;
      EXPECT_EQ(image.width, 480);
      EXPECT_EQ(image.height, 480);
    }
  }
}

TEST_F(CompareTool, TextReportNamesThePoseAndThePictures) {
  const ProgramResult result = run({"--width", "320", "--height", "200", "--out", folder.string()});
  ASSERT_EQ(result.status, 0) << result.standardError;
  EXPECT_NE(result.standardOutput.find("quadrelle-compare --rotation-z -135 --rotation-x -60"),
            std::string::npos);
  EXPECT_NE(result.standardOutput.find("coverage IoU"), std::string::npos);
  EXPECT_NE(result.standardOutput.find("PSNR"), std::string::npos);
  Image image;
  std::string error;
  ASSERT_TRUE(readPng((folder / "software.png").string(), image, error)) << error;
  EXPECT_EQ(image.width, 320);
  EXPECT_EQ(image.height, 200);
}

TEST_F(CompareTool, BadArgumentsFailWithAMessageAndWriteNothing) {
  std::ofstream(folder.string() + ".file") << "not a folder";
  const std::vector<std::vector<std::string>> bad = {
      {"--frobnicate"},
      {"--width", "0"},
      {"--zoom", "abc"},
      {"--mipmaps"},
      {"--out", folder.string() + ".file/pictures"},
  };
  for (const std::vector<std::string>& arguments : bad) {
    std::vector<std::string> withFolder = arguments;
    if (arguments[0] != "--out") withFolder.insert(withFolder.end(), {"--out", folder.string()});
    const ProgramResult result = run(withFolder);
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_NE(result.standardError.find("quadrelle-compare: "), std::string::npos);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_FALSE(fs::exists(folder)) << arguments[0];
  }
  fs::remove(folder.string() + ".file");
}

TEST_F(CompareTool, SweepRepeatsWithItsSeedAndReportsTheWorstPoses) {
  const ProgramResult first = run({"--sweep", "12", "--seed", "3", "--json"});
  ASSERT_EQ(first.status, 0) << first.standardError;
  EXPECT_EQ(jsonValue(first.standardOutput, "poses"), "12");
  EXPECT_NE(first.standardOutput.find("\"worst\": [{\"pose\""), std::string::npos);
  EXPECT_NE(first.standardError.find("12/12 poses"), std::string::npos) << "progress";
  EXPECT_EQ(run({"--sweep", "12", "--seed", "3", "--json"}).standardOutput, first.standardOutput);
}

}  // namespace
