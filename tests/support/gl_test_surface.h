#pragma once

#include <functional>
#include <string>

#include "tools/imaging/image.h"

// A 480 x 480 offscreen OpenGL surface for this test program, on an X server of its
// own, with its context current. Created on first use, released at exit.
void ensureGlContext();

// What has been drawn so far, rows from the top.
Image readDrawnPicture();

// Runs `action` with standard output going to a file, and returns what it printed.
std::string capturedOutput(const std::function<void()>& action);
