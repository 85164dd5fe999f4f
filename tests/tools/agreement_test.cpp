#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "tests/support/image_checks.h"
#include "tools/cli/picture_set.h"
#include "tools/compare/report.h"
#include "tools/imaging/agreement.h"
#include "tools/imaging/png_file.h"

namespace {

Image square(Rgb color, int x0, int x1) {
  Image image(10, 10, kWhite);
  for (int y = 0; y < 10; ++y) {
    for (int x = x0; x < x1; ++x)
      image.at(x, y) = color;
  }
  return image;
}

TEST(Agreement, IdenticalPicturesAgreeFully) {
  const Image a = square(kTile, 2, 8);
  const Agreement agreement = compareImages(a, a, 0);
  EXPECT_EQ(agreement.coveredBoth, 60);
  EXPECT_EQ(agreement.coverageIoU, 1.0);
  EXPECT_EQ(agreement.withinTolerance, 1.0);
  EXPECT_EQ(agreement.maxAbsoluteDifference, 0);
  EXPECT_TRUE(std::isinf(agreement.psnr));
}

TEST(Agreement, CoverageIsIntersectionOverUnion) {
  // 60 and 50 pixels overlapping in 40: 40 / 70.
  const Agreement a = compareImages(square(kTile, 2, 8), square(kTile, 4, 9), 0);
  EXPECT_EQ(a.coveredReference, 60);
  EXPECT_EQ(a.coveredCandidate, 50);
  EXPECT_DOUBLE_EQ(a.coverageIoU, 40.0 / 70.0);
  EXPECT_DOUBLE_EQ(a.withinTolerance, 40.0 / 70.0);
}

TEST(Agreement, ToleranceIsPerChannel) {
  Image b = square(kTile, 0, 10);
  b.at(0, 0) = {214, 127, 51};  // 10 apart in red
  b.at(1, 0) = {204, 135, 51};  // 8 apart in green
  const Agreement a = compareImages(square(kTile, 0, 10), b, 8);
  EXPECT_DOUBLE_EQ(a.withinTolerance, 99.0 / 100.0);
  EXPECT_EQ(a.maxAbsoluteDifference, 10);
  EXPECT_DOUBLE_EQ(a.meanAbsoluteDifference, 18.0 / 300.0);
  EXPECT_NEAR(a.psnr, 10 * std::log10(255.0 * 255 / (164.0 / 300)), 1e-9);
}

TEST(Agreement, TheLabelsBlackIsBackground) {
  Image withLabel(10, 10, kWhite);
  withLabel.at(3, 3) = {0, 0, 0};
  const Agreement a = compareImages(withLabel, Image(10, 10, kWhite), 0);
  EXPECT_EQ(a.coveredEither, 0);
  EXPECT_EQ(a.coverageIoU, 1.0);
}

TEST(DifferenceMap, MarksBackgroundEqualAndDifferentPixels) {
  Image b = square(kTile, 0, 5);
  b.at(1, 1) = {255, 0, 255};
  const Image map = differenceMap(square(kTile, 0, 6), b);
  EXPECT_EQ(map.at(0, 0), (Rgb{0, 0, 0})) << "equal";
  EXPECT_EQ(map.at(9, 9), (Rgb{225, 235, 245})) << "background in both";
  EXPECT_EQ(map.at(5, 0), (Rgb{255, 255, 0})) << "covered in one only";
  EXPECT_GT(map.at(1, 1).r, 200) << "far apart";
}

TEST(PngFile, RoundTripsThroughAPictureSet) {
  Image image(7, 3);
  for (int i = 0; i < 21; ++i)
    image.pixels[i] = {std::uint8_t(i), std::uint8_t(10 * i), 200};
  const std::string folder = ::testing::TempDir();
  std::string error;
  PictureSet pictures(folder, {"quadrelle-roundtrip.png"});
  ASSERT_TRUE(pictures.open(error) && pictures.add("quadrelle-roundtrip.png", image, error) &&
              pictures.keep(error))
      << error;
  const std::string path = pictures.pathOf("quadrelle-roundtrip.png");
  Image back;
  ASSERT_TRUE(readPng(path, back, error)) << error;
  EXPECT_EQ(back, image);
  std::remove(path.c_str());
  EXPECT_FALSE(readPng("/nonexistent-folder/picture.png", back, error));
  EXPECT_NE(error.find("/nonexistent-folder/picture.png"), std::string::npos);
}

}  // namespace

// Two pictures that cover no pixel in common: the differences between them are not
// defined, and say so rather than 0.
TEST(AgreementReport, DifferencesOfPicturesWithNoPixelInCommonAreNone) {
  Agreement a;
  a.coveredReference = 3;
  a.coveredCandidate = 2;
  a.coveredEither = 5;
  a.coverageIoU = 0;
  a.withinTolerance = 0;
  a.psnr = 10;
  const std::string text = agreementText(a, 8);
  EXPECT_NE(text.find("mean |difference|       none\n"), std::string::npos) << text;
  EXPECT_NE(text.find("max |difference|        none\n"), std::string::npos) << text;
  EXPECT_TRUE(agreementJson(a)["meanAbsoluteDifference"].is_null());
}
