#include "platform/gfx/BmpCodec.h"

#include "ImageCodecTestData.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>

using pixelcheck::Px;
using platform::DecodeBmp;
using testdata::BmpSpec;
using testdata::Bytes;

namespace {

// Expected pixels, top row first.
using Pixels = std::vector<std::vector<std::uint32_t>>;

void ExpectPixels(const platform::ImageResult& aResult, const Pixels& aExpected) {
  ASSERT_TRUE(aResult.Ok()) << aResult.Error;
  ASSERT_EQ(aResult.Image.Height(), int(aExpected.size()));
  for (int y = 0; y < int(aExpected.size()); ++y) {
    ASSERT_EQ(aResult.Image.Width(), int(aExpected[y].size()));
    for (int x = 0; x < int(aExpected[y].size()); ++x)
      EXPECT_EQ(aResult.Image.Pixel(x, y), aExpected[y][x]) << "pixel " << x << ", " << y;
  }
}

struct BmpCase {
  const char* Name;
  BmpSpec Spec;
  Pixels Expected;
  int FileBits;
  bool HasAlpha;
};

const std::vector<BmpCase>& Cases() {
  static const std::vector<BmpCase> cases = {
      {"24-bit bottom-up rows padded to 4 bytes",
       {.Width = 3,
        .Height = 2,
        .BitCount = 24,
        .Rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 20, 30, 40, 50, 60, 70, 80, 90}}},
       {{Px(30, 20, 10), Px(60, 50, 40), Px(90, 80, 70)}, {Px(3, 2, 1), Px(6, 5, 4), Px(9, 8, 7)}},
       24,
       false},
      {"24-bit top-down",
       {.Width = 1, .Height = -2, .BitCount = 24, .Rows = {{1, 2, 3}, {4, 5, 6}}},
       {{Px(3, 2, 1)}, {Px(6, 5, 4)}},
       24,
       false},
      {"32-bit keeps the fourth byte as alpha",
       {.Width = 2, .Height = 1, .BitCount = 32, .Rows = {{1, 2, 3, 0, 0xFF, 0, 0xFF, 0x80}}},
       {{Px(3, 2, 1, 0), Px(0xFF, 0, 0xFF, 0x80)}},
       32,
       true},
      {"8-bit palette: indexes beyond the used colours are black",
       {.Width = 4,
        .Height = 1,
        .BitCount = 8,
        .ColorsUsed = 2,
        .Palette = {0xFF0000, 0x00FF00},
        .Rows = {{0, 1, 2, 255}}},
       {{Px(255, 0, 0), Px(0, 255, 0), Px(0, 0, 0), Px(0, 0, 0)}},
       8,
       false},
      {"4-bit palette with an odd width",
       {.Width = 3,
        .Height = 1,
        .BitCount = 4,
        .Palette = {0x000000, 0x112233, 0x445566},
        .Rows = {{0x12, 0x00}}},
       {{Px(0x11, 0x22, 0x33), Px(0x44, 0x55, 0x66), Px(0, 0, 0)}},
       4,
       false},
      {"1-bit rows crossing a byte, most significant bit first",
       {.Width = 10,
        .Height = 1,
        .BitCount = 1,
        .Palette = {0x000000, 0xFFFFFF},
        .Rows = {{0b10100000, 0b01000000}}},
       {{Px(255, 255, 255), 0xFF000000, Px(255, 255, 255), 0xFF000000, 0xFF000000, 0xFF000000,
         0xFF000000, 0xFF000000, 0xFF000000, Px(255, 255, 255)}},
       1,
       false},
      {"core header with three-byte palette entries",
       {.HeaderSize = 12,
        .Width = 2,
        .Height = 1,
        .BitCount = 8,
        .Palette = {0x010203, 0x0A0B0C},
        .Rows = {{1, 0}}},
       {{Px(0x0A, 0x0B, 0x0C), Px(1, 2, 3)}},
       8,
       false},
      // 5-bit values scale as round(v * 255 / 31): 31 -> 255, 16 -> 132, 1 -> 8.
      {"16-bit defaults to 5-5-5",
       {.Width = 2, .Height = 1, .BitCount = 16, .Rows = {{0x00, 0x7C, 0x01, 0x40}}},
       {{Px(255, 0, 0), Px(132, 0, 8)}},
       16,
       false},
      // 6-bit green 63 -> 255, 32 -> round(32 * 255 / 63) = 130.
      {"16-bit 5-6-5 masks after an information header",
       {.Width = 2,
        .Height = 1,
        .BitCount = 16,
        .Compression = 3,
        .Masks = {0xF800, 0x07E0, 0x001F},
        .Rows = {{0xE0, 0x07, 0x00, 0x04}}},
       {{Px(0, 255, 0), Px(0, 130, 0)}},
       16,
       false},
      {"32-bit V5 header with its own channel order and an alpha mask",
       {.HeaderSize = 124,
        .Width = 1,
        .Height = 1,
        .BitCount = 32,
        .Compression = 3,
        .Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
        .Rows = {{0x10, 0x20, 0x30, 0x40}}},
       {{Px(0x10, 0x20, 0x30, 0x40)}},
       32,
       true},
      {"32-bit V4 header with masks but no alpha mask is opaque",
       {.HeaderSize = 108,
        .Width = 1,
        .Height = 1,
        .BitCount = 32,
        .Compression = 3,
        .Masks = {0x00FF0000, 0x0000FF00, 0x000000FF},
        .Rows = {{0x10, 0x20, 0x30, 0x40}}},
       {{Px(0x30, 0x20, 0x10, 255)}},
       32,
       false},
      {"V4 header with plain 24-bit pixels",
       {.HeaderSize = 108, .Width = 1, .Height = 1, .BitCount = 24, .Rows = {{7, 8, 9}}},
       {{Px(9, 8, 7)}},
       24,
       false},
  };
  return cases;
}

TEST(BmpCodec, DecodesEveryLayout) {
  for (const BmpCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    platform::ImageResult result = DecodeBmp(testdata::MakeBmp(c.Spec));
    ExpectPixels(result, c.Expected);
    EXPECT_EQ(result.Format, platform::ImageFormat::Bmp);
    EXPECT_EQ(result.FileBitsPerPixel, c.FileBits);
    EXPECT_EQ(result.Was32Bit(), c.FileBits == 32);
    EXPECT_EQ(result.HasAlpha, c.HasAlpha);
  }
}

// Every shortened copy of every valid file fails cleanly. Each copy is an
// allocation of its own, so the sanitizer build catches any read past its end.
TEST(BmpCodec, EveryTruncationIsAnError) {
  for (const BmpCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    Bytes file = testdata::MakeBmp(c.Spec);
    for (std::size_t n = 0; n < file.size(); ++n) {
      Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
      platform::ImageResult result = DecodeBmp(cut);
      EXPECT_FALSE(result.Ok()) << "length " << n;
      EXPECT_TRUE(result.Image.Empty());
    }
  }
}

// Header fields at fixed offsets of an information-header file.
Bytes Patched(Bytes aFile, std::size_t aAt, std::uint32_t aValue, int aBytes) {
  for (int i = 0; i < aBytes; ++i)
    aFile[aAt + std::size_t(i)] = std::uint8_t(aValue >> (8 * i));
  return aFile;
}

TEST(BmpCodec, RefusesDamagedOrUnsupportedHeadersWithAMessage) {
  const Bytes good = testdata::MakeBmp(
      {.Width = 2, .Height = 2, .BitCount = 24, .Rows = {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}}});
  struct Case {
    const char* Name;
    Bytes File;
    const char* Message;
  };
  const std::vector<Case> cases = {
      {"no signature", Patched(good, 0, 'X', 1), "no BMP signature"},
      {"header size 20", Patched(good, 14, 20, 4), "unknown header size 20"},
      {"zero width", Patched(good, 18, 0, 4), "invalid size 0 x 2"},
      {"zero height", Patched(good, 22, 0, 4), "invalid size 2 x 0"},
      {"negative width", Patched(good, 18, 0xFFFFFFFE, 4), "invalid size -2 x 2"},
      {"most negative height", Patched(good, 22, 0x80000000, 4), "image too large"},
      {"huge size refused before any allocation", Patched(good, 18, 1000000, 4),
       "image too large (1000000 x 2)"},
      {"2 bits per pixel", Patched(good, 28, 2, 2), "unsupported bit depth 2"},
      {"run-length encoding of 24-bit pixels", Patched(good, 30, 1, 4),
       "run-length encoding with 24 bits per pixel"},
      {"run-length encoding of top-down rows",
       Patched(Patched(Patched(good, 28, 8, 2), 30, 1, 4), 22, std::uint32_t(-2), 4),
       "run-length encoded rows must be stored bottom-up"},
      {"embedded PNG", Patched(good, 30, 5, 4), "embedded JPEG or PNG data is not supported"},
      {"unknown compression", Patched(good, 30, 77, 4), "unknown compression 77"},
      {"bit-fields with 24 bits", Patched(good, 30, 3, 4), "bit-field masks with 24 bits"},
      {"pixel offset beyond the end", Patched(good, 10, 0xFFFFFFF0, 4), "truncated pixel data"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    platform::ImageResult result = DecodeBmp(c.File);
    EXPECT_FALSE(result.Ok());
    EXPECT_NE(result.Error.find(c.Message), std::string::npos) << result.Error;
    EXPECT_TRUE(result.Image.Empty());
  }
}

const std::uint32_t Grey = Px(0x40, 0x40, 0x40), Red = Px(255, 0, 0), Green = Px(0, 255, 0),
                    Blue = Px(0, 0, 255);

struct RunLengthCase {
  const char* Name;
  BmpSpec Spec;
  Pixels Expected;
};

// Data lengths are multiples of 4, so the files end right after the
// end-of-bitmap mark.
const std::vector<RunLengthCase>& RunLengthCases() {
  static const std::vector<RunLengthCase> cases = {
      {"8-bit runs, literal pixels, line ends and a move",
       {.Width = 4,
        .Height = 3,
        .BitCount = 8,
        .Compression = 1,
        .Palette = {0x404040, 0xFF0000, 0x00FF00, 0x0000FF},
        .Rows = {{
            0x02, 0x01, 0x01, 0x01, 0x00, 0x00, // bottom: red x 3, end of line
            0x00, 0x03, 0x02, 0x03, 0x01, 0x00, // 3 literal pixels and padding
            0x00, 0x00,                         // end of line
            0x00, 0x02, 0x02, 0x00,             // move 2 right
            0x02, 0x03, 0x01, 0x02,             // blue x 2, one red past the end
            0x00, 0x01,                         // end of bitmap
        }}},
       {{Grey, Grey, Blue, Blue}, {Green, Blue, Red, Grey}, {Red, Red, Red, Grey}}},
      {"4-bit runs alternate nibbles, literal pixels high nibble first",
       {.Width = 5,
        .Height = 2,
        .BitCount = 4,
        .Compression = 2,
        .Palette = {0x404040, 0xFF0000, 0x00FF00, 0x0000FF},
        .Rows = {{
            0x05, 0x12, 0x00, 0x00, // bottom: 1 2 1 2 1, end of line
            0x00, 0x03, 0x31, 0x20, // literal 3 1 2
            0x01, 0x10, 0x00, 0x01, // one 1, end of bitmap
        }}},
       {{Blue, Red, Green, Red, Grey}, {Red, Green, Red, Green, Red}}},
  };
  return cases;
}

TEST(BmpCodec, DecodesRunLengthEncoding) {
  for (const RunLengthCase& c : RunLengthCases()) {
    SCOPED_TRACE(c.Name);
    const Bytes file = testdata::MakeBmp(c.Spec);
    platform::ImageResult result = DecodeBmp(file);
    ExpectPixels(result, c.Expected);
    EXPECT_EQ(result.FileBitsPerPixel, c.Spec.BitCount);
    EXPECT_FALSE(result.HasAlpha);
    for (std::size_t n = 0; n < file.size(); ++n) {
      platform::ImageResult cut = DecodeBmp(Bytes(file.begin(), file.begin() + std::ptrdiff_t(n)));
      EXPECT_FALSE(cut.Ok()) << "length " << n;
      EXPECT_TRUE(cut.Image.Empty());
    }
  }
}

// A palette cut short by the pixel data's offset: the missing entries read
// as black, never as the pixel bytes that follow.
TEST(BmpCodec, PaletteEndsWherePixelDataBegins) {
  Bytes file = testdata::MakeBmp(
      {.Width = 2, .Height = 1, .BitCount = 8, .Palette = {0x123456}, .Rows = {{0, 1}}});
  ExpectPixels(DecodeBmp(file), {{Px(0x12, 0x34, 0x56), Px(0, 0, 0)}});
}

} // namespace

TEST(BmpCodec, WrittenFilesReadBackUnchanged) {
  platform::Bitmap image(5, 3); // 5 pixels of 3 bytes: rows padded to 16 bytes
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      image.SetPixel(x, y, 0x10203040u * std::uint32_t(x + 1) + std::uint32_t(y * 0x0101));
  for (int bits : {24, 32}) {
    const Bytes file = platform::EncodeBmp(image, bits);
    ASSERT_EQ(file.size(), 54u + (bits == 24 ? 16u : 20u) * 3u) << bits;
    const platform::ImageResult result = DecodeBmp(file);
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Was32Bit(), bits == 32);
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x) {
        const std::uint32_t alpha = bits == 32 ? image.Pixel(x, y) >> 24 : 255u;
        EXPECT_EQ(result.Image.Pixel(x, y), (image.Pixel(x, y) & 0xFFFFFFu) | (alpha << 24))
            << bits << " bits at " << x << "," << y;
      }
  }
}
