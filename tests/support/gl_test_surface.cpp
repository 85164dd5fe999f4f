#include "tests/support/gl_window.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/support/viewer_session.h"

namespace {

// Closes the window and GLUT's connection after the last test, while the X server
// still runs, so that the OpenGL driver releases what it holds.
class GlWindowTeardown : public ::testing::Environment {
 public:
  void TearDown() override {
    glutDestroyWindow(window);
    glutExit();
  }
  int window = 0;
};

}  // namespace

void ensureGlWindow() {
  static bool created = false;
  if (created) return;
  setenv("DISPLAY", XTestServer::server().display().c_str(), 1);
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(480, 480);
  glutInit(&argc, argv);
  auto* teardown = new GlWindowTeardown;
  teardown->window = glutCreateWindow("test");
  ::testing::AddGlobalTestEnvironment(teardown);
  glViewport(0, 0, 480, 480);
  created = true;
}

Image readBackBuffer() {
  glFinish();
  std::vector<unsigned char> rgb(480 * 480 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, 480, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  Image image(480, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 480; ++x) {
      const unsigned char* p = &rgb[(std::size_t(y) * 480 + x) * 3];
      image.at(x, 479 - y) = {p[0], p[1], p[2]};
    }
  }
  return image;
}

std::string capturedOutput(const std::function<void()>& action) {
  char path[] = "/tmp/quadrelle-stdout-XXXXXX";
  const int file = mkstemp(path);
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  dup2(file, STDOUT_FILENO);
  action();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  close(file);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  std::remove(path);
  return text.str();
}
