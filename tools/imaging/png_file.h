#pragma once

#include <cstdio>
#include <string>

#include "tools/imaging/image.h"

// Writes `image` as an 8-bit RGB PNG into `file`, from where it stands; false when that
// fails, with errno set where the system said why. Pictures reach their files through
// PictureSet (tools/cli/picture_set.h), which writes them whole or not at all.
bool encodePng(const Image& image, std::FILE* file);

// Reads an 8-bit RGB or RGBA PNG; false with a reason in `error` when it cannot.
bool readPng(const std::string& path, Image& image, std::string& error);
