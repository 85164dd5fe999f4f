#pragma once

#include "tools/history/pixel_history.h"

// Which pixels OpenGL fills with a polygon: those whose centre lies inside its outline.

// Where a pixel's centre lies against a polygon's outline. `OnEdge`: within
// kEdgeMargin of a side, where OpenGL's own placing of the corners (in fixed point, to
// a fraction of a pixel) may put it either way.
enum class CentreIn { Outside, Inside, OnEdge };
inline constexpr double kEdgeMargin = 1.0 / 64;

// Pixel (x, y) of the window, row 0 at the bottom, by the even-odd rule.
CentreIn centreIn(const PolygonOutline& outline, int x, int y);

// The polygon's depth at the pixel's centre, as OpenGL interpolates it; NaN for an
// outline of no area.
double depthAtCentre(const PolygonOutline& outline, int x, int y);
