#pragma once

#include <sys/types.h>
#include <chrono>
#include <optional>
#include <string>

// The real viewer, started on a given X display with the swap counter preloaded, its
// standard output and error kept in files. Killed with the object if still running.
class ViewerProcess {
 public:
  explicit ViewerProcess(const std::string& display);
  ~ViewerProcess();
  ViewerProcess(const ViewerProcess&) = delete;
  ViewerProcess& operator=(const ViewerProcess&) = delete;

  // Frames shown so far.
  long frames() const;
  // Waits until at least `count` frames were shown; false on timeout.
  bool waitForFrames(long count, std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Waits until no new frame came for `quiet` and returns the count.
  long settle(std::chrono::milliseconds quiet = std::chrono::milliseconds(400));

  bool running();
  pid_t pid() const { return pid_; }
  // The exit status once the process ended by itself within `timeout`.
  std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  std::string standardOutput() const;
  std::string standardError() const;

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
  std::string directory_;
};
