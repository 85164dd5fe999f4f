#include "app/window_limits.h"

#include <GL/glut.h>

#include <algorithm>

namespace {

int largestSide = 16384;
bool driverAsked = false;

}  // namespace

int largestWindowSide() {
  return largestSide;
}

bool windowTooLarge(int width, int height) {
  return width > largestSide || height > largestSide;
}

void learnLargestWindowSide() {
  if (driverAsked) return;
  GLint dimensions[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dimensions);
  const int answer = std::min(dimensions[0], dimensions[1]);
  // A driver that answers nothing useful leaves the limit known so far in force.
  if (answer > 0) largestSide = std::min(largestSide, answer);
  driverAsked = true;
}

void limitInitialWindowSize() {
  const int width = glutGet(GLUT_INIT_WINDOW_WIDTH);
  const int height = glutGet(GLUT_INIT_WINDOW_HEIGHT);
  if (windowTooLarge(width, height)) {
    glutInitWindowSize(std::min(width, largestSide), std::min(height, largestSide));
  }
}
