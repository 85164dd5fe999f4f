#include "tools/xsession/xvfb_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>

XvfbServer::XvfbServer(int width, int height) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string displayFd = std::to_string(fds[1]);
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    throw std::runtime_error("the private X server (Xvfb) did not start: fork failed");
  }
  if (pid_ == 0) {
    // The server writes the display number into the pipe: only that end stays open
    // across exec, and only in this process, so that no other program the parent starts
    // meanwhile holds it open.
    fcntl(fds[1], F_SETFD, 0);
    // The server ends with the program, however the program ends, and keeps none of
    // its streams: a reader of the program's output sees it end when the program does.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(0);
    ::close(fds[0]);
    const int quiet = ::open("/dev/null", O_RDWR);
    ::dup2(quiet, STDIN_FILENO);
    ::dup2(quiet, STDOUT_FILENO);
    ::dup2(quiet, STDERR_FILENO);
    execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", screen.c_str(),
           "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(fds[1]);
  // Xvfb writes the display number once it accepts connections.
  char buffer[32] = {};
  std::string number;
  while (true) {
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;  // a signal, not the end of the pipe
    if (n <= 0) break;
    number.append(buffer, std::size_t(n));
  }
  ::close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
    number.pop_back();
  if (number.empty()) {
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    throw std::runtime_error("the private X server (Xvfb) did not start: is it installed?");
  }
  display_ = ":" + number;
}

XvfbServer::~XvfbServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}
