#pragma once

#include "app/camera_pose.h"
#include "scene/render_context.h"

// The state that mouse events change between frames.
struct InteractionState {
  CameraPose pose;
  int lastMouseX = 0;
  int lastMouseY = 0;
  bool leftDown = false;
  bool rightDown = false;
};

enum class KeyEffect { Nothing, Redraw, Quit };

// Esc and "q" quit, "a" toggles mipmapping and "g" the renderer; every other key,
// upper-case letters included, does nothing.
KeyEffect applyKey(RenderContext& context, unsigned char key);

// GLUT button numbers: 0 left, 1 middle, 2 right, 3 and 4 the wheel. Every button
// event, whatever the button, also records the pointer position, so that a drag
// measures from there.
void applyMouseButton(InteractionState& state, int button, bool pressed, int x, int y);

// A drag: the left button rotates by a degree a pixel, the right button pans; both
// apply when both are held.
void applyMotion(InteractionState& state, int x, int y);
