#include <gtest/gtest.h>

#include "scene/render_context.h"

namespace {

RenderContext withPolygonOf(int corners) {
  RenderContext context;
  context.begin();
  context.beginPolygon();
  for (int k = 0; k < corners; ++k)
    context.vertex(float(k), 0, 0);
  return context;
}

TEST(Capture, PreviousLinksCloseTheOutline) {
  const RenderContext four = withPolygonOf(4);
  const std::vector<Vertex>& vertices = four.meshes[0].polygons[0].vertices;
  ASSERT_EQ(vertices.size(), 4u);
  EXPECT_EQ(vertices[0].previous, 3);
  EXPECT_EQ(vertices[1].previous, 0);
  EXPECT_EQ(vertices[2].previous, 1);
  EXPECT_EQ(vertices[3].previous, 2);
  EXPECT_EQ(withPolygonOf(1).meshes[0].polygons[0].vertices[0].previous, 0);
}

TEST(Capture, VerticesAreStoredAfterTheModellingTransform) {
  RenderContext context;
  context.modelStack.translate(-0.6f, 0, 0);
  context.begin();
  context.beginPolygon();
  context.texCoord(0.25f, 0.75f);
  context.vertex(0.5f, 0.5f, 0);
  const Vertex& v = context.meshes[0].polygons[0].vertices[0];
  EXPECT_EQ(v.position, (Vec4{-0.6f + 0.5f, 0.5f, 0, 1}));
  EXPECT_EQ(v.normal, (Vec3{0, 0, 1})) << "translation does not move a normal";
  EXPECT_EQ(v.s, 0.25f);
  EXPECT_EQ(v.t, 0.75f);
  // Later changes of the stack leave captured vertices alone.
  context.modelStack.translate(5, 5, 5);
  EXPECT_EQ(context.meshes[0].polygons[0].vertices[0].position.x, -0.6f + 0.5f);
}

TEST(Capture, NormalIsNormalisedWhenSetAndTransformedWithoutRenormalising) {
  RenderContext context;
  context.normal(0, 0, 2);
  EXPECT_EQ(context.currentNormal, (Vec3{0, 0, 1}));
  context.modelStack.current[10] = 3;  // a scale along z
  context.begin();
  context.beginPolygon();
  context.vertex(0, 0, 0);
  EXPECT_EQ(context.meshes[0].polygons[0].vertices[0].normal, (Vec3{0, 0, 3}));
  EXPECT_THROW(context.normal(0, 0, 0), ZeroDivide);
  EXPECT_EQ(context.currentNormal, (Vec3{0, 0, 0}));
}

TEST(Capture, BeginTakesAMaterialSnapshot) {
  RenderContext context;
  Texture texture(4, 4, 3);
  context.setMaterial({0.1f, 0.2f, 0.3f, 1}, {0.5f, 0.5f, 0.5f, 1}, 7);
  context.bindTexture(&texture, nullptr);
  context.begin();
  // Changes after begin wait for the next mesh.
  context.setMaterial({1, 1, 1, 1}, {0, 0, 0, 1}, 1);
  context.bindTexture(nullptr, &texture);
  context.begin();
  const Mesh& first = context.meshes[0];
  EXPECT_EQ(first.diffuse, (Color{0.1f, 0.2f, 0.3f, 1}));
  EXPECT_EQ(first.specular, (Color{0.5f, 0.5f, 0.5f, 1}));
  EXPECT_EQ(first.shininess, 7);
  EXPECT_EQ(first.texture, &texture);
  EXPECT_EQ(first.environmentTexture, nullptr);
  EXPECT_TRUE(first.polygons.empty()) << "a begin without polygons leaves an empty mesh";
  EXPECT_EQ(context.meshes[1].texture, nullptr);
  EXPECT_EQ(context.meshes[1].environmentTexture, &texture);
  EXPECT_EQ(context.meshes[1].shininess, 1);
}

TEST(Capture, LightsAreStoredAsGiven) {
  RenderContext context;
  context.modelStack.translate(10, 0, 0);
  context.addLight({100, 80, 50}, {0.8f, 0.8f, 0.8f, 1});
  context.setAmbient({0.4f, 0.4f, 0.4f, 1});
  ASSERT_EQ(context.lights.size(), 1u);
  EXPECT_EQ(context.lights[0].position, (Vec3{100, 80, 50}));
  EXPECT_EQ(context.ambient, (Color{0.4f, 0.4f, 0.4f, 1}));
}

TEST(Capture, OutOfOrderCallsStop) {
  RenderContext context;
  EXPECT_DEATH(context.beginPolygon(), "beginPolygon before any begin");
  context.begin();
  EXPECT_DEATH(context.vertex(0, 0, 0), "vertex before any beginPolygon");
}

}  // namespace
