#pragma once

#include "raster/frame_state.h"
#include "scene/render_context.h"

// The number of cores this process may run on: its CPU affinity, which a container or
// `taskset` may set below the machine's count.
int usableCores();

// Draws every polygon of every mesh on frame.threads threads, each pixel getting exactly
// the fragments, in exactly the order, that one thread would give it:
//
// - The polygons are taken in batches. First the batch's vertex stage, clipping, edge
//   set-up and lighting, polygon by polygon, are shared out among the threads.
// - Then the frame's rows are cut into bands, several a thread, and each band is
//   filled by one thread, polygon after polygon in their order. A polygon that reaches
//   below a band is walked from its own first scanline, its edges stepped one scanline
//   at a time and sorted as one walk of the whole frame steps and sorts them, and
//   filled from the band's first row: so each row gets what one walk would give it.
//
// Each band's points go to a sink of its own from the frame's points (bandOf), joined
// back in band order. False, with nothing drawn, where the points cannot be split into
// bands, or where a polygon has so many corners that walking its edges again for each
// band would cost more than the threads gain (see kMostCornersOnThreads).
bool renderMeshesOnThreads(const RenderContext& context, FrameState& frame);
