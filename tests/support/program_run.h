#pragma once

#include <string>
#include <vector>

struct ProgramResult {
  int status = -1;  // exit status, or 128 + signal
  std::string standardOutput;
  std::string standardError;
};

// Runs a program to its end without a display of its own (DISPLAY unset), so that a
// program needing one has to start it.
ProgramResult runProgram(const std::string& path, const std::vector<std::string>& arguments);

// The value of "key" in a flat JSON text, as written (a number, true, false, null).
std::string jsonValue(const std::string& json, const std::string& key);
