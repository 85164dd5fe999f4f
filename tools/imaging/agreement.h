#pragma once

#include <vector>

#include "tools/imaging/image.h"

// Which pixels of a picture show the scene, rows from the top, x fastest.
using Coverage = std::vector<unsigned char>;

// Background by colour, where nothing better is known (a window read back from the
// screen): the white clear, and the black of the OpenGL view's label, which the
// software view does not draw. No pixel of the viewer's scene is pure white or black.
inline bool isBackground(Rgb p) {
  return (p.r == 255 && p.g == 255 && p.b == 255) || (p.r == 0 && p.g == 0 && p.b == 0);
}
Coverage coverageByColor(const Image& picture);

// How closely a picture agrees with a reference of the same size.
struct Agreement {
  long coveredReference = 0;  // scene pixels in the reference
  long coveredCandidate = 0;
  long coveredBoth = 0;
  long coveredEither = 0;
  // Pixels covered in both over pixels covered in either; 1 when neither covers any.
  double coverageIoU = 1;
  // Pixels covered in both and within the tolerance in every channel, over pixels
  // covered in either.
  double withinTolerance = 1;
  // Over pixels covered in both, per channel.
  double meanAbsoluteDifference = 0;
  int maxAbsoluteDifference = 0;
  // Over pixels covered in either (background counts as white), in decibels; infinite
  // for identical pictures.
  double psnr = 0;
};

// The agreement of two pictures where each covers what its coverage says.
Agreement compareImages(const Image& reference, const Coverage& referenceCovered,
                        const Image& candidate, const Coverage& candidateCovered, int tolerance);
// The same with coverage by colour.
Agreement compareImages(const Image& reference, const Image& candidate, int tolerance);

// A heat map of the per-pixel difference: black (equal) through red to yellow (255
// apart) where either picture shows the scene, and pale blue where neither does.
Image differenceMap(const Image& reference, const Coverage& referenceCovered,
                    const Image& candidate, const Coverage& candidateCovered);
Image differenceMap(const Image& reference, const Image& candidate);
