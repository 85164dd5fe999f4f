#pragma once

#include "math/vec4.h"
#include "scene/render_context.h"

// A polygon corner after the vertex stage: window position, depth and the
// perspective texture terms, with the material the later stages read.
struct ScreenVertex {
  float x = 0;         // pixels from the left edge of the window
  float y = 0;         // pixels from the bottom edge, growing upwards
  float z = 0;         // normalised depth z/w: -1 at the near plane, +1 at the far plane
  float sOverW = 0;    // texture s divided by clip w
  float tOverW = 0;    // texture t divided by clip w
  float oneOverW = 0;  // 1 / clip w
  const Vertex* source = nullptr;  // the captured vertex: position and normal for lighting
  float shininess = 0;
  Color color;  // the mesh's diffuse colour, or the lit colour once lightVertices ran
  Color diffuse;
  Color specular;
};
