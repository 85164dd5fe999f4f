#pragma once

#include "scene/render_context.h"

// The one render context, alive from static initialisation to the end of the process.
extern RenderContext renderContext;

void onDisplay();
void onIdle();
void onReshape(int width, int height);
void onKeyboard(unsigned char key, int x, int y);
void onMouse(int button, int state, int x, int y);
void onMotion(int x, int y);
