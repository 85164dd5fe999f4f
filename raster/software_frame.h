#pragma once

#include "raster/frame_state.h"
#include "scene/render_context.h"

// One frame of a width x height window through the software pipeline, into the frame's
// points: the depth buffer follows the frame size and is cleared, then every polygon is
// drawn.
void renderSoftwareFrame(const RenderContext& context, int width, int height, FrameState& frame);

// The software pipeline proper: every polygon of every mesh, in order, through the
// vertex stage, clipping, edges, optional lighting and scan conversion; on several
// threads where the frame asks for them and its points can be split into bands of rows
// (raster/threaded_frame.h), on the caller's otherwise.
void renderMeshes(const RenderContext& context, FrameState& frame);

// The vertex stage, clipping, edge set-up and lighting of one polygon of `mesh` in a
// width x height window: its corners in `screen`, its edges, between corners of
// `screen`, in `edges`. `scratch` is working storage.
void preparePolygon(const Polygon& polygon, const Mesh& mesh, const RenderContext& context,
                    int width, int height, PolygonScratch& scratch,
                    std::vector<ScreenVertex>& screen, std::vector<Edge>& edges);

// preparePolygon in two halves, for corners set up on one thread and filled on another:
// the corners, clipped and through the vertex stage (not lit), whose sources are the
// polygon's vertices, or where it was clipped (the answer), the clipped corners in
// scratch.corners ...
bool transformCorners(const Polygon& polygon, const Mesh& mesh, const RenderContext& context,
                      int width, int height, PolygonScratch& scratch,
                      std::vector<ScreenVertex>& screen);
// ... and one edge per corner, from the corner to the one before it on the outline.
void buildEdges(const std::vector<ScreenVertex>& screen, std::vector<Edge>& edges);

// The camera in the space of the stored vertices and lights.
Vec3 eyeOf(const RenderContext& context);
