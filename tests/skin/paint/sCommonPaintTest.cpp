#include "skin/paint/sCommonPaint.h"

#include "SkinDataFixture.h"
#include "platform/gfx/Raster.h"
#include "skin/paint/sParentBg.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>

namespace {

using pixelcheck::Filled;
using pixelcheck::SameBitmap;
using platform::raster::PixelOf;

// One channel of a 50 % blend: the parent's weight is round(50 * 2.55) = 128.
std::uint32_t HalfOver(TColor aParent, TColor aOwn) {
  std::uint32_t pixel = 0xFF000000u;
  const std::uint32_t p = PixelOf(aParent), o = PixelOf(aOwn);
  for (int shift : {0, 8, 16})
    pixel |= ((((p >> shift) & 0xFF) * 128 + ((o >> shift) & 0xFF) * 128) >> 8) << shift;
  return pixel;
}

using CommonPaintTest = SkinDataTest;

TEST_F(CommonPaintTest, SectionOnParentBlendsOverTheParentsCacheOrWaitsForIt) {
  TsTestPanel* parent = Panel(fForm, "GRAD", {0, 0, 200, 150});
  TsTestPanel* child = Panel(parent, "HALF", {10, 20, 30, 16});
  platform::Bitmap bmp = Filled(30, 16, 0xFF010203);
  ASSERT_TRUE(
      PaintSectionOnParent(child->SkinData, parent, 0, {0, 0, 30, 16}, {10, 20}, &bmp, false));
  EXPECT_TRUE(SameBitmap(bmp, Filled(30, 16, HalfOver(parent->CacheColor, kHalfColor)),
                         "common-half-over-cache"));

  parent->CanPaint = false;
  parent->SkinData.EmptyCache();
  platform::Bitmap untouched = Filled(30, 16, 0xFF010203);
  EXPECT_FALSE(PaintSectionOnParent(child->SkinData, parent, 0, {0, 0, 30, 16}, {10, 20},
                                    &untouched, false));
  EXPECT_TRUE(SameBitmap(untouched, Filled(30, 16, 0xFF010203), "common-not-ready"));
}

TEST_F(CommonPaintTest, CommonSectionFiltersOpaqueSectionsAndCustomColourIsPlain) {
  TsTestPanel* panel = Panel(fForm, "PANEL", {0, 0, 20, 10});
  panel->SkinData.SetHUEOffset(120);
  platform::Bitmap bmp(20, 10);
  PaintCommonSection(panel->SkinData, QueryParentCache(panel->SkinData), 0, &bmp, {0, 0},
                     {0, 0, 20, 10}, false);
  // (96, 64, 32) has hue 30, saturation 2/3 and value 96; at hue 150 it is
  // (32, 96, 64).
  EXPECT_TRUE(SameBitmap(bmp, Filled(20, 10, pixelcheck::Px(32, 96, 64)), "common-hue-filter"));

  // A half-transparent section without a border is not filtered.
  TsTestPanel* half = Panel(fForm, "HALF", {0, 0, 20, 10});
  half->SkinData.SetHUEOffset(120);
  platform::Bitmap halfBmp(20, 10);
  PaintCommonSection(half->SkinData, CacheInfoFromBitmap(&halfBmp, 0, 0), 0, &halfBmp, {0, 0},
                     {0, 0, 20, 10}, false);
  EXPECT_TRUE(SameBitmap(halfBmp, Filled(20, 10, HalfOver(0, kHalfColor) & 0x00FFFFFFu),
                         "common-half-unfiltered"));

  half->SetColor(0x00336699);
  half->SkinData.SetCustomColor(true);
  platform::Bitmap custom(20, 10);
  PaintCommonBackground(half->SkinData, EmptyCacheInfo(), 0, &custom, {0, 0}, {0, 0, 20, 10});
  EXPECT_TRUE(SameBitmap(custom, Filled(20, 10, PixelOf(0x00336699)), "common-custom-colour"));
}

} // namespace
