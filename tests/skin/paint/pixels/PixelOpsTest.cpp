#include "skin/paint/pixels/PixelOps.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/SystemColors.h"
#include "support/PixelCheck.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using platform::Bitmap;

namespace {

using pixelcheck::Filled;
using pixelcheck::Px;
using pixelcheck::SameBitmap;

// Compares against a picture drawn as text: '#' is aInside, '.' is aOutside.
void ExpectPicture(const Bitmap& aBitmap, const std::vector<std::string>& aPicture, TPixel aInside,
                   TPixel aOutside) {
  Bitmap expected(int(aPicture.front().size()), int(aPicture.size()));
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      expected.SetPixel(x, y, aPicture[std::size_t(y)][std::size_t(x)] == '#' ? aInside : aOutside);
  EXPECT_TRUE(SameBitmap(aBitmap, expected, "skin-paint-picture"));
}

TEST(PixelOps, CreateBitmap32IsZeroedOrEmptyWhenSizingFails) {
  Bitmap bitmap = CreateBitmap32(3, 2);
  ASSERT_EQ(bitmap.Width(), 3);
  ASSERT_EQ(bitmap.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(bitmap.Pixel(x, y), 0u);
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 2}, {100000, 100000}}) {
    Bitmap failed = CreateBitmap32(w, h);
    EXPECT_EQ(failed.Width(), 0);
    EXPECT_EQ(failed.Height(), 0);
  }
}

TEST(PixelOps, FillRect32FillsOnlyTheInsidePart) {
  const TPixel before = 0x11111111;
  const TPixel fill = Px(0x33, 0x22, 0x11, 0x80); // colour 0x00112233, alpha 0x80
  struct Case {
    TRect R;
    std::vector<std::string> Picture;
  };
  const std::vector<Case> cases = {
      {{1, 1, 3, 2}, {"....", ".##.", "...."}}, {{-2, -1, 2, 1}, {"##..", "....", "...."}},
      {{3, 1, 9, 9}, {"....", "...#", "...#"}}, {{-5, -5, 50, 50}, {"####", "####", "####"}},
      {{4, 0, 6, 3}, {"....", "....", "...."}}, {{2, 2, 2, 3}, {"....", "....", "...."}},
      {{3, 2, 1, 1}, {"....", "....", "...."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.R.Left << "," << c.R.Top << "," << c.R.Right << "," << c.R.Bottom);
    Bitmap bitmap = Filled(4, 3, before);
    FillRect32(bitmap, c.R, 0x00112233, 0x80);
    ExpectPicture(bitmap, c.Picture, fill, before);
  }
  Bitmap empty;
  FillRect32(empty, {0, 0, 5, 5}, 0, 255);
  EXPECT_TRUE(empty.Empty());
}

TEST(PixelOps, FillRect32WritesOpaquePixelsByDefault) {
  Bitmap bitmap(1, 1);
  FillRect32(bitmap, {0, 0, 1, 1}, 0x00FF0000);
  EXPECT_EQ(bitmap.Pixel(0, 0), Px(0, 0, 0xFF, 0xFF));
}

TEST(PixelOps, ColorMixTruncatesAndKeepsTheFirstHighestByte) {
  struct Case {
    TColor A, B;
    double Share;
    TColor Expected;
  };
  const std::vector<Case> cases = {
      {0x000000FF, 0x00000000, 0.5, 0x0000007F}, // 127.5 truncated
      {0x00FFFFFF, 0x00000000, 0.0, 0x00000000},
      {0x00FFFFFF, 0x00000000, 1.0, 0x00FFFFFF},
      // red 30 * .25 + 10 * .75 = 15, green 20, blue 10 * .25 + 30 * .75 = 25
      {0x120A141E, 0x341E140A, 0.25, 0x1219140F},
      {0x00000064, 0x00000000, 0.333, 0x00000021}, // 33.3
      {0x000000C8, 0x00000064, 0.5, 0x00000096},   // 150
      // Shares outside 0..1 are held to the channel range, not wrapped.
      {0x000000FF, 0x00000000, 2.0, 0x000000FF},
      {0x00000000, 0x000000FF, 2.0, 0x00000000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ColorMix(c.A, c.B, c.Share), c.Expected)
        << std::hex << c.A << " " << c.B << " " << c.Share;
}

TEST(PixelOps, BlendColorIntoRectRoundsHalfToEven) {
  struct Case {
    int Percent;
    std::uint32_t Pixel, Color, Expected; // one channel
  };
  const std::vector<Case> cases = {
      {50, 255, 0, 128}, // 127.5 -> 128 (even)
      {50, 1, 0, 0},     // 0.5 -> 0 (even)
      {50, 3, 0, 2},     // 1.5 -> 2
      {50, 5, 0, 2},     // 2.5 -> 2
      {50, 7, 0, 4},     // 3.5 -> 4
      {100, 77, 200, 77},
      {0, 77, 200, 200},
      {30, 200, 100, 130}, // 60 + 70
      // Exact ties that floating point misses: 0.32 + 81.18 = 81.5 -> 82,
      // 0.91 + 40.59 = 41.5 -> 42
      {1, 32, 82, 82},
      {1, 91, 41, 42},
      {200, 200, 50, 255}, // 400 - 50 = 350, held to 255
      {200, 50, 200, 0},   // 100 - 200, held to 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Percent << "% of " << c.Pixel << " over " << c.Color);
    Bitmap bitmap = Filled(1, 1, Px(c.Pixel, c.Pixel, c.Pixel, 0x5A));
    BlendColorIntoRect(bitmap, {0, 0, 1, 1}, c.Percent, RGB(c.Color, c.Color, c.Color));
    EXPECT_EQ(bitmap.Pixel(0, 0), Px(c.Expected, c.Expected, c.Expected, 0x5A));
  }
}

TEST(PixelOps, BlendColorIntoRectMixesEachChannelWithItsOwn) {
  Bitmap bitmap = Filled(1, 1, Px(10, 20, 30, 0));
  BlendColorIntoRect(bitmap, {0, 0, 1, 1}, 0, RGB(1, 2, 3));
  EXPECT_EQ(bitmap.Pixel(0, 0), Px(1, 2, 3, 0));
}

TEST(PixelOps, BlendColorIntoRectResolvesSystemColours) {
  const TColor face = platform::GetSysColor(platform::COLOR_BTNFACE);
  Bitmap bitmap = Filled(1, 1, 0xFF000000);
  BlendColorIntoRect(bitmap, {0, 0, 1, 1}, 0, 0x80000000 | platform::COLOR_BTNFACE);
  EXPECT_EQ(bitmap.Pixel(0, 0), Px(GetRValue(face), GetGValue(face), GetBValue(face)));
}

TEST(PixelOps, BlendColorIntoRectRangeIsInclusiveAndClipped) {
  const TPixel before = Px(100, 100, 100, 255);
  const TPixel after = Px(0, 0, 0, 255);
  struct Case {
    TInclusiveRect R;
    std::vector<std::string> Picture;
  };
  const std::vector<Case> cases = {
      {{0, 0, 5, 4}, {"#####", "#####", "#####", "#####"}},
      {{1, 1, 2, 2}, {".....", ".##..", ".##..", "....."}},
      {{-3, -3, 0, 0}, {"#....", ".....", ".....", "....."}},
      {{3, 2, 10, 10}, {".....", ".....", "...##", "...##"}},
      {{2, 0, 2, 0}, {"..#..", ".....", ".....", "....."}},
      {{3, 3, 1, 1}, {".....", ".....", ".....", "....."}},
      {{5, 0, 9, 9}, {".....", ".....", ".....", "....."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.R.Left << "," << c.R.Top << "," << c.R.Right << "," << c.R.Bottom);
    Bitmap bitmap = Filled(5, 4, before);
    BlendColorIntoRect(bitmap, c.R, 0, 0);
    ExpectPicture(bitmap, c.Picture, after, before);
  }
  Bitmap empty;
  BlendColorIntoRect(empty, {0, 0, 5, 5}, 50, 0);
  EXPECT_TRUE(empty.Empty());
}

TEST(PixelOps, BlendBitmapIntoWeighsDestinationAgainstSource) {
  struct Case {
    int Weight;
    std::uint32_t Dst, Src, Expected; // one channel
  };
  const std::vector<Case> cases = {
      {128, 200, 100, 150}, {255, 255, 0, 254}, // 255 * 255 >> 8
      {0, 255, 17, 17},                         // copies the source
      {1, 0, 255, 254},                         // 255 * 255 >> 8
      {64, 100, 200, 175},                      // (6400 + 38400) >> 8
      {300, 255, 0, 254},                       // held to 255
      {-9, 255, 17, 17},                        // held to 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "weight " << c.Weight << ", " << c.Dst << " / " << c.Src);
    Bitmap dst = Filled(1, 1, Px(c.Dst, c.Dst, c.Dst, 0x12));
    const Bitmap src = Filled(1, 1, Px(c.Src, c.Src, c.Src, 0x34));
    BlendBitmapInto(dst, src, c.Weight, {0, 0}, {0, 0, 1, 1});
    EXPECT_EQ(dst.Pixel(0, 0), Px(c.Expected, c.Expected, c.Expected, 0x12));
  }
}

TEST(PixelOps, BlendBitmapIntoKeepsTheChannelsApart) {
  Bitmap dst = Filled(1, 1, Px(255, 0, 255, 0));
  const Bitmap src = Filled(1, 1, Px(0, 255, 0, 255));
  BlendBitmapInto(dst, src, 128, {0, 0}, {0, 0, 1, 1});
  EXPECT_EQ(dst.Pixel(0, 0), Px(127, 127, 127, 0)); // 255 * 128 >> 8 = 127
}

// A 6 x 5 destination and a 4 x 3 source whose pixels name their position;
// weight 0 copies, so the result shows which source pixel went where.
TEST(PixelOps, BlendBitmapIntoClipping) {
  struct Block {
    int DstLeft, DstTop, SrcLeft, SrcTop, Columns, Rows;
  };
  struct Case {
    const char* Name;
    TPoint At;
    TInclusiveRect From;
    std::optional<Block> Copied;
  };
  const std::vector<Case> cases = {
      {"whole source, Right and Bottom limited", {0, 0}, {0, 0, 4, 3}, Block{0, 0, 0, 0, 4, 3}},
      {"inclusive Right and Bottom", {1, 1}, {1, 1, 2, 2}, Block{1, 1, 1, 1, 2, 2}},
      {"negative x moves the source start", {-2, 0}, {0, 0, 4, 3}, Block{0, 0, 2, 0, 2, 3}},
      {"negative y moves the source start", {0, -1}, {0, 0, 4, 3}, Block{0, 0, 0, 1, 4, 2}},
      {"negative source start moves the point", {1, 1}, {-1, 0, 4, 3}, Block{2, 1, 0, 0, 4, 3}},
      {"both moves", {-1, 0}, {-2, 0, 4, 3}, Block{1, 0, 0, 0, 4, 3}},
      {"limited to what fits the destination", {4, 3}, {0, 0, 4, 3}, Block{4, 3, 0, 0, 2, 2}},
      {"a single pixel at the far corner", {5, 4}, {3, 2, 9, 9}, Block{5, 4, 3, 2, 1, 1}},
      {"point right of the destination", {6, 0}, {0, 0, 4, 3}, std::nullopt},
      {"point below the destination", {0, 5}, {0, 0, 4, 3}, std::nullopt},
      {"source start beyond the source", {0, 0}, {4, 0, 6, 3}, std::nullopt},
      {"empty source rectangle", {0, 0}, {1, 1, 1, 3}, std::nullopt},
      {"start moved past the end", {-5, 0}, {0, 0, 4, 3}, std::nullopt},
      {"far negative point", {INT_MIN, 0}, {0, 0, 4, 3}, std::nullopt},
      {"far negative source start", {1, 0}, {INT_MIN, 0, 4, 3}, std::nullopt},
      {"moves that cancel out",
       {INT_MIN, INT_MIN},
       {INT_MIN, INT_MIN, 4, 3},
       Block{0, 0, 0, 0, 4, 3}},
  };
  const TPixel untouched = Px(0xEE, 0xEE, 0xEE, 0x77);
  Bitmap src(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      src.SetPixel(x, y, Px(std::uint32_t(x + 1), std::uint32_t(y + 1), 0x40, 0xFF));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Bitmap dst = Filled(6, 5, untouched);
    BlendBitmapInto(dst, src, 0, c.At, c.From);
    Bitmap expected = Filled(6, 5, untouched);
    if (const auto& b = c.Copied)
      for (int y = 0; y < b->Rows; ++y)
        for (int x = 0; x < b->Columns; ++x)
          expected.SetPixel(
              b->DstLeft + x, b->DstTop + y,
              Px(std::uint32_t(b->SrcLeft + x + 1), std::uint32_t(b->SrcTop + y + 1), 0x40, 0x77));
    EXPECT_TRUE(SameBitmap(dst, expected, "blend-bitmap-clipping"));
  }
}

TEST(PixelOps, BlendBitmapIntoEmptyBitmapsDoNothing) {
  Bitmap empty;
  Bitmap one = Filled(1, 1, 0x01020304);
  BlendBitmapInto(empty, one, 0, {0, 0}, {0, 0, 1, 1});
  BlendBitmapInto(one, empty, 0, {0, 0}, {0, 0, 1, 1});
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(one.Pixel(0, 0), 0x01020304u);
}

TEST(PixelOps, PremultiplyAlpha) {
  struct Case {
    TPixel Before, After;
  };
  const std::vector<Case> cases = {
      {0x00FFFFFF, 0}, // white with alpha 0
      {Px(200, 200, 200, 128), Px(100, 100, 100, 128)},
      {Px(255, 255, 255, 255), Px(254, 254, 254, 255)}, // 255 * 255 >> 8
      {Px(10, 20, 30, 0), Px(0, 0, 0, 0)},
      {Px(255, 254, 0, 0), Px(0, 0, 0, 0)}, // not exactly white
      {Px(100, 50, 25, 64), Px(25, 12, 6, 64)},
  };
  for (const Case& c : cases) {
    Bitmap bitmap = Filled(1, 1, c.Before);
    PremultiplyAlpha(bitmap, {0, 0, 1, 1});
    EXPECT_EQ(bitmap.Pixel(0, 0), c.After) << std::hex << c.Before;
  }
}

TEST(PixelOps, ClearTransparentWhiteChangesNothingElse) {
  const TPixel others[] = {0xFFFFFFFF, 0x00FFFFFE, 0x01FFFFFF, Px(200, 100, 40, 128), 0};
  Bitmap bitmap = Filled(3, 2, 0x00FFFFFF);
  for (int x = 0; x < 3; ++x)
    bitmap.SetPixel(x, 1, others[x]);
  ClearTransparentWhite(bitmap, {1, 0, 9, 9});
  EXPECT_EQ(bitmap.Pixel(0, 0), 0x00FFFFFFu); // outside the rectangle
  EXPECT_EQ(bitmap.Pixel(1, 0), 0u);
  EXPECT_EQ(bitmap.Pixel(2, 0), 0u);
  for (int x = 0; x < 3; ++x)
    EXPECT_EQ(bitmap.Pixel(x, 1), others[x]) << x;
}

TEST(PixelOps, PremultiplyAlphaWorksInsideTheRectOnly) {
  const TPixel before = Px(200, 200, 200, 128), after = Px(100, 100, 100, 128);
  Bitmap bitmap = Filled(4, 3, before);
  PremultiplyAlpha(bitmap, {2, 1, 7, 2});
  ExpectPicture(bitmap, {"....", "..##", "...."}, after, before);
  PremultiplyAlpha(bitmap, {-9, -9, -1, -1});
  ExpectPicture(bitmap, {"....", "..##", "...."}, after, before);
}

TEST(PixelOps, FillRectOnDCResolvesTheColour) {
  Bitmap bitmap = Filled(4, 3, 0);
  platform::HDC dc = platform::CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  platform::SelectObject(dc, &bitmap);
  FillRectOnDC(dc, {1, 0, 3, 2}, 0x80000000 | platform::COLOR_HIGHLIGHT);
  const TColor color = platform::GetSysColor(platform::COLOR_HIGHLIGHT);
  const TPixel highlight = Px(GetRValue(color), GetGValue(color), GetBValue(color));
  ExpectPicture(bitmap, {".##.", ".##.", "...."}, highlight, 0);
  FillRectOnDC(dc, {0, 2, 9, 9}, 0x00336699);
  EXPECT_EQ(bitmap.Pixel(3, 2), Px(0x99, 0x66, 0x33, 0xFF));
  platform::DeleteDC(dc);
}

} // namespace
