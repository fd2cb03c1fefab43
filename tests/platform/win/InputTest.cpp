// Mouse and keyboard input: targets, capture, leave tracking, activation on
// click, double clicks, keys and characters; caption and border dragging,
// caption buttons and scroll bars through the default handling.

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/win/Cursor.h"
#include "platform/win/NonClient.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/WindowHost.h"
#include "support/WinTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;
using ::testing::ElementsAre;

namespace {

class InputTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override {
    ReleaseCapture();
    Reset();
  }
  static void Click(POINT aAt) {
    InputMouseButton(MouseButton::Left, true, aAt);
    InputMouseButton(MouseButton::Left, false, aAt);
  }
};

TEST_F(InputTest, MouseGoesToTheWindowUnderItInClientCoordinates) {
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), p);
  Log::Get().Clear();
  InputMouseMove({120, 130});
  InputMouseMove({180, 130});
  PumpUntilIdle();
  const auto& recs = Log::Get().Records();
  std::vector<std::tuple<HWND, int, int>> moves;
  for (const Record& r : recs)
    if (r.Msg == WM_MOUSEMOVE)
      moves.emplace_back(r.Wnd, GET_X_LPARAM(r.LParam), GET_Y_LPARAM(r.LParam));
  EXPECT_THAT(moves, ElementsAre(std::make_tuple(c, 10, 20), std::make_tuple(p, 80, 30)));
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor, (POINT{180, 130}));
}

TEST_F(InputTest, CaptureTakesTheMouseAndLosingItIsAnnounced) {
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), p);
  HWND other = Make("O", WS_POPUP | WS_VISIBLE, Bounds(400, 100, 50, 50));
  SetCapture(c);
  EXPECT_EQ(GetCapture(), c);
  Log::Get().Clear();
  InputMouseMove({420, 120});
  PumpUntilIdle();
  ASSERT_THAT(Log::Get().Only({WM_MOUSEMOVE}), ElementsAre("C:WM_MOUSEMOVE"));
  const Record move = Log::Get().Last(WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(move.LParam), 420 - 110);
  EXPECT_EQ(GET_Y_LPARAM(move.LParam), 120 - 110);
  Log::Get().Clear();
  SetCapture(p);
  EXPECT_THAT(Log::Get().Only({WM_CAPTURECHANGED}), ElementsAre("C:WM_CAPTURECHANGED"));
  EXPECT_EQ(HWND(Log::Get().Last(WM_CAPTURECHANGED).LParam), p);
  Log::Get().Clear();
  ReleaseCapture();
  EXPECT_THAT(Log::Get().Only({WM_CAPTURECHANGED}), ElementsAre("P:WM_CAPTURECHANGED"));
  EXPECT_EQ(GetCapture(), nullptr);
  // Destroying the capturing window releases the capture.
  SetCapture(other);
  DestroyWindow(other);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, LeaveTrackingForClientAndNonClient) {
  HWND p = Make("P", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), p);
  POINT inChild{0, 0};
  ClientToScreen(c, &inChild);
  inChild.X += 5;
  inChild.Y += 5;
  InputMouseMove(inChild);
  PumpUntilIdle();
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = c;
  ASSERT_TRUE(TrackMouseEvent(&tme));
  TRACKMOUSEEVENT query;
  query.dwFlags = TME_QUERY;
  TrackMouseEvent(&query);
  EXPECT_EQ(query.hwndTrack, c);
  Log::Get().Clear();
  InputMouseMove({inChild.X + 1, inChild.Y});
  PumpUntilIdle();
  EXPECT_TRUE(Log::Get().Only({WM_MOUSELEAVE}).empty()) << "still inside";
  InputMouseMove({250, 110}); // the caption of P
  PumpUntilIdle();
  EXPECT_THAT(Log::Get().Only({WM_MOUSELEAVE, WM_NCMOUSEMOVE}),
              ElementsAre("C:WM_MOUSELEAVE", "P:WM_NCMOUSEMOVE"));
  // Non-client tracking ends when the mouse enters the client area.
  tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
  tme.hwndTrack = p;
  TrackMouseEvent(&tme);
  Log::Get().Clear();
  InputMouseMove({250, 250});
  PumpUntilIdle();
  EXPECT_THAT(Log::Get().Only({WM_NCMOUSELEAVE, WM_MOUSEMOVE}),
              ElementsAre("P:WM_NCMOUSELEAVE", "P:WM_MOUSEMOVE"));
  // Tracking a window the mouse is not over leaves at once.
  Log::Get().Clear();
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = c;
  TrackMouseEvent(&tme);
  PumpUntilIdle();
  EXPECT_THAT(Log::Get().Only({WM_MOUSELEAVE}), ElementsAre("C:WM_MOUSELEAVE"));
}

TEST_F(InputTest, ClickActivatesAndDoubleClickNeedsTheClassStyle) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND b = Make("B", WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100));
  EXPECT_EQ(GetActiveWindow(), b);
  Log::Get().Clear();
  Click({50, 50});
  Click({50, 50});
  PumpUntilIdle();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_THAT(Log::Get().Only({WM_ACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}),
              ElementsAre("B:WM_ACTIVATE", "A:WM_ACTIVATE", "A:WM_LBUTTONDOWN", "A:WM_LBUTTONUP",
                          "A:WM_LBUTTONDBLCLK", "A:WM_LBUTTONUP"));
  for (const Record& r : Log::Get().Records())
    if (r.Msg == WM_ACTIVATE && r.Wnd == a)
      EXPECT_EQ(LOWORD(r.WParam), WA_CLICKACTIVE);
}

TEST_F(InputTest, DisabledAndNoActivateWindows) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND n = Make("N", WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100), nullptr, WS_EX_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), a) << "a non-activating window does not take activation";
  Click({250, 50});
  PumpUntilIdle();
  EXPECT_EQ(GetActiveWindow(), a);
  EnableWindow(a, FALSE);
  Log::Get().Clear();
  Click({50, 50});
  PumpUntilIdle();
  EXPECT_TRUE(Log::Get().Only({WM_LBUTTONDOWN}).empty()) << "a disabled window gets no clicks";
  (void)n;
}

// A window being disabled takes the mouse from itself and its children (a
// press that opens a modal box leaves the pressed control holding it), and
// only from them.
TEST_F(InputTest, DisablingAWindowTakesTheMouseFromItsSubtreeOnly) {
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 50, 50), p);
  HWND g = Make("G", WS_CHILD | WS_VISIBLE, Bounds(5, 5, 20, 20), c);
  HWND box = Make("Box", WS_POPUP | WS_VISIBLE, Bounds(200, 0, 100, 100));
  for (HWND holder : {p, g, box}) {
    SetCapture(holder);
    Log::Get().Clear();
    EnableWindow(p, FALSE);
    const bool inside = holder != box;
    EXPECT_EQ(GetCapture(), inside ? nullptr : box) << Log::Get().NameOf(holder);
    EXPECT_EQ(Log::Get().Only({WM_CAPTURECHANGED}),
              inside ? std::vector<std::string>{Log::Get().NameOf(holder) + ":WM_CAPTURECHANGED"}
                     : std::vector<std::string>{});
    InputMouseMove({250, 50});
    PumpUntilIdle();
    EXPECT_EQ(Log::Get().Last(WM_MOUSEMOVE).Wnd, box) << "the mouse reaches the other window";
    ReleaseCapture();
    EnableWindow(p, TRUE);
  }
}

TEST_F(InputTest, ClickThroughLayeredWindowsLetTheMousePass) {
  HWND below = Make("Below", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND glow = Make("Glow", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100), nullptr,
                   WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetTopWindow(nullptr), glow);
  EXPECT_EQ(WindowFromPoint({50, 50}), below);
  Log::Get().Clear();
  Click({50, 50});
  PumpUntilIdle();
  EXPECT_EQ(Log::Get().Last(WM_LBUTTONDOWN).Wnd, below);
  // Without WS_EX_TRANSPARENT the layered window takes the mouse.
  SetWindowLongPtrW(glow, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_NOACTIVATE);
  EXPECT_EQ(WindowFromPoint({50, 50}), glow);
}

TEST_F(InputTest, KeysGoToTheFocusWithCharactersAndKeyState) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), a);
  SetFocus(c);
  Log::Get().Clear();
  InputKey('A', true, U'ä');
  PumpUntilIdle();
  EXPECT_LT(GetKeyState('A'), 0) << "down";
  InputKey('A', false, 0);
  PumpUntilIdle();
  EXPECT_GE(GetKeyState('A'), 0);
  EXPECT_THAT(Log::Get().Only({WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
              ElementsAre("C:WM_KEYDOWN", "C:WM_CHAR", "C:WM_KEYUP"));
  for (const Record& r : Log::Get().Records())
    if (r.Msg == WM_CHAR)
      EXPECT_EQ(r.WParam, WPARAM(U'ä'));
}

TEST_F(InputTest, AltKeysAreSystemKeysAndAltF4Closes) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 200, 100));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), a);
  SetFocus(c);
  Log::Get().Clear();
  InputKey(VK_MENU, true, 0);
  InputKey('X', true, U'x');
  InputKey('X', false, 0);
  PumpUntilIdle();
  std::vector<UINT> msgs;
  for (const Record& r : Log::Get().Records())
    if (r.Wnd == c && r.Msg >= WM_KEYDOWN && r.Msg <= WM_SYSCHAR)
      msgs.push_back(r.Msg);
  EXPECT_THAT(msgs, ElementsAre(WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP));
  InputKey(VK_F4, true, 0);
  PumpUntilIdle();
  EXPECT_FALSE(IsWindow(a));
  InputKey(VK_MENU, false, 0);
  PumpUntilIdle();
}

TEST_F(InputTest, AltCharactersAskTheTopLevelWindowForItsMenu) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(0, 0, 200, 100));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), a);
  const struct {
    HWND Focus;
    int Key;
    char32_t Char;
    HWND Asked; // nullptr: nobody
  } cases[] = {{c, VK_SPACE, U' ', a},
               {a, VK_SPACE, U' ', a},
               {a, 'X', U'x', a},
               {c, VK_ESCAPE, 0x1B, nullptr}};
  for (const auto& k : cases) {
    SetFocus(k.Focus);
    PumpUntilIdle();
    Log::Get().Clear();
    InputKey(VK_MENU, true, 0);
    InputKey(k.Key, true, k.Char);
    InputKey(k.Key, false, 0);
    InputKey(VK_MENU, false, 0);
    // Alt+Space opens the system menu; Escape closes it again.
    InputKey(VK_ESCAPE, true, 0x1B);
    InputKey(VK_ESCAPE, false, 0);
    PumpUntilIdle();
    std::vector<std::pair<HWND, LPARAM>> asked;
    for (const Record& r : Log::Get().Records())
      if (r.Msg == WM_SYSCOMMAND && (r.WParam & 0xFFF0) == SC_KEYMENU)
        asked.emplace_back(r.Wnd, r.LParam);
    if (k.Asked)
      EXPECT_THAT(asked, ElementsAre(std::make_pair(k.Asked, LPARAM(k.Char)))) << "key " << k.Key;
    else
      EXPECT_TRUE(asked.empty()) << "key " << k.Key;
  }
}

TEST_F(InputTest, MoveCommandWithoutTheButtonMovesFromTheKeyboard) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 200, 100));
  InputMouseMove({150, 250});
  PumpUntilIdle();
  const auto press = [](int aKey) {
    InputKey(aKey, true, 0);
    InputKey(aKey, false, 0);
  };
  const struct {
    const char* Name;
    std::function<void()> Queue;
    TRect Expected;
  } cases[] = {
      {"arrows move by eight pixels, Enter ends",
       [&] {
         press(VK_RIGHT);
         press(VK_RIGHT);
         press(VK_DOWN);
         press(VK_RETURN);
       },
       Bounds(116, 108, 200, 100)},
      {"Escape puts it back",
       [&] {
         press(VK_LEFT);
         press(VK_ESCAPE);
       },
       Bounds(100, 100, 200, 100)},
      {"the mouse adds its own movement, a click ends",
       [&] {
         press(VK_UP);
         InputMouseMove({180, 255});
         InputMouseButton(MouseButton::Left, true, {180, 255});
         InputMouseButton(MouseButton::Left, false, {180, 255});
       },
       Bounds(130, 97, 200, 100)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    MoveWindow(a, 100, 100, 200, 100, TRUE);
    InputMouseMove({150, 250});
    PumpUntilIdle();
    c.Queue();
    Log::Get().Clear();
    SendMessageW(a, WM_SYSCOMMAND, SC_MOVE, 0);
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_EQ(r, c.Expected);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_THAT(Log::Get().Only({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
                ElementsAre("A:WM_ENTERSIZEMOVE", "A:WM_EXITSIZEMOVE"));
    PumpUntilIdle();
  }
  // Sizing needs the mouse: without the button the command does nothing.
  Log::Get().Clear();
  SendMessageW(a, WM_SYSCOMMAND, SC_SIZE | 8, 0);
  EXPECT_TRUE(Log::Get().Only({WM_ENTERSIZEMOVE}).empty());
}

TEST_F(InputTest, CaptionDragMovesAndBorderDragSizes) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  Log::Get().Clear();
  InputMouseButton(MouseButton::Left, true, {200, 108});
  InputMouseMove({230, 120});
  InputMouseMove({250, 150});
  InputMouseButton(MouseButton::Left, false, {250, 150});
  PumpUntilIdle();
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(150, 142, 300, 200));
  EXPECT_THAT(Log::Get().Only({WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
              ElementsAre("A:WM_NCLBUTTONDOWN", "A:WM_SYSCOMMAND", "A:WM_ENTERSIZEMOVE",
                          "A:WM_EXITSIZEMOVE"));
  // The bottom-right corner sizes; the minimum tracking size holds.
  InputMouseButton(MouseButton::Left, true, {449, 341});
  InputMouseMove({499, 371});
  InputMouseButton(MouseButton::Left, false, {499, 371});
  PumpUntilIdle();
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(150, 142, 350, 230));
  InputMouseButton(MouseButton::Left, true, {449 + 50, 371});
  InputMouseMove({100, 371});
  InputMouseButton(MouseButton::Left, false, {100, 371});
  PumpUntilIdle();
  GetWindowRect(a, &r);
  EXPECT_EQ(r.Width(), GetSystemMetrics(SM_CXMINTRACK));
}

TEST_F(InputTest, CaptionButtonsRunTheirCommandOnlyWhenReleasedOverThem) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  const FrameLayout f = ComputeFrame(WS_OVERLAPPEDWINDOW, 0, {300, 200});
  const TRect close = CaptionButtonRect(f, WS_OVERLAPPEDWINDOW, 0, CaptionButton::Close);
  const TRect max = CaptionButtonRect(f, WS_OVERLAPPEDWINDOW, 0, CaptionButton::Maximize);
  const POINT onClose{100 + close.Left + 3, 100 + close.Top + 5};
  const POINT onMax{100 + max.Left + 3, 100 + max.Top + 5};
  // Pressed on close, released elsewhere: nothing.
  InputMouseButton(MouseButton::Left, true, onClose);
  InputMouseMove({150, 200});
  InputMouseButton(MouseButton::Left, false, {150, 200});
  PumpUntilIdle();
  EXPECT_TRUE(IsWindow(a));
  Log::Get().Clear();
  Click(onMax);
  PumpUntilIdle();
  EXPECT_TRUE(IsZoomed(a));
  ShowWindow(a, SW_RESTORE);
  Click(onClose);
  PumpUntilIdle();
  EXPECT_FALSE(IsWindow(a));
}

TEST_F(InputTest, DoubleClickOnCaptionMaximizes) {
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  // The first click's drag moves nothing; the second press is a double click.
  Click({200, 108});
  InputMouseButton(MouseButton::Left, true, {200, 108});
  InputMouseButton(MouseButton::Left, false, {200, 108});
  PumpUntilIdle();
  EXPECT_TRUE(IsZoomed(a));
}

TEST_F(InputTest, ScrollBarSetInfoClampsPageAndPosition) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE | WS_VSCROLL, Bounds(0, 0, 100, 200));
  const struct {
    int Min, Max;
    UINT Page;
    int Pos;
    UINT WantPage;
    int WantPos;
  } cases[] = {
      {0, 100, 10, 50, 10, 50}, {0, 100, 10, 500, 10, 91}, {0, 100, 10, -5, 10, 0},
      {0, 100, 0, 100, 0, 100}, {0, 9, 20, 3, 10, 0},      {10, 20, 5, 12, 5, 12},
  };
  for (const auto& c : cases) {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = c.Min;
    si.nMax = c.Max;
    si.nPage = c.Page;
    si.nPos = c.Pos;
    EXPECT_EQ(SetScrollInfo(a, SB_VERT, &si, FALSE), c.WantPos);
    SCROLLINFO out;
    out.fMask = SIF_ALL;
    GetScrollInfo(a, SB_VERT, &out);
    EXPECT_EQ(out.nPage, c.WantPage);
    EXPECT_EQ(out.nPos, c.WantPos);
  }
  EXPECT_FALSE(GetScrollInfo(a, SB_CTL, nullptr));
}

TEST_F(InputTest, ScrollBarGeometry) {
  SCROLLINFO si;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 25;
  si.nPos = 0;
  const TRect bar{0, 0, 16, 216};
  ScrollBarLayout l = ComputeScrollBar(bar, true, si);
  EXPECT_EQ(l.ArrowUp, Rect(0, 0, 16, 16));
  EXPECT_EQ(l.ArrowDown, Rect(0, 200, 16, 216));
  EXPECT_EQ(l.Thumb, Rect(0, 16, 16, 16 + 46)) << "a quarter of the 184-pixel track";
  EXPECT_TRUE(l.PageUp.IsEmpty());
  si.nPos = 75; // the last position
  l = ComputeScrollBar(bar, true, si);
  EXPECT_EQ(l.Thumb, Rect(0, 200 - 46, 16, 200));
  EXPECT_EQ(ThumbPosition(bar, true, si, 0, 138), 75);
  EXPECT_EQ(ThumbPosition(bar, true, si, 0, 69), 38) << "half way, rounded";
  EXPECT_EQ(ThumbPosition(bar, true, si, 75, 500), 75);
  si.nPage = 100;
  EXPECT_TRUE(ComputeScrollBar(bar, true, si).Thumb.IsEmpty()) << "nothing to scroll";
}

TEST_F(InputTest, ScrollBarClicksAndThumbDragSendScrollCodes) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE | WS_VSCROLL, Bounds(0, 0, 100, 216));
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMax = 99;
  si.nPage = 25;
  SetScrollInfo(a, SB_VERT, &si, TRUE);
  const FrameLayout f = ComputeFrame(WS_POPUP | WS_VSCROLL, 0, {100, 216});
  const ScrollBarLayout l = ComputeScrollBar(f.VScroll, true, si);
  std::vector<std::pair<int, int>> codes;
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM aWParam, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_VSCROLL)
      return false;
    codes.emplace_back(LOWORD(aWParam), std::int16_t(HIWORD(aWParam)));
    aAnswer = 0;
    return true;
  };
  Click({l.ArrowDown.Left + 2, l.ArrowDown.Top + 2});
  PumpUntilIdle();
  Click({l.PageDown.Left + 2, l.PageDown.Top + 30});
  PumpUntilIdle();
  EXPECT_THAT(codes, ElementsAre(std::pair{int(SB_LINEDOWN), 0}, std::pair{int(SB_ENDSCROLL), 0},
                                 std::pair{int(SB_PAGEDOWN), 0}, std::pair{int(SB_ENDSCROLL), 0}));
  codes.clear();
  const POINT grab{l.Thumb.Left + 4, l.Thumb.Top + 4};
  InputMouseButton(MouseButton::Left, true, grab);
  InputMouseMove({grab.X, grab.Y + 69});
  InputMouseMove({grab.X, grab.Y + 500});
  InputMouseButton(MouseButton::Left, false, {grab.X, grab.Y + 500});
  PumpUntilIdle();
  EXPECT_THAT(codes,
              ElementsAre(std::pair{int(SB_THUMBTRACK), 38}, std::pair{int(SB_THUMBTRACK), 75},
                          std::pair{int(SB_THUMBPOSITION), 75}, std::pair{int(SB_ENDSCROLL), 0}));
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(a, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 75);
}

TEST_F(InputTest, AScrollHandlerMayDestroyItsWindow) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE | WS_VSCROLL, Bounds(0, 0, 100, 216));
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMax = 99;
  si.nPage = 25;
  SetScrollInfo(a, SB_VERT, &si, FALSE);
  Log::Get().Override = [](HWND aWnd, UINT aMsg, WPARAM, LPARAM, LRESULT&) {
    if (aMsg == WM_VSCROLL)
      DestroyWindow(aWnd);
    return false;
  };
  const FrameLayout f = ComputeFrame(WS_POPUP | WS_VSCROLL, 0, {100, 216});
  const ScrollBarLayout l = ComputeScrollBar(f.VScroll, true, si);
  for (const TRect& part : {l.ArrowDown, l.Thumb}) {
    if (!IsWindow(a))
      a = Make("A", WS_POPUP | WS_VISIBLE | WS_VSCROLL, Bounds(0, 0, 100, 216));
    SetScrollInfo(a, SB_VERT, &si, FALSE);
    InputMouseButton(MouseButton::Left, true, {part.Left + 2, part.Top + 2});
    InputMouseMove({part.Left + 2, part.Top + 40});
    InputMouseButton(MouseButton::Left, false, {part.Left + 2, part.Top + 40});
    PumpUntilIdle();
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST_F(InputTest, RightClickAsksForAContextMenuThroughTheParent) {
  HWND p = Make("P", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  Make("C", WS_CHILD | WS_VISIBLE, Bounds(10, 10, 20, 20), p);
  Log::Get().Clear();
  InputMouseButton(MouseButton::Right, true, {15, 15});
  InputMouseButton(MouseButton::Right, false, {15, 15});
  PumpUntilIdle();
  EXPECT_THAT(Log::Get().Only({WM_CONTEXTMENU}),
              ElementsAre("C:WM_CONTEXTMENU", "P:WM_CONTEXTMENU"));
  const Record last = Log::Get().Last(WM_CONTEXTMENU);
  EXPECT_EQ(GET_X_LPARAM(last.LParam), 15) << "screen coordinates";
}

TEST_F(InputTest, CursorFollowsTheHitCodeAndTheClassCursor) {
  WNDCLASSEXW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = "TEditLike";
  wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
  RegisterClassExW(&wc);
  HWND a = Make("A", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  CreateWindowExW(0, "TEditLike", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, a, nullptr, nullptr,
                  nullptr);
  POINT edit{15, 15};
  ClientToScreen(a, &edit);
  const struct {
    POINT At;
    int Cursor;
  } cases[] = {
      {{399, 200}, IDC_SIZEWE},   {{250, 100}, IDC_SIZENS},   {{100, 100}, IDC_SIZENWSE},
      {{399, 100}, IDC_SIZENESW}, {{250, 110}, IDC_ARROW},    {{250, 250}, IDC_ARROW},
      {edit, IDC_IBEAM},          {{399, 299}, IDC_SIZENWSE}, {{250, 250}, IDC_ARROW},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.At.X << "," << c.At.Y);
    InputMouseMove(c.At);
    PumpUntilIdle();
    EXPECT_EQ(CursorId(GetCursor()), c.Cursor);
  }
  EXPECT_EQ(LoadCursorW(nullptr, 1), nullptr);
}

TEST_F(InputTest, WheelGoesToTheWindowUnderTheMouse) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  Log::Get().Clear();
  InputMouseWheel(-WHEEL_DELTA, {50, 50});
  PumpUntilIdle();
  ASSERT_THAT(Log::Get().Only({WM_MOUSEWHEEL}), ElementsAre("A:WM_MOUSEWHEEL"));
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Log::Get().Last(WM_MOUSEWHEEL).WParam), -WHEEL_DELTA);
  (void)a;
}

} // namespace

TEST_F(InputTest, TrackPositionIsSetForABarDrawnElsewhere) {
  HWND a = Make("A", WS_POPUP | WS_VSCROLL, Bounds(0, 0, 100, 216));
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMax = 99;
  si.nPage = 10;
  SetScrollInfo(a, SB_VERT, &si, FALSE);
  const struct { int Set, Want; } cases[] = {{42, 42}, {90, 90}, {500, 90}, {-3, 0}};
  for (const auto& c : cases) {
    SCROLLINFO track;
    track.fMask = SIF_TRACKPOS;
    track.nTrackPos = c.Set;
    SetScrollInfo(a, SB_VERT, &track, FALSE);
    SCROLLINFO out;
    out.fMask = SIF_ALL;
    GetScrollInfo(a, SB_VERT, &out);
    EXPECT_EQ(out.nTrackPos, c.Want) << c.Set;
    EXPECT_EQ(out.nPos, 0) << "the position stays";
  }
}

// A window whose procedure hides WS_VSCROLL from the default non-client
// calculation and makes 20 pixels of room on the right itself, where it
// paints its own bar in red before the default painting runs.
TEST_F(InputTest, NativeBarsFollowTheDefaultNonClientCalculation) {
  constexpr COLORREF kOwnBar = RGB(255, 0, 0);
  const auto ownBarAt = [](HWND aWnd) {
    RECT r;
    GetWindowRect(aWnd, &r);
    return TRect{r.Width() - 20, 0, r.Width(), r.Height()};
  };
  Log::Get().Override = [&](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam,
                            LRESULT& aAnswer) {
    if (aMsg == WM_NCCALCSIZE && aWParam) {
      const LONG style = GetWindowLongW(aWnd, GWL_STYLE);
      SetWindowLongW(aWnd, GWL_STYLE, style & ~LONG(WS_VSCROLL));
      aAnswer = DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
      SetWindowLongW(aWnd, GWL_STYLE, style);
      reinterpret_cast<NCCALCSIZE_PARAMS*>(aLParam)->rgrc[0].Right -= 20;
      return true;
    }
    if (aMsg == WM_NCPAINT) {
      HDC dc = GetWindowDC(aWnd);
      const TRect bar = ownBarAt(aWnd);
      FillSolidRect(dc, &bar, kOwnBar);
      ReleaseDC(aWnd, dc);
    }
    return false;
  };
  HWND a = Make("A", WS_POPUP | WS_VISIBLE | WS_VSCROLL, Bounds(0, 0, 100, 120));
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMax = 99;
  si.nPage = 10;
  SetScrollInfo(a, SB_VERT, &si, TRUE);
  SetWindowPos(a, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(a, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  PumpUntilIdle();
  RECT client;
  GetClientRect(a, &client);
  EXPECT_EQ(client, Rect(0, 0, 80, 120));
  const Bitmap* frame = TopLevelFrame(a);
  ASSERT_TRUE(frame);
  // The own bar stays: no native bar is painted over it, none is hit.
  for (TPoint p : {TPoint{85, 5}, TPoint{95, 60}, TPoint{90, 115}})
    EXPECT_EQ(frame->Pixel(p.X, p.Y), raster::PixelOf(kOwnBar)) << p.X << "," << p.Y;
  EXPECT_NE(SendMessageW(a, WM_NCHITTEST, 0, MAKELPARAM(90, 60)), HTVSCROLL);
  // Without the override the same style gets the native bar again.
  Log::Get().Override = nullptr;
  SetWindowPos(a, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpUntilIdle();
  EXPECT_EQ(SendMessageW(a, WM_NCHITTEST, 0, MAKELPARAM(90, 60)), HTVSCROLL);
}
