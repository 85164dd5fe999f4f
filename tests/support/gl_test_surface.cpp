#include "tests/support/gl_test_surface.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "tests/support/text_file.h"
#include "tools/xsession/gl_surface.h"

namespace {

GlSurface& surface() {
  // Always on a private X server, whatever display the developer has.
  static const bool privateServer = unsetenv("DISPLAY") == 0;
  static GlSurface surface(480, 480);
  (void)privateServer;
  return surface;
}

}  // namespace

void ensureGlContext() {
  surface();
}

Image readDrawnPicture() {
  return surface().read();
}

std::string capturedOutput(const std::function<void()>& action) {
  char path[] = "/tmp/quadrelle-stdout-XXXXXX";
  const int file = mkstemp(path);
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  ::dup2(file, STDOUT_FILENO);
  action();
  std::fflush(stdout);
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  ::close(file);
  const std::string text = readTextFile(path);
  std::remove(path);
  return text;
}
