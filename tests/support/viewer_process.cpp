#include "tests/support/viewer_process.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "tests/support/program_run.h"
#include "tests/support/text_file.h"

ViewerProcess::ViewerProcess(const std::string& display) {
  char pattern[] = "/tmp/quadrelle-viewer-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  directory_ = pattern;
  Launch viewer;
  viewer.path = QUADRELLE_VIEWER;
  viewer.environment = {{"DISPLAY", display},
                        {"LD_PRELOAD", QUADRELLE_SWAP_COUNTER},
                        {"QUADRELLE_SWAP_COUNT_FILE", directory_ + "/frames"},
                        // The preloaded counter comes before the sanitizer runtime.
                        {"ASAN_OPTIONS", "verify_asan_link_order=0"}};
  viewer.standardOutput = directory_ + "/stdout";
  viewer.standardError = directory_ + "/stderr";
  pid_ = launch(viewer);
}

ViewerProcess::~ViewerProcess() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::filesystem::remove_all(directory_);
}

long ViewerProcess::frames() const {
  const std::string text = readTextFile(directory_ + "/frames");
  return text.empty() ? 0 : std::stol(text);
}

bool ViewerProcess::waitForFrames(long count, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (frames() < count) {
    if (std::chrono::steady_clock::now() > deadline || !running()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

long ViewerProcess::settle(std::chrono::milliseconds quiet) {
  long seen = frames();
  auto since = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - since < quiet) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const long now = frames();
    if (now != seen) {
      seen = now;
      since = std::chrono::steady_clock::now();
    }
  }
  return seen;
}

bool ViewerProcess::running() {
  if (status_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = exitStatusOf(status);
    return false;
  }
  return true;
}

std::optional<int> ViewerProcess::waitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (running()) {
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return status_;
}

std::string ViewerProcess::standardOutput() const {
  return readTextFile(directory_ + "/stdout");
}

std::string ViewerProcess::standardError() const {
  return readTextFile(directory_ + "/stderr");
}
