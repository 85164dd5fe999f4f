#pragma once

// The largest window the OpenGL driver can draw into. Beyond it a window can bring the
// driver down: Mesa's llvmpipe sizes its back buffer in 32 bits and crashes from about
// 23,000 pixels a side, at the first OpenGL call after it took such a window, even a
// query. So a larger window is shrunk to the limit, and OpenGL is neither asked nor
// drawn with until the window is within it. Until the driver has been asked (which
// takes a window it can draw into), the limit is 16,384 pixels a side.
int largestWindowSide();
bool windowTooLarge(int width, int height);

// Asks the driver for its limit (the maximum viewport), once; the window must be within
// the limit known so far. An answer of 0 or less leaves that limit, and so does an
// answer above it.
void learnLargestWindowSide();

// Between glutInit and glutCreateWindow: a window asked for on the command line
// (-geometry) larger than the limit is made at the limit instead, before OpenGL ever
// sees it.
void limitInitialWindowSize();
