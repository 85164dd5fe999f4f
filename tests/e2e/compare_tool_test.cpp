// quadrelle-compare as a user runs it: no display (it starts its own), pictures written,
// figures printed, bad arguments refused, and a broken environment survived.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "tests/support/agreement_thresholds.h"
#include "tests/support/program_run.h"
#include "tests/support/scratch_folder.h"
#include "tools/imaging/png_file.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class CompareTool : public ::testing::Test {
 protected:
  Launch compareWith(std::vector<std::string> arguments) {
    Launch program;
    program.path = QUADRELLE_COMPARE;
    program.arguments = std::move(arguments);
    program.removedEnvironment = {"DISPLAY"};
    return program;
  }
  ProgramResult run(std::vector<std::string> arguments) {
    return runProgram(compareWith(std::move(arguments)));
  }

  ScratchFolder scratch{"quadrelle-compare"};
  const fs::path& folder = scratch.path();
};

json parsed(const ProgramResult& result) {
  return json::parse(result.standardOutput);
}

// The viewer's own agreement thresholds, at poses set from the command line; the
// pictures land in a folder whose name JSON has to escape.
TEST_F(CompareTool, AgreesAsTheViewerDoesAndReportsJsonThatParses) {
  const std::pair<const char*, std::vector<std::string>> poses[] = {
      {"initial", {}},
      {"minified", {"--zoom", "-15.75"}},
      {"nearest", {"--mipmaps", "off"}},
      {"through", {"--pan-x", "-42", "--pan-y", "21", "--zoom", "12.25"}},
  };
  const std::string awkward = (folder / "quote\" back\\slash \x01 \xc3\xa9").string();
  for (const auto& [name, arguments] : poses) {
    std::vector<std::string> withOutput = arguments;
    withOutput.insert(withOutput.end(), {"--json", "--out", awkward});
    const ProgramResult result = run(withOutput);
    ASSERT_EQ(result.status, 0) << name << ": " << result.standardError;
    const json report = parsed(result);
    const AgreementThreshold& threshold = agreementThreshold(name);
    EXPECT_GE(report["coverageIoU"].get<double>(), threshold.minimumCoverageIoU) << name;
    EXPECT_GE(report["withinTolerance"].get<double>(), threshold.minimumWithinTolerance) << name;
    EXPECT_GT(report["coveredOpenGL"].get<long>(), 1000) << name;
    for (const char* picture : {"opengl", "software", "difference"}) {
      Image image;
      std::string error;
      ASSERT_TRUE(readPng(report["pictures"][picture].get<std::string>(), image, error)) << error;
      EXPECT_EQ(image.width, 480);
    }
  }
}

// The software picture drawn on one thread, through the viewer's own order of points,
// and on several, band after band, is the same picture, and so is the report.
TEST_F(CompareTool, AnyNumberOfThreadsDrawsTheSamePictureAndReport) {
  std::string pictures[3];
  json reports[3];
  const char* threads[3] = {"1", "2", "7"};
  for (int i = 0; i < 3; ++i) {
    const std::string out = (folder / threads[i]).string();
    const ProgramResult result =
        run({"--scene", QUADRELLE_SOURCE_DIR "/tests/data/models/house.glb", "--lighting", "on",
             "--threads", threads[i], "--json", "--out", out});
    ASSERT_EQ(result.status, 0) << result.standardError;
    reports[i] = parsed(result);
    reports[i].erase("pictures");
    std::ifstream in(folder / threads[i] / "software.png", std::ios::binary);
    pictures[i] = {std::istreambuf_iterator<char>(in), {}};
  }
  for (int i = 1; i < 3; ++i) {
    EXPECT_EQ(reports[i], reports[0]) << threads[i] << " threads";
    EXPECT_EQ(pictures[i], pictures[0]) << threads[i] << " threads";
  }
}

TEST_F(CompareTool, TextReportNamesThePoseAndThePictures) {
  const ProgramResult result = run({"--width", "320", "--height", "200", "--out", folder.string()});
  ASSERT_EQ(result.status, 0) << result.standardError;
  EXPECT_NE(result.standardOutput.find("quadrelle-compare --rotation-z -135 --rotation-x -60"),
            std::string::npos);
  EXPECT_NE(result.standardOutput.find("PSNR"), std::string::npos);
  Image image;
  std::string error;
  ASSERT_TRUE(readPng((folder / "software.png").string(), image, error)) << error;
  EXPECT_EQ(image.width, 320);
  EXPECT_EQ(image.height, 200);
}

// Faces that are not convex, one crossing itself: the reference draws them through the
// tessellator with the even-odd rule, as the software pipeline fills them, and not as
// a GL_POLYGON, which would cover 13 % more.
TEST_F(CompareTool, TheReferenceFillsFacesThatAreNotConvexAsThePipelineDoes) {
  const ProgramResult result =
      run({"--scene", QUADRELLE_SOURCE_DIR "/tests/data/models/concave.obj", "--up", "z",
           "--rotation-z", "0", "--rotation-x", "0", "--json", "--out", folder.string()});
  ASSERT_EQ(result.status, 0) << result.standardError;
  EXPECT_GT(parsed(result)["coverageIoU"], 0.97);
}

// A glTF house, from its JSON with the buffer and picture beside it and from one GLB
// file: the same software picture from both, upright with nothing but --scene, and the
// reference in agreement.
TEST_F(CompareTool, DrawsTheGltfHouseAlikeFromBothOfItsForms) {
  std::map<std::string, Image> pictures;
  for (const std::string form : {"gltf", "glb"}) {
    const fs::path out = folder / form;
    const ProgramResult result =
        run({"--scene", QUADRELLE_SOURCE_DIR "/tests/data/models/house." + form, "--json", "--out",
             out.string()});
    ASSERT_EQ(result.status, 0) << result.standardError;
    EXPECT_EQ(result.standardError.find("warning"), std::string::npos) << result.standardError;
    EXPECT_GT(parsed(result)["coverageIoU"], 0.98);
    std::string error;
    ASSERT_TRUE(readPng((out / "software.png").string(), pictures[form], error)) << error;
  }
  EXPECT_EQ(pictures["gltf"].pixels, pictures["glb"].pixels);
  // Upright: the red roof's lowest row lies above the lowest row of the walls' mortar
  // (on its side, with --up z or x, it lies below). The roof's factor, linear (0.7, 0.15,
  // 0.1), shows as the display values (218, 108, 89).
  const auto lowestRow = [&](Rgb color) {
    int lowest = -1;
    for (int y = 0; y < pictures["gltf"].height; ++y)
      for (int x = 0; x < pictures["gltf"].width; ++x)
        if (pictures["gltf"].at(x, y) == color) lowest = y;
    return lowest;
  };
  const int roof = lowestRow({218, 108, 89});
  EXPECT_GT(roof, 0);
  EXPECT_LT(roof, lowestRow({200, 200, 190}));
}

// Coverage is where each renderer wrote depth, not where a pixel's colour differs from
// the white clear: a white cube is measured like any other, and said to be invisible.
TEST_F(CompareTool, MeasuresAWhiteModelByDepthAndWarnsThatItCannotBeSeen) {
  fs::create_directories(folder);
  std::ofstream(folder / "white.mtl") << "newmtl w\nKd 1 1 1\n";
  std::ofstream(folder / "white.obj")
      << "mtllib white.mtl\nv -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\n"
         "v 1 -1 1\nv 1 1 1\nv -1 1 1\nusemtl w\nf 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\n"
         "f 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";
  const ProgramResult result =
      run({"--scene", (folder / "white.obj").string(), "--json", "--out", folder.string()});
  ASSERT_EQ(result.status, 0) << result.standardError;
  EXPECT_GT(parsed(result)["coverageIoU"], 0.99);
  EXPECT_GT(parsed(result)["coveredSoftware"], 90000);
  EXPECT_NE(result.standardError.find("every pixel the model covers has the background's colour"),
            std::string::npos)
      << result.standardError;
  // On a background of its own the cube shows, and is measured the same.
  const ProgramResult onBlue = run({"--scene", (folder / "white.obj").string(), "--background",
                                    "#336699", "--json", "--out", folder.string()});
  ASSERT_EQ(onBlue.status, 0) << onBlue.standardError;
  EXPECT_EQ(onBlue.standardError.find("warning"), std::string::npos) << onBlue.standardError;
  EXPECT_EQ(parsed(onBlue)["coverageIoU"], parsed(result)["coverageIoU"]);
  Image software;
  std::string error;
  ASSERT_TRUE(readPng((folder / "software.png").string(), software, error)) << error;
  EXPECT_EQ(software.at(0, 0), (Rgb{0x33, 0x66, 0x99}));
}

// The process whose parent is `parent` and whose name is `name`, or 0.
pid_t childNamed(pid_t parent, const std::string& name) {
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid;
    std::string command;
    std::string state;
    pid_t ppid = 0;
    if (stat >> pid >> command >> state >> ppid && ppid == parent && command == "(" + name + ")") {
      return pid_t(std::stol(pid));
    }
  }
  return 0;
}

// Killed in the middle of a sweep, compare takes its private X server with it: the
// server ends, and a reader of compare's output sees the end at once.
TEST_F(CompareTool, KilledMidSweepItsPrivateXServerEndsToo) {
  fs::create_directories(folder);
  const fs::path report = folder / "report";
  ASSERT_EQ(mkfifo(report.c_str(), 0600), 0);
  const int reader = open(report.c_str(), O_RDONLY | O_NONBLOCK);
  Launch sweep = compareWith({"--sweep", "300"});
  sweep.standardOutput = report.string();
  sweep.standardError = "/dev/null";
  const pid_t compare = launch(sweep);
  pid_t server = 0;
  for (int i = 0; i < 500 && server == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    server = childNamed(compare, "Xvfb");
  }
  ASSERT_NE(server, 0) << "no private X server started";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(compare, SIGKILL);
  waitpid(compare, nullptr, 0);
  bool serverGone = false;
  bool endOfOutput = false;
  for (int i = 0; i < 250 && !(serverGone && endOfOutput); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    serverGone = !fs::exists("/proc/" + std::to_string(server));
    char byte;
    endOfOutput = read(reader, &byte, 1) == 0;
  }
  close(reader);
  EXPECT_TRUE(serverGone) << "Xvfb " << server << " outlived compare";
  EXPECT_TRUE(endOfOutput) << "the output stayed open";
  if (!serverGone) kill(server, SIGKILL);
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
  const ProgramResult notAFolder = run({"--out", folder.string() + ".file/pictures"});
  EXPECT_NE(notAFolder.standardError.find("Not a directory"), std::string::npos)
      << "the system's own reason: " << notAFolder.standardError;
  fs::remove(folder.string() + ".file");
}

// A worst pose copied from the JSON report renders the very same pictures again.
TEST_F(CompareTool, SweepRepeatsWithItsSeedAndItsWorstPosesReproduce) {
  const ProgramResult first = run({"--sweep", "12", "--seed", "3", "--json"});
  ASSERT_EQ(first.status, 0) << first.standardError;
  EXPECT_NE(first.standardError.find("12/12 poses"), std::string::npos) << "progress";
  EXPECT_EQ(run({"--sweep", "12", "--seed", "3", "--json"}).standardOutput, first.standardOutput);
  const json report = parsed(first);
  EXPECT_EQ(report["poses"], 12);
  ASSERT_FALSE(report["worst"].empty());
  const json& worst = report["worst"][0];
  const json& pose = worst["pose"];
  const auto number = [](const json& value) {
    std::ostringstream text;
    text.precision(17);
    text << value.get<double>();
    return text.str();
  };
  const ProgramResult again =
      run({"--json", "--out", folder.string(), "--rotation-z", number(pose["rotationZ"]),
           "--rotation-x", number(pose["rotationX"]), "--zoom", number(pose["zoom"]), "--pan-x",
           number(pose["panX"]), "--pan-y", number(pose["panY"]), "--width",
           std::to_string(pose["width"].get<int>()), "--height",
           std::to_string(pose["height"].get<int>()), "--mipmaps",
           pose["mipmaps"].get<bool>() ? "on" : "off"});
  ASSERT_EQ(again.status, 0) << again.standardError;
  const json alone = parsed(again);
  EXPECT_EQ(alone["pose"], pose);
  EXPECT_EQ(alone["coveredSoftware"], worst["coveredSoftware"]);
  EXPECT_EQ(alone["withinTolerance"], worst["withinTolerance"]);
}

// Started with standard error closed, the program must not hand that number to its X
// connection (it would write its progress into the X socket and wait for ever). A
// closed standard output is taken as "not wanted"; a full one loses the report, which
// is a failure.
TEST_F(CompareTool, ClosedOrFullStandardStreamsAreNoTrap) {
  Launch quiet = compareWith({"--sweep", "3"});
  quiet.standardError = "";
  quiet.timeout = std::chrono::seconds(60);
  const ProgramResult sweep = runProgram(quiet);
  EXPECT_FALSE(sweep.timedOut);
  EXPECT_EQ(sweep.status, 0);
  EXPECT_NE(sweep.standardOutput.find("3 poses"), std::string::npos);

  Launch closed = compareWith({"--width", "32", "--height", "32", "--out", folder.string()});
  closed.standardOutput = "";
  EXPECT_EQ(runProgram(closed).status, 0) << "a report nobody reads, as asked";

  Launch full = compareWith({"--width", "32", "--height", "32", "--out", folder.string()});
  full.standardOutput = "/dev/full";
  const ProgramResult lost = runProgram(full);
  EXPECT_EQ(lost.status, 1);
  EXPECT_NE(lost.standardError.find("cannot write the report to standard output: No space left"),
            std::string::npos)
      << lost.standardError;
}

}  // namespace
