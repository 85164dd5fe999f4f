#include "app/glut_callbacks.h"

#include <GL/glut.h>

#include <cstdlib>

#include "app/frame.h"
#include "app/interaction.h"

RenderContext renderContext;

namespace {

InteractionState interaction;

// Frames are drawn on demand: input arms the idle callback, which draws one frame and
// disarms itself, so a burst of events costs one frame and an idle window none.
void scheduleFrame() {
  glutIdleFunc(onIdle);
}

}  // namespace

// The frame size is the viewport's: a reshape to zero width or height leaves it as it
// was, so the view never sees a zero side.
void onDisplay() {
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
