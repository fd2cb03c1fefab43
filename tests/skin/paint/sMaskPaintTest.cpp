#include "skin/paint/sMaskPaint.h"

#include "SkinPaintFixture.h"
#include "skin/paint/sCornerRefresh.h"
#include "skin/paint/sMaskPieces.h"
#include "skin/paint/sResample.h"

#include <gtest/gtest.h>
#include <string>

using namespace paintfixture;
using pixelcheck::Filled;
using pixelcheck::SameBitmap;
using platform::Bitmap;

namespace {

constexpr std::uint32_t Back = Px(1, 2, 3);

// The source coordinate of destination offset aD on a span of aExtent with
// sides aNear / aFar of a frame aFrame long: the near side, the far side, or
// the middle repeated.
int Tiled(int aD, int aExtent, int aNear, int aFar, int aFrame) {
  if (aD < aNear)
    return aD;
  if (aD >= aExtent - aFar)
    return aFrame - (aExtent - aD);
  return aNear + (aD - aNear) % (aFrame - aNear - aFar);
}

TEST(BorderMask, NineSlicesTiledWithTheExcessTakenOffBothSides) {
  struct Case {
    const char* Name;
    int Border;    // all four widths
    TRect R;       // in a 20 x 14 bitmap
    int DrawMode;  // 4: with the centre
    int Near, Far; // the widths after the excess is taken off
  };
  const Case cases[] = {
      {"roomy", 2, {1, 1, 16, 12}, 4, 2, 2},
      {"no centre", 2, {0, 0, 9, 7}, 0, 2, 2},
      // 3 narrower than both widths: 1 pixel off the near side, 2 off the far.
      {"narrow", 3, {2, 2, 5, 5}, 4, 2, 1},
  };
  for (const Case& k : cases) {
    TTestSkin skin;
    // Two frames of 8 x 8 at (4, 4); state 1 uses the second one.
    const TsMaskData& mask =
        skin.Manager
            .ma[std::size_t(skin.AddMask(Entry({4, 4, 20, 12}, 2, 0, k.DrawMode, k.Border)))];
    Bitmap actual = Filled(20, 14, Back);
    PaintBorderMask(actual, k.R, EmptyCacheInfo(), false, 1, mask);
    Bitmap expected = Filled(20, 14, Back);
    const int W = k.R.Width(), H = k.R.Height();
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const bool centre = x >= k.Near && x < W - k.Far && y >= k.Near && y < H - k.Far;
        if (centre && !(k.DrawMode & 4))
          continue;
        expected.SetPixel(
            k.R.Left + x, k.R.Top + y,
            At(12 + Tiled(x, W, k.Near, k.Far, 8), 4 + Tiled(y, H, k.Near, k.Far, 8)));
      }
    EXPECT_TRUE(SameBitmap(actual, expected, std::string("border-") + k.Name)) << k.Name;
  }
}

TEST(BorderMask, StatesFramesAndGuards) {
  TTestSkin skin;
  // Three frames 4 x 4 with 1-pixel borders; DrawMode 2: not in state 0.
  TsMaskData mask = Entry({0, 0, 12, 4}, 3, 0, 2 | 4, 1);
  mask.Manager = &skin.Manager;
  struct Case {
    int State;
    int Frame; // -1: nothing drawn
  };
  for (Case k : {Case{0, -1}, Case{1, 1}, Case{2, 2}, Case{5, 2}}) {
    Bitmap actual = Filled(4, 4, Back);
    PaintBorderMask(actual, {0, 0, 4, 4}, EmptyCacheInfo(), false, k.State, mask);
    Bitmap expected = Filled(4, 4, Back);
    if (k.Frame >= 0)
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
          expected.SetPixel(x, y, At(4 * k.Frame + x, y));
    EXPECT_TRUE(SameBitmap(actual, expected, "border-state")) << k.State;
  }
  // Too small a rectangle, or an entry without a manager, draws nothing.
  Bitmap untouched = Filled(4, 4, Back);
  PaintBorderMask(untouched, {0, 0, 1, 4}, EmptyCacheInfo(), false, 1, mask);
  mask.Manager = nullptr;
  PaintBorderMask(untouched, {0, 0, 4, 4}, EmptyCacheInfo(), false, 1, mask);
  EXPECT_TRUE(SameBitmap(untouched, Filled(4, 4, Back), "border-guards"));
}

TEST(BorderMask, KeyPixelsOfCornersShowTheParentOnlyWithCornerTypeAndParentCorners) {
  // A 4 x 4 frame with 2-pixel borders; key pixels at its top-left pixel and
  // in the middle of its top side.
  struct Case {
    const char* Name;
    int CornerType;
    bool ParentCorners;
    bool Ready; // false: a plain parent colour
    bool CornerFromParent;
  };
  const Case cases[] = {
      {"parent cache", 1, true, true, true},
      {"corner type 0", 0, true, true, false},
      {"not asked", 1, false, true, false},
      {"plain parent", 1, true, false, true},
  };
  const std::uint32_t parentColor = Px(0x40, 0x50, 0x60);
  for (const Case& k : cases) {
    TTestSkin skin;
    skin.Master().SetPixel(0, 0, KeyPixel);
    skin.Master().SetPixel(2, 0, KeyPixel);
    const TsMaskData& mask =
        skin.Manager.ma[std::size_t(skin.AddMask(Entry({0, 0, 5, 5}, 1, 0, 0, 2, k.CornerType)))];
    Bitmap parent = PositionCoded(40, 40);
    TCacheInfo info = k.Ready ? CacheInfoFromBitmap(&parent, 10, 20)
                              : TCacheInfo{nullptr, 0, 0, 0x00605040, {}, false};
    Bitmap actual = Filled(6, 6, Back);
    PaintBorderMask(actual, {1, 1, 6, 6}, info, k.ParentCorners, 0, mask);
    Bitmap expected = Filled(6, 6, Back);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x)
        if (x != 2 || y != 2) // no centre without DrawMode 4
          expected.SetPixel(1 + x, 1 + y, At(x, y));
    // The key pixel of the side stays as it is in the image.
    expected.SetPixel(3, 1, KeyPixel);
    // A key corner pixel: the parent's pixel behind it, its colour, or
    // what was there when no parent is asked for (a Ready parent).
    expected.SetPixel(1, 1, !k.Ready ? parentColor : k.CornerFromParent ? At(11, 21) : Back);
    EXPECT_TRUE(SameBitmap(actual, expected, std::string("corners-") + k.Name)) << k.Name;
  }
}

TEST(BorderMask, MaskedBordersMixThroughTheirMaskRows) {
  TTestSkin skin;
  // A 3 x 3 frame with 1-pixel borders; masks 3 rows below: 0 on the top
  // row, 128 in the middle, 255 at the bottom.
  for (int x = 0; x < 3; ++x) {
    skin.Master().SetPixel(x, 3, 0);
    skin.Master().SetPixel(x, 4, 0x00808080);
    skin.Master().SetPixel(x, 5, 0x00FFFFFF);
  }
  const TsMaskData& mask =
      skin.Manager.ma[std::size_t(skin.AddMask(Entry({0, 0, 3, 6}, 1, 1, 4, 1)))];
  Bitmap actual = Filled(5, 4, Back);
  PaintBorderMask(actual, {0, 0, 5, 4}, EmptyCacheInfo(), false, 0, mask);
  Bitmap expected(5, 4);
  const std::uint32_t weights[3] = {0, 128, 255};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const int sx = x == 0 ? 0 : x == 4 ? 2 : 1;
      const int sy = y == 0 ? 0 : y == 3 ? 2 : 1;
      expected.SetPixel(x, y, Mixed(Back, At(sx, sy), weights[sy]));
    }
  EXPECT_TRUE(SameBitmap(actual, expected, "border-masked"));
}

TEST(MaskPieces, StretchedMaskedPieces) {
  Bitmap source(4, 8);
  // Image rows 0..3 one colour, mask rows 4..7 with value 64.
  const std::uint32_t image = Px(200, 100, 50);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 4; ++x)
      source.SetPixel(x, y, y < 4 ? image : 0x00404040);
  // Shrinking with resampling and enlarging by nearest neighbour keep a flat
  // piece flat: every pixel is the mix at 64.
  for (TRect span : {TRect{0, 0, 6, 3}, TRect{0, 0, 4, 2}, TRect{0, 0, 9, 9}}) {
    Bitmap actual = Filled(9, 9, Back);
    StretchMaskedPiece(actual, span, source, {0, 0, 4, 4}, 4, true);
    Bitmap expected = Filled(9, 9, Back);
    pixelcheck::Paint(expected, span, Mixed(Back, image, 64));
    EXPECT_TRUE(SameBitmap(actual, expected, "stretch-flat")) << span.Right << "x" << span.Bottom;
  }
  // A 1 x 1 piece: mask 0 fills, 255 leaves, anything else mixes.
  for (std::uint32_t c : {0u, 255u, 64u}) {
    source.SetPixel(0, 4, c * 0x010101u);
    Bitmap actual = Filled(3, 3, Back);
    StretchMaskedPiece(actual, {0, 0, 3, 2}, source, {0, 0, 1, 1}, 4, false);
    Bitmap expected = Filled(3, 3, Back);
    if (c != 255)
      pixelcheck::Paint(expected, {0, 0, 3, 2}, c == 0 ? image : Mixed(Back, image, c));
    EXPECT_TRUE(SameBitmap(actual, expected, "stretch-one-pixel")) << c;
  }
}

TEST(Resample, MitchellFilterAndItsUse) {
  EXPECT_NEAR(MitchellWeight(0), 8.0 / 9, 1e-12);
  EXPECT_NEAR(MitchellWeight(1), 1.0 / 18, 1e-12);
  EXPECT_NEAR(MitchellWeight(-1), 1.0 / 18, 1e-12);
  EXPECT_EQ(MitchellWeight(2), 0);
  EXPECT_LT(MitchellWeight(1.5), 0) << "the negative lobe";
  // Weights at whole distances sum to 1 (the filter keeps flat areas flat).
  EXPECT_NEAR(MitchellWeight(0) + 2 * MitchellWeight(1), 1.0, 1e-12);

  // Halving a row of alternating black and white gives grey, not either.
  Bitmap stripes(8, 1);
  for (int x = 0; x < 8; ++x)
    stripes.SetPixel(x, 0, x % 2 ? 0xFFFFFFFF : 0xFF000000);
  std::vector<std::uint32_t> out;
  ResampleMitchell(stripes, {0, 0, 8, 1}, 4, 1, out);
  ASSERT_EQ(out.size(), 4u);
  for (std::uint32_t p : out) {
    EXPECT_EQ(p >> 24, 255u);
    EXPECT_GT(p & 0xFF, 64u);
    EXPECT_LT(p & 0xFF, 192u);
  }
  // A flat piece stays flat at its own size, mirrored edges included.
  Bitmap flat = Filled(3, 2, Px(9, 8, 7));
  ResampleMitchell(flat, {0, 0, 3, 2}, 3, 2, out);
  for (std::uint32_t p : out)
    EXPECT_EQ(p, Px(9, 8, 7));
}

TEST(MaskGlyph, CutOffFadedAndOwnImages) {
  TTestSkin skin;
  // Master glyph: two 3 x 2 frames at (0, 10), unmasked, one key pixel.
  skin.Master().SetPixel(4, 10, KeyPixel);
  const TsMaskData& glyph =
      skin.Manager.ma[std::size_t(skin.AddMask(Entry({0, 10, 6, 12}, 2, 0, 0)))];
  {
    // At x = -1, y = 1 in state 1: the frame's first column is cut off.
    Bitmap actual = Filled(4, 4, Back);
    PaintMaskGlyph(actual, {-1, 1}, 1, CacheInfoFromBitmap(&actual, 0, 0), glyph, 1);
    Bitmap expected = Filled(4, 4, Back);
    for (int y = 0; y < 2; ++y)
      for (int x = 1; x < 3; ++x)
        if (!(x == 1 && y == 0))
          expected.SetPixel(x - 1, 1 + y, At(3 + x, 10 + y));
    EXPECT_TRUE(SameBitmap(actual, expected, "glyph-cut"));
  }
  {
    // Any other mode: non-key pixels half over the destination.
    Bitmap actual = Filled(3, 2, Back);
    PaintMaskGlyph(actual, {0, 0}, 0, EmptyCacheInfo(), glyph, 2);
    Bitmap expected(3, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        std::uint32_t s = At(x, 10 + y), d = Back, r = 0;
        for (int shift : {0, 8, 16, 24})
          r |= ((((s >> shift) & 0xFF) + ((d >> shift) & 0xFF)) / 2) << shift;
        expected.SetPixel(x, y, r);
      }
    EXPECT_TRUE(SameBitmap(actual, expected, "glyph-half"));
  }
  // An own image with mask rows: 2 x 1 frame, mask row below (0 and 100).
  auto own = std::make_shared<Bitmap>(2, 2);
  own->SetPixel(0, 0, Px(200, 0, 0));
  own->SetPixel(1, 0, Px(0, 200, 0));
  own->SetPixel(0, 1, 0);
  own->SetPixel(1, 1, 0x00646464);
  TsMaskData masked = Entry({0, 0, 2, 2}, 1, 1, 0);
  masked.Bmp = own;
  const std::uint32_t back = Px(10, 20, 30, 0);
  for (int mode : {1, 2}) {
    Bitmap actual = Filled(2, 1, back);
    PaintMaskGlyph(actual, {0, 0}, 0, EmptyCacheInfo(), masked, mode);
    Bitmap expected(2, 1);
    for (int x = 0; x < 2; ++x) {
      std::uint32_t c = x == 0 ? 0 : 100;
      if (mode != 1)
        c = std::min(c + 100, 255u);
      const std::uint32_t alpha = (255 * (255 - c)) >> 8;
      expected.SetPixel(x, 0, (Mixed(back, own->Pixel(x, 0), c) & 0xFFFFFF) | (alpha << 24));
    }
    EXPECT_TRUE(SameBitmap(actual, expected, "glyph-masked")) << mode;
  }
  // An own image smaller than the entry's rectangle draws nothing.
  masked.R = {0, 0, 2, 4};
  Bitmap untouched = Filled(2, 1, back);
  PaintMaskGlyph(untouched, {0, 0}, 0, EmptyCacheInfo(), masked, 1);
  EXPECT_TRUE(SameBitmap(untouched, Filled(2, 1, back), "glyph-too-small"));
}

TEST(CornerRefresh, KeyPixelsOfTheChosenCornersTakeTheParent) {
  TTestSkin skin;
  // Frames 4 x 4 with 1-pixel borders, two states; key pixels at every
  // corner of the second frame.
  for (TPoint p : {TPoint{4, 0}, TPoint{7, 0}, TPoint{4, 3}, TPoint{7, 3}})
    skin.Master().SetPixel(p.X, p.Y, KeyPixel);
  const TsMaskData& border =
      skin.Manager.ma[std::size_t(skin.AddMask(Entry({0, 0, 8, 4}, 2, 0, 0, 1)))];
  Bitmap parent = PositionCoded(30, 30);
  Bitmap cache = Filled(6, 5, Back);
  RefreshCornerPixels(border, 1, CornerTopLeft | CornerBottomRight, cache,
                      CacheInfoFromBitmap(&parent, 3, 4));
  Bitmap expected = Filled(6, 5, Back);
  expected.SetPixel(0, 0, At(3, 4));
  expected.SetPixel(5, 4, At(8, 8));
  EXPECT_TRUE(SameBitmap(cache, expected, "corner-refresh-cache"));

  RefreshCornerPixels(border, 1, CornerTopRight | CornerBottomLeft, cache,
                      TCacheInfo{nullptr, 0, 0, 0x00030201, {}, false});
  expected.SetPixel(5, 0, Px(1, 2, 3));
  expected.SetPixel(0, 4, Px(1, 2, 3));
  EXPECT_TRUE(SameBitmap(cache, expected, "corner-refresh-colour"));
  // State 0 has no key pixels: nothing changes.
  Bitmap plain = Filled(6, 5, Back);
  RefreshCornerPixels(border, 0, AllCorners, plain, CacheInfoFromBitmap(&parent, 0, 0));
  EXPECT_TRUE(SameBitmap(plain, Filled(6, 5, Back), "corner-refresh-state0"));
}

} // namespace
