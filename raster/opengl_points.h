#pragma once

#include "raster/point_sink.h"

// The viewer's points: glBegin(GL_POINTS), then glColor3f and glVertex2i per point,
// then glEnd(), in the pixel-space projection the frame sets up. Its frames are drawn on
// one thread, in the order of one walk.
PointSink& openGLPoints();

// The same for a frame drawn on several threads: each band's points are kept, and handed
// to OpenGL band after band once the frame is drawn, on the caller's thread. Every pixel
// gets its points in the same order as from one thread, and so the same colour; the
// stream as a whole is in another order. On one thread it is openGLPoints.
PointSink& bandedOpenGLPoints();
