#pragma once

#include <algorithm>
#include <string>
#include <vector>

// Adds a warning unless the same one was given already: each is said once.
inline void warnOnce(std::vector<std::string>& warnings, const std::string& warning) {
  if (std::find(warnings.begin(), warnings.end(), warning) == warnings.end()) {
    warnings.push_back(warning);
  }
}
