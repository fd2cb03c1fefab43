// Frame-cache pixels reaching a real window: the frame strips and one
// repainted caption button on the window's whole-window DC, the client part
// on its client DC. What the window shows is read back from its DCs.

#include "skin/frame/sFrameCopy.h"

#include "FrameCacheFixture.h"
#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/win/Paint.h"
#include "skin/frame/sCaptionButtons.h"
#include "skin/paint/pixels/PixelOps.h"

namespace {

using pixelcheck::Opaque;
using pixelcheck::SameBitmap;
using pixelcheck::TPixelMatch;

constexpr TColor kSentinel = 0x00123456;

class FrameCopyTest : public FrameCacheTest {
protected:
  void SetUp() override {
    FrameCacheTest::SetUp();
    fWnd = fForm->Handle();
  }
  // What a DC of the form shows, aWidth x aHeight from its origin.
  platform::Bitmap ReadBack(platform::HDC aDC, int aWidth, int aHeight) {
    platform::Bitmap copy(aWidth, aHeight);
    pixelcheck::DCHolder mem(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(mem.get(), &copy);
    EXPECT_TRUE(platform::BitBlt(mem.get(), 0, 0, aWidth, aHeight, aDC, 0, 0, platform::SRCCOPY));
    return copy;
  }
  // The window DC filled with the sentinel colour.
  platform::HDC SentinelWindowDC() {
    platform::HDC dc = platform::GetWindowDC(fWnd);
    FillRectOnDC(dc, {0, 0, 300, 200}, kSentinel);
    return dc;
  }
  // The sentinel with the pixels of aCache in aRects.
  static platform::Bitmap Composed(const platform::Bitmap& aCache,
                                   const std::vector<TRect>& aRects) {
    platform::Bitmap bmp = pixelcheck::Filled(aCache.Width(), aCache.Height(), Opaque(kSentinel));
    for (const TRect& r : aRects)
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
          bmp.SetPixel(x, y, aCache.Pixel(x, y));
    return bmp;
  }

  // The form's client area after PaintClientArea for a view of the form's
  // client size.
  platform::Bitmap PaintedClient(TsFrameView& aView) {
    aView.ClientSize = {fForm->ClientWidth(), fForm->ClientHeight()};
    platform::HDC dc = platform::GetDC(fWnd);
    PaintClientArea(*fData, fTitle, aView, fLayout, fWnd, dc);
    platform::Bitmap shown = ReadBack(dc, aView.ClientSize.cx, aView.ClientSize.cy);
    platform::ReleaseDC(fWnd, dc);
    return shown;
  }

  platform::HWND fWnd = nullptr;
};

// The form's window is 300 x 200; the view has a 22-pixel header and
// 3-pixel borders.
TEST_F(FrameCopyTest, TheFourFrameStripsReachTheWindow) {
  const TsFrameView view = SingleView(300, 200);
  const auto strips = FrameStrips(view);
  EXPECT_EQ(strips[0], (TRect{0, 0, 300, 22}));
  EXPECT_EQ(strips[1], (TRect{0, 22, 3, 200}));
  EXPECT_EQ(strips[2], (TRect{297, 22, 300, 200}));
  EXPECT_EQ(strips[3], (TRect{3, 197, 297, 200}));

  platform::HDC dc = SentinelWindowDC();
  CopyFrameToDC(*fData, fTitle, view, fLayout, dc);
  EXPECT_FALSE(fData->BGChanged) << "a stale cache is rebuilt first";
  const platform::Bitmap shown = ReadBack(dc, 300, 200);
  platform::ReleaseDC(fWnd, dc);
  EXPECT_TRUE(SameBitmap(shown, Composed(*fData->CacheBmp(), {strips.begin(), strips.end()}),
                         "copy-strips", TPixelMatch::ColorOnly));
}

TEST_F(FrameCopyTest, RepaintButtonChangesOnlyTheButtonsPixels) {
  const TsFrameView view = SingleView(300, 200);
  const platform::Bitmap before = Paint(view);
  platform::HDC dc = SentinelWindowDC();
  struct Case {
    int Hit;
    TqcCaptionButtonState State;
    bool Active;
    TFrameImage Image;
    TPoint At;
  };
  for (const Case& c : {Case{platform::HTCLOSE, cbsHot, true, fiClose, CloseAt(300)},
                        Case{platform::HTCLOSE, cbsPressed, true, fiClose, CloseAt(300)},
                        Case{platform::HTMAXBUTTON, cbsHot, false, fiMax, MaxAt(300)},
                        Case{platform::HTMINBUTTON, cbsPressed, false, fiMin, MinAt(300)}}) {
    TsFrameView shown = view;
    shown.Active = c.Active;
    const platform::Bitmap plain = Paint(shown);
    CaptionButtonOf(fLayout, c.Hit)->State = c.State;
    RepaintButton(*fData, fTitle, shown, fLayout, c.Hit, dc);
    // The button's rectangle over the title colour, the rest as it was.
    platform::Bitmap expected = plain;
    const TRect r = Bounds(c.At.X, c.At.Y, kButtonW, kButtonH);
    pixelcheck::Paint(expected, r, Opaque(c.Active ? kTitleHotColor : kTitleColor));
    PaintButtonFrame(expected, c.At, c.Image, c.State, false);
    EXPECT_TRUE(SameBitmap(*fData->CacheBmp(), expected, "repaint-cache"));
    EXPECT_TRUE(SameBitmap(ReadBack(dc, 300, 200), Composed(*fData->CacheBmp(), {r}),
                           "repaint-window", TPixelMatch::ColorOnly));
    FillRectOnDC(dc, {0, 0, 300, 200}, kSentinel);
    // Back to normal, the button looks as the rebuilt frame drew it.
    CaptionButtonOf(fLayout, c.Hit)->State = cbsNormal;
    RepaintButton(*fData, fTitle, shown, fLayout, c.Hit, nullptr);
    EXPECT_TRUE(SameBitmap(*fData->CacheBmp(), plain, "repaint-back"));
  }
  platform::ReleaseDC(fWnd, dc);
  EXPECT_TRUE(SameBitmap(Paint(view), before, "repaint-rebuilt"));
}

TEST_F(FrameCopyTest, RepaintButtonLeavesAStaleCacheToTheNextPaint) {
  const TsFrameView view = SingleView(300, 200);
  const platform::Bitmap before = Paint(view);
  fData->BGChanged = true;
  fLayout.Buttons.Close.State = cbsHot;
  RepaintButton(*fData, fTitle, view, fLayout, platform::HTCLOSE, nullptr);
  EXPECT_TRUE(SameBitmap(*fData->CacheBmp(), before, "repaint-stale"));
  for (int hit : {0, int(platform::HTCAPTION), HTTITLEBUTTON})
    EXPECT_EQ(CaptionButtonOf(fLayout, hit), nullptr) << hit;
}

// In a window 25 wide the close button lies at 8 to 20, maximize at -5 to 7
// and minimize at -18 to -6, both left of where the icon's place ends (6):
// the rebuilt frame shows what lies inside, a repaint leaves them alone.
TEST_F(FrameCopyTest, ButtonsOfANarrowWindowAreCutAtItsEdge) {
  const TsFrameView view = SingleView(25, 60);
  const platform::Bitmap before = Paint(view);
  EXPECT_EQ(before.Pixel(6, 14), ButtonPixel(fiMax, 0));
  platform::Bitmap window = pixelcheck::Filled(25, 60, Opaque(kSentinel));
  pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
  platform::SelectObject(dc.get(), &window);
  for (int hit : {int(platform::HTMINBUTTON), int(platform::HTMAXBUTTON)}) {
    CaptionButtonOf(fLayout, hit)->State = cbsHot;
    RepaintButton(*fData, fTitle, view, fLayout, hit, dc.get());
  }
  EXPECT_TRUE(SameBitmap(*fData->CacheBmp(), before, "narrow-left"));
  EXPECT_EQ(pixelcheck::ChangedBox(window, Opaque(kSentinel)), TRect{});
  fLayout.Buttons.Close.State = cbsHot;
  RepaintButton(*fData, fTitle, view, fLayout, platform::HTCLOSE, dc.get());
  EXPECT_EQ(pixelcheck::ChangedBox(window, Opaque(kSentinel)), (TRect{8, 5, 20, 15}));
}

TEST_F(FrameCopyTest, APlainFormFillsItsClientAreaWithItsColour) {
  ASSERT_TRUE(PlainForm(*fData));
  TsFrameView view = SingleView(300, 200);
  const platform::Bitmap shown = PaintedClient(view);
  EXPECT_TRUE(SameBitmap(
      shown, pixelcheck::Filled(view.ClientSize.cx, view.ClientSize.cy, Opaque(kFormHotColor)),
      "client-plain", TPixelMatch::ColorOnly));
}

TEST_F(FrameCopyTest, ATexturedFormCopiesTheClientPartOfItsCache) {
  UseSkin(VerdantSkinName);
  ASSERT_FALSE(PlainForm(*fData));
  TsFrameView view = SingleView(300, 200);
  const platform::Bitmap shown = PaintedClient(view);
  const TPoint offset = ClientOffset(view);
  EXPECT_EQ(offset, (TPoint{(300 - view.ClientSize.cx) / 2, 200 - view.ClientSize.cy - 3}));
  platform::Bitmap expected(view.ClientSize.cx, view.ClientSize.cy);
  platform::raster::Copy(expected, expected.BoundsRect(), *fData->CacheBmp(), offset);
  EXPECT_TRUE(SameBitmap(shown, expected, "client-textured", TPixelMatch::ColorOnly));
}

} // namespace
