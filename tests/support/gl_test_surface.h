#pragma once

#include <functional>
#include <string>

#include "tools/imaging/image.h"

// A 480 x 480 GLUT window in this test program, on the program's private X server,
// with its OpenGL context current. Created on first use.
void ensureGlWindow();

// The back buffer as drawn so far, rows from the top.
Image readBackBuffer();

// Runs `action` with standard output going to a file, and returns what it printed.
std::string capturedOutput(const std::function<void()>& action);
