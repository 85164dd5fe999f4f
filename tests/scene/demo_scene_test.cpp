#include <gtest/gtest.h>

#include "scene/demo_scene.h"

namespace {

struct Corner {
  float x, y, s, t;
};

void expectSquare(const Mesh& mesh, const std::array<Corner, 4>& corners) {
  ASSERT_EQ(mesh.polygons.size(), 1u);
  const std::vector<Vertex>& vertices = mesh.polygons[0].vertices;
  ASSERT_EQ(vertices.size(), 4u);
  const int previous[4] = {3, 0, 1, 2};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(vertices[k].position, (Vec4{corners[k].x, corners[k].y, 0, 1})) << k;
    EXPECT_EQ(vertices[k].normal, (Vec3{0, 0, 1}));
    EXPECT_EQ(vertices[k].s, corners[k].s);
    EXPECT_EQ(vertices[k].t, corners[k].t);
    EXPECT_EQ(vertices[k].previous, previous[k]);
  }
  EXPECT_EQ(mesh.specular, (Color{0, 0, 0, 1}));
  EXPECT_EQ(mesh.shininess, 0);
  EXPECT_EQ(mesh.environmentTexture, nullptr);
}

TEST(DemoScene, TwoTexturedSquaresTwoLightsAndGreyAmbient) {
  RenderContext context;
  const Matrix4 modelBefore = context.modelStack.current;
  setupScene(context);
  ASSERT_EQ(context.meshes.size(), 2u);
  const float left = -0.6f;
  const float right = 0.6f;
  // Corners are the float sums of the translation and the half size.
  expectSquare(context.meshes[0], {{{left + -0.5f, -0.5f, 0, 0},
                                    {left + 0.5f, -0.5f, 1, 0},
                                    {left + 0.5f, 0.5f, 1, 1},
                                    {left + -0.5f, 0.5f, 0, 1}}});
  expectSquare(context.meshes[1], {{{right + -0.5f, -0.5f, 0, 0},
                                    {right + 0.5f, -0.5f, 1, 0},
                                    {right + 0.5f, 0.5f, 1, 1},
                                    {right + -0.5f, 0.5f, 0, 1}}});
  EXPECT_FLOAT_EQ(context.meshes[0].polygons[0].vertices[0].position.x, -1.1f);
  EXPECT_FLOAT_EQ(context.meshes[1].polygons[0].vertices[0].position.x, 0.1f);

  EXPECT_EQ(context.meshes[0].diffuse, Color::fromHSV(0.083f, 0.75f, 0.8f, 1));
  EXPECT_EQ(context.meshes[1].diffuse, Color::fromHSV(0.125f, 0.7f, 0.8f, 1));
  ASSERT_NE(context.meshes[0].texture, nullptr);
  ASSERT_NE(context.meshes[1].texture, nullptr);
  EXPECT_NE(context.meshes[0].texture, context.meshes[1].texture);
  // Tiles on the left, rings on the right.
  EXPECT_EQ(context.meshes[0].texture->texel(0, 0, 0), Color::fromHSV(0.125f, 0.1f, 0.8f, 1).x);
  EXPECT_EQ(context.meshes[1].texture->texel(0, 0, 1), Color::fromHSV(0.125f, 0.7f, 0.8f, 1).y);

  ASSERT_EQ(context.lights.size(), 2u);
  EXPECT_EQ(context.lights[0].position, (Vec3{100, 80, 50}));
  EXPECT_EQ(context.lights[1].position, (Vec3{-100, -80, -50}));
  EXPECT_EQ(context.lights[1].color, (Color{0.8f, 0.8f, 0.8f, 1}));
  EXPECT_EQ(context.ambient, (Color{0.4f, 0.4f, 0.4f, 1}));
  EXPECT_FALSE(context.lighting);
  EXPECT_EQ(context.modelStack.current, modelBefore);
  EXPECT_TRUE(context.modelStack.saved.empty());
}

TEST(DemoScene, RectangleIsCentredWithTheTextureOnceOver) {
  RenderContext context;
  addRectangle(context, 2, 1);
  const std::vector<Vertex>& v = context.meshes[0].polygons[0].vertices;
  EXPECT_EQ(v[0].position, (Vec4{-1, -0.5f, 0, 1}));
  EXPECT_EQ(v[2].position, (Vec4{1, 0.5f, 0, 1}));
  EXPECT_EQ(v[1].s, 1.0f);
  EXPECT_EQ(v[1].t, 0.0f);
  EXPECT_EQ(v[3].s, 0.0f);
  EXPECT_EQ(v[3].t, 1.0f);
}

}  // namespace
