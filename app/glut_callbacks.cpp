#include "app/glut_callbacks.h"

#include <GL/glut.h>

#include <algorithm>
#include <cstdlib>

#include "app/frame.h"
#include "app/interaction.h"
#include "app/window_limits.h"

RenderContext renderContext;

namespace {

InteractionState interaction;

// Frames are drawn on demand: input arms the idle callback, which draws one frame and
// disarms itself, so a burst of events costs one frame and an idle window none.
void scheduleFrame() {
  glutIdleFunc(onIdle);
}

// The window's size as the X server last reported it. After a request to shrink the
// window, GLUT reports the size asked for at once, but the window keeps its old size
// until the server's notice of the new one brings a reshape.
struct WindowSize {
  int width = 0;
  int height = 0;
  bool reported = false;
};
WindowSize window;

// Asks for the window at the largest size the driver takes; the reshape that follows
// brings a frame.
void shrinkToLimit(int width, int height) {
  glutReshapeWindow(std::min(width, largestWindowSide()), std::min(height, largestWindowSide()));
}

}  // namespace

// The frame size is the viewport's: a reshape to zero width or height leaves it as it
// was, so the view never sees a zero side. Nothing is drawn while the window is larger
// than the driver can take; the shrunken window brings a frame of its own.
void onDisplay() {
  if (!window.reported) window = {glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT), true};
  if (windowTooLarge(window.width, window.height)) return;
  learnLargestWindowSide();
  // The driver's own limit may be smaller than the one assumed until it was asked.
  if (windowTooLarge(window.width, window.height)) {
    shrinkToLimit(window.width, window.height);
    return;
  }
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  drawFrame(renderContext, interaction.pose, viewport[2], viewport[3]);
  glutSwapBuffers();
}

void onIdle() {
  onDisplay();
  glutIdleFunc(nullptr);
}

void onReshape(int width, int height) {
  window = {width, height, true};
  if (windowTooLarge(width, height)) {
    shrinkToLimit(width, height);
    return;
  }
  if (width != 0 && height != 0) glViewport(0, 0, width, height);
}

void onKeyboard(unsigned char key, int, int) {
  switch (applyKey(renderContext, key)) {
    case KeyEffect::Quit:
      std::exit(0);
    case KeyEffect::Redraw:
      scheduleFrame();
      break;
    case KeyEffect::Nothing:
      break;
  }
}

void onMouse(int button, int state, int x, int y) {
  applyMouseButton(interaction, button, state == GLUT_DOWN, x, y);
  scheduleFrame();
}

void onMotion(int x, int y) {
  applyMotion(interaction, x, y);
  scheduleFrame();
}
