#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// How to start a program of the project for a test.
struct Launch {
  std::string path;
  std::vector<std::string> arguments;
  // Variables set on top of this process's environment, and variables removed.
  std::vector<std::pair<std::string, std::string>> environment;
  std::vector<std::string> removedEnvironment;
  // Files the standard streams go to; an empty name leaves the descriptor closed.
  // Unset, standard input reads /dev/null and the outputs are the test's own, or, with
  // runProgram, kept in files for the result.
  std::optional<std::string> standardInput;
  std::optional<std::string> standardOutput;
  std::optional<std::string> standardError;
  // runProgram ends the program when it runs longer, and reports it as killed.
  std::chrono::seconds timeout{240};
};

// Starts the program and returns its process id; throws std::runtime_error when it
// cannot be started.
pid_t launch(const Launch& program);

// The exit status of a process that ended by itself, or 128 + the signal that ended it.
int exitStatusOf(int waitStatus);

struct ProgramResult {
  int status = -1;  // exit status, or 128 + signal
  bool timedOut = false;
  std::string standardOutput;
  std::string standardError;
};

// Runs a program to its end, its standard output and error kept in files that are read
// back unless the launch sends them elsewhere.
ProgramResult runProgram(Launch program);

// The same with no display (DISPLAY unset), so that a program needing one has to start
// it, and both output streams kept.
ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments);
