#include "app/interaction.h"

KeyEffect applyKey(RenderContext& context, unsigned char key) {
  switch (key) {
    case 27:
    case 'q':
      return KeyEffect::Quit;
    case 'a':
      context.useMipmaps = !context.useMipmaps;
      return KeyEffect::Redraw;
    case 'g':
      context.useOpenGL = !context.useOpenGL;
      return KeyEffect::Redraw;
    default:
      return KeyEffect::Nothing;
  }
}

void applyMouseButton(InteractionState& state, int button, bool pressed, int x, int y) {
  switch (button) {
    case 0:
      state.leftDown = pressed;
      break;
    case 2:
      state.rightDown = pressed;
      break;
    // The wheel reports a step as a press and a release; both count.
    case 3:
      state.pose.zoom += 1.0f;
      break;
    case 4:
      state.pose.zoom -= 1.0f;
      break;
    default:
      break;
  }
  state.lastMouseX = x;
  state.lastMouseY = y;
}

void applyMotion(InteractionState& state, int x, int y) {
  const int dx = x - state.lastMouseX;
  const int dy = y - state.lastMouseY;
  if (state.leftDown) {
    state.pose.rotationZ += float(dx);
    state.pose.rotationX += float(dy);
  }
  if (state.rightDown) {
    state.pose.panX += float(dx);
    state.pose.panY += float(dy);
  }
  state.lastMouseX = x;
  state.lastMouseY = y;
}
