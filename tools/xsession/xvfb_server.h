#pragma once

#include <sys/types.h>
#include <string>

// A private X server for one program (a test, a tool). Xvfb picks a display number nobody uses
// (-displayfd), so test runs never collide; the server stops with the object.
class XvfbServer {
 public:
  XvfbServer(int width = 1280, int height = 1024);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":N"
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};
