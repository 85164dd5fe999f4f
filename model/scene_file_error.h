#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

// A scene file that cannot be drawn: the file is missing or unreadable, holds nothing
// to draw, or holds something the pipeline must not be given. The message is one line
// that names the file.
class SceneFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The refusals of one file, or of one part of it: every message starts with `prefix`.
// Where a check runs for each number or vertex, test first and call refuse(), so that no
// message is built for the checks that pass.
class Refusal {
 public:
  explicit Refusal(std::string prefix) : prefix_(std::move(prefix)) {}
  [[noreturn]] void refuse(const std::string& fault) const {
    throw SceneFileError(prefix_ + fault);
  }
  void require(bool holds, const std::string& fault) const {
    if (!holds) refuse(fault);
  }
  // Refuses `index` unless it names one of `count` things.
  void requireIndex(long long index, std::size_t count, const std::string& what) const {
    require(index >= 0 && std::uint64_t(index) < count,
            what + " " + std::to_string(index) + ", but the file has " + std::to_string(count));
  }

 private:
  std::string prefix_;
};
