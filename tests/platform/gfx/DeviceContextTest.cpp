#include "platform/gfx/DeviceContext.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/SystemColors.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>

using namespace platform;
using pixelcheck::DCHolder;
using pixelcheck::Opaque;
using pixelcheck::Paint;
using pixelcheck::SameBitmap;

namespace {

constexpr std::uint32_t Back = 0xFF102030;
constexpr TColor Red = RGB(255, 0, 0);

// A DC over a fresh 20 x 16 bitmap filled with Back.
struct Canvas {
  Bitmap Pixels = pixelcheck::Filled(20, 16, Back);
  DCHolder DC{CreateCompatibleDC(nullptr)};
  Canvas() { SelectObject(DC.get(), &Pixels); }
  void Fill(const TRect& aRect, TColor aColor = Red) { FillSolidRect(DC.get(), &aRect, aColor); }
};

} // namespace

TEST(DeviceContext, DefaultsAndSelection) {
  Canvas c;
  HDC dc = c.DC.get();
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(dc->SelectedFont(), nullptr);
  EXPECT_EQ(dc->SelectedBrush().Color, RGB(255, 255, 255));
  EXPECT_EQ(dc->SelectedPen().Color, RGB(0, 0, 0));
  Bitmap other(4, 4);
  EXPECT_EQ(SelectObject(dc, &other), &c.Pixels);
  EXPECT_EQ(SelectObject(dc, &c.Pixels), &other);
  EXPECT_EQ(dc->Clip().Rects(), (std::vector<TRect>{{0, 0, 20, 16}}));
}

TEST(DeviceContext, CompatibleBitmaps) {
  HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 7, 3);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 7);
  EXPECT_EQ(bitmap->Height(), 3);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 3), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 1 << 20, 1 << 20), nullptr);
  EXPECT_FALSE(DeleteObject(HBITMAP(nullptr)));
}

TEST(DeviceContext, ColoursAreResolvedAndModesChecked) {
  Canvas c;
  HDC dc = c.DC.get();
  EXPECT_EQ(SetTextColor(dc, 0x80000000u | COLOR_HIGHLIGHT), RGB(0, 0, 0));
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(SetBkColor(dc, 0x80000000u | COLOR_BTNFACE), RGB(255, 255, 255));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(dc, 7), 0);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);
}

TEST(DeviceContext, DeletingASelectedBrushKeepsTheDCSound) {
  Canvas c;
  HBRUSH brush = CreateSolidBrush(Red);
  HBRUSH old = SelectObject(c.DC.get(), brush);
  EXPECT_EQ(old, GetStockBrush(WHITE_BRUSH));
  DeleteObject(brush);
  EXPECT_TRUE(Rectangle(c.DC.get(), 2, 2, 6, 6));
  Bitmap expected = pixelcheck::Filled(20, 16, Back);
  Paint(expected, {2, 2, 6, 6}, Opaque(RGB(0, 0, 0)));
  Paint(expected, {3, 3, 5, 5}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "deleted-brush"));
  EXPECT_EQ(SelectObject(c.DC.get(), HBRUSH(nullptr)), brush);
  EXPECT_EQ(c.DC->SelectedBrush().Color, RGB(255, 255, 255));
}

TEST(DeviceContext, ViewportOriginMovesDrawingAndClipRectangles) {
  Canvas c;
  HDC dc = c.DC.get();
  POINT old{-1, -1};
  EXPECT_TRUE(SetViewportOrgEx(dc, 3, 2, &old));
  EXPECT_EQ(old, (POINT{0, 0}));
  EXPECT_TRUE(OffsetViewportOrgEx(dc, 1, 1, &old));
  EXPECT_EQ(old, (POINT{3, 2}));
  POINT origin;
  EXPECT_TRUE(GetViewportOrgEx(dc, &origin));
  EXPECT_EQ(origin, (POINT{4, 3}));
  // Logical clip (0, 0, 5, 5) is device (4, 3, 9, 8).
  EXPECT_EQ(IntersectClipRect(dc, 0, 0, 5, 5), SIMPLEREGION);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 5, 5}));
  c.Fill({-10, -10, 3, 30});
  Bitmap expected = pixelcheck::Filled(20, 16, Back);
  Paint(expected, {4, 3, 7, 8}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "viewport-clip"));
}

TEST(DeviceContext, ClipRegionsAreInDeviceCoordinates) {
  Canvas c;
  HDC dc = c.DC.get();
  SetViewportOrgEx(dc, 5, 5, nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 4, 4);
  EXPECT_EQ(SelectClipRgn(dc, rgn), SIMPLEREGION);
  DeleteObject(rgn); // the DC keeps its own copy
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{-5, -5, -1, -1}));
  c.Fill({-10, -10, 10, 10});
  Bitmap expected = pixelcheck::Filled(20, 16, Back);
  Paint(expected, {0, 0, 4, 4}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "device-clip"));
  EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{-5, -5, 15, 11}));
}

TEST(DeviceContext, ExcludeAndExtSelectCombineWithTheClip) {
  Canvas c;
  HDC dc = c.DC.get();
  EXPECT_EQ(ExcludeClipRect(dc, 5, 5, 10, 10), COMPLEXREGION);
  HRGN band = CreateRectRgn(0, 0, 20, 8);
  EXPECT_EQ(ExtSelectClipRgn(dc, band, RGN_AND), COMPLEXREGION);
  HRGN corner = CreateRectRgn(15, 12, 20, 16);
  ExtSelectClipRgn(dc, corner, RGN_OR);
  EXPECT_EQ(ExtSelectClipRgn(dc, corner, 42), ERROR);
  EXPECT_EQ(ExtSelectClipRgn(dc, nullptr, RGN_AND), ERROR);
  c.Fill({0, 0, 20, 16});
  Bitmap expected = pixelcheck::Filled(20, 16, Back);
  Paint(expected, {0, 0, 20, 8}, Opaque(Red));
  Paint(expected, {5, 5, 10, 8}, Back);
  Paint(expected, {15, 12, 20, 16}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "exclude-and-or"));
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc, copy), 1);
  EXPECT_TRUE(PtInRegion(copy, 16, 13));
  EXPECT_FALSE(PtInRegion(copy, 6, 6));
  ExtSelectClipRgn(dc, nullptr, RGN_COPY);
  EXPECT_EQ(GetClipRgn(dc, copy), 0);
  for (HRGN h : {band, corner, copy})
    DeleteObject(h);
}

TEST(DeviceContext, ClipSetBeforeTheBitmapIsSelectedStillApplies) {
  DCHolder dc{CreateCompatibleDC(nullptr)};
  EXPECT_EQ(ExcludeClipRect(dc.get(), 0, 0, 3, 3), NULLREGION) << "nothing to draw on yet";
  Bitmap pixels = pixelcheck::Filled(6, 4, Back);
  SelectObject(dc.get(), &pixels);
  const RECT all{0, 0, 6, 4};
  FillSolidRect(dc.get(), &all, Red);
  Bitmap expected = pixelcheck::Filled(6, 4, Opaque(Red));
  Paint(expected, {0, 0, 3, 3}, Back);
  EXPECT_TRUE(SameBitmap(pixels, expected, "clip-before-bitmap"));
}

TEST(DeviceContext, SaveAndRestoreLevels) {
  Canvas c;
  HDC dc = c.DC.get();
  EXPECT_EQ(SaveDC(dc), 1);
  IntersectClipRect(dc, 0, 0, 10, 10);
  SetTextColor(dc, Red);
  SetViewportOrgEx(dc, 2, 2, nullptr);
  EXPECT_EQ(SaveDC(dc), 2);
  IntersectClipRect(dc, 0, 0, 2, 2);
  SetBkMode(dc, TRANSPARENT);
  EXPECT_EQ(SaveDC(dc), 3);
  SetViewportOrgEx(dc, 9, 9, nullptr);
  RECT box;
  EXPECT_TRUE(RestoreDC(dc, -1));
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 2, 2}));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_TRUE(RestoreDC(dc, 2));
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{-2, -2, 8, 8}));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetTextColor(dc), Red);
  EXPECT_FALSE(RestoreDC(dc, 2)) << "level 2 was dropped by restoring it";
  EXPECT_TRUE(RestoreDC(dc, -1));
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 20, 16}));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_FALSE(RestoreDC(dc, -1));
  EXPECT_FALSE(RestoreDC(dc, 0));
}

// The saver restores its own level even when a scope inside it saved again
// and left without restoring, and a later save gets the level back.
TEST(DeviceContext, ScopedSaveDCRestoresItsLevelAtTheEndOfTheScope) {
  Canvas c;
  HDC dc = c.DC.get();
  RECT box;
  {
    const ScopedSaveDC outer(dc);
    SetTextColor(dc, Red);
    IntersectClipRect(dc, 0, 0, 10, 10);
    {
      const ScopedSaveDC inner(dc);
      SetViewportOrgEx(dc, 3, 3, nullptr);
      SaveDC(dc); // left unrestored on purpose
      SetBkMode(dc, TRANSPARENT);
    }
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextColor(dc), Red);
  }
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{0, 0, 20, 16}));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(SaveDC(dc), 1);
  const ScopedSaveDC none(nullptr); // a failed save restores nothing
}

TEST(DeviceContext, SystemClipAndDeviceOriginOfWindowDCs) {
  Canvas c;
  HDC dc = c.DC.get();
  // A child window at (6, 4) in its top-level window's bitmap, partly covered
  // so that only device (0, 0, 8, 6) minus (4, 0, 8, 3) is visible.
  dc->SetDeviceOrigin({6, 4});
  const Region visible = Region(TRect{0, 0, 8, 6}).Subtract(Region(TRect{4, 0, 8, 3}));
  dc->SetSystemClip(&visible);
  POINT org;
  EXPECT_TRUE(GetDCOrgEx(dc, &org));
  EXPECT_EQ(org, (POINT{6, 4}));
  // The user clip sits inside the system clip, and survives RestoreDC's state
  // round trip while the system clip is untouched by it.
  SaveDC(dc);
  IntersectClipRect(dc, 2, 1, 20, 20);
  c.Fill({-100, -100, 100, 100});
  RestoreDC(dc, -1);
  Bitmap expected = pixelcheck::Filled(20, 16, Back);
  Paint(expected, {8, 7, 14, 10}, Opaque(Red));
  Paint(expected, {8, 5, 10, 7}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "system-clip"));
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 8, 6}));
  dc->SetSystemClip(nullptr);
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (RECT{-6, -4, 14, 12}));
}

TEST(DeviceContext, NothingIsDrawnWithoutABitmapOrVisibleArea) {
  DCHolder dc{CreateCompatibleDC(nullptr)};
  const RECT r{0, 0, 5, 5};
  EXPECT_TRUE(FillSolidRect(dc.get(), &r, Red));
  RECT box;
  EXPECT_EQ(GetClipBox(dc.get(), &box), NULLREGION);
  EXPECT_EQ(GetPixel(dc.get(), 0, 0), CLR_INVALID);
  Canvas c;
  IntersectClipRect(c.DC.get(), 5, 5, 5, 9);
  EXPECT_EQ(GetClipBox(c.DC.get(), &box), NULLREGION);
  c.Fill({0, 0, 20, 16});
  EXPECT_TRUE(SameBitmap(c.Pixels, pixelcheck::Filled(20, 16, Back), "empty-clip"));
  EXPECT_FALSE(DeleteDC(nullptr));
  EXPECT_EQ(SaveDC(nullptr), 0);
}

TEST(DeviceContext, StretchModeIsKeptSavedAndRestoredAndLeavesStretchingAlone) {
  Canvas c;
  HDC dc = c.DC.get();
  EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc, 0), 0);
  EXPECT_EQ(SetStretchBltMode(dc, 5), 0);
  EXPECT_EQ(SetStretchBltMode(nullptr, COLORONCOLOR), 0);
  EXPECT_EQ(GetStretchBltMode(nullptr), 0);
  EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
  SaveDC(dc);
  EXPECT_EQ(SetStretchBltMode(dc, STRETCH_DELETESCANS), HALFTONE);
  RestoreDC(dc, -1);
  EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);

  // A 2 x 1 source of two colours doubled: whole pixels, no blend in between.
  Bitmap source(2, 1);
  source.SetPixel(0, 0, 0xFF000000);
  source.SetPixel(1, 0, 0xFFFFFFFF);
  DCHolder sourceDC{CreateCompatibleDC(nullptr)};
  SelectObject(sourceDC.get(), &source);
  EXPECT_TRUE(StretchBlt(dc, 0, 0, 4, 1, sourceDC.get(), 0, 0, 2, 1, SRCCOPY));
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(c.Pixels.Pixel(x, 0), x < 2 ? 0xFF000000u : 0xFFFFFFFFu) << x;
}
