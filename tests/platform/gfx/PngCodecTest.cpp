#include "platform/gfx/PngCodec.h"

#include "ImageCodecTestData.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

using pixelcheck::Px;
using platform::DecodePng;
using testdata::Bytes;
using testdata::PngSpec;

namespace {

// A 16-bit sample whose high and low bytes are equal scales to that byte.
Bytes Sample16(std::initializer_list<std::uint8_t> aValues) {
  Bytes out;
  for (std::uint8_t v : aValues) {
    out.push_back(v);
    out.push_back(v);
  }
  return out;
}

struct PngCase {
  const char* Name;
  PngSpec Spec;
  std::vector<std::uint32_t> Expected; // row by row
  int FileBits;
  bool HasAlpha;
};

const std::vector<PngCase>& Cases() {
  static const std::vector<PngCase> cases = {
      {"grey 1-bit",
       {.Width = 3,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_GRAY,
        .BitDepth = 1,
        .Rows = {{0b10100000}}},
       {Px(255, 255, 255), Px(0, 0, 0), Px(255, 255, 255)},
       1,
       false},
      // 4-bit grey v scales to v * 17.
      {"grey 4-bit",
       {.Width = 2, .Height = 1, .ColorType = PNG_COLOR_TYPE_GRAY, .BitDepth = 4, .Rows = {{0x3C}}},
       {Px(51, 51, 51), Px(204, 204, 204)},
       4,
       false},
      {"grey 8-bit with a transparent grey",
       {.Width = 2,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_GRAY,
        .Rows = {{7, 9}},
        .TransparentGray = 9},
       {Px(7, 7, 7), Px(9, 9, 9, 0)},
       8,
       true},
      {"grey 16-bit",
       {.Width = 2,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_GRAY,
        .BitDepth = 16,
        .Rows = {Sample16({0x12, 0xFE})}},
       {Px(0x12, 0x12, 0x12), Px(0xFE, 0xFE, 0xFE)},
       16,
       false},
      {"grey with alpha",
       {.Width = 1, .Height = 1, .ColorType = PNG_COLOR_TYPE_GRAY_ALPHA, .Rows = {{40, 90}}},
       {Px(40, 40, 40, 90)},
       16,
       true},
      {"RGB 8-bit",
       {.Width = 2,
        .Height = 2,
        .ColorType = PNG_COLOR_TYPE_RGB,
        .Rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}},
       {Px(1, 2, 3), Px(4, 5, 6), Px(7, 8, 9), Px(10, 11, 12)},
       24,
       false},
      {"RGB with a transparent colour",
       {.Width = 2,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_RGB,
        .Rows = {{255, 0, 255, 1, 2, 3}},
        .TransparentRgb = {255, 0, 255}},
       {Px(255, 0, 255, 0), Px(1, 2, 3)},
       24,
       true},
      {"RGB 16-bit",
       {.Width = 1,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_RGB,
        .BitDepth = 16,
        .Rows = {Sample16({0xA0, 0xB0, 0xC0})}},
       {Px(0xA0, 0xB0, 0xC0)},
       48,
       false},
      {"RGBA 8-bit",
       {.Width = 2,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_RGB_ALPHA,
        .Rows = {{1, 2, 3, 0, 250, 251, 252, 128}}},
       {Px(1, 2, 3, 0), Px(250, 251, 252, 128)},
       32,
       true},
      {"RGBA 16-bit",
       {.Width = 1,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_RGB_ALPHA,
        .BitDepth = 16,
        .Rows = {Sample16({0x11, 0x22, 0x33, 0x44})}},
       {Px(0x11, 0x22, 0x33, 0x44)},
       64,
       true},
      {"palette 4-bit with partial transparency table",
       {.Width = 3,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_PALETTE,
        .BitDepth = 4,
        .Rows = {{0x01, 0x20}},
        .Palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}},
        .PaletteAlpha = {0, 100}},
       {Px(10, 20, 30, 0), Px(40, 50, 60, 100), Px(70, 80, 90, 255)},
       4,
       true},
      {"palette 8-bit opaque",
       {.Width = 2,
        .Height = 1,
        .ColorType = PNG_COLOR_TYPE_PALETTE,
        .Rows = {{1, 0}},
        .Palette = {{1, 2, 3}, {4, 5, 6}}},
       {Px(4, 5, 6), Px(1, 2, 3)},
       8,
       false},
  };
  return cases;
}

void ExpectPixels(const platform::ImageResult& aResult, int aWidth,
                  const std::vector<std::uint32_t>& aExpected) {
  ASSERT_TRUE(aResult.Ok()) << aResult.Error;
  ASSERT_EQ(aResult.Image.Width(), aWidth);
  ASSERT_EQ(aResult.Image.Height() * aWidth, int(aExpected.size()));
  for (std::size_t i = 0; i < aExpected.size(); ++i)
    EXPECT_EQ(aResult.Image.Pixel(int(i) % aWidth, int(i) / aWidth), aExpected[i]) << "pixel " << i;
}

TEST(PngCodec, DecodesEveryColourTypeAndDepth) {
  for (const PngCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    platform::ImageResult result = DecodePng(testdata::MakePng(c.Spec));
    ExpectPixels(result, c.Spec.Width, c.Expected);
    EXPECT_EQ(result.Format, platform::ImageFormat::Png);
    EXPECT_EQ(result.FileBitsPerPixel, c.FileBits);
    EXPECT_EQ(result.HasAlpha, c.HasAlpha);
  }
}

// Rows of the test pattern as RGBA bytes, for a file written by libpng itself.
PngSpec PatternSpec(int aWidth, int aHeight, bool aInterlaced) {
  platform::Bitmap pattern = testdata::TestPattern(aWidth, aHeight);
  PngSpec spec{.Width = aWidth,
               .Height = aHeight,
               .ColorType = PNG_COLOR_TYPE_RGB_ALPHA,
               .Interlaced = aInterlaced};
  for (int y = 0; y < aHeight; ++y) {
    Bytes row;
    for (int x = 0; x < aWidth; ++x) {
      std::uint32_t p = pattern.Pixel(x, y);
      row.insert(row.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p),
                             std::uint8_t(p >> 24)});
    }
    spec.Rows.push_back(row);
  }
  return spec;
}

TEST(PngCodec, InterlacedAndPlainFilesGiveTheSamePixels) {
  for (bool interlaced : {false, true}) {
    SCOPED_TRACE(interlaced ? "interlaced" : "plain");
    platform::ImageResult result = DecodePng(testdata::MakePng(PatternSpec(13, 11, interlaced)));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_TRUE(result.Image == testdata::TestPattern(13, 11));
  }
}

TEST(PngCodec, WriterRoundTripsWithAndWithoutAlpha) {
  const platform::Bitmap pattern = testdata::TestPattern(37, 5);
  platform::PngEncodeResult withAlpha = platform::EncodePng(pattern);
  ASSERT_TRUE(withAlpha.Ok()) << withAlpha.Error;
  platform::ImageResult decoded = DecodePng(withAlpha.Data);
  ASSERT_TRUE(decoded.Ok()) << decoded.Error;
  EXPECT_TRUE(decoded.Image == pattern);
  EXPECT_TRUE(decoded.HasAlpha);

  platform::PngEncodeResult opaque = platform::EncodePng(pattern, platform::PngAlpha::Opaque);
  ASSERT_TRUE(opaque.Ok()) << opaque.Error;
  decoded = DecodePng(opaque.Data);
  ASSERT_TRUE(decoded.Ok()) << decoded.Error;
  EXPECT_FALSE(decoded.HasAlpha);
  EXPECT_EQ(decoded.FileBitsPerPixel, 24);
  for (int y = 0; y < pattern.Height(); ++y)
    for (int x = 0; x < pattern.Width(); ++x)
      ASSERT_EQ(decoded.Image.Pixel(x, y), pattern.Pixel(x, y) | 0xFF000000u);
}

TEST(PngCodec, WritingAnEmptyBitmapIsAnError) {
  platform::PngEncodeResult result = platform::EncodePng(platform::Bitmap());
  EXPECT_FALSE(result.Ok());
  EXPECT_TRUE(result.Data.empty());
}

// Each shortened copy is an allocation of its own, so the sanitizer build
// catches any read past its end.
TEST(PngCodec, EveryTruncationIsAnError) {
  for (bool interlaced : {false, true}) {
    Bytes file = testdata::MakePng(PatternSpec(9, 7, interlaced));
    for (std::size_t n = 0; n < file.size(); ++n) {
      platform::ImageResult result =
          DecodePng(Bytes(file.begin(), file.begin() + std::ptrdiff_t(n)));
      ASSERT_FALSE(result.Ok()) << "length " << n;
      EXPECT_TRUE(result.Image.Empty());
      EXPECT_EQ(result.Error.rfind("damaged PNG image: ", 0), 0u) << result.Error;
    }
  }
}

// Offsets in a PNG: signature 8 bytes, then IHDR (length, type, 13 data
// bytes, CRC) and the next chunks.
TEST(PngCodec, DamagedChunksAreErrors) {
  const Bytes good = testdata::MakePng(PatternSpec(8, 8, false));
  auto flipped = [&](std::size_t aAt) {
    Bytes bad = good;
    bad[aAt] ^= 0x5A;
    return bad;
  };
  struct Case {
    const char* Name;
    Bytes File;
  };
  const std::vector<Case> cases = {
      {"signature", flipped(3)},
      {"header CRC", flipped(8 + 8 + 13)},
      {"header width", flipped(8 + 8 + 1)},
      {"compressed pixel data", flipped(good.size() - 12 - 12)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    platform::ImageResult result = DecodePng(c.File);
    EXPECT_FALSE(result.Ok());
    EXPECT_TRUE(result.Image.Empty());
  }
}

// A text chunk right after the header that claims almost 2 GiB in a file
// that ends after a few of its bytes.
TEST(PngCodec, AChunkClaimingGigabytesIsAnErrorWithoutReservingThem) {
  Bytes file = testdata::MakePng(PatternSpec(2, 2, false));
  const Bytes chunk = {0x7F, 0xFF, 0xFF, 0x00, 't', 'E', 'X', 't', 'a', 0, 'b'};
  file.insert(file.begin() + 8 + 25, chunk.begin(), chunk.end());
  file.resize(8 + 25 + chunk.size());
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  platform::ImageResult result = DecodePng(file);
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_EQ(result.Error, "damaged PNG image: a chunk runs past the end of the data");
  EXPECT_TRUE(result.Image.Empty());
  // Peak resident memory in KiB: a buffer of the claimed size would be touched.
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256 * 1024);
}

TEST(PngCodec, OversizedImagesAreRefused) {
  // A valid header for 40000 x 1 pixels, beyond the readers' side limit.
  PngSpec spec{.Width = 40000, .Height = 1, .ColorType = PNG_COLOR_TYPE_GRAY, .BitDepth = 1};
  spec.Rows.push_back(Bytes(5000, 0));
  platform::ImageResult result = DecodePng(testdata::MakePng(spec));
  EXPECT_FALSE(result.Ok());
  EXPECT_TRUE(result.Image.Empty());
}

} // namespace
