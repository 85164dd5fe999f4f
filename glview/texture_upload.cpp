#include "glview/texture_upload.h"

#include <GL/glu.h>

#include <vector>

namespace {

enum class Upload { Mipmapped, SingleLevel };

struct UploadedImage {
  const Texture* texture = nullptr;
  Upload upload = Upload::Mipmapped;
};

// What each texture name holds. Textures never change after the scene is built, so an
// image stays valid for as long as its Texture lives.
std::vector<UploadedImage> uploaded;

bool holds(int name, const Texture& texture, Upload upload) {
  return name < int(uploaded.size()) && uploaded[name].texture == &texture &&
         uploaded[name].upload == upload;
}

void remember(int name, const Texture& texture, Upload upload) {
  if (name >= int(uploaded.size())) uploaded.resize(name + 1);
  uploaded[name] = {&texture, upload};
}

// The OpenGL format of a texture's texels by their component count.
GLenum formatOf(const Texture& texture) {
  switch (texture.components) {
    case 1:
      return GL_LUMINANCE;
    case 2:
      return GL_LUMINANCE_ALPHA;
    case 4:
      return GL_RGBA;
    default:
      return GL_RGB;
  }
}

void bindAndUpload(int name, const Texture& texture, Upload upload) {
  glBindTexture(GL_TEXTURE_2D, name);
  if (holds(name, texture, upload)) return;
  const GLenum format = formatOf(texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (upload == Upload::Mipmapped) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GLint(format), texture.width, texture.height, format, GL_FLOAT,
                      texture.texels.data());
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), texture.width, texture.height, 0, format,
                 GL_FLOAT, texture.texels.data());
  }
  remember(name, texture, upload);
}

void setFilters(GLint magnify, GLint minify) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
}

GLint wrapOf(TextureWrap wrap) {
  switch (wrap) {
    case TextureWrap::Repeat:
      return GL_REPEAT;
    case TextureWrap::MirroredRepeat:
      return GL_MIRRORED_REPEAT;
    default:
      return GL_CLAMP_TO_EDGE;
  }
}

// The texture's own wrap modes. The built-in scene's clamp takes the edge texels, as the
// software pipeline's bilinear samples do (its nearest sample falls back to column or row
// 0 instead, which no coordinate of the demo scene reaches); a border colour would darken
// the outermost half texel of every square.
void wrapCoordinates(const Texture& texture) {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapOf(texture.wrapS));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapOf(texture.wrapT));
}

// The texture's colour replaces the fragment's, lit or not, as in the software
// pipeline. The decal mode does that for RGB; for grey levels it is undefined, and for
// RGBA it blends by alpha, so those replace instead.
void replaceColor(const Texture& texture) {
  const GLfloat mode = texture.components == 3 ? GL_DECAL : GL_REPLACE;
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

}  // namespace

void bindMeshTexture(int name, const Texture& texture, bool useMipmaps) {
  bindAndUpload(name, texture, Upload::Mipmapped);
  if (useMipmaps) {
    setFilters(GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
  } else {
    setFilters(GL_NEAREST, GL_NEAREST);
  }
  wrapCoordinates(texture);
  replaceColor(texture);
}

void bindEnvironmentTexture(int name, const Texture& texture) {
  bindAndUpload(name, texture, Upload::SingleLevel);
  wrapCoordinates(texture);
  setFilters(GL_LINEAR, GL_LINEAR);
  replaceColor(texture);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
}

void forgetUploadedTextures() {
  uploaded.clear();
}
