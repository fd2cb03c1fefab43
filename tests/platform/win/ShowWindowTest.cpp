// Minimizing and restoring a top-level window: where the minimized window is
// parked, and the status WM_SHOWWINDOW gives its owned windows.

#include "platform/win/WindowGeometry.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;

namespace {

std::vector<std::string> ShowWindowStatus() {
  std::vector<std::string> out;
  for (const Record& r : Log::Get().Records())
    if (r.Msg == WM_SHOWWINDOW)
      out.push_back(Log::Get().NameOf(r.Wnd) + (r.WParam ? " shown " : " hidden ") +
                    std::to_string(r.LParam));
  return out;
}

TEST(ShowWindowTest, MinimizedWindowIsParkedAndRestored) {
  Reset();
  const TRect normal = Bounds(40, 50, 300, 200);
  HWND w = Make("W", WS_OVERLAPPEDWINDOW | WS_VISIBLE, normal);
  ShowWindow(w, SW_MINIMIZE);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(-32000, -32000, GetSystemMetrics(SM_CXMINIMIZED),
                      GetSystemMetrics(SM_CYMINIMIZED)));
  EXPECT_TRUE(IsIconic(w));
  GetRestoredRect(w, &r);
  EXPECT_EQ(r, normal);
  ShowWindow(w, SW_RESTORE);
  GetWindowRect(w, &r);
  EXPECT_EQ(r, normal);
  // Minimized from maximized: parked as well.
  ShowWindow(w, SW_MAXIMIZE);
  ShowWindow(w, SW_MINIMIZE);
  GetWindowRect(w, &r);
  EXPECT_EQ(r.Left, -32000);
  Reset();
}

TEST(ShowWindowTest, OwnedWindowsHearWhyTheyAreShownOrHidden) {
  Reset();
  HWND owner = Make("Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(40, 50, 300, 200));
  HWND owned = Make("Owned", WS_POPUP | WS_CAPTION | WS_VISIBLE, Bounds(60, 70, 100, 80), owner);
  HWND hidden = Make("Hidden", WS_POPUP | WS_CAPTION, Bounds(60, 70, 100, 80), owner);
  PumpUntilIdle();
  Log::Get().Clear();
  ShowWindow(hidden, SW_SHOW);
  ShowWindow(hidden, SW_HIDE);
  ShowWindow(owner, SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(owned));
  ShowWindow(owner, SW_RESTORE);
  EXPECT_TRUE(IsWindowVisible(owned));
  EXPECT_FALSE(IsWindowVisible(hidden)) << "hidden before: stays hidden";
  EXPECT_EQ(ShowWindowStatus(),
            (std::vector<std::string>{"Hidden shown 0", "Hidden hidden 0",
                                      "Owned hidden " + std::to_string(SW_PARENTCLOSING),
                                      "Owned shown " + std::to_string(SW_PARENTOPENING)}));
  Reset();
}

} // namespace
