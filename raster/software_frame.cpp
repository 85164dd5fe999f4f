#include "raster/software_frame.h"

#include "raster/clipping.h"
#include "raster/depth_buffer.h"
#include "raster/scan_convert.h"
#include "raster/threaded_frame.h"
#include "raster/vertex_stage.h"

void renderSoftwareFrame(const RenderContext& context, int width, int height, FrameState& frame) {
  if (width != frame.frameWidth || height != frame.frameHeight) {
    frame.frameWidth = width;
    frame.frameHeight = height;
    recreateDepthBuffer(frame);
  }
  clearDepthBuffer(frame);
  frame.work = 0;
  frame.committedWork = 0;
  renderMeshes(context, frame);
}

namespace {

// The polygon's corners in clip space, cut to the depth range of the view volume when
// any corner lies outside it; whether they were. A polygon wholly inside goes on exactly
// as captured.
bool cornersInClipSpace(const Polygon& polygon, const RenderContext& context,
                        PolygonScratch& scratch) {
  scratch.corners.clear();
  bool allInside = true;
  for (const Vertex& vertex : polygon.vertices) {
    const Vec4 clip = toClipSpace(context, vertex.position);
    allInside = allInside && insideDepthRange(clip);
    scratch.corners.push_back({clip, vertex});
  }
  if (!allInside) clipContours(scratch.corners, scratch.contours);
  return !allInside;
}

// The colour a corner of the mesh starts with: the mesh's diffuse colour, or the
// corner's own where the mesh has vertex colours; an untextured surface that gives off
// light has it added, clamped as OpenGL clamps a colour it is given. Under a texture the
// texture's colour replaces it anyway.
Color surfaceColor(const Mesh& mesh, const Vertex& vertex) {
  const Color base = mesh.vertexColors ? vertex.color : mesh.diffuse;
  return mesh.texture != nullptr ? base : withEmission(base, mesh.emission);
}

}  // namespace

void buildEdges(const std::vector<ScreenVertex>& screen, std::vector<Edge>& edges) {
  const int n = static_cast<int>(screen.size());
  edges.clear();
  for (int k = 0; k < n; ++k) {
    const int previous = screen[k].source->previous;
    if (previous < 0 || previous >= n) continue;  // a broken outline link is not followed
    edges.emplace_back(screen[k], screen[previous]);
  }
}

Vec3 eyeOf(const RenderContext& context) {
  const Vec4 eye = context.viewStack.inverseTransform({0, 0, 0, 1});
  return {eye.x, eye.y, eye.z};
}

bool transformCorners(const Polygon& polygon, const Mesh& mesh, const RenderContext& context,
                      int width, int height, PolygonScratch& scratch,
                      std::vector<ScreenVertex>& screen) {
  const bool clipped = cornersInClipSpace(polygon, context, scratch);
  screen.clear();
  for (std::size_t k = 0; k < scratch.corners.size(); ++k) {
    const ClipVertex& corner = scratch.corners[k];
    // Unclipped, a corner is its captured vertex, which outlives the scratch.
    const Vertex& source = clipped ? corner.vertex : polygon.vertices[k];
    screen.push_back(toWindow(corner.clip, source, float(mesh.shininess),
                              surfaceColor(mesh, source), mesh.specular, width, height));
  }
  return clipped;
}

void preparePolygon(const Polygon& polygon, const Mesh& mesh, const RenderContext& context,
                    int width, int height, PolygonScratch& scratch,
                    std::vector<ScreenVertex>& screen, std::vector<Edge>& edges) {
  transformCorners(polygon, mesh, context, width, height, scratch, screen);
  buildEdges(screen, edges);
  if (context.lighting && mesh.texture != nullptr) lightVertices(screen, edges, context);
}

void renderMeshes(const RenderContext& context, FrameState& frame) {
  if (frame.threads > 1 && renderMeshesOnThreads(context, frame)) return;
  RowBand& band = frame.wholeFrame;
  band.first = 0;
  band.end = frame.frameHeight;
  band.points = frame.points;
  band.observer = dynamic_cast<PipelineObserver*>(frame.points);
  band.work = 0;
  band.polygon = 0;
  PolygonScratch& scratch = frame.scratch;
  const Vec3 eye = eyeOf(context);
  for (const Mesh& mesh : context.meshes) {
    const PolygonTarget target{context, frame, band, mesh.texture, eye};
    for (const Polygon& polygon : mesh.polygons) {
      preparePolygon(polygon, mesh, context, frame.frameWidth, frame.frameHeight, scratch,
                     scratch.screenVertices, scratch.edges);
      frame.points->polygonEdges(scratch.edges);
      scanConvert(scratch.edges, target);
      ++band.polygon;
    }
  }
  frame.work = band.work;
}
