// The OpenGL reference path on real Mesa, in a window on the test's own X server.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/view_setup.h"
#include "glview/concave_polygon.h"
#include "glview/opengl_renderer.h"
#include "glview/texture_upload.h"
#include "scene/demo_scene.h"
#include "tests/support/gl_test_surface.h"
#include "tests/support/image_checks.h"

namespace {

class OpenGLRenderer : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureGlContext();
    forgetUploadedTextures();
    while (glGetError() != GL_NO_ERROR) {
    }
    setupScene(context);
    setupView(context, 480, 480, CameraPose{});
  }

  // Straight down the scene's Z axis, from 3 units away.
  void lookFromAbove() { setupView(context, 480, 480, CameraPose{0, 0, 0, 0, 0}); }

  Image draw() {
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    output = capturedOutput([this] { renderWithOpenGL(context, 480, 480); });
    return readDrawnPicture();
  }

  RenderContext context;
  std::string output;
};

Rgb unorm8(float r, float g, float b) {
  auto c = [](float v) { return std::uint8_t(std::lround(v * 255.0)); };
  return {c(r), c(g), c(b)};
}

Rgb unorm8(Color c) {
  return unorm8(c.x, c.y, c.z);
}

TEST_F(OpenGLRenderer, ReportsPendingErrorsAtTheStartOfTheNextFrame) {
  draw();
  EXPECT_EQ(output, "");
  glEnable(0xFFFF);
  draw();
  EXPECT_EQ(output, "ERROR: 0x500\n");
  draw();
  EXPECT_EQ(output, "") << "each error is reported once";
}

TEST_F(OpenGLRenderer, LeavesDepthTestAndLightingOffAndTheMatricesLoaded) {
  draw();
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_PROJECTION);
  GLint depth = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1) << "the label's pushes are popped";
  float loaded[16];
  float expected[16];
  glGetFloatv(GL_PROJECTION_MATRIX, loaded);
  context.projectionStack.toColumnMajor(expected);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(loaded[i], expected[i]) << i;
  glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
  context.viewStack.toColumnMajor(expected);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(loaded[i], expected[i]) << i;
  GLint shading = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shading);
  EXPECT_EQ(shading, GL_SMOOTH);
  context.flatShading = true;
  draw();
  glGetIntegerv(GL_SHADE_MODEL, &shading);
  EXPECT_EQ(shading, GL_FLAT);
}

TEST_F(OpenGLRenderer, SendsLightsAsDirectionsThroughTheView) {
  context.viewStack.reset();
  draw();
  float position[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, position);
  EXPECT_EQ(position[0], 100.0f);
  EXPECT_EQ(position[1], 80.0f);
  EXPECT_EQ(position[2], 50.0f);
  EXPECT_EQ(position[3], 0.0f);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
}

TEST_F(OpenGLRenderer, DrawsTheLabelInBlackAtTenPixels) {
  const Image picture = draw();
  // The baseline is at y = 10; descenders reach a few pixels below it.
  EXPECT_GT(countNear(picture, kBlack, 40, 10, 10, 340, 32), 300);
  EXPECT_GT(countNear(picture, kBlack, 40, 10, 5, 340, 10), 0);
  EXPECT_EQ(countNear(picture, kBlack, 40, 0, 0, 480, 4), 0) << "nothing far below the baseline";
  EXPECT_EQ(countNear(picture, kBlack, 40, 0, 0, 9, 480), 0) << "nothing left of x = 10";
}

TEST_F(OpenGLRenderer, MipmapFlagChoosesTrilinearOrNearestFiltering) {
  const Rgb texelColors[] = {
      unorm8(Color::fromHSV(0.083f, 0.75f, 0.8f, 1)), unorm8(Color::fromHSV(0.125f, 0.1f, 0.8f, 1)),
      unorm8(Color::fromHSV(0.125f, 0.7f, 0.8f, 1)), unorm8(Color::fromHSV(0.125f, 0.7f, 0.6f, 1))};
  auto blendedPixels = [&](const Image& picture) {
    int blended = 0;
    for (int y = 40; y < 480; ++y) {
      for (int x = 0; x < 480; ++x) {
        const Rgb p = picture.atGl(x, y);
        bool isTexel = p == kWhite;
        for (Rgb t : texelColors)
          isTexel = isTexel || countNear(picture, t, 1, x, y, x + 1, y + 1);
        blended += isTexel ? 0 : 1;
      }
    }
    return blended;
  };
  context.useMipmaps = false;
  EXPECT_EQ(blendedPixels(draw()), 0) << "nearest filtering shows texel colours only";
  GLint minify = 0;
  glBindTexture(GL_TEXTURE_2D, 0);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minify);
  EXPECT_EQ(minify, GL_NEAREST);
  context.useMipmaps = true;
  EXPECT_GT(blendedPixels(draw()), 5000);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minify);
  EXPECT_EQ(minify, GL_LINEAR_MIPMAP_LINEAR);
  GLint wrap = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE) << "no border colour bleeds into the edges";
}

TEST_F(OpenGLRenderer, UploadsEachTextureOnceUntilTold) {
  const Image first = draw();
  Texture& tiles = *context.meshes[0].texture;
  for (float& texel : tiles.texels)
    texel = 0.0f;
  EXPECT_EQ(draw(), first) << "the uploaded image is reused";
  forgetUploadedTextures();
  EXPECT_GT(countDifferent(first, draw()), 5000);
}

TEST_F(OpenGLRenderer, DepartureUntexturedMeshTakesItsDiffuseColorUnlit) {
  context.bindTexture(nullptr, nullptr);
  context.setMaterial({0.2f, 0.4f, 0.6f, 1}, {0, 0, 0, 1}, 0);
  addRectangle(context, 0.5, 0.5);
  lookFromAbove();
  const Image picture = draw();
  // As the software pipeline colours it, and not the label's black.
  EXPECT_EQ(picture.atGl(240, 240), unorm8(0.2f, 0.4f, 0.6f));
  GLint bound = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
}

// Grey, grey and alpha, RGB and RGBA: the texel's colour replaces the fragment's, as in
// the software pipeline, whatever the alpha; a grey level is red, green and blue alike.
TEST_F(OpenGLRenderer, TexturesOfOneToFourComponentsReplaceTheColor) {
  const float channels[4] = {0.25f, 0.5f, 0.75f, 0.2f};
  for (int components = 1; components <= 4; ++components) {
    context.reset();
    Texture& texture = context.adoptTexture(Texture(2, 2, components));
    for (std::size_t i = 0; i < texture.texels.size(); ++i) {
      const bool alpha = (components == 2 && i % 2 == 1) || (components == 4 && i % 4 == 3);
      texture.texels[i] = alpha ? channels[3] : channels[i % components];
    }
    context.setMaterial({1, 0, 1, 1}, {0, 0, 0, 1}, 0);
    context.bindTexture(&texture, nullptr);
    addRectangle(context, 0.5, 0.5);
    context.useMipmaps = false;
    lookFromAbove();
    const Rgb expected = components < 3 ? unorm8(0.25f, 0.25f, 0.25f) : unorm8(0.25f, 0.5f, 0.75f);
    EXPECT_EQ(draw().atGl(240, 240), expected) << components << " components";
  }
}

TEST_F(OpenGLRenderer, ASecondContourIsDrawnBlackInFront) {
  context.reset();
  context.lighting = true;
  context.setAmbient({0, 0, 0, 1});
  context.addLight({0, 0, 1}, {1, 1, 1, 1});
  context.setMaterial({1, 0, 0, 1}, {0, 0, 0, 1}, 0);
  addRectangle(context, 1, 1);
  Polygon& polygon = context.meshes[0].polygons[0];
  // A small second ring inside the square: its first vertex does not follow vertex 3.
  for (Vec4 corner : {Vec4{-0.1f, -0.1f, 0, 1}, Vec4{0.1f, -0.1f, 0, 1}, Vec4{0.1f, 0.1f, 0, 1},
                      Vec4{-0.1f, 0.1f, 0, 1}}) {
    polygon.vertices.push_back({corner, {0, 0, 1}, 0, 0, int(polygon.vertices.size()) - 1});
  }
  polygon.vertices[4].previous = 7;
  lookFromAbove();
  const Image picture = draw();
  EXPECT_EQ(output, "");
  EXPECT_EQ(picture.atGl(240, 240), kBlack);
  EXPECT_EQ(picture.atGl(240, 300), (Rgb{255, 0, 0})) << "the first contour is lit red";
}

}  // namespace

Polygon polygonOf(std::initializer_list<Vec3> corners) {
  RenderContext context;
  context.begin();
  context.beginPolygon();
  for (const Vec3& c : corners)
    context.vertex(c.x, c.y, c.z);
  return context.meshes[0].polygons[0];
}

// A bow-tie in one plane has a Newell normal of zero; it was once taken for convex and
// drawn as a GL_POLYGON, covering a third more than the pipeline's two triangles.
TEST(Tessellation, OnlyPlaneOutlinesThatGoRoundOnceOneWayAreCertainlyConvex) {
  const Polygon bowTie = polygonOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
  EXPECT_FALSE(isCertainlyConvex(bowTie));
  EXPECT_TRUE(isCertainlyConvex(polygonOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}})));
  EXPECT_FALSE(isCertainlyConvex(polygonOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0.5f}, {0, 1, 0}})))
      << "out of its plane: convex from some views only";
  unsigned error = 0;
  const std::vector<Vertex> triangles = tessellated(bowTie, error);
  EXPECT_EQ(error, 0u);
  ASSERT_EQ(triangles.size(), 6u) << "two triangles, meeting where the edges cross";
  double area = 0;
  for (std::size_t i = 0; i < 6; i += 3) {
    const Vec4& a = triangles[i].position;
    const Vec4& b = triangles[i + 1].position;
    const Vec4& c = triangles[i + 2].position;
    area += std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2;
  }
  EXPECT_DOUBLE_EQ(area, 0.5);
}
