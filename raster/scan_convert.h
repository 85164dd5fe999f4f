#pragma once

#include <vector>

#include "raster/edge.h"
#include "raster/polygon_target.h"

// Fills one polygon from its edges, scanline by scanline from the bottom of the
// frame up, pairing the x-sorted active edges into spans (even-odd: a second ring
// inside the outline makes a hole). Only the scanlines of the target's band, within 0
// to frameHeight - 1, and pixels 0 to frameWidth - 1 are ever produced; the scanlines
// below the band are walked but not filled, so that each pixel gets what a walk of the
// whole frame gives it. The edges are stepped in place, so a list serves one call. Each
// span is filled by fillSpan on the plain fragment path, and by the band's points
// (raster/fast_span.h) on the fast one.
void scanConvert(std::vector<Edge>& edges, const PolygonTarget& target);

// Draws the pixels of scanline y from left's x to right's x into the frame's points,
// one at a time: every value of the two edges interpolated across the span, and the
// fragment stage called for each pixel. The left end is included and the right end
// excluded, so two polygons sharing an edge never both cover it.
void fillSpan(const PolygonTarget& target, int y, const Edge& left, const Edge& right);
