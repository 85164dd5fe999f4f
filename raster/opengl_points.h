#pragma once

#include "raster/point_sink.h"

// The viewer's points: glBegin(GL_POINTS), then glColor3f and glVertex2i per point,
// then glEnd(), in the pixel-space projection the frame sets up.
PointSink& openGLPoints();
