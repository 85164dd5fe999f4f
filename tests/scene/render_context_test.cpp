#include <gtest/gtest.h>

#include "scene/demo_scene.h"
#include "scene/render_context.h"

namespace {

TEST(RenderContext, ConstructionGivesTheDefaults) {
  const RenderContext context;
  EXPECT_FALSE(context.lighting);
  EXPECT_FALSE(context.flatShading);
  EXPECT_TRUE(context.useOpenGL);
  EXPECT_TRUE(context.useMipmaps);
  EXPECT_EQ(context.ambient, (Color{0, 0, 0, 1}));
  EXPECT_EQ(context.currentNormal, (Vec3{0, 0, 1}));
  EXPECT_EQ(context.currentDiffuse, (Color{1, 1, 1, 1}));
  EXPECT_EQ(context.currentSpecular, (Color{0, 0, 0, 1}));
  EXPECT_EQ(context.currentShininess, 0);
  EXPECT_EQ(context.currentTexture, nullptr);
  EXPECT_TRUE(context.meshes.empty());
  EXPECT_TRUE(context.lights.empty());
}

TEST(RenderContext, ResetEmptiesTheSceneButKeepsAmbientStacksAndTextures) {
  RenderContext context;
  setupScene(context);
  context.useOpenGL = false;
  context.useMipmaps = false;
  context.viewStack.translate(1, 2, 3);
  Texture* tiles = context.meshes[0].texture;
  context.reset();
  EXPECT_TRUE(context.meshes.empty());
  EXPECT_TRUE(context.lights.empty());
  EXPECT_TRUE(context.useOpenGL);
  EXPECT_TRUE(context.useMipmaps);
  EXPECT_EQ(context.ambient, (Color{0.4f, 0.4f, 0.4f, 1}));
  EXPECT_EQ(context.viewStack.current[3], 1.0f);
  // The texture is still alive and whole.
  EXPECT_EQ(tiles->width, 256);
  EXPECT_EQ(tiles->texels.size(), 256u * 256u * 3u);
}

TEST(Texture, TexelsAreRowsAlongYWithXFastest) {
  Texture texture(256, 256, 3);
  texture.setTexel(5, 7, {0.1f, 0.2f, 0.3f, 0.9f});
  EXPECT_EQ(texture.texels[(5 + 256 * 7) * 3 + 0], 0.1f);
  EXPECT_EQ(texture.texels[(5 + 256 * 7) * 3 + 2], 0.3f);
  EXPECT_EQ(texture.texel(5, 7, 1), 0.2f);
  EXPECT_EQ(texture.levels, nullptr);
}

TEST(Texture, SizesBeyondThirtyTwoBitsOrNegativeFailToAllocate) {
  EXPECT_THROW(Texture(65536, 65536, 3), std::bad_alloc);
  EXPECT_THROW(Texture(-4, 4, 3), std::bad_alloc);
  EXPECT_NO_THROW(Texture(0, 0, 3));
}

}  // namespace
