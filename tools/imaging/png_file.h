#pragma once

#include <cstdio>
#include <string>

#include "tools/imaging/image.h"

// Writes `image` as an 8-bit RGB PNG into `file`, from where it stands; false when that
// fails, with errno set where the system said why.
bool encodePng(const Image& image, std::FILE* file);

// Writes `image` as an 8-bit RGB PNG at `path`; false, with a reason in `error`, when
// that fails, and then the file is removed.
bool writePngFile(const Image& image, const std::string& path, std::string& error);

// The same, the file appearing whole or not at all: it is written next to `path` under
// a temporary name and renamed.
bool writePng(const Image& image, const std::string& path, std::string& error);

// Reads an 8-bit RGB or RGBA PNG; false with a reason in `error` when it cannot.
bool readPng(const std::string& path, Image& image, std::string& error);
