#include "skin/paint/sTexture.h"

#include "SkinPaintFixture.h"
#include "platform/gfx/FrameControls.h"
#include "skin/paint/sCheckGlyph.h"
#include "skin/paint/sGradient.h"
#include "toolkit/CheckListBox.h"

#include <gtest/gtest.h>
#include <string>

using namespace paintfixture;
using pixelcheck::Filled;
using pixelcheck::SameBitmap;
using platform::Bitmap;

namespace {

constexpr std::uint32_t Back = Px(1, 2, 3);

TEST(Texture, DrawKindTable) {
  const int expected[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1, 2, 3, 3};
  for (int mode = 0; mode < 20; ++mode)
    EXPECT_EQ(DrawKindTable(mode), expected[mode]) << mode;
  EXPECT_EQ(DrawKindTable(-1), -1);
  EXPECT_EQ(DrawKindTable(20), -1);
}

TEST(Texture, DrawKindsPaintTheirBandAndReturnTheRest) {
  // A 3 x 2 tile at (5, 6) of the master; R = (1, 1, 9, 8) in a 10 x 9 bitmap.
  const TRect r{1, 1, 9, 8};
  struct Case {
    int Kind;
    TRect Painted; // tiles from its top-left corner, clipped to it
    TRect Rest;
  };
  const Case cases[] = {
      {0, r, NoRect},
      {2, {1, 1, 9, 3}, {1, 3, 9, 8}},
      {3, {1, 1, 4, 8}, {4, 1, 9, 8}},
      {6, {1, 6, 9, 8}, {1, 1, 9, 6}},
      {7, {6, 1, 9, 8}, {1, 1, 6, 8}},
      {10, {1, 1, 9, 7}, NoRect}, // the partial last row is left
      {8, {}, r},
  };
  for (const Case& k : cases) {
    TTestSkin skin;
    const TsMaskData& tile =
        skin.Manager.ma[std::size_t(skin.AddMask(Entry({5, 6, 8, 8}, 1, 0, 0)))];
    Bitmap actual = Filled(10, 9, Back);
    TRect rest = r;
    DrawTexture(actual, rest, nullptr, k.Kind, &tile);
    EXPECT_EQ(rest, k.Rest) << k.Kind;
    Bitmap expected = Filled(10, 9, Back);
    for (int y = k.Painted.Top; y < k.Painted.Bottom; ++y)
      for (int x = k.Painted.Left; x < k.Painted.Right; ++x)
        expected.SetPixel(x, y, At(5 + (x - k.Painted.Left) % 3, 6 + (y - k.Painted.Top) % 2));
    EXPECT_TRUE(SameBitmap(actual, expected, "texture-kind-" + std::to_string(k.Kind))) << k.Kind;
  }
}

TEST(Texture, StretchKindsAndSeparateImages) {
  TTestSkin skin;
  const TsMaskData& tile = skin.Manager.ma[std::size_t(skin.AddMask(Entry({0, 0, 2, 1}, 1, 0, 0)))];
  // Kind 4: the 2 x 1 tile stretched over 4 columns at the top.
  Bitmap actual = Filled(4, 3, Back);
  TRect rest{0, 0, 4, 3};
  DrawTexture(actual, rest, nullptr, 4, &tile);
  EXPECT_EQ(rest, (TRect{0, 1, 4, 3}));
  Bitmap expected = Filled(4, 3, Back);
  for (int x = 0; x < 4; ++x)
    expected.SetPixel(x, 0, At(x / 2, 0));
  EXPECT_TRUE(SameBitmap(actual, expected, "texture-kind-4"));
  // A separate image is tiled over everything, whatever the kind.
  Bitmap image = PositionCoded(2, 2);
  Bitmap tiled = Filled(4, 3, Back);
  rest = {1, 0, 4, 3};
  DrawTexture(tiled, rest, &image, 3, &tile);
  EXPECT_EQ(rest, NoRect);
  Bitmap tiledExpected = Filled(4, 3, Back);
  for (int y = 0; y < 3; ++y)
    for (int x = 1; x < 4; ++x)
      tiledExpected.SetPixel(x, y, At((x - 1) % 2, y % 2));
  EXPECT_TRUE(SameBitmap(tiled, tiledExpected, "texture-image"));
}

TEST(AlphaTexture, OwnImageIsUsedAndKeysShowTheParent) {
  TTestSkin skin;
  // The master is smaller than the entry: reading it would be wrong.
  skin.Master() = Bitmap(1, 1);
  // Own image: a 2 x 2 tile over its 2 x 2 mask (0 everywhere but 128 at
  // the tile's top-right); the tile's bottom-left is a key pixel.
  auto own = std::make_shared<Bitmap>(PositionCoded(2, 4));
  own->SetPixel(0, 1, KeyPixel);
  for (int y = 2; y < 4; ++y)
    for (int x = 0; x < 2; ++x)
      own->SetPixel(x, y, 0);
  own->SetPixel(1, 2, 0x00808080);
  TsMaskData entry = Entry({0, 0, 2, 4}, 1, 1, 0);
  entry.Bmp = own;
  entry.Manager = &skin.Manager;
  Bitmap parent = PositionCoded(20, 20);
  // Kind 0 over (0, 0, 5, 5): whole tiles at x = 0, 2 and the last column
  // from x = 4, rows at y = 0, 2 (y < 5 - 2); row 4 stays.
  Bitmap actual = Filled(5, 5, Back);
  TRect rest{0, 0, 5, 5};
  DrawAlphaTexture(actual, rest, CacheInfoFromBitmap(&parent, 7, 8), 0, entry);
  EXPECT_EQ(rest, NoRect);
  Bitmap expected = Filled(5, 5, Back);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) {
      const int tx = x % 2, ty = y % 2;
      if (tx == 0 && ty == 1)
        expected.SetPixel(x, y, At(7 + x, 8 + y));
      else
        expected.SetPixel(x, y, Mixed(Back, At(tx, ty), tx == 1 && ty == 0 ? 128 : 0));
    }
  EXPECT_TRUE(SameBitmap(actual, expected, "alpha-texture-own"));

  // Kind 10 gives the strips beside and below the whole tiles the parent's
  // colour; other kinds draw nothing.
  Bitmap strips = Filled(5, 5, Back);
  rest = {0, 0, 5, 5};
  const TCacheInfo plain{nullptr, 0, 0, 0x00030201, {}, false};
  DrawAlphaTexture(strips, rest, plain, 10, entry);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      if (x >= 4 || y >= 4)
        EXPECT_EQ(strips.Pixel(x, y), Px(1, 2, 3)) << x << "," << y;
      else if (x % 2 == 0 && y % 2 == 1)
        EXPECT_EQ(strips.Pixel(x, y), Px(1, 2, 3)) << "key pixel";
    }
  Bitmap untouched = Filled(5, 5, Back);
  rest = {0, 0, 5, 5};
  DrawAlphaTexture(untouched, rest, plain, 1, entry);
  EXPECT_EQ(rest, (TRect{0, 0, 5, 5}));
  EXPECT_TRUE(SameBitmap(untouched, Filled(5, 5, Back), "alpha-texture-kind1"));
}

// The rule for one channel of a piece: start at aFrom, add (aTo - aFrom) /
// n per line in single precision, truncate.
std::uint32_t Step(std::uint32_t aFrom, std::uint32_t aTo, int aN, int aI) {
  float v = float(aFrom);
  const float step = (float(aTo) - float(aFrom)) / float(aN);
  for (int i = 0; i < aI; ++i)
    v += step;
  return std::uint32_t(v);
}

std::uint32_t GradientPixel(TColor aFrom, TColor aTo, int aN, int aI) {
  return Px(Step(GetRValue(aFrom), GetRValue(aTo), aN, aI),
            Step(GetGValue(aFrom), GetGValue(aTo), aN, aI),
            Step(GetBValue(aFrom), GetBValue(aTo), aN, aI));
}

TEST(Gradient, VerticalPiecesShareTheirBoundaryRow) {
  // 10 rows: piece 0 (40 %) rows 0..4, a 0 % piece paints nothing, the last
  // piece runs from row 4 (painting over it) to row 9; flat last piece.
  const TsGradArray gradient = {{RGB(0, 0, 0), RGB(200, 100, 40), 40, 0, 0},
                                {RGB(9, 9, 9), RGB(1, 1, 1), 0, 0, 0},
                                {RGB(10, 20, 30), RGB(10, 20, 30), 10, 0, 0}};
  Bitmap actual = Filled(4, 12, Back);
  FillGradient(actual, {1, 1, 3, 11}, gradient);
  Bitmap expected = Filled(4, 12, Back);
  for (int row = 0; row < 10; ++row)
    pixelcheck::Paint(expected, {1, 1 + row, 3, 2 + row},
                      row < 4 ? GradientPixel(gradient[0].Color1, gradient[0].Color2, 4, row)
                              : Px(10, 20, 30));
  EXPECT_TRUE(SameBitmap(actual, expected, "gradient-vertical"));
}

TEST(Gradient, HorizontalRowIsRepeatedAndTrianglesMeetInTheCentre) {
  const TsGradArray gradient = {{RGB(0, 0, 0), RGB(80, 160, 240), 100, 1, 0}};
  Bitmap actual = Filled(6, 3, Back);
  FillGradient(actual, {0, 0, 9, 9}, gradient); // clipped to the bitmap
  Bitmap expected(6, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x)
      expected.SetPixel(x, y, GradientPixel(gradient[0].Color1, gradient[0].Color2, 5, x));
  EXPECT_TRUE(SameBitmap(actual, expected, "gradient-horizontal"));

  // Triangles: the corner pixel at (Left, Top) has the first colour; with
  // fewer than five pieces the last colour repeats.
  const TsGradArray triangles = {{RGB(255, 0, 0), 0, 100, 2, 0}, {RGB(0, 0, 255), 0, 0, 2, 0}};
  Bitmap shaded = Filled(8, 8, Back);
  FillGradient(shaded, {0, 0, 8, 8}, triangles);
  EXPECT_EQ(shaded.Pixel(0, 0), Px(255, 0, 0));
  EXPECT_EQ(shaded.Pixel(4, 4), Px(0, 0, 255));
  EXPECT_EQ(shaded.Pixel(7, 7) & 0xFF0000u, 0u) << "the far corners take the repeated colour";
  // Nothing for an empty gradient or rectangle.
  Bitmap untouched = Filled(2, 2, Back);
  FillGradient(untouched, {0, 0, 2, 2}, {});
  FillGradient(untouched, {1, 1, 1, 2}, gradient);
  EXPECT_TRUE(SameBitmap(untouched, Filled(2, 2, Back), "gradient-nothing"));
}

TEST(Gradient, TexturedInOnePassAndWithoutATileLeft) {
  const TsGradArray gradient = {{RGB(0, 0, 0), RGB(0, 0, 0), 100, 1, 0}};
  // Texture: a 2 x 2 tile at (1, 1) of a 4 x 4 position-coded bitmap,
  // anchored at the target's origin.
  Bitmap texture = PositionCoded(4, 4);
  for (int mode : {0, 1}) {
    TsGradArray g = gradient;
    g[0].Mode1 = mode;
    Bitmap actual = Filled(5, 5, Back);
    FillGradientTextured(actual, {1, 0, 5, 5}, g, 200, 128, {1, 1, 3, 3}, texture);
    Bitmap expected = Filled(5, 5, Back);
    for (int y = 0; y < 5; ++y)
      for (int x = 1; x < 5; ++x)
        expected.SetPixel(
            x, y, (Mixed(0xFF000000u, At(1 + x % 2, 1 + y % 2), 128) & 0xFFFFFF) | (200u << 24));
    EXPECT_TRUE(SameBitmap(actual, expected, "gradient-textured")) << mode;
  }
  // A tile reaching the texture's last column is shortened by one pixel to
  // nothing: the plain gradient is painted instead of dividing by zero.
  Bitmap actual = Filled(3, 3, Back);
  FillGradientTextured(actual, {0, 0, 3, 3}, gradient, 255, 128, {3, 0, 4, 2}, texture);
  EXPECT_TRUE(SameBitmap(actual, Filled(3, 3, Px(0, 0, 0)), "gradient-no-tile"));
}

TEST(CheckGlyph, SizesFromTheSkinOrThePlatformStrip) {
  platform::SIZE strip;
  ASSERT_TRUE(platform::GetStandardBitmapSize(platform::OBM_CHECKBOXES, &strip));
  EXPECT_EQ(TCheckListBox::CheckBoxSize(), (TSize{strip.cx / 4, strip.cy / 3}));
  EXPECT_EQ(CheckGlyphWidth(nullptr, false), strip.cx / 4);
  EXPECT_EQ(CheckGlyphHeight(nullptr, true), strip.cy / 3);
  TTestSkin skin;
  // Checked glyphs: 3 frames of 6 x 5 (normal), 3 x 4 masked (small).
  skin.Manager.ConstData.CheckBoxChecked = skin.AddMask(Entry({0, 0, 18, 5}, 3, 0, 0));
  skin.Manager.ConstData.SmallCheckBoxChecked = skin.AddMask(Entry({0, 0, 9, 8}, 3, 1, 0));
  EXPECT_EQ(CheckGlyphWidth(&skin.Manager, false), 8);
  EXPECT_EQ(CheckGlyphHeight(&skin.Manager, false), 5);
  EXPECT_EQ(CheckGlyphWidth(&skin.Manager, true), 5);
  EXPECT_EQ(CheckGlyphHeight(&skin.Manager, true), 4);
  skin.Manager.SetActive(false);
  EXPECT_EQ(CheckGlyphWidth(&skin.Manager, false), strip.cx / 4);
}

TEST(CheckGlyph, SkinGlyphsFadeWhenDisabledAndThePlatformBoxIsDrawnOtherwise) {
  TTestSkin skin;
  auto& data = skin.Manager.ConstData;
  // Unmasked 4 x 3 glyphs on the master: unchecked at (0, 20), small at (0, 30).
  data.CheckBoxUnChecked = skin.AddMask(Entry({0, 20, 4, 23}, 1, 0, 0));
  data.SmallCheckBoxUnChecked = skin.AddMask(Entry({0, 30, 4, 33}, 1, 0, 0));
  data.CheckBoxChecked = data.CheckBoxUnChecked;
  for (bool enabled : {true, false}) {
    Bitmap actual = Filled(12, 9, Back);
    // cw = 4 + 2, ch = 3: the glyph at x = 2 + (8 - 6) / 2 = 3, y = (9 - 3) / 2 = 3.
    DrawCheckGlyph({2, 0, 10, 9}, TqcCheckState::cbUnchecked, enabled, false, &skin.Manager,
                   EmptyCacheInfo(), actual);
    Bitmap expected = Filled(12, 9, Back);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        const std::uint32_t s = At(x, 20 + y);
        std::uint32_t half = 0;
        for (int shift : {0, 8, 16, 24})
          half |= ((((s >> shift) & 0xFF) + ((Back >> shift) & 0xFF)) / 2) << shift;
        expected.SetPixel(3 + x, 3 + y, enabled ? s : half);
      }
    EXPECT_TRUE(SameBitmap(actual, expected, "check-skin")) << enabled;
  }
  // Without skin glyphs: the parent colour strip, then the platform's box,
  // inactive and checked three-state for a disabled grayed box.
  Bitmap actual = Filled(20, 16, Back);
  DrawCheckGlyph({0, 0, 17, 15}, TqcCheckState::cbGrayed, false, false, nullptr,
                 TCacheInfo{nullptr, 0, 0, 0x00030201, {}, false}, actual);
  const TSize size = TCheckListBox::CheckBoxSize();
  Bitmap expected = Filled(20, 16, Back);
  pixelcheck::Paint(expected, {0, 0, size.cx + 2, 15}, Px(1, 2, 3));
  pixelcheck::DCHolder dc{platform::CreateCompatibleDC(nullptr)};
  platform::SelectObject(dc.get(), &expected);
  platform::RECT box = Bounds((17 - size.cx) / 2, (15 - size.cy) / 2, size.cx, size.cy);
  platform::DrawFrameControl(dc.get(), &box, platform::DFC_BUTTON,
                             platform::DFCS_BUTTON3STATE | platform::DFCS_CHECKED |
                                 platform::DFCS_INACTIVE);
  EXPECT_TRUE(SameBitmap(actual, expected, "check-platform"));
}

} // namespace
