#include "raster/edge.h"

#include "math/rounding.h"

Edge::Edge(const ScreenVertex& a, const ScreenVertex& b)
    : lower(b.y > a.y ? &a : &b), upper(b.y > a.y ? &b : &a) {
  setUp();
}

namespace {

// (upper - lower) / dy: the difference is formed first, in double, and rounded once.
float stepOf(float lowerValue, float upperValue, float dy) {
  return static_cast<float>((double(upperValue) - lowerValue) / dy);
}

// value + step * n, rounded once.
float advanced(float value, float step, float n) {
  return static_cast<float>(value + double(step) * n);
}

}  // namespace

void Edge::setUp() {
  yStart = roundToInt(lower->y);
  yEnd = roundToInt(upper->y);
  dy = float(yEnd - yStart);

  // No correction for the distance between the corner and the centre of its
  // scanline: the edge starts with exactly the values of `lower`.
  x = lower->x;
  z = lower->z;
  color = lower->color;
  shininess = lower->shininess;
  sOverW = lower->sOverW;
  tOverW = lower->tOverW;
  oneOverW = lower->oneOverW;
  normal = lower->source->normal;

  // A horizontal edge is never scan converted; its steps stay zero.
  if (dy == 0) {
    xStep = zStep = shininessStep = sOverWStep = tOverWStep = oneOverWStep = 0;
    colorStep = {0, 0, 0, 0};
    normalStep = {};
    return;
  }
  xStep = stepOf(lower->x, upper->x, dy);
  zStep = stepOf(lower->z, upper->z, dy);
  colorStep = {
      stepOf(lower->color.x, upper->color.x, dy), stepOf(lower->color.y, upper->color.y, dy),
      stepOf(lower->color.z, upper->color.z, dy), stepOf(lower->color.w, upper->color.w, dy)};
  shininessStep = stepOf(lower->shininess, upper->shininess, dy);
  sOverWStep = stepOf(lower->sOverW, upper->sOverW, dy);
  tOverWStep = stepOf(lower->tOverW, upper->tOverW, dy);
  oneOverWStep = stepOf(lower->oneOverW, upper->oneOverW, dy);
  normalStep = (upper->source->normal - lower->source->normal) / dy;
}

void Edge::step() {
  x += xStep;
  z += zStep;
  color.x += colorStep.x;
  color.y += colorStep.y;
  color.z += colorStep.z;
  color.w += colorStep.w;
  shininess += shininessStep;
  sOverW += sOverWStep;
  tOverW += tOverWStep;
  oneOverW += oneOverWStep;
  normal += normalStep;
}

void Edge::advance(float n) {
  x = advanced(x, xStep, n);
  z = advanced(z, zStep, n);
  color = {advanced(color.x, colorStep.x, n), advanced(color.y, colorStep.y, n),
           advanced(color.z, colorStep.z, n), advanced(color.w, colorStep.w, n)};
  shininess = advanced(shininess, shininessStep, n);
  sOverW = advanced(sOverW, sOverWStep, n);
  tOverW = advanced(tOverW, tOverWStep, n);
  oneOverW = advanced(oneOverW, oneOverWStep, n);
  normal += normalStep * n;
}
