// The default non-client painting, pixel for pixel: a classic sizing frame
// (outer raised edge, the border band, an inner face-coloured ring), the
// caption band in the active or inactive caption colour with a face-coloured
// line below it, and the client area erased in the class colour.

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/Text.h"
#include "platform/win/Menu.h"
#include "platform/win/NonClient.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowHost.h"
#include "support/PixelCheck.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;

namespace {

std::uint32_t Px(int aColorIndex) {
  return raster::PixelOf(GetSysColor(aColorIndex));
}

void Fill(Bitmap& aBitmap, TRect aRect, int aColorIndex) {
  raster::Fill(aBitmap, aRect.Intersect(aBitmap.BoundsRect()), Px(aColorIndex));
}

// Top and left lines in one colour, bottom and right lines in another; the
// bottom-right corner pixels belong to the bottom and right lines.
void Edge(Bitmap& aBitmap, TRect aRect, int aTopLeft, int aBottomRight) {
  Fill(aBitmap, {aRect.Left, aRect.Top, aRect.Right - 1, aRect.Top + 1}, aTopLeft);
  Fill(aBitmap, {aRect.Left, aRect.Top, aRect.Left + 1, aRect.Bottom - 1}, aTopLeft);
  Fill(aBitmap, {aRect.Left, aRect.Bottom - 1, aRect.Right, aRect.Bottom}, aBottomRight);
  Fill(aBitmap, {aRect.Right - 1, aRect.Top, aRect.Right, aRect.Bottom}, aBottomRight);
}

TRect Inset(TRect aRect, int aBy) {
  return {aRect.Left + aBy, aRect.Top + aBy, aRect.Right - aBy, aRect.Bottom - aBy};
}

Bitmap ExpectedFrame(TSize aSize, bool aActive) {
  Bitmap b(aSize.cx, aSize.cy);
  const TRect whole{0, 0, aSize.cx, aSize.cy};
  const int border = GetSystemMetrics(SM_CXFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  Fill(b, whole, aActive ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
  Edge(b, whole, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
  Edge(b, Inset(whole, 1), COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  Edge(b, Inset(whole, border - 1), COLOR_BTNFACE, COLOR_BTNFACE);
  const TRect band{border, border, aSize.cx - border, border + caption - 1};
  Fill(b, band, aActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  Fill(b, {band.Left, band.Bottom, band.Right, band.Bottom + 1}, COLOR_BTNFACE);
  // The client area, erased with the class brush (button face).
  Fill(b, {border, border + caption, aSize.cx - border, aSize.cy - border}, COLOR_BTNFACE);
  return b;
}

void ExpectFrame(HWND aWnd, const Bitmap& aExpected, const char* aName) {
  const Bitmap* actual = TopLevelFrame(aWnd);
  ASSERT_TRUE(actual);
  EXPECT_TRUE(pixelcheck::SameBitmap(*actual, aExpected, std::string("frame-") + aName));
}

TEST(FramePaintTest, SizingFrameWithCaptionActiveAndInactive) {
  Reset();
  const TSize size{120, 70};
  // No system menu (no buttons) and no text: every pixel follows the rules
  // above.
  HWND a =
      CreateWindowExW(0, RecordingClass(), "", WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE,
                      10, 10, size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
  PumpUntilIdle();
  ExpectFrame(a, ExpectedFrame(size, true), "active");
  HWND b = Make("B", WS_POPUP | WS_VISIBLE, Bounds(300, 300, 10, 10));
  PumpUntilIdle();
  ASSERT_EQ(GetActiveWindow(), b);
  ExpectFrame(a, ExpectedFrame(size, false), "inactive");
  Reset();
}

TEST(FramePaintTest, CloseButtonIsDrawnPressedWhileHeld) {
  Reset();
  HWND a = Make("", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, Bounds(10, 10, 120, 60));
  PumpUntilIdle();
  const Bitmap before = *TopLevelFrame(a);
  const int border = GetSystemMetrics(SM_CXDLGFRAME);
  const int width = GetSystemMetrics(SM_CXSIZE);
  // The button's face sits one pixel inside its column and two below the
  // caption's top; raised, its top-left line is light.
  const TPoint corner{120 - border - width + 1, border + 2};
  EXPECT_EQ(before.Pixel(corner.X, corner.Y), Px(COLOR_3DLIGHT));
  // Press and hold: the tracking loop repaints the button sunken.
  std::uint32_t during = 0;
  InputMouseButton(MouseButton::Left, true, {10 + corner.X + 3, 10 + corner.Y + 3});
  InputMouseMove({10 + corner.X + 4, 10 + corner.Y + 3});
  // Taken after the press has been handled: repaint and look, then release.
  PostMessageW(a, WM_NULL, 0, 0);
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM, LPARAM, LRESULT&) {
    if (aMsg == WM_NULL) {
      UpdateWindow(a);
      during = TopLevelFrame(a)->Pixel(corner.X, corner.Y);
      InputMouseButton(MouseButton::Left, false, {0, 0});
    }
    return false;
  };
  PumpUntilIdle();
  EXPECT_EQ(during, Px(COLOR_3DDKSHADOW));
  EXPECT_TRUE(IsWindow(a)) << "released away from the button: no command";
  Reset();
}

Bitmap Crop(const Bitmap& aBitmap, const TRect& aRect) {
  Bitmap out(aRect.Width(), aRect.Height());
  for (int y = 0; y < aRect.Height(); ++y)
    for (int x = 0; x < aRect.Width(); ++x)
      out.SetPixel(x, y, aBitmap.Pixel(aRect.Left + x, aRect.Top + y));
  return out;
}

TEST(FramePaintTest, CaptionTextIsInTheNonClientCaptionFont) {
  Reset();
  const TSize size{160, 60};
  const char* title = "Wg Caption";
  const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  HWND a = CreateWindowExW(0, RecordingClass(), title, style, 10, 10, size.cx, size.cy, nullptr,
                           nullptr, nullptr, nullptr);
  PumpUntilIdle();
  NONCLIENTMETRICSW metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  EXPECT_EQ(metrics.lfCaptionFont.lfWeight, FW_BOLD);
  // The caption band with the title 4 pixels in, centred, in that font.
  const TRect band = ComputeFrame(style, 0, size).Caption;
  Bitmap expected(size.cx, size.cy);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &expected);
  FillSolidRect(dc, &band, GetSysColor(COLOR_ACTIVECAPTION));
  HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
  SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
  RECT text{band.Left + 4, band.Top, band.Right, band.Bottom};
  DrawTextW(dc, title, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  DeleteDC(dc);
  DeleteObject(font);
  EXPECT_TRUE(
      pixelcheck::SameBitmap(Crop(*TopLevelFrame(a), band), Crop(expected, band), "caption-font"));
  Reset();
}

TEST(FramePaintTest, CloseButtonGreysWithTheSystemMenusClose) {
  Reset();
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  const TSize size{120, 60};
  HWND a = Make("", style, Bounds(10, 10, size.cx, size.cy));
  PumpUntilIdle();
  // The glyph's first pixel: the top-left end of a diagonal, centred in the
  // button face (one pixel inside its column, two below the caption's top).
  const TRect column =
      CaptionButtonRect(ComputeFrame(style, 0, size), style, 0, CaptionButton::Close);
  const TRect face{column.Left + 1, column.Top + 2, column.Right - 2, column.Bottom - 2};
  const int glyph = std::min(face.Width(), face.Height()) - 6;
  const TPoint ink{face.Left + (face.Width() - glyph) / 2, face.Top + (face.Height() - glyph) / 2};
  EXPECT_EQ(TopLevelFrame(a)->Pixel(ink.X, ink.Y), Px(COLOR_BTNTEXT));
  EnableMenuItem(GetSystemMenu(a, FALSE), UINT(SC_CLOSE), MF_GRAYED);
  PumpUntilIdle();
  EXPECT_EQ(TopLevelFrame(a)->Pixel(ink.X, ink.Y), Px(COLOR_GRAYTEXT)) << "repainted at once";
  // Pressed, it neither goes down nor closes.
  const POINT at{10 + face.Left + 3, 10 + face.Top + 3};
  InputMouseMove(at);
  InputMouseButton(MouseButton::Left, true, at);
  PostMessageW(a, WM_NULL, 0, 0);
  std::uint32_t during = 0;
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM, LPARAM, LRESULT&) {
    if (aMsg == WM_NULL) {
      UpdateWindow(a);
      during = TopLevelFrame(a)->Pixel(face.Left, face.Top);
      InputMouseButton(MouseButton::Left, false, at);
    }
    return false;
  };
  PumpUntilIdle();
  EXPECT_EQ(during, Px(COLOR_3DLIGHT)) << "still raised";
  EXPECT_TRUE(IsWindow(a));
  Reset();
}

} // namespace
