#include "tests/support/viewer_process.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include <thread>
#include "tests/support/text_file.h"

ViewerProcess::ViewerProcess(const std::string& display) {
  char pattern[] = "/tmp/quadrelle-viewer-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  directory_ = pattern;
  const std::string countFile = directory_ + "/frames";
  const std::string outputFile = directory_ + "/stdout";
  pid_ = fork();
  if (pid_ == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("LD_PRELOAD", QUADRELLE_SWAP_COUNTER, 1);
    setenv("QUADRELLE_SWAP_COUNT_FILE", countFile.c_str(), 1);
    // In the sanitizer build: the preloaded counter comes before the ASan runtime, and
    // Mesa keeps allocations until exit.
    setenv("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0", 1);
    const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    const int in = open("/dev/null", O_RDONLY);
    dup2(in, STDIN_FILENO);
    execl(QUADRELLE_VIEWER, QUADRELLE_VIEWER, static_cast<char*>(nullptr));
    _exit(127);
  }
}

ViewerProcess::~ViewerProcess() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::remove((directory_ + "/frames").c_str());
  std::remove((directory_ + "/stdout").c_str());
  rmdir(directory_.c_str());
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
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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
