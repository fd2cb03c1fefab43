// The scroll-window adapter on a foreign window (no toolkit control): it
// replaces the platform procedure, makes room for both bars, paints them and
// the corner square, hands WM_NCPAINT on without native bars painted over
// its own, and shows no thumb and sends no thumb track where there is
// nothing to scroll.

#include "skin/controls/qcScrollWnd.h"

#include "ScrollAdapterFixture.h"
#include "platform/win/DefWindowProc.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;

std::vector<WPARAM>& ForeignScrolls() {
  static std::vector<WPARAM> steps;
  return steps;
}

LRESULT ForeignProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  if (aMsg == WM_VSCROLL || aMsg == WM_HSCROLL)
    ForeignScrolls().push_back(aWParam);
  return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
}

const char* ForeignClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = ForeignProc;
    wc.lpszClassName = "TqcForeign";
    wc.hbrBackground = HBRUSH(std::uintptr_t(COLOR_WINDOW + 1));
    return RegisterClassExW(&wc) != 0;
  }();
  return registered ? "TqcForeign" : nullptr;
}

class ForeignAdapterTest : public ScrollAdapterTest {
protected:
  // A 120 x 100 window with both bars at (30, 30) of the form; the vertical
  // range fits its page, the horizontal one scrolls.
  HWND MakeForeign() {
    ForeignScrolls().clear();
    fWnd = CreateWindowExW(0, ForeignClass(), "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                           30, 30, 120, 100, fForm->Handle(), nullptr, nullptr, nullptr);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMax = 9;
    si.nPage = 10;
    SetScrollInfo(fWnd, SB_VERT, &si, FALSE);
    si.nMax = 99;
    SetScrollInfo(fWnd, SB_HORZ, &si, FALSE);
    PumpUntilIdle();
    return fWnd;
  }
  Bitmap ShotOf(const TRect& aR) const {
    PumpUntilIdle();
    return pixelcheck::WindowShot(fWnd, aR);
  }
  TPoint WndOnScreen(int aX, int aY) const {
    RECT r;
    GetWindowRect(fWnd, &r);
    return {r.Left + aX, r.Top + aY};
  }

  // A foreign window's adapter names its section.
  std::unique_ptr<TqcScrollWnd> Adapt() {
    TqcSkinParams params;
    params.SkinSection = "EDIT";
    return std::make_unique<TqcScrollWnd>(fWnd, nullptr, fManager.get(), params);
  }

  HWND fWnd = nullptr;
};

TEST_F(ForeignAdapterTest, ReplacesThePlatformProcedureAndPaintsBothBars) {
  MakeForeign();
  const auto original = GetWindowLongPtrW(fWnd, GWLP_WNDPROC);
  auto adapter = Adapt();
  EXPECT_NE(GetWindowLongPtrW(fWnd, GWLP_WNDPROC), original);
  EXPECT_EQ(TqcMainWnd::Of(fWnd), adapter.get());
  RECT client;
  GetClientRect(fWnd, &client);
  EXPECT_EQ(client, Rect(0, 0, 120 - kBar, 100 - kBar));
  RedrawWindow(fWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);

  // Nothing to scroll vertically: no thumb, the track split at its middle.
  TBarLook look;
  look.Split = (100 - kBar) / 2;
  EXPECT_TRUE(SameBitmap(ShotOf({120 - kBar, 0, 120, 100 - kBar}), ExpectedBar(100 - kBar, look),
                         "foreign-vertical"));
  // The corner: the skin's global colour (the track is opaque), no grip
  // away from the form's corner.
  EXPECT_TRUE(SameBitmap(ShotOf(adapter->CornerRect()),
                         pixelcheck::Filled(kBar, kBar, Opaque(kMainColor)), "foreign-corner"));
  EXPECT_EQ(SendMessageW(fWnd, WM_NCHITTEST, 0,
                         MAKELPARAM(WndOnScreen(110, 40).X, WndOnScreen(110, 40).Y)),
            HTVSCROLL);

  // A press where a thumb would be does nothing; an arrow still steps.
  Press(WndOnScreen(120 - 8, 40));
  Release(WndOnScreen(120 - 8, 40));
  EXPECT_TRUE(ForeignScrolls().empty());
  Press(WndOnScreen(120 - 8, 100 - kBar - 5));
  Release(WndOnScreen(120 - 8, 100 - kBar - 5));
  EXPECT_EQ(ForeignScrolls(), (std::vector<WPARAM>{SB_LINEDOWN, SB_ENDSCROLL}));

  adapter.reset();
  EXPECT_EQ(GetWindowLongPtrW(fWnd, GWLP_WNDPROC), original);
  EXPECT_EQ(TqcMainWnd::Of(fWnd), nullptr);
}

TEST_F(ForeignAdapterTest, CornerAtTheFormsBottomRightSizes) {
  MakeForeign();
  auto adapter = Adapt();
  const TPoint corner = WndOnScreen(120 - 5, 100 - 5);
  EXPECT_NE(SendMessageW(fWnd, WM_NCHITTEST, 0, MAKELPARAM(corner.X, corner.Y)),
            LRESULT(HTBOTTOMRIGHT));
  EXPECT_FALSE(adapter->CornerIsGrip());
  // Moved into the form's bottom-right corner, the square is the size grip.
  SetWindowPos(fWnd, nullptr, fForm->ClientWidth() - 120, fForm->ClientHeight() - 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  PumpUntilIdle();
  EXPECT_TRUE(adapter->CornerIsGrip());
  const TPoint moved = WndOnScreen(120 - 5, 100 - 5);
  EXPECT_EQ(SendMessageW(fWnd, WM_NCHITTEST, 0, MAKELPARAM(moved.X, moved.Y)),
            LRESULT(HTBOTTOMRIGHT));
}

TEST_F(ForeignAdapterTest, DestroyingTheWindowDetachesTheAdapter) {
  MakeForeign();
  auto adapter = Adapt();
  DestroyWindow(fWnd);
  EXPECT_TRUE(adapter->Destroyed());
}

} // namespace
