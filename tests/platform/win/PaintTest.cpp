// Update regions, RedrawWindow flag combinations, the paint cycle and the
// clipping of window device contexts.

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/win/WindowHost.h"
#include "support/WinTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Names = std::vector<std::string>;

namespace {

Names PaintMessages() {
  return Log::Get().Only({WM_PAINT, WM_NCPAINT, WM_ERASEBKGND});
}

class PaintTest : public ::testing::Test {
protected:
  void SetUp() override {
    Reset();
    Build(0);
  }
  void TearDown() override { Reset(); }
  void Build(DWORD aParentClip) {
    Reset();
    fParent = Make("P", WS_POPUP | WS_VISIBLE | aParentClip, Bounds(0, 0, 200, 100));
    fC1 = Make("C1", WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(10, 10, 40, 40), fParent);
    fC2 = Make("C2", WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(100, 10, 40, 40), fParent);
    PumpUntilIdle();
    Log::Get().Clear();
  }
  HWND fParent = nullptr, fC1 = nullptr, fC2 = nullptr;
};

struct RedrawCase {
  const char* Name;
  DWORD ParentStyle;
  UINT Flags;
  Names Now;   // during RedrawWindow
  Names Later; // from the loop afterwards
};

TEST_F(PaintTest, RedrawWindowFlagCombinations) {
  const RedrawCase cases[] = {
      {"invalidate reaches children of a parent that does not clip them",
       0,
       RDW_INVALIDATE,
       {},
       {"P:WM_PAINT", "C2:WM_PAINT", "C2:WM_NCPAINT", "C1:WM_PAINT", "C1:WM_NCPAINT"}},
      {"erase adds WM_ERASEBKGND after the frame",
       0,
       RDW_INVALIDATE | RDW_ERASE,
       {},
       {"P:WM_PAINT", "P:WM_ERASEBKGND", "C2:WM_PAINT", "C2:WM_NCPAINT", "C2:WM_ERASEBKGND",
        "C1:WM_PAINT", "C1:WM_NCPAINT", "C1:WM_ERASEBKGND"}},
      {"update now paints at once, parent first",
       0,
       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW,
       {"P:WM_PAINT", "P:WM_ERASEBKGND", "C2:WM_PAINT", "C2:WM_NCPAINT", "C2:WM_ERASEBKGND",
        "C1:WM_PAINT", "C1:WM_NCPAINT", "C1:WM_ERASEBKGND"},
       {}},
      {"erase now: frame and background at once, WM_PAINT later",
       0,
       RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW,
       {"P:WM_ERASEBKGND", "C2:WM_NCPAINT", "C2:WM_ERASEBKGND", "C1:WM_NCPAINT",
        "C1:WM_ERASEBKGND"},
       {"P:WM_PAINT", "C2:WM_PAINT", "C1:WM_PAINT"}},
      {"no children", 0, RDW_INVALIDATE | RDW_NOCHILDREN, {}, {"P:WM_PAINT"}},
      {"clip children keeps invalidation in the parent",
       WS_CLIPCHILDREN,
       RDW_INVALIDATE,
       {},
       {"P:WM_PAINT"}},
      {"all children overrides clip children",
       WS_CLIPCHILDREN,
       RDW_INVALIDATE | RDW_ALLCHILDREN,
       {},
       {"P:WM_PAINT", "C2:WM_PAINT", "C2:WM_NCPAINT", "C1:WM_PAINT", "C1:WM_NCPAINT"}},
      {"no frame only matters when validating: invalidated children still get their frames",
       0,
       RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_NOFRAME,
       {"P:WM_PAINT", "C2:WM_PAINT", "C2:WM_NCPAINT", "C1:WM_PAINT", "C1:WM_NCPAINT"},
       {}},
      {"the whole tree with frames at once, through a parent that clips its children",
       WS_CLIPCHILDREN,
       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW,
       {"P:WM_PAINT", "P:WM_ERASEBKGND", "C2:WM_PAINT", "C2:WM_NCPAINT", "C2:WM_ERASEBKGND",
        "C1:WM_PAINT", "C1:WM_NCPAINT", "C1:WM_ERASEBKGND"},
       {}},
      {"no erase cancels erasing",
       0,
       RDW_INVALIDATE | RDW_ERASE | RDW_NOERASE | RDW_NOCHILDREN,
       {},
       {"P:WM_PAINT"}},
  };
  for (const RedrawCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Build(c.ParentStyle);
    RedrawWindow(fParent, nullptr, nullptr, c.Flags);
    EXPECT_THAT(PaintMessages(), ElementsAreArray(c.Now));
    Log::Get().Clear();
    PumpUntilIdle();
    EXPECT_THAT(PaintMessages(), ElementsAreArray(c.Later));
  }
}

TEST_F(PaintTest, FrameFlagOnAChildPaintsItsFrame) {
  RedrawWindow(fC1, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  PumpUntilIdle();
  EXPECT_THAT(PaintMessages(), ElementsAre("C1:WM_PAINT", "C1:WM_NCPAINT"));
  Log::Get().Clear();
  // Without RDW_FRAME only the client is invalid.
  RedrawWindow(fC1, nullptr, nullptr, RDW_INVALIDATE);
  PumpUntilIdle();
  EXPECT_THAT(PaintMessages(), ElementsAre("C1:WM_PAINT"));
}

TEST_F(PaintTest, InvalidationsAccumulateIntoOnePaint) {
  RECT seen{};
  Log::Get().Override = [&](HWND aWnd, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_PAINT || aWnd != fParent)
      return false;
    PAINTSTRUCT ps;
    BeginPaint(aWnd, &ps);
    seen = ps.rcPaint;
    EndPaint(aWnd, &ps);
    aAnswer = 0;
    return true;
  };
  const RECT a = Rect(0, 0, 5, 5), b = Rect(50, 60, 70, 80);
  InvalidateRect(fParent, &a, FALSE);
  InvalidateRect(fParent, &b, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(fParent, &update, FALSE));
  EXPECT_EQ(update, Rect(0, 0, 70, 80));
  PumpUntilIdle();
  EXPECT_THAT(Log::Get().Only({WM_PAINT}), ElementsAre("P:WM_PAINT"));
  EXPECT_EQ(seen, Rect(0, 0, 70, 80));
  EXPECT_FALSE(GetUpdateRect(fParent, &update, FALSE));
}

TEST_F(PaintTest, InvalidatingDuringPaintGivesAnotherPaint) {
  int paints = 0;
  Log::Get().Override = [&](HWND aWnd, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_PAINT || aWnd != fParent)
      return false;
    ++paints;
    PAINTSTRUCT ps;
    BeginPaint(aWnd, &ps);
    EndPaint(aWnd, &ps);
    // An animation asks for the next frame while painting this one.
    if (paints < 3)
      InvalidateRect(aWnd, nullptr, FALSE);
    aAnswer = 0;
    return true;
  };
  InvalidateRect(fParent, nullptr, FALSE);
  PumpUntilIdle();
  EXPECT_EQ(paints, 3);
}

TEST_F(PaintTest, AProcedureThatDoesNotValidateIsNotPaintedForever) {
  Log::Get().Override = [](HWND, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    aAnswer = 0;
    return aMsg == WM_PAINT;
  };
  InvalidateRect(fParent, nullptr, FALSE);
  EXPECT_LT(PumpUntilIdle(), 10);
}

TEST_F(PaintTest, ValidatingAPendingEraseErasesAfterThePaint) {
  // A paint handler that asks for erasing and validates at once: the erase
  // comes after WM_PAINT returns and no further WM_PAINT follows.
  Build(WS_CLIPCHILDREN);
  Log::Get().Override = [&](HWND aWnd, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_PAINT || aWnd != fParent)
      return false;
    InvalidateRect(aWnd, nullptr, TRUE);
    ValidateRect(aWnd, nullptr);
    aAnswer = 0;
    return true;
  };
  RedrawWindow(fParent, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  PumpUntilIdle();
  EXPECT_THAT(PaintMessages(), ElementsAre("P:WM_PAINT", "P:WM_ERASEBKGND"));
  Log::Get().Clear();
  // With RDW_NOERASE the pending erase goes away with the validation.
  Log::Get().Override = [&](HWND aWnd, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_PAINT || aWnd != fParent)
      return false;
    InvalidateRect(aWnd, nullptr, TRUE);
    RedrawWindow(aWnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
    aAnswer = 0;
    return true;
  };
  RedrawWindow(fParent, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  PumpUntilIdle();
  EXPECT_THAT(PaintMessages(), ElementsAre("P:WM_PAINT"));
}

TEST_F(PaintTest, ValidateRemovesPendingPaint) {
  InvalidateRect(fParent, nullptr, TRUE);
  ValidateRect(fParent, nullptr);
  PumpUntilIdle();
  EXPECT_THAT(PaintMessages(), ElementsAre("C2:WM_PAINT", "C2:WM_NCPAINT", "C2:WM_ERASEBKGND",
                                           "C1:WM_PAINT", "C1:WM_NCPAINT", "C1:WM_ERASEBKGND"))
      << "validating the parent leaves its children's invalidation";
  Log::Get().Clear();
  const RECT part = Rect(0, 0, 10, 10);
  InvalidateRect(fC1, nullptr, FALSE);
  ValidateRect(fC1, &part);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(fC1, &update, FALSE));
  EXPECT_EQ(update, Rect(0, 0, 38, 38)) << "the bounds of what is left";
}

TEST_F(PaintTest, SetRedrawOffSuppressesInvalidation) {
  SendMessageW(fParent, WM_SETREDRAW, FALSE, 0);
  EXPECT_FALSE(IsWindowVisible(fParent)) << "redrawing off clears the visible bit";
  InvalidateRect(fParent, nullptr, TRUE);
  PumpUntilIdle();
  EXPECT_TRUE(PaintMessages().empty());
  SendMessageW(fParent, WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(IsWindowVisible(fParent));
  PumpUntilIdle();
  EXPECT_TRUE(PaintMessages().empty()) << "switching it on does not repaint by itself";
  RedrawWindow(fParent, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(PaintMessages().size(), 8u);
}

TEST_F(PaintTest, HiddenWindowsGetNoPaint) {
  ShowWindow(fC1, SW_HIDE);
  PumpUntilIdle();
  Log::Get().Clear();
  InvalidateRect(fC1, nullptr, TRUE);
  InvalidateRect(fParent, nullptr, TRUE);
  PumpUntilIdle();
  for (const std::string& m : PaintMessages())
    EXPECT_EQ(m.rfind("C1:", 0), std::string::npos) << m;
}

// Colours of the tests' painting, as pixels of the backing bitmap.
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Green = RGB(0, 255, 0);

std::uint32_t Px(COLORREF aColor) {
  return raster::PixelOf(aColor);
}

// Fills the window's whole client area through GetDC.
void FillClient(HWND aWnd, COLORREF aColor) {
  HDC dc = GetDC(aWnd);
  RECT r;
  GetClientRect(aWnd, &r);
  FillSolidRect(dc, &r, aColor);
  ReleaseDC(aWnd, dc);
}

TEST_F(PaintTest, ClipChildrenKeepsTheParentOffItsChildren) {
  for (const bool clip : {true, false}) {
    SCOPED_TRACE(clip ? "WS_CLIPCHILDREN" : "no WS_CLIPCHILDREN");
    Build(clip ? WS_CLIPCHILDREN : 0);
    FillClient(fC1, Blue);
    FillClient(fParent, Red);
    const Bitmap* frame = TopLevelFrame(fParent);
    ASSERT_TRUE(frame);
    // The child's client starts at (11, 11) inside its one-pixel border.
    EXPECT_EQ(frame->Pixel(20, 20), Px(clip ? Blue : Red));
    EXPECT_EQ(frame->Pixel(5, 5), Px(Red));
    EXPECT_EQ(frame->Pixel(60, 20), Px(Red));
  }
}

TEST_F(PaintTest, AWindowDCIsASourceOfTheWindowsCurrentPixels) {
  Reset();
  HWND p = Make("P", WS_POPUP | WS_VISIBLE | WS_BORDER, Bounds(10, 10, 40, 30));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(5, 5, 10, 10), p);
  // Another top-level window lies over part of it: the copy still shows P.
  HWND over = Make("O", WS_POPUP | WS_VISIBLE, Bounds(30, 20, 40, 40));
  RedrawWindow(nullptr, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  FillClient(p, Red);
  FillClient(c, Blue);
  FillClient(over, Green);
  Bitmap copy(40, 30);
  HDC mem = CreateCompatibleDC(nullptr);
  SelectObject(mem, &copy);
  HDC source = GetWindowDC(p);
  ASSERT_TRUE(source);
  EXPECT_TRUE(BitBlt(mem, 0, 0, 40, 30, source, 0, 0, SRCCOPY));
  ReleaseDC(p, source);
  DeleteDC(mem);
  // Window coordinates: the one-pixel border, then the client at (1, 1).
  EXPECT_EQ(copy.Pixel(0, 0), Px(GetSysColor(COLOR_WINDOWFRAME)));
  EXPECT_EQ(copy.Pixel(3, 3), Px(Red));
  EXPECT_EQ(copy.Pixel(1 + 5 + 2, 1 + 5 + 2), Px(Blue)) << "children are part of the window";
  EXPECT_EQ(copy.Pixel(30, 20), Px(Red)) << "under the other window";
}

TEST_F(PaintTest, ClipSiblingsExcludesSiblingsAbove) {
  Reset();
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND below = Make("Below", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Bounds(0, 0, 60, 60), p);
  HWND above = Make("Above", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, Bounds(30, 30, 60, 60), p);
  FillClient(above, Green);
  FillClient(below, Blue);
  const Bitmap* frame = TopLevelFrame(p);
  EXPECT_EQ(frame->Pixel(10, 10), Px(Blue));
  EXPECT_EQ(frame->Pixel(40, 40), Px(Green)) << "the sibling above is not painted over";
  EXPECT_EQ(frame->Pixel(80, 80), Px(Green));
}

TEST_F(PaintTest, WindowRegionClipsPainting) {
  Reset();
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  FillClient(p, Blue);
  SetWindowRgn(p, CreateRectRgn(0, 0, 50, 100), FALSE);
  FillClient(p, Red);
  const Bitmap* frame = TopLevelFrame(p);
  EXPECT_EQ(frame->Pixel(49, 10), Px(Red));
  EXPECT_EQ(frame->Pixel(50, 10), Px(Blue));
}

TEST_F(PaintTest, BeginPaintClipsToTheUpdateRegion) {
  Reset();
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  PumpUntilIdle();
  FillClient(p, Blue);
  const RECT part = Rect(10, 10, 20, 20);
  InvalidateRect(p, &part, FALSE);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(p, &ps);
  const RECT all = Rect(0, 0, 100, 100);
  FillSolidRect(dc, &all, Red);
  EndPaint(p, &ps);
  const Bitmap* frame = TopLevelFrame(p);
  EXPECT_EQ(frame->Pixel(10, 10), Px(Red));
  EXPECT_EQ(frame->Pixel(19, 19), Px(Red));
  EXPECT_EQ(frame->Pixel(20, 20), Px(Blue));
  EXPECT_EQ(frame->Pixel(9, 9), Px(Blue));
}

TEST_F(PaintTest, EraseFillsWithTheClassBackground) {
  Reset();
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50));
  FillClient(p, Red);
  RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(TopLevelFrame(p)->Pixel(25, 25), Px(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(PaintTest, PrintDrawsFrameBackgroundAndChildrenIntoAnyDC) {
  Reset();
  HWND p = Make("P", WS_POPUP | WS_VISIBLE | WS_BORDER, Bounds(0, 0, 50, 40));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 10, 10), p);
  Log::Get().Clear();
  Bitmap target(50, 40);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &target);
  SendMessageW(p, WM_PRINT, reinterpret_cast<WPARAM>(dc),
               PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN);
  DeleteDC(dc);
  EXPECT_THAT(Log::Get().Only({WM_ERASEBKGND}), ElementsAre("P:WM_ERASEBKGND", "C:WM_ERASEBKGND"));
  EXPECT_EQ(target.Pixel(0, 0), Px(GetSysColor(COLOR_WINDOWFRAME))) << "the thin border";
  EXPECT_EQ(target.Pixel(5, 5), Px(GetSysColor(COLOR_BTNFACE)));
  (void)c;
}

} // namespace
