#include "raster/software_frame.h"

#include "raster/clipping.h"
#include "raster/depth_buffer.h"
#include "raster/scan_convert.h"
#include "raster/vertex_stage.h"

void renderSoftwareFrame(const RenderContext& context, int width, int height, FrameState& frame) {
  if (width != frame.frameWidth || height != frame.frameHeight) {
    frame.frameWidth = width;
    frame.frameHeight = height;
    recreateDepthBuffer(frame);
  }
  clearDepthBuffer(frame);
  frame.work = 0;
  renderMeshes(context, frame);
}

namespace {

// The polygon's corners in clip space, cut to the depth range of the view volume when
// any corner lies outside it. A polygon wholly inside goes on exactly as captured.
void cornersInClipSpace(const Polygon& polygon, const RenderContext& context,
                        PolygonScratch& scratch) {
  scratch.corners.clear();
  bool allInside = true;
  for (const Vertex& vertex : polygon.vertices) {
    const Vec4 clip = toClipSpace(context, vertex.position);
    allInside = allInside && insideDepthRange(clip);
    scratch.corners.push_back({clip, vertex});
  }
  if (!allInside) clipContours(scratch.corners, scratch.contours);
}

// The colour a corner of the mesh starts with: the mesh's diffuse colour, or the
// corner's own where the mesh has vertex colours; an untextured surface that gives off
// light has it added, clamped as OpenGL clamps a colour it is given. Under a texture the
// texture's colour replaces it anyway.
Color surfaceColor(const Mesh& mesh, const Vertex& vertex) {
  const Color base = mesh.vertexColors ? vertex.color : mesh.diffuse;
  return mesh.texture != nullptr ? base : withEmission(base, mesh.emission);
}

// One edge per corner, from the corner to the one before it on the outline.
void buildEdges(PolygonScratch& scratch) {
  const std::vector<ScreenVertex>& screen = scratch.screenVertices;
  const int n = static_cast<int>(screen.size());
  scratch.edges.clear();
  for (int k = 0; k < n; ++k) {
    const int previous = screen[k].source->previous;
    if (previous < 0 || previous >= n) continue;  // a broken outline link is not followed
    scratch.edges.emplace_back(screen[k], screen[previous]);
  }
}

void drawPolygon(const Polygon& polygon, const Mesh& mesh, const PolygonTarget& target) {
  const RenderContext& context = target.context;
  FrameState& frame = target.frame;
  PolygonScratch& scratch = frame.scratch;
  cornersInClipSpace(polygon, context, scratch);
  scratch.screenVertices.clear();
  for (const ClipVertex& corner : scratch.corners) {
    scratch.screenVertices.push_back(toWindow(corner.clip, corner.vertex, float(mesh.shininess),
                                              surfaceColor(mesh, corner.vertex), mesh.specular,
                                              frame.frameWidth, frame.frameHeight));
  }
  buildEdges(scratch);
  if (context.lighting && mesh.texture != nullptr) {
    lightVertices(scratch.screenVertices, scratch.edges, context);
  }
  frame.points->polygonEdges(scratch.edges);
  scanConvert(scratch.edges, target);
}

}  // namespace

void renderMeshes(const RenderContext& context, FrameState& frame) {
  const Vec4 eye = context.viewStack.inverseTransform({0, 0, 0, 1});
  for (const Mesh& mesh : context.meshes) {
    const PolygonTarget target{context, frame, mesh.texture, {eye.x, eye.y, eye.z}};
    for (const Polygon& polygon : mesh.polygons)
      drawPolygon(polygon, mesh, target);
  }
}
