// Window tree, message order, procedures and subclassing, properties, hooks.

#include "platform/win/Dwm.h"
#include "platform/win/Hook.h"
#include "support/WinTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class WindowTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
};

constexpr DWORD Overlapped = WS_OVERLAPPEDWINDOW;

TEST_F(WindowTest, CreateAndShowOverlappedSendsThePlatformOrder) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(10, 20, 300, 200));
  ASSERT_TRUE(a);
  EXPECT_THAT(Log::Get().Names(),
              ElementsAre("A:WM_GETMINMAXINFO", "A:WM_NCCREATE", "A:WM_NCCALCSIZE", "A:WM_CREATE",
                          "A:WM_SIZE", "A:WM_MOVE", "A:WM_SHOWWINDOW", "A:WM_WINDOWPOSCHANGING",
                          "A:WM_ACTIVATEAPP", "A:WM_NCACTIVATE", "A:WM_ACTIVATE", "A:WM_SETFOCUS",
                          "A:WM_WINDOWPOSCHANGED"));
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  Log::Get().Clear();
  // The first paint comes from the loop: frame, background, client.
  PumpUntilIdle();
  EXPECT_THAT(Log::Get().Names(), ElementsAre("A:WM_PAINT", "A:WM_NCPAINT", "A:WM_ERASEBKGND"));
}

TEST_F(WindowTest, ChildCreationNotifiesParentAndGetsNoActivation) {
  HWND p = Make("P", Overlapped, Bounds(0, 0, 300, 200));
  Log::Get().Clear();
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(5, 5, 50, 50), p);
  ASSERT_TRUE(c);
  EXPECT_THAT(Log::Get().Names(),
              ElementsAre("C:WM_NCCREATE", "C:WM_NCCALCSIZE", "C:WM_CREATE", "C:WM_SIZE",
                          "C:WM_MOVE", "P:WM_PARENTNOTIFY", "C:WM_SHOWWINDOW",
                          "C:WM_WINDOWPOSCHANGING", "C:WM_WINDOWPOSCHANGED"));
  EXPECT_EQ(GetParent(c), p);
  EXPECT_TRUE(IsChild(p, c));
  EXPECT_EQ(GetAncestor(c, GA_ROOT), p);
}

TEST_F(WindowTest, CloseDestroysWithDeactivationThenDestroyOrder) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(10, 20, 300, 200));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(5, 5, 50, 50), a);
  Log::Get().Clear();
  SendMessageW(a, WM_SYSCOMMAND, SC_CLOSE, 0);
  const std::vector<std::string> expected = {
      "A:WM_SYSCOMMAND", "A:WM_CLOSE",    "A:WM_WINDOWPOSCHANGING", "A:WM_WINDOWPOSCHANGED",
      "A:WM_NCACTIVATE", "A:WM_ACTIVATE", "A:WM_ACTIVATEAPP",       "A:WM_KILLFOCUS",
      "A:WM_DESTROY",    "C:WM_DESTROY",  "C:WM_NCDESTROY",         "A:WM_NCDESTROY"};
  EXPECT_THAT(Log::Get().Names(), ElementsAreArray(expected));
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(IsWindow(c));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, ActivationMovesBetweenTopLevelWindows) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(0, 0, 200, 100));
  HWND b = Make("B", Overlapped | WS_VISIBLE, Bounds(50, 50, 200, 100));
  EXPECT_EQ(GetActiveWindow(), b);
  Log::Get().Clear();
  SetActiveWindow(a);
  EXPECT_THAT(Log::Get().Names(),
              ElementsAre("B:WM_NCACTIVATE", "B:WM_ACTIVATE", "A:WM_WINDOWPOSCHANGING",
                          "A:WM_WINDOWPOSCHANGED", "A:WM_NCACTIVATE", "A:WM_ACTIVATE",
                          "B:WM_KILLFOCUS", "A:WM_SETFOCUS"));
  EXPECT_EQ(GetTopWindow(nullptr), a) << "the activated window comes to the top";
  // Hiding the active window hands activation to the other one.
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetFocus(), b);
}

TEST_F(WindowTest, FocusChangesSendKillThenSet) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(0, 0, 200, 100));
  HWND c1 = Make("C1", WS_CHILD | WS_VISIBLE, Bounds(0, 0, 10, 10), a);
  HWND c2 = Make("C2", WS_CHILD | WS_VISIBLE, Bounds(20, 0, 10, 10), a);
  SetFocus(c1);
  Log::Get().Clear();
  EXPECT_EQ(SetFocus(c2), c1);
  EXPECT_THAT(Log::Get().Names(), ElementsAre("C1:WM_KILLFOCUS", "C2:WM_SETFOCUS"));
  // A disabled window cannot take the focus; disabling the focused one drops it.
  EnableWindow(c1, FALSE);
  EXPECT_EQ(SetFocus(c1), nullptr);
  EXPECT_EQ(GetFocus(), c2);
  EnableWindow(c2, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, ZOrderFollowsSetWindowPos) {
  HWND p = Make("P", Overlapped, Bounds(0, 0, 300, 200));
  HWND c1 = Make("C1", WS_CHILD, Bounds(0, 0, 10, 10), p);
  HWND c2 = Make("C2", WS_CHILD, Bounds(0, 0, 10, 10), p);
  HWND c3 = Make("C3", WS_CHILD, Bounds(0, 0, 10, 10), p);
  auto order = [&] {
    std::vector<HWND> v;
    for (HWND h = GetWindow(p, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
      v.push_back(h);
    return v;
  };
  EXPECT_THAT(order(), ElementsAre(c3, c2, c1)) << "new windows go on top";
  SetWindowPos(c3, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_THAT(order(), ElementsAre(c2, c1, c3));
  SetWindowPos(c2, c1, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_THAT(order(), ElementsAre(c1, c2, c3));
  BringWindowToTop(c3);
  EXPECT_THAT(order(), ElementsAre(c3, c1, c2));
}

TEST_F(WindowTest, TopmostWindowsStayAboveOthers) {
  HWND t = Make("T", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10), nullptr, WS_EX_TOPMOST);
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
  EXPECT_EQ(GetTopWindow(nullptr), t);
  EXPECT_EQ(GetWindow(t, GW_HWNDNEXT), a);
  SetWindowPos(t, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(nullptr), a);
}

TEST_F(WindowTest, GeometryAndCoordinateMapping) {
  HWND p = Make("P", WS_POPUP | WS_BORDER | WS_VISIBLE, Bounds(100, 50, 300, 200));
  HWND c = Make("C", WS_CHILD | WS_VISIBLE, Bounds(10, 20, 40, 30), p);
  RECT r;
  GetWindowRect(p, &r);
  EXPECT_EQ(r, Bounds(100, 50, 300, 200));
  GetClientRect(p, &r);
  EXPECT_EQ(r, Rect(0, 0, 298, 198)) << "a thin border takes one pixel on each side";
  GetWindowRect(c, &r);
  EXPECT_EQ(r, Bounds(111, 71, 40, 30));
  POINT pt{0, 0};
  ClientToScreen(c, &pt);
  EXPECT_EQ(pt, (POINT{111, 71}));
  ScreenToClient(p, &pt);
  EXPECT_EQ(pt, (POINT{10, 20}));
  POINT pts[2] = {{0, 0}, {5, 5}};
  MapWindowPoints(c, p, pts, 2);
  EXPECT_EQ(pts[0], (POINT{10, 20}));
  EXPECT_EQ(pts[1], (POINT{15, 25}));
  EXPECT_EQ(WindowFromPoint({115, 75}), c);
  EXPECT_EQ(WindowFromPoint({105, 55}), p);
  EXPECT_EQ(WindowFromPoint({99, 55}), nullptr);
  EXPECT_EQ(ChildWindowFromPoint(p, {12, 22}), c);
  EXPECT_EQ(ChildWindowFromPoint(p, {2, 2}), p);
}

TEST_F(WindowTest, MoveAndSizeSendPositionMessagesOnlyWhenChanged) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  Log::Get().Clear();
  MoveWindow(a, 10, 10, 100, 100, TRUE);
  EXPECT_THAT(Log::Get().Names(),
              ElementsAre("A:WM_WINDOWPOSCHANGING", "A:WM_WINDOWPOSCHANGED", "A:WM_MOVE"));
  Log::Get().Clear();
  MoveWindow(a, 10, 10, 120, 90, TRUE);
  EXPECT_THAT(Log::Get().Names(), ElementsAre("A:WM_WINDOWPOSCHANGING", "A:WM_NCCALCSIZE",
                                              "A:WM_WINDOWPOSCHANGED", "A:WM_SIZE"));
  const auto& last = Log::Get().Records().back();
  EXPECT_EQ(LOWORD(last.LParam), 120);
  EXPECT_EQ(HIWORD(last.LParam), 90);
}

TEST_F(WindowTest, WindowPosChangingMayAlterTheRequest) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 100, 100));
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM, LPARAM aLParam, LRESULT& aAnswer) {
    if (aMsg != WM_WINDOWPOSCHANGING)
      return false;
    auto* pos = reinterpret_cast<WINDOWPOS*>(aLParam);
    pos->cx = std::min(pos->cx, 150);
    aAnswer = 0;
    return true;
  };
  SetWindowPos(a, nullptr, 0, 0, 400, 80, SWP_NOZORDER | SWP_NOMOVE);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(0, 0, 150, 80));
  // A handler may also move the window elsewhere (snapping to an edge).
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM, LPARAM aLParam, LRESULT& aAnswer) {
    if (aMsg != WM_WINDOWPOSCHANGING)
      return false;
    auto* pos = reinterpret_cast<WINDOWPOS*>(aLParam);
    if (!(pos->flags & SWP_NOMOVE) && pos->x < 10)
      pos->x = 0;
    aAnswer = 0;
    return true;
  };
  Log::Get().Clear();
  SetWindowPos(a, nullptr, 7, 33, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(0, 33, 150, 80));
  const Record move = Log::Get().Last(WM_MOVE);
  EXPECT_EQ(GET_X_LPARAM(move.LParam), 0);
  EXPECT_EQ(GET_Y_LPARAM(move.LParam), 33);
}

TEST_F(WindowTest, MaximizedPlaceAndSizeComeFromGetMinMaxInfo) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(40, 30, 300, 200));
  // As a frame that pushes its borders off the work area does.
  Log::Get().Override = [](HWND, UINT aMsg, WPARAM, LPARAM aLParam, LRESULT& aAnswer) {
    if (aMsg != WM_GETMINMAXINFO)
      return false;
    auto* mmi = reinterpret_cast<MINMAXINFO*>(aLParam);
    mmi->ptMaxPosition = {-3, -3};
    mmi->ptMaxSize = {640 + 6, 480 + 6};
    aAnswer = 0;
    return true;
  };
  ShowWindow(a, SW_MAXIMIZE);
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Rect(-3, -3, 643, 483));
  ShowWindow(a, SW_RESTORE);
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(40, 30, 300, 200));
}

TEST_F(WindowTest, FrameChangeRecomputesTheClientAndReportsOnlyWhatChanged) {
  // A popup: an overlapped window would get its caption back at creation.
  HWND a = Make("A", WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_VISIBLE,
                Bounds(10, 20, 300, 200));
  PumpUntilIdle();
  // The client area a new window of the same style and place gets.
  const auto clientOfNew = [](DWORD aStyle) {
    HWND probe = CreateWindowExW(0, RecordingClass(), "", aStyle, 10, 20, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    POINT origin{0, 0};
    ClientToScreen(probe, &origin);
    RECT client;
    GetClientRect(probe, &client);
    DestroyWindow(probe);
    return client.Offset(origin.X, origin.Y);
  };
  const UINT frameChanged =
      SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  // Without the system-menu bit the client area stays where it was.
  SetWindowLongW(a, GWL_STYLE, GetWindowLongW(a, GWL_STYLE) & ~LONG(WS_SYSMENU));
  Log::Get().Clear();
  SetWindowPos(a, nullptr, 0, 0, 0, 0, frameChanged);
  EXPECT_THAT(Log::Get().Names(),
              ElementsAre("A:WM_WINDOWPOSCHANGING", "A:WM_NCCALCSIZE", "A:WM_WINDOWPOSCHANGED"));
  EXPECT_EQ(Log::Get().Last(WM_NCCALCSIZE).WParam, WPARAM(TRUE));
  Log::Get().Clear();
  PumpUntilIdle();
  EXPECT_THAT(Log::Get().Only({WM_NCPAINT}), ElementsAre("A:WM_NCPAINT")) << "the frame repaints";

  // Without the caption the client area moves up and grows.
  SetWindowLongW(a, GWL_STYLE, GetWindowLongW(a, GWL_STYLE) & ~LONG(WS_CAPTION));
  Log::Get().Clear();
  SetWindowPos(a, nullptr, 0, 0, 0, 0, frameChanged);
  EXPECT_THAT(Log::Get().Names(), ElementsAre("A:WM_WINDOWPOSCHANGING", "A:WM_NCCALCSIZE",
                                              "A:WM_WINDOWPOSCHANGED", "A:WM_MOVE", "A:WM_SIZE"));
  const Record size = Log::Get().Last(WM_SIZE);
  const Record move = Log::Get().Last(WM_MOVE);
  const TRect expected = clientOfNew(DWORD(GetWindowLongW(a, GWL_STYLE)));
  RECT client;
  GetClientRect(a, &client);
  POINT origin{0, 0};
  ClientToScreen(a, &origin);
  EXPECT_EQ(client.Offset(origin.X, origin.Y), expected);
  EXPECT_EQ(LOWORD(size.LParam), expected.Width());
  EXPECT_EQ(HIWORD(size.LParam), expected.Height());
  EXPECT_EQ(GET_X_LPARAM(move.LParam), expected.Left);
  EXPECT_EQ(GET_Y_LPARAM(move.LParam), expected.Top);
}

TEST_F(WindowTest, CoverLikeShowNeitherActivatesNorPaintsUntilRedrawn) {
  HWND form = Make("F", Overlapped | WS_VISIBLE, Bounds(0, 0, 300, 200));
  HWND cover = Make("C", WS_POPUP, Bounds(0, 0, 10, 10), form);
  PumpUntilIdle();
  ASSERT_EQ(GetActiveWindow(), form);
  Log::Get().Clear();
  SetWindowPos(cover, HWND_TOP, 0, 0, 300, 30,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOSENDCHANGING |
                   SWP_NOOWNERZORDER);
  EXPECT_TRUE(IsWindowVisible(cover));
  EXPECT_EQ(GetActiveWindow(), form);
  EXPECT_EQ(GetTopWindow(nullptr), cover);
  EXPECT_TRUE(Log::Get().Only({WM_NCACTIVATE, WM_ACTIVATE, WM_NCPAINT, WM_PAINT}).empty());
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, cover, WM_PAINT, WM_PAINT, PM_NOREMOVE))
      << "shown without redrawing, nothing is pending";
  RedrawWindow(cover, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_THAT(Log::Get().Only({WM_ERASEBKGND, WM_PAINT}), ElementsAre("C:WM_PAINT"))
      << "painted at once, without erasing";
}

TEST_F(WindowTest, EachStateChangeSendsOneSizeOfItsKind) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(40, 30, 300, 200));
  const struct {
    int Command;
    WPARAM Kind;
  } steps[] = {{SW_MAXIMIZE, SIZE_MAXIMIZED},        {SW_RESTORE, SIZE_RESTORED},
               {SW_MINIMIZE, SIZE_MINIMIZED},        {SW_RESTORE, SIZE_RESTORED},
               {SW_SHOWMINNOACTIVE, SIZE_MINIMIZED}, {SW_SHOWMAXIMIZED, SIZE_MAXIMIZED}};
  for (const auto& step : steps) {
    Log::Get().Clear();
    ShowWindow(a, step.Command);
    std::vector<WPARAM> kinds;
    for (const Record& r : Log::Get().Records())
      if (r.Msg == WM_SIZE)
        kinds.push_back(r.WParam);
    EXPECT_THAT(kinds, ElementsAre(step.Kind)) << "command " << step.Command;
    RECT client;
    GetClientRect(a, &client);
    EXPECT_EQ(LOWORD(Log::Get().Last(WM_SIZE).LParam), client.Width());
    EXPECT_EQ(HIWORD(Log::Get().Last(WM_SIZE).LParam), client.Height());
  }
}

TEST_F(WindowTest, MinimizeMaximizeAndRestore) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(40, 30, 300, 200));
  ShowWindow(a, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(a));
  RECT r;
  GetWindowRect(a, &r);
  const int frame = GetSystemMetrics(SM_CXFRAME);
  EXPECT_EQ(r, Rect(-frame, -frame, GetSystemMetrics(SM_CXSCREEN) + frame,
                    GetSystemMetrics(SM_CYSCREEN) + frame));
  SendMessageW(a, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(a));
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(40, 30, 300, 200));
  SendMessageW(a, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(a));
  GetClientRect(a, &r);
  EXPECT_TRUE(r.IsEmpty()) << "a minimized window has no client area";
  GetRestoredRect(a, &r);
  EXPECT_EQ(r, Bounds(40, 30, 300, 200));
  ShowWindow(a, SW_RESTORE);
  EXPECT_FALSE(IsIconic(a));
  GetWindowRect(a, &r);
  EXPECT_EQ(r, Bounds(40, 30, 300, 200));
}

TEST_F(WindowTest, TextThroughMessagesWithUtf8AndTruncation) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  const std::string german = "Das Gerät steht nicht zur Verfügung! Bitte prüfen";
  SetWindowTextW(a, german.c_str());
  EXPECT_EQ(GetWindowTextW(a), german);
  EXPECT_EQ(GetWindowTextLengthW(a), int(german.size()));
  // "Das Ger" + the two bytes of 'ä' would need 10 bytes: a 9-byte buffer keeps
  // 8 bytes without cutting the character.
  char buffer[9];
  EXPECT_EQ(GetWindowTextW(a, buffer, 9), 7);
  EXPECT_STREQ(buffer, "Das Ger");
  EXPECT_EQ(GetWindowTextW(a, buffer, 0), 0);
}

TEST_F(WindowTest, PropertiesBelongToTheirWindow) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  HWND b = Make("B", WS_POPUP, Bounds(0, 0, 10, 10));
  int x = 0, y = 0;
  EXPECT_TRUE(SetPropW(a, "qcProvider", &x));
  EXPECT_TRUE(SetPropW(b, "qcProvider", &y));
  EXPECT_EQ(GetPropW(a, "qcProvider"), &x);
  EXPECT_EQ(GetPropW(b, "qcProvider"), &y);
  EXPECT_EQ(GetPropW(a, "other"), nullptr);
  EXPECT_EQ(RemovePropW(a, "qcProvider"), &x);
  EXPECT_EQ(GetPropW(a, "qcProvider"), nullptr);
  EXPECT_EQ(RemovePropW(a, "qcProvider"), nullptr);
  EXPECT_FALSE(SetPropW(nullptr, "x", &x));
}

TEST_F(WindowTest, StaleHandlesAreInvalid) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  DestroyWindow(a);
  HWND b = Make("B", WS_POPUP, Bounds(0, 0, 10, 10));
  EXPECT_NE(a, b) << "handles are not reused";
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(SendMessageW(a, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_FALSE(DestroyWindow(a));
  EXPECT_FALSE(SetWindowPos(a, nullptr, 0, 0, 1, 1, 0));
  EXPECT_EQ(GetClassNameW(a), "");
  // The region passes to the call even when it fails; the sanitizer build's
  // leak check finds it if the call drops it.
  EXPECT_EQ(SetWindowRgn(a, CreateRectRgn(0, 0, 5, 5), FALSE), 0);
}

TEST_F(WindowTest, UnknownClassOrParentFailsCreation) {
  EXPECT_EQ(CreateWindowExW(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
  EXPECT_EQ(CreateWindowExW(0, RecordingClass(), "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr)
      << "a child needs a parent";
  WNDCLASSEXW wc;
  wc.lpszClassName = "TRecording";
  EXPECT_EQ(RegisterClassExW(&wc), 0) << "a class name is registered once";
}

TEST_F(WindowTest, CreateFailsWhenCreateAnswersMinusOne) {
  Log::Get().Override = [](HWND, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_CREATE)
      return false;
    aAnswer = -1;
    return true;
  };
  EXPECT_EQ(Make("A", WS_POPUP, Bounds(0, 0, 10, 10)), nullptr);
  EXPECT_THAT(Log::Get().Names(), ElementsAre("A:WM_NCCREATE", "A:WM_NCCALCSIZE", "A:WM_CREATE",
                                              "A:WM_DESTROY", "A:WM_NCDESTROY"));
  EXPECT_EQ(GetTopWindow(nullptr), nullptr);
}

TEST_F(WindowTest, DestroyingItselfInsideItsProcedureIsSafe) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
  Log::Get().Override = [](HWND aWnd, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_USER)
      return false;
    DestroyWindow(aWnd);
    aAnswer = 7;
    return true;
  };
  EXPECT_EQ(SendMessageW(a, WM_USER, 0, 0), 7);
  EXPECT_FALSE(IsWindow(a));
}

TEST_F(WindowTest, StylesChangeThroughWindowLongs) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  Log::Get().Clear();
  const LONG_PTR old = SetWindowLongPtrW(a, GWL_STYLE, LONG_PTR(WS_POPUP | WS_BORDER));
  EXPECT_EQ(DWORD(old), WS_POPUP);
  EXPECT_EQ(DWORD(GetWindowLongPtrW(a, GWL_STYLE)), WS_POPUP | WS_BORDER);
  EXPECT_THAT(Log::Get().Names(), ElementsAre("A:WM_STYLECHANGED"));
  SetWindowLongPtrW(a, GWL_EXSTYLE, LONG_PTR(WS_EX_TOOLWINDOW));
  EXPECT_EQ(DWORD(GetWindowLongW(a, GWL_EXSTYLE)), WS_EX_TOOLWINDOW);
  EXPECT_EQ(SetWindowLongPtrW(a, GWLP_USERDATA, 42), 0);
  EXPECT_EQ(GetWindowLongPtrW(a, GWLP_USERDATA), 42);
  // A 32-bit value cannot hold a procedure: the 32-bit functions refuse it
  // instead of installing a cut-off pointer.
  const auto before = GetWindowLongPtrW(a, GWL_WNDPROC);
  EXPECT_EQ(SetWindowLongW(a, GWL_WNDPROC, 0x1234), 0);
  EXPECT_EQ(GetWindowLongW(a, GWL_WNDPROC), 0);
  EXPECT_EQ(GetWindowLongPtrW(a, GWL_WNDPROC), before);
}

TEST_F(WindowTest, ClassValuesAreSharedByTheClassWindows) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  HWND b = Make("B", WS_POPUP, Bounds(0, 0, 10, 10));
  EXPECT_EQ(GetClassLongPtrW(a, GCLP_WNDPROC), reinterpret_cast<ULONG_PTR>(&RecordingProc));
  EXPECT_EQ(GetClassLongPtrW(a, GCL_STYLE), ULONG_PTR(CS_DBLCLKS));
  const ULONG_PTR brush = GetClassLongPtrW(a, GCLP_HBRBACKGROUND);
  EXPECT_EQ(SetClassLongPtrW(a, GCLP_HBRBACKGROUND, 0), brush);
  EXPECT_EQ(GetClassLongPtrW(b, GCLP_HBRBACKGROUND), 0u);
  SetClassLongPtrW(b, GCLP_HBRBACKGROUND, LONG_PTR(brush));
  EXPECT_EQ(GetClassLongPtrW(a, GCLP_HBRBACKGROUND), brush);
  EXPECT_EQ(GetClassLongPtrW(a, 12345), 0u);
  EXPECT_EQ(GetClassLongPtrW(nullptr, GCL_STYLE), 0u);
}

// Subclassing: three procedures in front of the class procedure, each adding
// its mark to the answer of the one it replaced.
WNDPROC gPrev[3];
template <int N>
LRESULT Marking(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  if (aMsg != WM_USER)
    return CallWindowProcW(gPrev[N], aWnd, aMsg, aWParam, aLParam);
  return CallWindowProcW(gPrev[N], aWnd, aMsg, aWParam, aLParam) * 10 + (N + 1);
}

TEST_F(WindowTest, SubclassChainsCallThePreviousProcedure) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  Log::Get().Override = [](HWND, UINT aMsg, WPARAM, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_USER)
      return false;
    aAnswer = 9;
    return true;
  };
  gPrev[0] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Marking<0>)));
  gPrev[1] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Marking<1>)));
  gPrev[2] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Marking<2>)));
  EXPECT_EQ(gPrev[0], &RecordingProc);
  EXPECT_EQ(SendMessageW(a, WM_USER, 0, 0), 9123);
  // Removing the middle one out of order: the outer procedure now calls the
  // one the middle one had replaced.
  gPrev[2] = gPrev[1];
  EXPECT_EQ(SendMessageW(a, WM_USER, 0, 0), 913);
  // Restoring the first procedure's predecessor removes the rest.
  SetWindowLongPtrW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(gPrev[0]));
  EXPECT_EQ(SendMessageW(a, WM_USER, 0, 0), 9);
}

TEST_F(WindowTest, ObjectProceduresSubclassAndChain) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  struct Adapter {
    WNDPROC Old = nullptr;
    int Seen = 0;
    LRESULT Handle(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
      if (aMsg == WM_USER + 1) {
        ++Seen;
        return 77;
      }
      return CallWindowProcW(Old, aWnd, aMsg, aWParam, aLParam);
    }
  } adapter;
  WNDPROC proc = MakeObjectInstance(
      [&](HWND w, UINT m, WPARAM wp, LPARAM lp) { return adapter.Handle(w, m, wp, lp); });
  adapter.Old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
  EXPECT_EQ(SendMessageW(a, WM_USER + 1, 0, 0), 77);
  EXPECT_EQ(adapter.Seen, 1);
  SetWindowTextW(a, "through");
  EXPECT_EQ(GetWindowTextW(a), "through") << "other messages reach the class procedure";
  SetWindowLongPtrW(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(adapter.Old));
  FreeObjectInstance(proc);
  EXPECT_EQ(SendMessageW(a, WM_USER + 1, 0, 0), 0);
}

// The creation hook's record of the calls it saw.
struct HookCall {
  int Code;
  std::string Class;
  DWORD Style;
  DWORD ExStyle;
  HWND Parent;
};
std::vector<HookCall> gHookCalls;
HHOOK gHook;
HHOOK gOuterHook;
int gRefuseCode = -1;

LRESULT RecordingHook(int aCode, WPARAM aWParam, LPARAM aLParam) {
  const LRESULT next = CallNextHookEx(gHook, aCode, aWParam, aLParam);
  if (aCode != HCBT_CREATEWND && aCode != HCBT_ACTIVATE && aCode != HCBT_DESTROYWND)
    return next;
  HookCall call{aCode, GetClassNameW(reinterpret_cast<HWND>(aWParam)), 0, 0, nullptr};
  if (aCode == HCBT_CREATEWND) {
    const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(aLParam)->lpcs;
    call.Class = cs->lpszClass;
    call.Style = DWORD(cs->style);
    call.ExStyle = cs->dwExStyle;
    call.Parent = cs->hwndParent;
  }
  gHookCalls.push_back(call);
  return aCode == gRefuseCode ? 1 : next;
}

int gOuterCalls = 0;
LRESULT OuterHook(int aCode, WPARAM aWParam, LPARAM aLParam) {
  ++gOuterCalls;
  return CallNextHookEx(gOuterHook, aCode, aWParam, aLParam);
}

TEST_F(WindowTest, CreationHookSeesCodesAndClassNames) {
  WNDCLASSEXW wc;
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "TfrmMonitor";
  RegisterClassExW(&wc);
  gHookCalls.clear();
  gHook = SetWindowsHookExW(WH_CBT, RecordingHook, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(gHook);
  gOuterHook = SetWindowsHookExW(WH_CBT, OuterHook, nullptr, 0);
  gOuterCalls = 0;

  HWND form =
      CreateWindowExW(WS_EX_APPWINDOW, "TfrmMonitor", "Monitor", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  HWND dialog = CreateWindowExW(WS_EX_DLGMODALFRAME, DialogClassName, "", WS_POPUP | WS_CAPTION, 0,
                                0, 100, 100, form, nullptr, nullptr, nullptr);
  ASSERT_TRUE(form && dialog);
  EXPECT_EQ(GetClassNameW(dialog), "#32770");
  DestroyWindow(dialog);

  ASSERT_EQ(gHookCalls.size(), 4u);
  EXPECT_EQ(gHookCalls[0].Code, HCBT_CREATEWND);
  EXPECT_EQ(gHookCalls[0].Class, "TfrmMonitor");
  // Overlapped windows always clip their siblings.
  EXPECT_EQ(gHookCalls[0].Style, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS);
  EXPECT_EQ(gHookCalls[0].ExStyle, DWORD(WS_EX_APPWINDOW));
  EXPECT_EQ(gHookCalls[0].Parent, nullptr);
  EXPECT_EQ(gHookCalls[1].Code, HCBT_ACTIVATE);
  EXPECT_EQ(gHookCalls[1].Class, "TfrmMonitor");
  EXPECT_EQ(gHookCalls[2].Code, HCBT_CREATEWND);
  EXPECT_EQ(gHookCalls[2].Class, "#32770");
  EXPECT_EQ(gHookCalls[2].Parent, form) << "the owner is the creation record's parent";
  EXPECT_EQ(gHookCalls[3].Code, HCBT_DESTROYWND);
  EXPECT_EQ(gHookCalls[3].Class, "#32770");
  EXPECT_GE(gOuterCalls, 4) << "the newest hook runs first and passes on";

  // A refusing hook stops the creation, activation or destruction.
  gRefuseCode = HCBT_CREATEWND;
  EXPECT_EQ(Make("X", WS_POPUP, Bounds(0, 0, 1, 1)), nullptr);
  gRefuseCode = HCBT_DESTROYWND;
  EXPECT_FALSE(DestroyWindow(form));
  EXPECT_TRUE(IsWindow(form));
  gRefuseCode = -1;
  EXPECT_TRUE(UnhookWindowsHookEx(gHook));
  EXPECT_TRUE(UnhookWindowsHookEx(gOuterHook));
  EXPECT_FALSE(UnhookWindowsHookEx(gHook));
  gHookCalls.clear();
  Make("Y", WS_POPUP, Bounds(0, 0, 1, 1));
  EXPECT_TRUE(gHookCalls.empty());
  EXPECT_EQ(SetWindowsHookExW(WH_CBT + 1, OuterHook, nullptr, 0), nullptr)
      << "only the creation hook exists";
}

TEST_F(WindowTest, NcActivateRepaintsTheFrameUnlessToldNotTo) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(0, 0, 200, 100));
  PumpUntilIdle();
  const struct {
    WPARAM Active;
    LPARAM LParam;
    bool Repaints;
  } cases[] = {{FALSE, 0, true}, {TRUE, 0, true}, {FALSE, -1, false}, {TRUE, -1, false}};
  for (const auto& c : cases) {
    Log::Get().Clear();
    EXPECT_EQ(SendMessageW(a, WM_NCACTIVATE, c.Active, c.LParam), TRUE);
    PumpUntilIdle();
    EXPECT_EQ(Log::Get().Only({WM_NCPAINT}).size(), c.Repaints ? 1u : 0u)
        << "active " << c.Active << ", lParam " << c.LParam;
  }
}

TEST_F(WindowTest, SetWindowRgnTellsTheWindowAsAPositionChange) {
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(0, 0, 200, 100));
  PumpUntilIdle();
  const struct {
    bool WithRegion;
    BOOL Redraw;
    bool Repaints;
  } cases[] = {
      {true, TRUE, true}, {true, FALSE, false}, {false, TRUE, true}, {false, FALSE, false}};
  for (const auto& c : cases) {
    Log::Get().Clear();
    const UINT flagsSeen = [&] {
      UINT flags = 0;
      Log::Get().Override = [&](HWND, UINT aMsg, WPARAM, LPARAM aLParam, LRESULT&) {
        if (aMsg == WM_WINDOWPOSCHANGING)
          flags = reinterpret_cast<const WINDOWPOS*>(aLParam)->flags;
        return false;
      };
      SetWindowRgn(a, c.WithRegion ? CreateRectRgn(0, 0, 150, 100) : nullptr, c.Redraw);
      Log::Get().Override = nullptr;
      return flags;
    }();
    EXPECT_THAT(Log::Get().Names(), ElementsAre("A:WM_WINDOWPOSCHANGING", "A:WM_WINDOWPOSCHANGED"))
        << "region " << c.WithRegion << ", redraw " << c.Redraw;
    const UINT kept = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    EXPECT_EQ(flagsSeen & kept, kept);
    Log::Get().Clear();
    PumpUntilIdle();
    EXPECT_EQ(!Log::Get().Only({WM_NCPAINT}).empty(), c.Repaints)
        << "region " << c.WithRegion << ", redraw " << c.Redraw;
  }
}

// Where the hook runs among the messages: the log's length at each call.
struct HookPoint {
  int Code;
  HWND Wnd;
  std::size_t LogSize;
};
std::vector<HookPoint> gHookPoints;
HHOOK gPointHook;
HWND gRefuseActivation = nullptr;

LRESULT PointHook(int aCode, WPARAM aWParam, LPARAM aLParam) {
  if (aCode == HCBT_CREATEWND || aCode == HCBT_ACTIVATE || aCode == HCBT_DESTROYWND)
    gHookPoints.push_back({aCode, reinterpret_cast<HWND>(aWParam), Log::Get().Records().size()});
  if (aCode == HCBT_ACTIVATE && reinterpret_cast<HWND>(aWParam) == gRefuseActivation)
    return 1;
  return CallNextHookEx(gPointHook, aCode, aWParam, aLParam);
}

TEST_F(WindowTest, HookRunsBeforeCreationActivationAndDestructionTakePlace) {
  gHookPoints.clear();
  gPointHook = SetWindowsHookExW(WH_CBT, PointHook, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(gPointHook);
  const auto messageAfter = [](const HookPoint& aPoint) {
    const auto& records = Log::Get().Records();
    return aPoint.LogSize < records.size() ? records[aPoint.LogSize].Msg : 0u;
  };

  Log::Get().Clear();
  HWND a = Make("A", Overlapped | WS_VISIBLE, Bounds(0, 0, 200, 100));
  ASSERT_EQ(gHookPoints.size(), 2u);
  EXPECT_EQ(gHookPoints[0].Code, HCBT_CREATEWND);
  EXPECT_EQ(gHookPoints[0].LogSize, 0u) << "before the window's first message";
  EXPECT_EQ(gHookPoints[1].Code, HCBT_ACTIVATE);
  EXPECT_EQ(gHookPoints[1].Wnd, a);
  EXPECT_EQ(messageAfter(gHookPoints[1]), UINT(WM_ACTIVATEAPP)) << "before activation starts";

  HWND b = Make("B", Overlapped | WS_VISIBLE, Bounds(50, 50, 200, 100));
  gHookPoints.clear();
  Log::Get().Clear();
  SetActiveWindow(a);
  ASSERT_EQ(gHookPoints.size(), 1u);
  EXPECT_EQ(gHookPoints[0].Code, HCBT_ACTIVATE);
  EXPECT_EQ(gHookPoints[0].Wnd, a);
  EXPECT_EQ(gHookPoints[0].LogSize, 0u) << "before the active window is told it loses activation";
  EXPECT_EQ(GetActiveWindow(), a);

  // A refused activation leaves the active window as it was.
  gRefuseActivation = b;
  Log::Get().Clear();
  SetActiveWindow(b);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_TRUE(Log::Get().Only({WM_NCACTIVATE, WM_ACTIVATE}).empty());
  gRefuseActivation = nullptr;

  gHookPoints.clear();
  Log::Get().Clear();
  DestroyWindow(b);
  ASSERT_FALSE(gHookPoints.empty());
  EXPECT_EQ(gHookPoints[0].Code, HCBT_DESTROYWND);
  EXPECT_EQ(gHookPoints[0].Wnd, b);
  EXPECT_EQ(gHookPoints[0].LogSize, 0u) << "before the window is hidden or told anything";
  EXPECT_TRUE(UnhookWindowsHookEx(gPointHook));
}

TEST_F(WindowTest, HookMaySubclassTheWindowBeingCreated) {
  static WNDPROC before = nullptr;
  static int ncCreates = 0;
  ncCreates = 0;
  static auto proc = [](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) -> LRESULT {
    if (aMsg == WM_NCCREATE)
      ++ncCreates;
    return CallWindowProcW(before, aWnd, aMsg, aWParam, aLParam);
  };
  static HHOOK hook = nullptr;
  hook = SetWindowsHookExW(
      WH_CBT,
      [](int aCode, WPARAM aWParam, LPARAM aLParam) -> LRESULT {
        if (aCode == HCBT_CREATEWND)
          before = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
              reinterpret_cast<HWND>(aWParam), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+proc)));
        return CallNextHookEx(hook, aCode, aWParam, aLParam);
      },
      nullptr, 0);
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  UnhookWindowsHookEx(hook);
  ASSERT_TRUE(a);
  EXPECT_EQ(ncCreates, 1) << "the subclass procedure gets WM_NCCREATE";
}

TEST_F(WindowTest, OwnedWindowsAreDestroyedWithTheirOwner) {
  HWND owner = Make("O", Overlapped, Bounds(0, 0, 100, 100));
  HWND owned = Make("W", WS_POPUP, Bounds(0, 0, 10, 10), owner);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);
  EXPECT_EQ(GetAncestor(owned, GA_PARENT), GetDesktopWindow());
  Log::Get().Clear();
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
  EXPECT_THAT(Log::Get().Only({WM_DESTROY}), ElementsAre("W:WM_DESTROY", "O:WM_DESTROY"));
}

TEST_F(WindowTest, EnumChildWindowsVisitsTheWholeSubtree) {
  HWND p = Make("P", Overlapped, Bounds(0, 0, 100, 100));
  HWND c = Make("C", WS_CHILD, Bounds(0, 0, 10, 10), p);
  HWND g = Make("G", WS_CHILD, Bounds(0, 0, 5, 5), c);
  std::vector<HWND> seen;
  EnumChildWindows(
      p,
      [](HWND aWnd, LPARAM aParam) {
        reinterpret_cast<std::vector<HWND>*>(aParam)->push_back(aWnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&seen));
  EXPECT_THAT(seen, ElementsAre(c, g));
  EXPECT_EQ(SetParent(g, p), c);
  EXPECT_EQ(GetParent(g), p);
}

TEST_F(WindowTest, CompositionIsReportedOffAndWindowAttributesFailAsSuch) {
  BOOL enabled = TRUE;
  EXPECT_EQ(DwmIsCompositionEnabled(&enabled), S_OK);
  EXPECT_FALSE(enabled);
  EXPECT_EQ(DwmIsCompositionEnabled(nullptr), E_INVALIDARG);

  HWND a = Make("A", Overlapped, Bounds(0, 0, 100, 100));
  HWND gone = Make("G", Overlapped, Bounds(0, 0, 10, 10));
  DestroyWindow(gone);
  const BOOL disable = TRUE;
  const struct {
    HWND Wnd;
    DWORD Attribute;
    const void* Value;
    DWORD Size;
    HRESULT Expected;
  } cases[] = {
      {a, DWMWA_TRANSITIONS_FORCEDISABLED, &disable, sizeof disable, DWM_E_COMPOSITIONDISABLED},
      {a, DWMWA_NCRENDERING_POLICY, &disable, sizeof disable, DWM_E_COMPOSITIONDISABLED},
      {a, DWMWA_TRANSITIONS_FORCEDISABLED, nullptr, sizeof disable, E_INVALIDARG},
      {a, DWMWA_TRANSITIONS_FORCEDISABLED, &disable, 1, E_INVALIDARG},
      {a, DWMWA_NCRENDERING_ENABLED, &disable, sizeof disable, E_INVALIDARG}, // read-only
      {gone, DWMWA_TRANSITIONS_FORCEDISABLED, &disable, sizeof disable, E_HANDLE},
      {nullptr, DWMWA_TRANSITIONS_FORCEDISABLED, &disable, sizeof disable, E_HANDLE},
  };
  for (const auto& c : cases) {
    const HRESULT got = DwmSetWindowAttribute(c.Wnd, c.Attribute, c.Value, c.Size);
    EXPECT_EQ(got, c.Expected) << "attribute " << c.Attribute << ", size " << c.Size;
    EXPECT_TRUE(FAILED(got)) << "no attribute takes effect without composition";
  }
}

} // namespace
