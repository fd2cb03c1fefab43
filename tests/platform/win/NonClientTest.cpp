// Frame geometry and default hit test per border style, derived from the
// system metrics, and the client rectangle WM_NCCALCSIZE gives.

#include "platform/win/NonClient.h"

#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;

namespace {

int M(int aIndex) {
  return GetSystemMetrics(aIndex);
}

struct FrameCase {
  const char* Name;
  DWORD Style;
  DWORD ExStyle;
  int Border;  // frame width on each side
  int Caption; // caption height including its bottom line, 0 without one
  int Edge;    // client edge
};

// Sizing frame: outer 3D edge, the sizing band and the thin line; dialog
// frame: edge and line; thin border: the line.
std::vector<FrameCase> FrameCases() {
  const int sizing = M(SM_CXFRAME);
  const int dialog = M(SM_CXDLGFRAME);
  return {
      {"child without border", WS_CHILD, 0, 0, 0, 0},
      {"popup with thin border", WS_POPUP | WS_BORDER, 0, 1, 0, 0},
      {"popup with dialog frame", WS_POPUP | WS_DLGFRAME, 0, dialog, 0, 0},
      {"overlapped window", WS_OVERLAPPEDWINDOW, 0, sizing, M(SM_CYCAPTION), 0},
      {"dialog with caption", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, dialog,
       M(SM_CYCAPTION), 0},
      {"tool window", WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, WS_EX_TOOLWINDOW, sizing,
       M(SM_CYSMCAPTION), 0},
      {"child with client edge", WS_CHILD, WS_EX_CLIENTEDGE, 0, 0, M(SM_CXEDGE)},
      {"child with border and client edge", WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, 1, 0,
       M(SM_CXEDGE)},
  };
}

TEST(NonClientTest, FrameAndClientPerBorderStyle) {
  const TSize size{300, 200};
  for (const FrameCase& c : FrameCases()) {
    SCOPED_TRACE(c.Name);
    const FrameLayout f = ComputeFrame(c.Style, c.ExStyle, size);
    const int inset = c.Border + c.Edge;
    EXPECT_EQ(f.Client, Rect(inset, inset + c.Caption, size.cx - inset, size.cy - inset));
    if (c.Caption) {
      EXPECT_EQ(f.Caption, Rect(c.Border, c.Border, size.cx - c.Border, c.Border + c.Caption - 1));
      EXPECT_EQ(f.SmallCaption, (c.ExStyle & WS_EX_TOOLWINDOW) != 0);
    } else {
      EXPECT_TRUE(f.Caption.IsEmpty());
    }
    // AdjustWindowRectEx is the inverse.
    RECT r = f.Client;
    AdjustWindowRectEx(&r, c.Style, FALSE, c.ExStyle);
    EXPECT_EQ(r, Rect(0, 0, size.cx, size.cy));
  }
}

TEST(NonClientTest, ScrollBarsTakeTheClientsRightAndBottom) {
  const FrameLayout f = ComputeFrame(WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL, 0, {100, 80});
  const int vs = M(SM_CXVSCROLL), hs = M(SM_CYHSCROLL);
  EXPECT_EQ(f.VScroll, Rect(99 - vs, 1, 99, 79 - hs));
  EXPECT_EQ(f.HScroll, Rect(1, 79 - hs, 99 - vs, 79));
  EXPECT_EQ(f.Client, Rect(1, 1, 99 - vs, 79 - hs));
}

TEST(NonClientTest, DefaultHitTestTable) {
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_VSCROLL;
  const TSize size{300, 200};
  const FrameLayout f = ComputeFrame(style, 0, size);
  const int b = f.Border.Left;
  const int cx = M(SM_CXSIZE), cy = M(SM_CYSIZE);
  const int capY = f.Caption.Top + 3;
  const struct {
    TPoint At;
    LRESULT Hit;
  } cases[] = {
      {{-1, 10}, HTNOWHERE},
      {{300, 10}, HTNOWHERE},
      {{0, 0}, HTTOPLEFT},
      {{cx - 1, 0}, HTTOPLEFT},
      {{cx, 0}, HTTOP},
      {{299, 0}, HTTOPRIGHT},
      {{0, cy - 1}, HTTOPLEFT},
      {{0, cy}, HTLEFT},
      {{299, 100}, HTRIGHT},
      {{0, 199}, HTBOTTOMLEFT},
      {{150, 199}, HTBOTTOM},
      {{299, 199}, HTBOTTOMRIGHT},
      {{299, 199 - cy}, HTRIGHT},
      {{b + 1, capY}, HTSYSMENU},
      {{b + cx, capY}, HTCAPTION},
      {{150, capY}, HTCAPTION},
      {{300 - b - 1, capY}, HTCLOSE},
      {{300 - b - cx - 1, capY}, HTMAXBUTTON},
      {{300 - b - 2 * cx - 1, capY}, HTMINBUTTON},
      {{300 - b - 3 * cx - 1, capY}, HTCAPTION},
      {{150, f.Caption.Bottom}, HTCAPTION},
      {{f.VScroll.Left, 100}, HTVSCROLL},
      {{f.VScroll.Left - 1, 100}, HTCLIENT},
      {{b, f.Client.Top}, HTCLIENT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "at " << c.At.X << "," << c.At.Y);
    EXPECT_EQ(DefaultHitTest(style, 0, size, c.At), c.Hit);
  }
}

TEST(NonClientTest, HitTestOfOtherStyles) {
  const struct {
    const char* Name;
    DWORD Style;
    DWORD ExStyle;
    TPoint At;
    LRESULT Hit;
  } cases[] = {
      {"thin border", WS_POPUP | WS_BORDER, 0, {0, 0}, HTBORDER},
      {"dialog frame edge", WS_POPUP | WS_DLGFRAME, 0, {1, 50}, HTBORDER},
      {"tool window: close only",
       WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
       WS_EX_TOOLWINDOW,
       {300 - M(SM_CXDLGFRAME) - M(SM_CXSMSIZE) - 1, 5},
       HTCAPTION},
      {"tool window: no system menu icon",
       WS_POPUP | WS_CAPTION | WS_SYSMENU,
       WS_EX_TOOLWINDOW,
       {4, 5},
       HTCAPTION},
      {"caption without system menu has no buttons", WS_POPUP | WS_CAPTION, 0, {296, 5}, HTCAPTION},
      {"minimized", WS_OVERLAPPEDWINDOW | WS_MINIMIZE, 0, {150, 100}, HTCAPTION},
      {"plain child", WS_CHILD, 0, {0, 0}, HTCLIENT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(DefaultHitTest(c.Style, c.ExStyle, {300, 200}, c.At), c.Hit);
  }
}

TEST(NonClientTest, WindowsAnswerNcCalcSizeAndHitTestFromTheirStyle) {
  Reset();
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  RECT client;
  GetClientRect(a, &client);
  const FrameLayout f = ComputeFrame(WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS, 0, {300, 200});
  EXPECT_EQ(client, Rect(0, 0, f.Client.Width(), f.Client.Height()));
  EXPECT_EQ(SendMessageW(a, WM_NCHITTEST, 0, MAKELPARAM(250, 105)), HTCAPTION);
  EXPECT_EQ(SendMessageW(a, WM_NCHITTEST, 0, MAKELPARAM(250, 200)), HTCLIENT);
  // A window region limits hit testing.
  SetWindowRgn(a, CreateRectRgn(0, 0, 150, 200), FALSE);
  EXPECT_EQ(SendMessageW(a, WM_NCHITTEST, 0, MAKELPARAM(250, 200)), HTNOWHERE);
  EXPECT_EQ(WindowFromPoint({250, 200}), nullptr);
  EXPECT_EQ(WindowFromPoint({200, 200}), a);
  // A subclass that answers WM_NCCALCSIZE itself decides the client area.
  Log::Get().Override = [](HWND, UINT aMsg, WPARAM aWParam, LPARAM aLParam, LRESULT& aAnswer) {
    if (aMsg != WM_NCCALCSIZE || !aWParam)
      return false;
    auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(aLParam);
    p->rgrc[0] = {p->rgrc[0].Left + 3, p->rgrc[0].Top + 30, p->rgrc[0].Right - 3,
                  p->rgrc[0].Bottom - 3};
    aAnswer = 0;
    return true;
  };
  SetWindowPos(a, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetClientRect(a, &client);
  EXPECT_EQ(client, Rect(0, 0, 294, 167));
  POINT origin{0, 0};
  ClientToScreen(a, &origin);
  EXPECT_EQ(origin, (POINT{103, 130}));
  Reset();
}

} // namespace
