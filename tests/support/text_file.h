#pragma once

#include <fstream>
#include <sstream>
#include <string>

// The whole of a text file; empty when it cannot be read.
inline std::string readTextFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
