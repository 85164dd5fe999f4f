#pragma once

#include <stdexcept>
#include <string>

// A scene file that cannot be drawn: the file is missing or unreadable, holds nothing
// to draw, or holds something the pipeline must not be given. The message is one line
// that names the file.
class SceneFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
