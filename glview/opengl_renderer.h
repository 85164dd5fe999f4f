#pragma once

#include "scene/render_context.h"

// Draws the context through fixed-function OpenGL, as the reference for the software
// pipeline: reports pending OpenGL errors, writes the label, then sends every polygon
// with the context's matrices, lights, materials and textures.
void renderWithOpenGL(const RenderContext& context, int width, int height);

// The text written in the lower-left corner of every OpenGL frame.
inline constexpr const char* kOpenGLLabel = "OpenGL rendering (toggle with 'g')";
