// quadrelle-bench: an OpenGL frame timed on its own X server, and under misuse it ends
// with its reason and a status, never an abort.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "tests/support/program_run.h"
#include "tests/support/scratch_folder.h"

namespace {

ProgramResult bench(std::vector<std::string> arguments,
                    std::vector<std::pair<std::string, std::string>> environment = {}) {
  Launch program;
  program.path = QUADRELLE_BENCH;
  program.arguments = std::move(arguments);
  program.environment = std::move(environment);
  program.removedEnvironment = {"DISPLAY"};
  return runProgram(program);
}

// The comparison with llvmpipe rests on this: the OpenGL frame is drawn and timed, and
// its row ends with the name of the renderer that drew it, whichever it is.
TEST(BenchTool, TimesAnOpenGLFrameAndNamesItsRenderer) {
  const ProgramResult run = bench({"--sizes=16x16", "--benchmark_filter=^openGLFrame/",
                                   "--benchmark_min_time=0.001", "--benchmark_format=csv"});
  ASSERT_EQ(run.status, 0) << run.standardError;
  const std::size_t row = run.standardOutput.find("\n\"openGLFrame/16/16/real_time\",");
  ASSERT_NE(row, std::string::npos) << run.standardOutput;
  const std::string line =
      run.standardOutput.substr(row + 1, run.standardOutput.find('\n', row + 1) - row - 1);
  const std::size_t label = line.rfind(",\"");
  ASSERT_NE(label, std::string::npos) << line;
  EXPECT_GT(line.size(), label + 3) << "a name, not an empty label: " << line;
}

TEST(BenchTool, RefusesOrFailsWithItsReasonAndNeverAborts) {
  // Each option as "--name value" or "--name=value"; one missing its value says so.
  for (const std::vector<std::string>& huge :
       {std::vector<std::string>{"--sizes=99999x99999"}, {"--sizes", "99999x99999"}}) {
    const ProgramResult refused = bench(huge);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.standardError.rfind(
                  "quadrelle-bench: --sizes: takes WxH[,WxH...], each side 1 to 8192\n", 0),
              0u)
        << refused.standardError;
  }
  EXPECT_NE(bench({"--scene", "--sizes=16x16"}).standardError.find("--scene needs a value"),
            std::string::npos);
  // No X server to be had: the private one cannot start.
  const ProgramResult noServer =
      bench({"--sizes=16x16", "--benchmark_filter=^openGLFrame"}, {{"PATH", "/nonexistent"}});
  EXPECT_EQ(noServer.status, 1);
  EXPECT_NE(noServer.standardError.find("quadrelle-bench: the private X server (Xvfb) did not "
                                        "start"),
            std::string::npos)
      << noServer.standardError;
  const ProgramResult help = bench({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* said : {"--sizes WxH", "--scene FILE", "--lighting on|off", "--threads N",
                           "--version", "Wavefront OBJ", "glTF", "STL or PLY"})
    EXPECT_NE(help.standardOutput.find(said), std::string::npos) << said;
}

// A model from a stranger: a library on a device outside its folder and one that is a
// pipe inside it. Neither is read, nothing hangs, and the model is timed all the same.
TEST(BenchTool, TimesAHostileModelWithoutReadingWhatItMustNot) {
  ScratchFolder scratch("quadrelle-bench");
  std::filesystem::create_directories(scratch.path());
  const std::string model = (scratch.path() / "model.obj").string();
  std::ofstream(model) << "mtllib ../../../../../../../../dev/zero\nmtllib fifo.mtl\n"
                          "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  ASSERT_EQ(mkfifo((scratch.path() / "fifo.mtl").c_str(), 0600), 0);
  const std::vector<std::string> timing = {"--scene=" + model, "--sizes=16x16",
                                           "--benchmark_filter=^pipeline/",
                                           "--benchmark_min_time=0.001"};
  const ProgramResult confined = bench(timing);
  EXPECT_EQ(confined.status, 0) << confined.standardError;
  EXPECT_NE(confined.standardError.find("lies outside the model's folder"), std::string::npos)
      << confined.standardError;
  EXPECT_NE(confined.standardError.find("'fifo.mtl' is a pipe"), std::string::npos)
      << confined.standardError;
  std::vector<std::string> allowed = timing;
  allowed.emplace_back(std::string("--allow-outside-files"));
  const ProgramResult outside = bench(allowed);
  EXPECT_EQ(outside.status, 0) << outside.standardError;
  EXPECT_NE(outside.standardError.find("is a device, not a regular file"), std::string::npos)
      << outside.standardError;
}

}  // namespace
