#pragma once

#include "scene/texture.h"

// Binds texture name `name` to GL_TEXTURE_2D with the image of `texture`. The image is
// uploaded the first time, with all its reduced levels (gluBuild2DMipmaps), and kept
// from then on; only the filters change with `useMipmaps`: trilinear minification and
// linear magnification when set, the nearest texel of level 0 both ways when clear.
void bindMeshTexture(int name, const Texture& texture, bool useMipmaps);

// Binds `name` with the level-0 image of `texture`, linearly filtered, for sphere
// mapping.
void bindEnvironmentTexture(int name, const Texture& texture);

// Makes the next bind upload again, as if no texture had been uploaded yet.
void forgetUploadedTextures();
