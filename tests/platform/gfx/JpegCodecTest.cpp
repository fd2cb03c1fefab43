#include "platform/gfx/JpegCodec.h"

#include "ImageCodecTestData.h"

#include <cstdlib>
#include <gtest/gtest.h>

using platform::DecodeJpeg;
using testdata::Bytes;
using testdata::JpegSpec;

namespace {

// Flat areas survive JPEG almost exactly; channels may move by a few steps.
constexpr int Tolerance = 3;

void ExpectNear(std::uint32_t aPixel, int aRed, int aGreen, int aBlue) {
  EXPECT_EQ(aPixel >> 24, 255u);
  EXPECT_NEAR(int((aPixel >> 16) & 0xFF), aRed, Tolerance);
  EXPECT_NEAR(int((aPixel >> 8) & 0xFF), aGreen, Tolerance);
  EXPECT_NEAR(int(aPixel & 0xFF), aBlue, Tolerance);
}

// Top half one colour, bottom half another, in 8-pixel blocks.
JpegSpec TwoBands(int aComponents, std::initializer_list<int> aTop,
                  std::initializer_list<int> aBottom, bool aProgressive = false) {
  JpegSpec spec{.Width = 24, .Height = 16, .Components = aComponents, .Progressive = aProgressive};
  for (int y = 0; y < spec.Height; ++y)
    for (int x = 0; x < spec.Width; ++x)
      for (int v : (y < 8 ? aTop : aBottom))
        spec.Pixels.push_back(std::uint8_t(v));
  return spec;
}

TEST(JpegCodec, DecodesColourGreyAndProgressiveFilesTopDown) {
  struct Case {
    const char* Name;
    JpegSpec Spec;
    int Top[3];
    int Bottom[3];
    int FileBits;
  };
  std::vector<Case> cases = {
      {"colour", TwoBands(3, {200, 30, 40}, {10, 20, 230}), {200, 30, 40}, {10, 20, 230}, 24},
      {"progressive colour",
       TwoBands(3, {0, 255, 0}, {255, 255, 0}, true),
       {0, 255, 0},
       {255, 255, 0},
       24},
      {"grey", TwoBands(1, {100}, {240}), {100, 100, 100}, {240, 240, 240}, 8},
      // Files with the Adobe marker store inks inverted: 255 is no ink, so
      // (C, M, Y, K) = (255, 0, 255, 255) is full magenta ink only.
      {"CMYK",
       TwoBands(4, {255, 0, 255, 255}, {255, 255, 255, 128}),
       {255, 0, 255},
       {128, 128, 128},
       32},
  };
  JpegSpec plainCmyk = TwoBands(4, {0, 255, 0, 0}, {0, 0, 0, 255});
  plainCmyk.AdobeMarker = false;
  // Without the marker 0 is no ink: full magenta ink, then full black ink.
  cases.push_back({"CMYK without the Adobe marker", plainCmyk, {255, 0, 255}, {0, 0, 0}, 32});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    platform::ImageResult result = DecodeJpeg(testdata::MakeJpeg(c.Spec));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Format, platform::ImageFormat::Jpeg);
    EXPECT_EQ(result.FileBitsPerPixel, c.FileBits);
    EXPECT_FALSE(result.HasAlpha);
    ASSERT_EQ(result.Image.Width(), 24);
    ASSERT_EQ(result.Image.Height(), 16);
    for (int x : {0, 11, 23}) {
      ExpectNear(result.Image.Pixel(x, 2), c.Top[0], c.Top[1], c.Top[2]);
      ExpectNear(result.Image.Pixel(x, 13), c.Bottom[0], c.Bottom[1], c.Bottom[2]);
    }
  }
}

TEST(JpegCodec, SizesThatAreNotMultiplesOfTheBlockSize) {
  JpegSpec spec{.Width = 13, .Height = 7, .Components = 3, .Pixels = Bytes(13 * 7 * 3, 128)};
  platform::ImageResult result = DecodeJpeg(testdata::MakeJpeg(spec));
  ASSERT_TRUE(result.Ok()) << result.Error;
  EXPECT_EQ(result.Image.Width(), 13);
  EXPECT_EQ(result.Image.Height(), 7);
  ExpectNear(result.Image.Pixel(12, 6), 128, 128, 128);
}

// Each shortened copy is an allocation of its own, so the sanitizer build
// catches any read past its end.
TEST(JpegCodec, TruncatedFilesAreErrors) {
  for (bool progressive : {false, true}) {
    JpegSpec spec{.Width = 32,
                  .Height = 32,
                  .Components = 3,
                  .Pixels = testdata::PatternRgb(32, 32),
                  .Quality = 90,
                  .Progressive = progressive};
    Bytes file = testdata::MakeJpeg(spec);
    // Every length short of the end-of-image marker is missing data.
    for (std::size_t n = 0; n + 2 < file.size(); ++n) {
      platform::ImageResult result =
          DecodeJpeg(Bytes(file.begin(), file.begin() + std::ptrdiff_t(n)));
      ASSERT_FALSE(result.Ok()) << "length " << n;
      EXPECT_TRUE(result.Image.Empty());
      EXPECT_EQ(result.Error.rfind("damaged JPEG image: ", 0), 0u) << result.Error;
    }
  }
}

TEST(JpegCodec, DamagedFilesAreErrors) {
  JpegSpec spec{.Width = 16, .Height = 16, .Components = 3, .Pixels = testdata::PatternRgb(16, 16)};
  const Bytes good = testdata::MakeJpeg(spec);
  Bytes noMarkers = {0xFF, 0xD8, 0xFF, 0x00, 0x00, 0x00};
  Bytes badMarker = good;
  badMarker[3] = 0x01; // not a marker that may follow the start of image
  for (const Bytes& file : {noMarkers, badMarker}) {
    platform::ImageResult result = DecodeJpeg(file);
    EXPECT_FALSE(result.Ok());
    EXPECT_TRUE(result.Image.Empty());
  }
  EXPECT_FALSE(DecodeJpeg(Bytes{0xFF, 0xD8}).Ok());
}

} // namespace
