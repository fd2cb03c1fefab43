#include "skin/paint/sSectionPaint.h"

#include "SkinPaintFixture.h"
#include "skin/paint/pixels/PixelOps.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace paintfixture;
using pixelcheck::Filled;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;
using platform::Bitmap;

namespace {

constexpr std::uint32_t Back = Px(1, 2, 3, 0);
constexpr TColor SectionColor = RGB(100, 150, 200);
constexpr TColor ParentColor = RGB(10, 20, 30);

// Per channel (parent * a + own * (256 - a)) >> 8, alpha of the parent.
std::uint32_t OverParent(std::uint32_t aParent, std::uint32_t aOwn, std::uint32_t aA) {
  return (Mixed(aParent, aOwn, aA) & 0xFFFFFF) | (aParent & 0xFF000000u);
}

TEST(SectionPaint, TransparencyWeightRoundsHalvesToEven) {
  const std::pair<int, int> cases[] = {{0, 0},    {10, 26},  {30, 76},
                                       {50, 128}, {70, 178}, {100, 255}};
  for (auto [percent, weight] : cases)
    EXPECT_EQ(TransparencyWeight(percent), weight) << percent;
}

TEST(SectionPaint, HalfTransparentVerticalGradientOverAParentCache) {
  TTestSkin skin;
  TsGeneralData g = PlainSection("GRAD", SectionColor);
  g.Props[0].Transparency = 50;
  g.Props[0].GradientPercent = 100;
  g.Props[0].GradientData = "x";
  g.Props[0].GradientArray = {{RGB(0, 0, 0), RGB(0, 0, 200), 100, 0, 0}};
  const int index = skin.AddSection(g);
  Bitmap parent = PositionCoded(30, 30);
  Bitmap actual = Filled(6, 5, Back);
  PaintSection(&skin.Manager, index, -1, -1, -1, KeyColor, CacheInfoFromBitmap(&parent, 2, 3), 0,
               &actual, {4, 5}, {0, 0, 6, 5}, false, TLayerOrder::BorderThenCorners);
  Bitmap expected(6, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      expected.SetPixel(x, y, OverParent(At(6 + x, 8 + y), Px(0, 0, 200 * y / 4), 128));
  EXPECT_TRUE(SameBitmap(actual, expected, "section-gradient-over-parent"));
}

TEST(SectionPaint, FullyTransparentOverAPlainParentWithBorderStrips) {
  TTestSkin skin;
  TsGeneralData g = PlainSection("GHOST", SectionColor);
  g.Props[0].Transparency = 100;
  const int index = skin.AddSection(g);
  // A 20 x 12 parent with strips 2, 1, 2, 2 wide; its cache holds their pixels.
  Bitmap parent = PositionCoded(20, 12);
  const TCacheInfo plain{&parent, 0, 0, ParentColor, {2, 1, 2, 2}, false};
  struct Case {
    const char* Name;
    TPoint Offset;
  };
  for (const Case& k : {Case{"top-left", {1, 0}}, Case{"bottom-right", {14, 7}},
                        Case{"beyond the right edge", {17, 4}}}) {
    Bitmap actual = Filled(5, 4, Back);
    PaintSection(&skin.Manager, index, -1, -1, -1, KeyColor, plain, 0, &actual, k.Offset,
                 {0, 0, 5, 4}, false, TLayerOrder::BorderThenCorners);
    Bitmap expected(5, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) {
        const int px = k.Offset.X + x, py = k.Offset.Y + y;
        // The far strips count only for a child ending inside the parent.
        const bool rightStrip = k.Offset.X + 5 < 20 && px >= 18;
        const bool bottomStrip = k.Offset.Y + 4 < 12 && py >= 10;
        const bool inStrip = px < 2 || py < 1 || rightStrip || bottomStrip;
        expected.SetPixel(x, y, inStrip ? At(px, py) : Opaque(ParentColor));
      }
    EXPECT_TRUE(SameBitmap(actual, expected, std::string("section-strips-") + k.Name)) << k.Name;
  }
}

TEST(SectionPaint, PlainColoursByTransparencyParentAndCustomColour) {
  struct Case {
    const char* Name;
    int Transparency;
    TCacheInfo Parent;
    TColor Custom;
    std::uint32_t Pixel;
  };
  const TCacheInfo none = EmptyCacheInfo();
  const TCacheInfo plain{nullptr, 0, 0, ParentColor, {}, false};
  const Case cases[] = {
      {"opaque", 0, plain, KeyColor, Opaque(SectionColor)},
      // Per channel trunc(parent * 0.4 + section * 0.6).
      {"mixed with the parent colour", 40, plain, KeyColor, Px(64, 98, 132)},
      {"transparent over a colour", 100, plain, KeyColor, Opaque(ParentColor)},
      // Without parent information the section's own colour, not the key
      // colour mixed in.
      {"no parent information", 40, none, KeyColor, Opaque(SectionColor)},
      {"no parent information, transparent", 100, none, KeyColor, Opaque(SectionColor)},
      {"custom colour", 100, plain, RGB(7, 8, 9), Px(7, 8, 9)},
  };
  for (const Case& k : cases) {
    TTestSkin skin;
    TsGeneralData g = PlainSection("PLAIN", SectionColor);
    g.Props[0].Transparency = k.Transparency;
    const int index = skin.AddSection(g);
    Bitmap actual = Filled(4, 3, Back);
    PaintSection(&skin.Manager, index, -1, -1, -1, k.Custom, k.Parent, 0, &actual, {}, {1, 1, 3, 3},
                 false, TLayerOrder::CornersThenBorder);
    Bitmap expected = Filled(4, 3, Back);
    pixelcheck::Paint(expected, {1, 1, 3, 3}, k.Pixel);
    EXPECT_TRUE(SameBitmap(actual, expected, "section-plain")) << k.Name;
  }
}

TEST(SectionPaint, GradientShareMixedWithTheColourAndGuards) {
  TTestSkin skin;
  TsGeneralData g = PlainSection("SHARE", SectionColor);
  g.Props[0].GradientPercent = 60;
  g.Props[0].GradientData = "x";
  g.Props[0].GradientArray = {{RGB(50, 50, 50), RGB(50, 50, 50), 100, 0, 0}};
  const int index = skin.AddSection(g);
  Bitmap actual = Filled(3, 3, Back);
  PaintSectionByIndex(&skin.Manager, index, EmptyCacheInfo(), -1, -1, &actual, {}, {0, 0, 3, 3}, 0);
  // round(50 * 0.6 + channel * 0.4), halves to even.
  auto mix = [](int c) { return std::uint32_t(std::nearbyint(50 * 0.6 + c * 0.4)); };
  EXPECT_TRUE(SameBitmap(actual, Filled(3, 3, Px(mix(100), mix(150), mix(200))), "section-share"));

  // Rectangles outside the bitmap, negative starts, invalid indexes: nothing.
  Bitmap untouched = Filled(3, 3, Back);
  for (TRect r : {TRect{0, 0, 4, 3}, TRect{-1, 0, 2, 2}})
    PaintSectionByIndex(&skin.Manager, index, EmptyCacheInfo(), -1, -1, &untouched, {}, r, 0);
  PaintSectionByIndex(&skin.Manager, 5, EmptyCacheInfo(), -1, -1, &untouched, {}, {0, 0, 3, 3}, 0);
  PaintSectionByIndex(nullptr, index, EmptyCacheInfo(), -1, -1, &untouched, {}, {0, 0, 3, 3}, 0);
  EXPECT_TRUE(SameBitmap(untouched, Filled(3, 3, Back), "section-guards"));
}

TEST(SectionPaint, StateTwoPaintsTheHotBackgroundAndTheThirdBorderFrame) {
  TTestSkin skin;
  TsGeneralData g = PlainSection("BTN", SectionColor, 3);
  g.Props[1].Color = int(RGB(1, 1, 1));
  // Three 3 x 3 frames at (0, 40), 1-pixel borders, no centre; DrawMode 2:
  // no border in state 0.
  g.BorderIndex = skin.AddMask(Entry({0, 40, 9, 43}, 3, 0, 2, 1));
  const int index = skin.AddSection(g);
  for (int state : {0, 2, 7}) {
    Bitmap actual = Filled(4, 4, Back);
    TSectionPainted done =
        PaintSection(&skin.Manager, index, g.BorderIndex, -1, -1, KeyColor, EmptyCacheInfo(), state,
                     &actual, {}, {0, 0, 4, 4}, false, TLayerOrder::CornersThenBorder);
    EXPECT_TRUE(done.Painted);
    EXPECT_EQ(done.BorderDrawn, state != 0);
    Bitmap expected = Filled(4, 4, state == 0 ? Opaque(SectionColor) : Px(1, 1, 1));
    if (state != 0)
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
          if (x == 0 || y == 0 || x == 3 || y == 3)
            expected.SetPixel(x, y,
                              At(6 + (x == 0   ? 0
                                      : x == 3 ? 2
                                               : 1),
                                 40 + (y == 0   ? 0
                                       : y == 3 ? 2
                                                : 1)));
    EXPECT_TRUE(SameBitmap(actual, expected, "section-state")) << state;
  }
}

TEST(SectionPaint, CornerImagesKeepWhatLiesUnderTheirKeyPixels) {
  TTestSkin skin;
  TsGeneralData g = PlainSection("CORNERS", SectionColor);
  // A 2 x 2 corner image at (0, 50) with a key pixel at its top-left.
  skin.Master().SetPixel(0, 50, KeyPixel);
  g.ImgTL = g.ImgBR = skin.AddMask(Entry({0, 50, 2, 52}, 1, 0, 0));
  const int index = skin.AddSection(g);
  Bitmap actual = Filled(5, 5, Back);
  PaintSectionByIndex(&skin.Manager, index, EmptyCacheInfo(), -1, -1, &actual, {}, {0, 0, 5, 5}, 0);
  Bitmap expected = Filled(5, 5, Opaque(SectionColor));
  for (TPoint at : {TPoint{0, 0}, TPoint{3, 3}})
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x)
        if (x || y)
          expected.SetPixel(at.X + x, at.Y + y, At(x, 50 + y) | 0xFF000000u);
  EXPECT_TRUE(SameBitmap(actual, expected, "section-corners"));
}

TEST(SectionPaint, TextureAndPatternLayers) {
  TTestSkin skin;
  TsGeneralData g = PlainSection("TEX", SectionColor);
  g.Props[0].ImagePercent = 100;
  // Kind 2 (DrawMode 17): a band 2 rows high; the rest is the section colour.
  g.Props[0].TextureIndex = skin.AddMask(Entry({0, 0, 3, 2}, 1, 0, 17));
  const int index = skin.AddSection(g);
  Bitmap actual = Filled(5, 4, Back);
  PaintSectionByIndex(&skin.Manager, index, EmptyCacheInfo(), -1, -1, &actual, {}, {0, 0, 5, 4}, 0);
  Bitmap expected = Filled(5, 4, Opaque(SectionColor));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x)
      expected.SetPixel(x, y, At(x % 3, y));
  EXPECT_TRUE(SameBitmap(actual, expected, "section-texture"));

  // Texture 100 %, gradient share 50 %: the gradient layer is blended over
  // the texture with weight 50 * 255 div 100 = 127 for the texture.
  TsGeneralData both = PlainSection("BOTH", SectionColor);
  both.Props[0].ImagePercent = 50;
  both.Props[0].GradientPercent = 50;
  both.Props[0].GradientData = "x";
  both.Props[0].GradientArray = {{RGB(0, 0, 0), RGB(0, 0, 0), 100, 2, 0}};
  both.Props[0].TextureIndex = skin.AddMask(Entry({0, 0, 2, 2}, 1, 0, 0));
  const int bothIndex = skin.AddSection(both);
  Bitmap mixed = Filled(3, 3, Back);
  PaintSectionByIndex(&skin.Manager, bothIndex, EmptyCacheInfo(), -1, -1, &mixed, {}, {0, 0, 3, 3},
                      0);
  Bitmap mixedExpected(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      mixedExpected.SetPixel(x, y, Mixed(At(x % 2, y % 2), 0xFF000000u, 127));
  EXPECT_TRUE(SameBitmap(mixed, mixedExpected, "section-texture-gradient"));
}

TEST(SectionPaint, ReducedPainterUsesTheSectionColourWithoutAParentColour) {
  TTestSkin skin;
  TsGeneralData g = PlainSection("SLIDER", SectionColor, 2);
  g.Props[0].Transparency = 100;
  g.Props[1].Transparency = 100;
  const int index = skin.AddSection(g);
  struct Case {
    const char* Name;
    TCacheInfo Parent;
    std::uint32_t Pixel;
  };
  Bitmap parent = PositionCoded(10, 10);
  const Case cases[] = {
      {"no parent", EmptyCacheInfo(), Opaque(SectionColor)},
      {"parent colour", TCacheInfo{nullptr, 0, 0, ParentColor, {}, false}, Opaque(ParentColor)},
  };
  for (const Case& k : cases) {
    Bitmap actual = Filled(3, 2, Back);
    PaintSectionWithTexture(&skin.Manager, index, -1, -1, &actual, {}, {0, 0, 3, 2}, 1, k.Parent);
    EXPECT_TRUE(SameBitmap(actual, Filled(3, 2, k.Pixel), "reduced")) << k.Name;
  }
  // Over a parent cache the parent is copied from its offset.
  Bitmap actual = Filled(3, 2, Back);
  PaintSectionWithTexture(&skin.Manager, index, -1, -1, &actual, {2, 1}, {0, 0, 3, 2}, 0,
                          CacheInfoFromBitmap(&parent, 1, 1));
  Bitmap expected(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      expected.SetPixel(x, y, At(3 + x, 2 + y));
  EXPECT_TRUE(SameBitmap(actual, expected, "reduced-parent-cache"));
}

TEST(SectionPaint, ToDCCopiesThePaintedSectionToItsPlace) {
  TTestSkin skin;
  const int index = skin.AddSection(PlainSection("DC", SectionColor));
  Bitmap screen = Filled(6, 6, Back);
  pixelcheck::DCHolder dc{platform::CreateCompatibleDC(nullptr)};
  platform::SelectObject(dc.get(), &screen);
  PaintSectionToDC(&skin.Manager, index, EmptyCacheInfo(), dc.get(), {}, {2, 1, 5, 3}, 0);
  PaintSectionToDC(&skin.Manager, index, EmptyCacheInfo(), dc.get(), {}, {-1, 0, 2, 2}, 0);
  Bitmap expected = Filled(6, 6, Back);
  pixelcheck::Paint(expected, {2, 1, 5, 3}, Opaque(SectionColor));
  EXPECT_TRUE(SameBitmap(screen, expected, "section-to-dc"));
}

} // namespace
