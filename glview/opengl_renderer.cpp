#include "glview/opengl_renderer.h"

#include <GL/glu.h>
#include <GL/glut.h>

#include <array>
#include <cstdio>

#include "glview/concave_polygon.h"
#include "glview/texture_upload.h"

namespace {

// A colour as the four floats the glLight and glMaterial calls take.
std::array<float, 4> rgba(Color c) {
  return {c.x, c.y, c.z, c.w};
}

// Whatever OpenGL collected since the last frame, one line per code.
void reportPendingErrors() {
  bool reported = false;
  for (GLenum code = glGetError(); code != GL_NO_ERROR; code = glGetError()) {
    std::printf("ERROR: 0x%x\n", code);
    reported = true;
  }
  if (reported) std::fflush(stdout);
}

void drawLabel(int width, int height) {
  glDisable(GL_LIGHTING);
  glColor3f(0, 0, 0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluOrtho2D(0, double(width), 0, double(height));
  glRasterPos2f(10, 10);
  for (const char* c = kOpenGLLabel; *c != '\0'; ++c) {
    glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
  }
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
}

// Vertices are stored after the modelling transform, so the model-view matrix is the
// view alone. The mode stays GL_PROJECTION for the rest of the frame.
void loadMatrices(const RenderContext& context) {
  float view[16];
  float projection[16];
  context.viewStack.toColumnMajor(view);
  context.projectionStack.toColumnMajor(projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(view);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(projection);
}

void setUpLights(const RenderContext& context) {
  if (context.lighting) {
    glEnable(GL_LIGHTING);
  } else {
    glDisable(GL_LIGHTING);
  }
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rgba(context.ambient).data());
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  for (std::size_t i = 0; i < context.lights.size(); ++i) {
    const Light& light = context.lights[i];
    const GLenum name = GLenum(GL_LIGHT0 + i);
    // w = 0: a directional light shining from the direction of the position.
    const float position[4] = {light.position.x, light.position.y, light.position.z, 0.0f};
    glLightfv(name, GL_POSITION, position);
    glLightfv(name, GL_DIFFUSE, rgba(light.color).data());
    glLightfv(name, GL_SPECULAR, rgba(light.color).data());
    glEnable(name);
  }
}

// With vertex colours, each corner's colour stands in for the material's ambient and
// diffuse colour, as the software pipeline takes it.
void setMaterial(const Mesh& mesh) {
  glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, rgba(mesh.diffuse).data());
  glMateriali(GL_FRONT, GL_SHININESS, mesh.shininess);
  glMaterialfv(GL_FRONT, GL_SPECULAR, rgba(mesh.specular).data());
  glMaterialfv(GL_FRONT, GL_EMISSION, rgba(mesh.emission).data());
  if (mesh.vertexColors) {
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
  } else {
    glDisable(GL_COLOR_MATERIAL);
  }
}

// How the mesh's corners are coloured: each by its own where it has vertex colours, with
// the emission added where lighting is off (lit, the material's emission adds it).
CornerColors cornerColorsOf(const Mesh& mesh, bool lighting) {
  if (!mesh.vertexColors) return {};
  return {true, lighting || mesh.texture != nullptr ? Color{0, 0, 0, 0} : mesh.emission};
}

// Decal mode: with an RGB texture the texture colour replaces the lit colour, as in
// the software pipeline.
void setTexture(const Mesh& mesh, int name, bool useMipmaps) {
  if (mesh.environmentTexture != nullptr) {
    glEnable(GL_TEXTURE_2D);
    bindEnvironmentTexture(name, *mesh.environmentTexture);
  } else if (mesh.texture != nullptr) {
    glEnable(GL_TEXTURE_2D);
    bindMeshTexture(name, *mesh.texture, useMipmaps);
  } else {
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    // Unlit, an untextured mesh takes the current colour, as the software pipeline takes
    // the mesh's diffuse colour with what it gives off; without this it would be the
    // label's black.
    glColor4fv(rgba(withEmission(mesh.diffuse, mesh.emission)).data());
  }
}

// A vertex whose `previous` is not the one before it starts a second contour, drawn
// as its own black polygon pulled towards the viewer so that it shows on top.
void startSecondContour() {
  glEnd();
  glColor3i(0, 0, 0);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, rgba({0, 0, 0, 1}).data());
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(0.0f, -100.0f);
  glBegin(GL_POLYGON);
}

// Whether the polygon is one outline, vertex k following vertex k - 1 all the way round.
bool isOneOutline(const Polygon& polygon) {
  for (std::size_t j = 1; j < polygon.vertices.size(); ++j) {
    if (polygon.vertices[j].previous != int(j) - 1) return false;
  }
  return true;
}

// A GL_POLYGON is filled correctly only if it is convex: an outline that may not be on
// screen is drawn as the triangles the tessellator cut it into.
void drawPolygon(const Polygon& polygon, const CornerColors& colors) {
  if (isOneOutline(polygon) && drawTessellated(polygon, colors)) return;
  glBegin(GL_POLYGON);
  for (std::size_t j = 0; j < polygon.vertices.size(); ++j) {
    const Vertex& vertex = polygon.vertices[j];
    if (j > 0 && vertex.previous != int(j) - 1) startSecondContour();
    sendVertex(vertex, colors);
  }
  glEnd();
  glDisable(GL_POLYGON_OFFSET_FILL);
}

}  // namespace

void renderWithOpenGL(const RenderContext& context, int width, int height) {
  reportPendingErrors();
  drawLabel(width, height);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(context.flatShading ? GL_FLAT : GL_SMOOTH);
  loadMatrices(context);
  setUpLights(context);
  for (std::size_t m = 0; m < context.meshes.size(); ++m) {
    const Mesh& mesh = context.meshes[m];
    setMaterial(mesh);
    // Mesh m uses texture name m: the scene never changes once built, so there are no
    // generated names to keep track of (mesh 0 fills name 0, the default texture
    // object, which fixed-function OpenGL allows).
    setTexture(mesh, int(m), context.useMipmaps);
    const CornerColors colors = cornerColorsOf(mesh, context.lighting);
    for (const Polygon& polygon : mesh.polygons)
      drawPolygon(polygon, colors);
    glDisable(GL_TEXTURE_2D);
  }
  glDisable(GL_COLOR_MATERIAL);
  glFlush();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
}
