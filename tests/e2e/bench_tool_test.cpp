// quadrelle-bench: an OpenGL frame timed on its own X server, and under misuse it ends
// with its reason and a status, never an abort.
#include <gtest/gtest.h>

#include "tests/support/program_run.h"

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
// its row names the renderer that drew it.
TEST(BenchTool, TimesAnOpenGLFrameAndNamesItsRenderer) {
  const ProgramResult run = bench({"--sizes=16x16", "--benchmark_filter=^openGLFrame/",
                                   "--benchmark_min_time=0.001", "--benchmark_format=csv"});
  ASSERT_EQ(run.status, 0) << run.standardError;
  const std::size_t row = run.standardOutput.find("\n\"openGLFrame/16/16/real_time\",");
  ASSERT_NE(row, std::string::npos) << run.standardOutput;
  const std::string line =
      run.standardOutput.substr(row + 1, run.standardOutput.find('\n', row + 1) - row - 1);
  EXPECT_NE(line.find(",\"llvmpipe"), std::string::npos) << line;
}

TEST(BenchTool, RefusesOrFailsWithItsReasonAndNeverAborts) {
  const ProgramResult huge = bench({"--sizes=99999x99999"});
  EXPECT_EQ(huge.status, 2);
  EXPECT_EQ(huge.standardError.rfind("quadrelle-bench: --sizes takes WxH[,WxH...], each side 1 "
                                     "to 8192\n",
                                     0),
            0u)
      << huge.standardError;
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
  for (const char* option : {"--sizes=", "--scene=", "--lighting=", "--version"})
    EXPECT_NE(help.standardOutput.find(option), std::string::npos) << option;
}

}  // namespace
