#pragma once

#include "math/vec3.h"
#include "math/vec4.h"
#include "raster/screen_vertex.h"

// One side of a polygon prepared for scan conversion: the scanlines it covers, the
// values it carries on the current scanline and how much each changes per scanline.
// Every value moves linearly in window y; texture coordinates travel as s/w, t/w and
// 1/w so that dividing them per pixel gives perspective-correct texturing.
struct Edge {
  // Joins two corners; the one with the smaller window y becomes `lower`, and of two
  // at exactly the same y, `b`.
  Edge(const ScreenVertex& a, const ScreenVertex& b);

  // Recomputes everything below `upper` from the two corners.
  void setUp();
  // Moves to the next scanline.
  void step();
  // Moves n scanlines at once.
  void advance(float n);

  const ScreenVertex* lower;
  const ScreenVertex* upper;
  int yStart = 0;  // first scanline, lower y rounded
  int yEnd = 0;    // last scanline, upper y rounded; the edge is active on both
  float dy = 0;    // scanlines from first to last: the divisor of every step

  float x = 0;
  float z = 0;
  Color color;
  float shininess = 0;
  float sOverW = 0;
  float tOverW = 0;
  float oneOverW = 0;
  Vec3 normal;

  float xStep = 0;
  float zStep = 0;
  Color colorStep;
  float shininessStep = 0;
  float sOverWStep = 0;
  float tOverWStep = 0;
  float oneOverWStep = 0;
  Vec3 normalStep;
};
