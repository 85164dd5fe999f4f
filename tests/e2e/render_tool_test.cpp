// quadrelle-render as a user runs it: no display at all, its pictures, its refusals, and
// its picture against the one the viewer's software path draws through OpenGL.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>

#include "app/view_setup.h"
#include "app/viewer_scene.h"
#include "raster/software_frame.h"
#include "tests/support/program_run.h"
#include "tests/support/recording_points.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/small_file_system.h"
#include "tools/cli/options.h"
#include "tools/imaging/png_file.h"

namespace {

namespace fs = std::filesystem;

class RenderTool : public ::testing::Test {
 protected:
  Image picture(const std::string& file) {
    Image image;
    std::string error;
    EXPECT_TRUE(readPng((folder / file).string(), image, error)) << error;
    return image;
  }

  ScratchFolder scratch{"quadrelle-render"};
  const fs::path& folder = scratch.path();
};

ProgramResult render(std::vector<std::string> arguments) {
  Launch program;
  program.path = QUADRELLE_RENDER;
  program.arguments = std::move(arguments);
  program.removedEnvironment = {"DISPLAY"};
  return runProgram(program);
}

// Pixels of the picture's first `rows` rows (above its legend) that are not `color`.
long countOther(const Image& image, Rgb color, int rows) {
  long count = 0;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < image.width; ++x)
      count += !(image.at(x, y) == color);
  }
  return count;
}

// At the initial view the two squares cover 47,905 pixels, each drawn once: every
// picture shows them there, and its background everywhere else.
TEST_F(RenderTool, WritesItsPicturesWithNoDisplay) {
  const ProgramResult result = render({"--layers", "--out", folder.string()});
  ASSERT_EQ(result.status, 0) << result.standardError;
  const Rgb white{255, 255, 255};
  const Rgb paleBlue{225, 235, 245};
  const std::pair<const char*, Rgb> backgrounds[] = {{"software.png", white},
                                                     {"depth.png", paleBlue},
                                                     {"level.png", white},
                                                     {"spans.png", white},
                                                     {"overdraw.png", paleBlue}};
  for (const auto& [file, background] : backgrounds) {
    const Image image = picture(file);
    ASSERT_EQ(image.width, 480) << file;
    EXPECT_GE(image.height, 480) << file << ": the picture, and a legend below the layers";
    EXPECT_EQ(countOther(image, background, 480), 47905) << file;
  }
  const Rgb oneFragment{200, 200, 200};
  EXPECT_EQ(countOther(picture("overdraw.png"), oneFragment, 480), 480 * 480 - 47905)
      << "one fragment a pixel, in one color";
  ASSERT_EQ(render({"--layers", "--width", "1", "--height", "1", "--out", folder.string()}).status,
            0);
  EXPECT_EQ(picture("software.png").width, 1);
  const ProgramResult enlarged =
      render({"--crop", "100,200,20,10", "--scale", "8", "--out", folder.string()});
  ASSERT_EQ(enlarged.status, 0) << enlarged.standardError;
  EXPECT_EQ(picture("software.png").width, 160);
  EXPECT_EQ(picture("software.png").height, 80);
}

std::map<std::string, std::string> filesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
  }
  return files;
}

Launch renderLaunch(std::vector<std::string> arguments) {
  Launch program;
  program.path = QUADRELLE_RENDER;
  program.arguments = std::move(arguments);
  program.removedEnvironment = {"DISPLAY"};
  program.standardOutput = "/dev/null";
  return program;
}

std::string fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

int waitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return exitStatusOf(status);
}

// Two runs writing into one folder at once, three times over: both succeed, and every
// picture is whole, one run's or the other's.
TEST_F(RenderTool, TwoRunsIntoOneFolderBothSucceedWithEveryPictureWhole) {
  const std::vector<std::string> poses[] = {{"--layers", "--zoom", "-3"},
                                            {"--layers", "--zoom", "4"}};
  std::map<std::string, std::string> sets[2];
  for (int i = 0; i < 2; ++i) {
    std::vector<std::string> alone = poses[i];
    alone.insert(alone.end(), {"--out", (folder / std::to_string(i)).string()});
    ASSERT_EQ(render(alone).status, 0);
    sets[i] = filesIn(folder / std::to_string(i));
  }
  const fs::path shared = folder / "shared";
  for (int round = 0; round < 3; ++round) {
    pid_t runs[2];
    for (int i = 0; i < 2; ++i) {
      std::vector<std::string> arguments = poses[i];
      arguments.insert(arguments.end(), {"--out", shared.string()});
      runs[i] = launch(renderLaunch(arguments));
    }
    EXPECT_EQ(waitFor(runs[0]), 0) << round;
    EXPECT_EQ(waitFor(runs[1]), 0) << round;
    const std::map<std::string, std::string> kept = filesIn(shared);
    EXPECT_EQ(kept.size(), sets[0].size()) << "round " << round << ": no temporary file left";
    for (const auto& [name, bytes] : kept)
      EXPECT_TRUE(bytes == sets[0][name] || bytes == sets[1][name]) << round << ": " << name;
  }
}

// A signal inside the run's first or second rename, raised there by a preloaded shim:
// every picture is the earlier run's or the new one's, whole, no temporary file is
// left, and the folder, its owner, its mode and its other files are as they were. A
// signal the run was started with ignored stays ignored.
TEST_F(RenderTool, ASignalWhileKeepingLeavesEachPictureOldOrNewAndNothingElse) {
  const fs::path shared = folder / "shared";
  const std::vector<std::string> earlierRun = {"--layers", "--width", "48", "--height", "48"};
  const std::vector<std::string> laterRun = {"--layers", "--width", "64", "--height", "64"};
  std::vector<std::string> alone = laterRun;
  alone.insert(alone.end(), {"--out", (folder / "later").string()});
  ASSERT_EQ(render(alone).status, 0);
  const std::map<std::string, std::string> later = filesIn(folder / "later");
  const auto interrupted = [&](int signal, int rename) {
    std::vector<std::string> arguments = earlierRun;
    arguments.insert(arguments.end(), {"--out", shared.string()});
    EXPECT_EQ(render(arguments).status, 0);
    std::vector<std::string> again = laterRun;
    again.insert(again.end(), {"--out", shared.string()});
    Launch program = renderLaunch(again);
    program.environment = {
        {"LD_PRELOAD", QUADRELLE_CALL_FAULTS},
        {"ASAN_OPTIONS", "verify_asan_link_order=0"},
        {"QUADRELLE_RAISE_IN_RENAME", std::to_string(signal) + ":" + std::to_string(rename)}};
    return waitFor(launch(program));
  };
  fs::create_directories(shared);
  std::ofstream(shared / "notes.txt") << "the user's own";
  ASSERT_EQ(chown(shared.c_str(), 65534, 65534), 0);
  ASSERT_EQ(chmod(shared.c_str(), 0751), 0);
  struct stat before {};
  ASSERT_EQ(stat(shared.c_str(), &before), 0);
  for (const auto& [signal, rename] : {std::pair{SIGINT, 1}, {SIGTERM, 2}, {SIGHUP, 3}}) {
    std::vector<std::string> arguments = earlierRun;
    arguments.insert(arguments.end(), {"--out", (folder / "earlier").string()});
    ASSERT_EQ(render(arguments).status, 0);
    std::map<std::string, std::string> expected = filesIn(folder / "earlier");
    EXPECT_EQ(interrupted(signal, rename), 128 + signal) << signal;
    // software.png is renamed first, then depth.png, ...: those before the signal are new.
    const char* order[] = {"software.png", "depth.png", "level.png", "spans.png", "overdraw.png"};
    for (int i = 0; i < rename - 1; ++i)
      expected[order[i]] = later.at(order[i]);
    expected["notes.txt"] = "the user's own";
    EXPECT_TRUE(filesIn(shared) == expected) << "signal " << signal << " in rename " << rename;
  }
  struct stat after {};
  ASSERT_EQ(stat(shared.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the same folder";
  EXPECT_EQ(after.st_uid, 65534u);
  EXPECT_EQ(after.st_gid, 65534u);
  EXPECT_EQ(after.st_mode, before.st_mode);

  // Ignored at the start, SIGHUP stays ignored: the run ends, with the new pictures.
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGHUP, &ignore, &previous);
  const int status = interrupted(SIGHUP, 1);
  sigaction(SIGHUP, &previous, nullptr);
  EXPECT_EQ(status, 0);
  std::map<std::string, std::string> expected = later;
  expected["notes.txt"] = "the user's own";
  EXPECT_TRUE(filesIn(shared) == expected);

  // A plain run after a run with layers: the layers go, the user's file stays.
  ASSERT_EQ(render({"--width", "8", "--height", "8", "--out", shared.string()}).status, 0);
  std::map<std::string, std::string> plain = filesIn(shared);
  EXPECT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain.count("software.png"), 1u);
  EXPECT_EQ(plain["notes.txt"], "the user's own");
}

// A file system that fills part way through the pictures: every old picture stays as it
// was, no temporary file is left, and the message names the folder asked for. The small
// file system holds the output folder; it is not mounted on it.
TEST_F(RenderTool, AFullFileSystemLeavesEveryOldPictureAsItWas) {
  const SmallFileSystem small(folder / "small", "96k");
  if (!small.mounted) GTEST_SKIP() << "cannot mount a small file system here (not root?)";
  const fs::path out = folder / "small" / "out";
  ASSERT_EQ(render({"--layers", "--width", "32", "--height", "32", "--out", out.string()}).status,
            0);
  const std::map<std::string, std::string> before = filesIn(out);
  const ProgramResult full = render({"--layers", "--out", out.string()});
  EXPECT_EQ(full.status, 2);
  EXPECT_EQ(full.standardError.rfind("quadrelle-render: cannot write " + out.string() + "/", 0), 0u)
      << full.standardError;
  EXPECT_NE(full.standardError.find("No space left on device"), std::string::npos)
      << full.standardError;
  EXPECT_TRUE(filesIn(out) == before) << "the earlier pictures, and nothing else";
}

// A picture that cannot replace its old one, found before the first rename: every old
// picture stays. A folder that cannot be flushed after the renames is said, though the
// pictures are in place.
TEST_F(RenderTool, WhatCannotBeReplacedIsFoundFirstAndAFailedFlushIsSaid) {
  const fs::path out = folder / "out";
  ASSERT_EQ(render({"--layers", "--width", "16", "--height", "16", "--out", out.string()}).status,
            0);
  const std::map<std::string, std::string> before = filesIn(out);
  fs::remove(out / "level.png");
  fs::create_directory(out / "level.png");
  const ProgramResult blocked = render({"--layers", "--out", out.string()});
  EXPECT_EQ(blocked.status, 2);
  EXPECT_NE(blocked.standardError.find("level.png: a folder of that name is in the way"),
            std::string::npos)
      << blocked.standardError;
  for (const char* file : {"software.png", "depth.png"})
    EXPECT_EQ(fileBytes(out / file), before.at(file)) << file << " kept";
  const ProgramResult stale = render({"--out", out.string()});
  EXPECT_EQ(stale.status, 2);
  EXPECT_NE(stale.standardError.find("cannot remove the old " + out.string() + "/level.png"),
            std::string::npos)
      << stale.standardError;
  EXPECT_EQ(fileBytes(out / "software.png"), before.at("software.png")) << "kept";

  fs::remove(out / "level.png");
  Launch program = renderLaunch({"--width", "8", "--height", "8", "--out", out.string()});
  program.environment = {{"LD_PRELOAD", QUADRELLE_CALL_FAULTS},
                         {"ASAN_OPTIONS", "verify_asan_link_order=0"},
                         {"QUADRELLE_FAIL_FOLDER_FSYNC", "1"}};
  const ProgramResult flushed = runProgram(program);
  EXPECT_EQ(flushed.status, 2);
  EXPECT_NE(flushed.standardError.find("wrote the pictures, but cannot flush the folder"),
            std::string::npos)
      << flushed.standardError;
}

TEST_F(RenderTool, BadOptionsAreRefusedAndNothingIsWritten) {
  const std::map<std::string, std::vector<std::string>> bad = {
      {"outside the 480 x 480 picture", {"--crop", "470,0,20,20"}},
      {"is not X,Y,W,H", {"--crop", "1,2,3"}},
      {"'0' is out of range", {"--scale", "0"}},
      {"more than 16384", {"--scale", "40"}},
      {"is not a whole number", {"--width", "0x10"}},
      {"unknown option", {"--frobnicate"}},
      {"--scene needs a value", {"--scene", "--width", "5"}},
      {"--width needs a value", {"--width"}},
      {"--layers takes no value", {"--layers=on"}},
      {"'320,5' lies outside the 320 x 200 picture",
       {"--width", "320", "--height", "200", "--pixel", "320,5"}},
      {"'5' is not X,Y", {"--pixel", "5"}},
  };
  for (const auto& [message, arguments] : bad) {
    std::vector<std::string> withFolder = arguments;
    withFolder.insert(withFolder.end(), {"--out", folder.string()});
    const ProgramResult result = render(withFolder);
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_NE(result.standardError.find(message), std::string::npos) << result.standardError;
    EXPECT_FALSE(fs::exists(folder)) << arguments[0];
  }
}

// A model from a file: what it brought, what the frame did with it, and the same
// pictures, to the byte, through the plain fragment path. A file that cannot be drawn
// is refused in one line, and nothing is written.
TEST_F(RenderTool, DrawsAModelAndSaysWhatTheFrameDid) {
  const std::string box = QUADRELLE_SOURCE_DIR "/tests/data/models/box.obj";
  const std::vector<std::string> pose = {"--scene",      box,   "--lighting", "on",
                                         "--rotation-z", "-60", "--layers",   "--json"};
  std::vector<std::string> fast = pose;
  fast.insert(fast.end(), {"--out", (folder / "fast").string()});
  const ProgramResult result = render(fast);
  ASSERT_EQ(result.status, 0) << result.standardError;
  const nlohmann::json report = nlohmann::json::parse(result.standardOutput);
  EXPECT_EQ(report["model"]["polygons"], 6);
  EXPECT_EQ(report["pose"]["lighting"], true);
  long pixels = 0;
  long fragments = 0;
  const std::vector<long> perPixel = report["fragmentsPerPixel"];
  for (std::size_t k = 0; k < perPixel.size(); ++k) {
    pixels += perPixel[k];
    fragments += long(k) * perPixel[k];
  }
  EXPECT_EQ(pixels, 480 * 480);
  EXPECT_EQ(fragments, report["fragments"]) << "front and back faces of a closed box";
  EXPECT_GT(report["depthTestLosses"], 0);
  // The plain path, and any number of threads, draw the same pictures and counts.
  const auto withoutTimes = [](nlohmann::json json) {
    for (const char* key : {"pipelineMs", "layersMs", "pngMs", "pictures"})
      json.erase(key);
    return json;
  };
  for (const std::vector<std::string>& other :
       {std::vector<std::string>{"--plain", "--threads", "1"},
        {"--threads", "1"},
        {"--threads", "3"},
        {"--plain", "--threads", "5"}}) {
    std::vector<std::string> again = pose;
    again.insert(again.end(), other.begin(), other.end());
    again.insert(again.end(), {"--out", (folder / "other").string()});
    const ProgramResult drawn = render(again);
    ASSERT_EQ(drawn.status, 0) << drawn.standardError;
    EXPECT_EQ(withoutTimes(nlohmann::json::parse(drawn.standardOutput)), withoutTimes(report))
        << other[0] << " " << other.back();
    for (const char* file : {"software.png", "depth.png", "level.png", "spans.png", "overdraw.png"})
      EXPECT_EQ(fileBytes(folder / "other" / file), fileBytes(folder / "fast" / file))
          << file << ", " << other[0] << " " << other.back();
  }
  const ProgramResult refused =
      render({"--scene", (folder / "absent.obj").string(), "--out", (folder / "none").string()});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.standardError, "quadrelle-render: " + (folder / "absent.obj").string() +
                                       ": cannot be read: No such file or directory\n");
  EXPECT_FALSE(fs::exists(folder / "none"));
}

// The float color of the last point at every pixel, rows from the top.
std::map<std::pair<int, int>, Color> pointColors(const ViewOptions& view) {
  RenderContext context;
  buildViewerScene(context);
  context.useOpenGL = false;
  context.useMipmaps = view.mipmaps;
  setupView(context, view.width, view.height, view.pose);
  RecordingPoints points;
  FrameState frame;
  frame.points = &points;
  renderSoftwareFrame(context, view.width, view.height, frame);
  std::map<std::pair<int, int>, Color> colors;
  for (const RecordedPoint& p : points.points)
    colors[{p.x, view.height - 1 - p.y}] = p.color;
  return colors;
}

// A channel exactly half-way between two 8-bit values, which OpenGL may round either way.
bool isTie(float channel) {
  const float scaled = std::clamp(channel, 0.0f, 1.0f) * 255.0f;
  return scaled - std::floor(scaled) == 0.5f;
}

// quadrelle-render's picture is the viewer's software picture, pixel for pixel, but for
// channels half-way between two 8-bit values, which the driver may round the other way.
TEST_F(RenderTool, PictureIsTheViewersSoftwarePictureButForTies) {
  const std::vector<std::vector<std::string>> poses = {
      {}, {"--zoom", "-15.75"}, {"--rotation-z", "-100", "--rotation-x", "-40", "--width", "640"}};
  int ties = 0;
  for (const std::vector<std::string>& pose : poses) {
    std::vector<std::string> arguments = pose;
    arguments.insert(arguments.end(), {"--out", (folder / "render").string()});
    ASSERT_EQ(render(arguments).status, 0);
    arguments.back() = (folder / "compare").string();
    ASSERT_EQ(runProgram(QUADRELLE_COMPARE, arguments).status, 0);
    const Image rendered = picture("render/software.png");
    const Image viewer = picture("compare/software.png");
    ASSERT_EQ(rendered.width, viewer.width);
    ViewOptions view;
    view.width = rendered.width;
    view.height = rendered.height;
    for (std::size_t i = 0; i + 1 < pose.size(); i += 2) {
      const float value = std::stof(pose[i + 1]);
      if (pose[i] == "--zoom") view.pose.zoom = value;
      if (pose[i] == "--rotation-z") view.pose.rotationZ = value;
      if (pose[i] == "--rotation-x") view.pose.rotationX = value;
    }
    const auto colors = pointColors(view);
    for (int y = 0; y < rendered.height; ++y) {
      for (int x = 0; x < rendered.width; ++x) {
        const Rgb a = rendered.at(x, y);
        const Rgb b = viewer.at(x, y);
        if (a == b) continue;
        const auto color = colors.find({x, y});
        ASSERT_NE(color, colors.end()) << x << "," << y << ": only one picture covers it";
        const float channels[3] = {color->second.x, color->second.y, color->second.z};
        const int differences[3] = {a.r - b.r, a.g - b.g, a.b - b.b};
        for (int c = 0; c < 3; ++c) {
          if (differences[c] == 0) continue;
          EXPECT_EQ(std::abs(differences[c]), 1) << x << "," << y;
          EXPECT_TRUE(isTie(channels[c])) << x << "," << y << " channel " << c;
          ++ties;
        }
      }
    }
  }
  std::printf("%d channels rounded the other way, every one a tie\n", ties);
}

// A pixel's history at the initial view, worked out by hand: pixel (240, 300) lies on
// the ring square at level 0.66, between levels 0 and 1. At s = 0.2564 and t = 0.8578,
// level 0 (256 texels a side) blends the four texels around 255 s = 65.38 and
// 255 t = 218.74, level 1 (128) those around 127 s = 32.56, 127 t = 108.94; each texel
// weighs (1 - fx)(1 - fy), fy (1 - fx), fx (1 - fy) or fx fy, and the levels 0.34 and
// 0.66. The texels are the ring texture's own and the colour handed on the picture's.
TEST_F(RenderTool, APixelsHistoryGivesTheTexelsAndWeightsWorkedOutByHand) {
  const ProgramResult result = render({"--pixel", "240,300", "--json", "--out", folder.string()});
  ASSERT_EQ(result.status, 0) << result.standardError;
  const nlohmann::json pixel = nlohmann::json::parse(result.standardOutput)["pixels"][0];
  EXPECT_EQ(pixel["scanline"], 179);
  ASSERT_EQ(pixel["fragments"].size(), 1u);
  const nlohmann::json& f = pixel["fragments"][0];
  EXPECT_EQ(f["mesh"], 2);
  EXPECT_TRUE(f["passed"].get<bool>());
  const nlohmann::json& sample = f["sample"];
  const float s = sample["s"].get<float>(), t = sample["t"].get<float>();
  EXPECT_NEAR(s, 0.2564, 1e-4);
  EXPECT_NEAR(t, 0.8578, 1e-4);
  const float level = sample["level"].get<float>();
  EXPECT_NEAR(level, 0.66, 0.01);
  const int corners[2][4][2] = {{{65, 218}, {65, 219}, {66, 218}, {66, 219}},
                                {{32, 108}, {32, 109}, {33, 108}, {33, 109}}};
  const Texture rings = Texture::makeRingTexture(256, 256);
  // Level 1's texel: the mean of the 2 x 2 block of level 0 below it.
  auto texel = [&](int k, int x, int y, int c) {
    if (k == 0) return double(rings.texel(x, y, c));
    return (double(rings.texel(2 * x, 2 * y, c)) + rings.texel(2 * x + 1, 2 * y, c) +
            rings.texel(2 * x, 2 * y + 1, c) + rings.texel(2 * x + 1, 2 * y + 1, c)) /
           4;
  };
  ASSERT_EQ(sample["levels"].size(), 2u);
  double red = 0;
  for (int k = 0; k < 2; ++k) {
    const nlohmann::json& l = sample["levels"][std::size_t(k)];
    EXPECT_EQ(l["level"], k);
    EXPECT_NEAR(l["weight"].get<double>(), k == 0 ? 1 - level : level, 1e-6);
    const float u = float(k == 0 ? 255 : 127) * s, v = float(k == 0 ? 255 : 127) * t;
    const double fx = u - std::floor(u), fy = v - std::floor(v);
    const double weights[4] = {(1 - fx) * (1 - fy), fy * (1 - fx), fx * (1 - fy), fx * fy};
    for (int i = 0; i < 4; ++i) {
      const nlohmann::json& texelJson = l["texels"][std::size_t(i)];
      EXPECT_EQ(texelJson["x"], corners[k][i][0]) << k << " " << i;
      EXPECT_EQ(texelJson["y"], corners[k][i][1]) << k << " " << i;
      EXPECT_NEAR(texelJson["weight"].get<double>(), weights[i], 1e-6);
      const double r = texel(k, corners[k][i][0], corners[k][i][1], 0);
      EXPECT_NEAR(texelJson["color"][0].get<double>(), r, 1e-6);
      red += l["weight"].get<double>() * weights[i] * r;
    }
  }
  EXPECT_NEAR(f["handed"][0].get<double>(), red, 1e-5);
  const Image software = picture("software.png");
  const Rgb shown = software.at(240, 300);
  EXPECT_EQ(f["handed8Bit"], nlohmann::json::array({shown.r, shown.g, shown.b}));
}

}  // namespace
