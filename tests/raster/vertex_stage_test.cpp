#include <gtest/gtest.h>

#include "raster/vertex_stage.h"

namespace {

// A context whose view is the identity and whose projection passes clip coordinates
// through, so that a vertex's position is its clip-space position.
Vertex at(Vec4 clip, float s = 0, float t = 0) {
  Vertex v;
  v.position = clip;
  v.s = s;
  v.t = t;
  return v;
}

TEST(VertexStage, MapsTheViewVolumeOntoTheWindow) {
  const RenderContext context;
  const Color diffuse{0.1f, 0.2f, 0.3f, 1};
  const Color specular{0.5f, 0.5f, 0.5f, 1};
  const Vertex centre = at({0, 0, 0.5f, 2}, 0.5f, 1);
  const ScreenVertex v = transformVertex(context, centre, 8, diffuse, specular, 640, 480);
  EXPECT_EQ(v.x, 320.0f);
  EXPECT_EQ(v.y, 240.0f);
  EXPECT_EQ(v.z, 0.25f);
  EXPECT_EQ(v.sOverW, 0.25f);
  EXPECT_EQ(v.tOverW, 0.5f);
  EXPECT_EQ(v.oneOverW, 0.5f);
  EXPECT_EQ(v.source, &centre);
  EXPECT_EQ(v.shininess, 8.0f);
  EXPECT_EQ(v.color, diffuse);
  EXPECT_EQ(v.diffuse, diffuse);
  EXPECT_EQ(v.specular, specular);
  EXPECT_EQ(transformVertex(context, at({-1, 1, 0, 1}), 0, {}, {}, 640, 480).x, 0.0f);
  EXPECT_EQ(transformVertex(context, at({1, -1, 0, 1}), 0, {}, {}, 640, 480).x, 640.0f);
  EXPECT_EQ(transformVertex(context, at({1, -1, 0, 1}), 0, {}, {}, 640, 480).y, 0.0f);
}

TEST(VertexStage, AppliesTheViewFirstThenTheProjection) {
  RenderContext context;
  context.viewStack.translate(0, 0, -2);
  context.projectionStack.perspective(0.4f, 0.4f, 0.1f, 100);
  const Vec4 clip = toClipSpace(context, {0.4f, 0, 0, 1});
  EXPECT_EQ(clip.w, 2.0f);
  EXPECT_EQ(clip.x, 1.0f);  // 0.4 at distance 2 is 0.5 of the half-width 0.8
}

struct LitPolygon {
  LitPolygon(Vec3 normal, Vec3 lightPosition) {
    context.setAmbient({0.4f, 0.4f, 0.4f, 1});
    context.addLight(lightPosition, {0.8f, 0.8f, 0.8f, 1});
    vertex.normal = normal;
    screen.push_back(transformVertex(context, vertex, 0, {0.083f, 0.75f, 0.8f, 1}, {}, 64, 64));
  }
  RenderContext context;
  Vertex vertex;
  std::vector<ScreenVertex> screen;
  std::vector<Edge> edges;
};

TEST(LightVertices, AmbientPlusDiffuseUnclamped) {
  LitPolygon facing({0, 0, 1}, {0, 0, 10});
  lightVertices(facing.screen, facing.edges, facing.context);
  const Color c = facing.screen[0].color;
  EXPECT_FLOAT_EQ(c.x, 0.0996f);  // 0.4 x 0.083 + 0.083 x 0.8
  EXPECT_FLOAT_EQ(c.y, 0.9f);
  EXPECT_FLOAT_EQ(c.z, 0.96f);
  EXPECT_EQ(c.w, 2.0f) << "alpha is lit too, and not clamped";
  LitPolygon away({0, 0, -1}, {0, 0, 10});
  lightVertices(away.screen, away.edges, away.context);
  EXPECT_EQ(away.screen[0].color, c) << "both faces light alike";
}

TEST(LightVertices, ALightOnTheVertexAddsNothing) {
  LitPolygon onTop({0, 0, 1}, {0, 0, 0});
  lightVertices(onTop.screen, onTop.edges, onTop.context);
  EXPECT_FLOAT_EQ(onTop.screen[0].color.x, 0.4f * 0.083f);
}

TEST(LightVertices, EdgesCarryTheLitColors) {
  LitPolygon lit({0, 0, 1}, {0, 0, 10});
  Vertex upper;
  upper.position = {0, 0.5f, 0, 1};
  upper.normal = {0, 0, 1};
  lit.screen.push_back(
      transformVertex(lit.context, upper, 0, {0.083f, 0.75f, 0.8f, 1}, {}, 64, 64));
  lit.edges.emplace_back(lit.screen[0], lit.screen[1]);
  lightVertices(lit.screen, lit.edges, lit.context);
  EXPECT_EQ(lit.edges[0].color, lit.screen[0].color);
}

}  // namespace
