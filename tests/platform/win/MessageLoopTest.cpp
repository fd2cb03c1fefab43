// Posting and sending, the loop's order, timers, modal loops.

#include "support/WinTestSupport.h"

#include <chrono>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;
using ::testing::ElementsAre;

namespace {

class MessageLoopTest : public ::testing::Test {
protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
};

TEST_F(MessageLoopTest, PostedMessagesArriveInOrderBeforePaintAndTimers) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
  PumpUntilIdle();
  SetTimer(a, 1, 10, nullptr);
  // Let the timer fall due before anything is taken.
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 20) {
  }
  InvalidateRect(a, nullptr, FALSE);
  PostMessageW(a, WM_USER + 1, 0, 0);
  PostMessageW(a, WM_USER + 2, 0, 0);
  Log::Get().Clear();
  MSG msg;
  std::vector<UINT> order;
  for (int i = 0; i < 4 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    order.push_back(msg.message);
    DispatchMessageW(&msg);
  }
  KillTimer(a, 1);
  EXPECT_THAT(order, ElementsAre(WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER));
}

TEST_F(MessageLoopTest, PeekWithoutRemovingLeavesTheMessage) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  PostMessageW(a, WM_USER, 5, 6);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageLoopTest, FiltersTakeMatchingMessagesAndLeaveTheRestInOrder) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  HWND c = Make("C", WS_CHILD, Bounds(0, 0, 5, 5), a);
  HWND b = Make("B", WS_POPUP, Bounds(20, 0, 10, 10));
  const HWND thread = reinterpret_cast<HWND>(std::intptr_t(-1));
  PumpUntilIdle();
  PostMessageW(b, WM_USER, 0, 0);
  PostMessageW(c, WM_USER + 1, 0, 0);
  PostMessageW(nullptr, WM_USER + 2, 0, 0);
  PostMessageW(a, WM_USER + 3, 0, 0);
  PostMessageW(a, WM_APP, 0, 0);
  const struct {
    HWND Wnd;
    UINT Min, Max, Remove;
    bool Found;
    HWND ExpectedWnd;
    UINT ExpectedMsg;
  } steps[] = {
      {nullptr, WM_APP, WM_APP, PM_REMOVE, true, a, WM_APP},
      {a, 0, 0, PM_NOREMOVE, true, c, WM_USER + 1}, // descendants count
      {thread, 0, 0, PM_REMOVE, true, nullptr, WM_USER + 2},
      {a, WM_USER + 3, WM_USER + 3, PM_REMOVE, true, a, WM_USER + 3},
      {b, WM_USER + 1, WM_USER + 5, PM_REMOVE, false, nullptr, 0},
      {thread, 0, 0, PM_REMOVE, false, nullptr, 0},
      {nullptr, 0, 0, PM_REMOVE, true, b, WM_USER},
      {nullptr, 0, 0, PM_REMOVE, true, c, WM_USER + 1},
      {nullptr, 0, 0, PM_REMOVE, false, nullptr, 0},
  };
  int i = 0;
  for (const auto& step : steps) {
    MSG msg{};
    const BOOL found = PeekMessageW(&msg, step.Wnd, step.Min, step.Max, step.Remove);
    EXPECT_EQ(found != FALSE, step.Found) << "step " << i;
    if (found && step.Found) {
      EXPECT_EQ(msg.hwnd, step.ExpectedWnd) << "step " << i;
      EXPECT_EQ(msg.message, step.ExpectedMsg) << "step " << i;
    }
    ++i;
  }
}

TEST_F(MessageLoopTest, FiltersApplyToPaintAndTimersAndLetQuitThrough) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
  HWND b = Make("B", WS_POPUP | WS_VISIBLE, Bounds(20, 0, 10, 10));
  PumpUntilIdle();
  InvalidateRect(b, nullptr, FALSE);
  SetTimer(a, 7, 10, nullptr);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 20) {
  }
  MSG msg{};
  EXPECT_FALSE(PeekMessageW(&msg, a, WM_PAINT, WM_PAINT, PM_REMOVE)) << "only B needs painting";
  ASSERT_TRUE(PeekMessageW(&msg, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_PAINT));
  EXPECT_EQ(msg.hwnd, b);
  EXPECT_FALSE(PeekMessageW(&msg, b, WM_TIMER, WM_TIMER, PM_REMOVE)) << "the timer is A's";
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, a);
  EXPECT_EQ(msg.wParam, 7u);
  KillTimer(a, 7);
  PostQuitMessage(4);
  ASSERT_TRUE(PeekMessageW(&msg, a, WM_USER, WM_USER, PM_NOREMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_FALSE(GetMessageW(&msg, b, WM_KEYFIRST, WM_KEYLAST)) << "a filtered loop still ends";
  EXPECT_EQ(msg.wParam, 4u);
  // A filter window that does not exist.
  DestroyWindow(b);
  EXPECT_FALSE(PeekMessageW(&msg, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(GetMessageW(&msg, b, 0, 0), -1);
}

TEST_F(MessageLoopTest, AFilterForKeysTakesThemAheadOfEarlierMouseInput) {
  HWND a = Make("A", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  PumpUntilIdle();
  SetFocus(a);
  InputMouseMove({10, 10});
  InputKey('A', true, U'a');
  PostMessageW(a, WM_USER, 0, 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
  EXPECT_EQ(msg.hwnd, a);
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
  std::vector<UINT> rest;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    rest.push_back(msg.message);
  EXPECT_THAT(rest, ElementsAre(WM_MOUSEMOVE, WM_USER)) << "the others keep their order";
}

TEST_F(MessageLoopTest, MessagesForDestroyedWindowsAreDropped) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  PostMessageW(a, WM_USER, 0, 0);
  DestroyWindow(a);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageLoopTest, GetMessageEndsWithQuit) {
  PostQuitMessage(3);
  MSG msg;
  EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(GetMessageW(nullptr, nullptr, 0, 0), -1);
}

TEST_F(MessageLoopTest, SendIsReentrant) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  Log::Get().Override = [](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM, LRESULT& aAnswer) {
    if (aMsg != WM_USER)
      return false;
    aAnswer = aWParam == 0 ? 1 : aWParam * SendMessageW(aWnd, WM_USER, aWParam - 1, 0);
    return true;
  };
  EXPECT_EQ(SendMessageW(a, WM_USER, 5, 0), 120);
}

TEST_F(MessageLoopTest, TimersRepeatUntilKilledAndProceduresReplaceMessages) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  EXPECT_EQ(SetTimer(a, 7, 12, nullptr), 7u);
  int ticks = 0;
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM aWParam, LPARAM, LRESULT&) {
    if (aMsg == WM_TIMER && aWParam == 7)
      ++ticks;
    return false;
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 2000));
  EXPECT_TRUE(KillTimer(a, 7));
  EXPECT_FALSE(KillTimer(a, 7));
  const int after = ticks;
  PumpUntil([] { return false; }, 40);
  EXPECT_EQ(ticks, after);

  static int procTicks = 0;
  procTicks = 0;
  const UINT_PTR id = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++procTicks; });
  EXPECT_NE(id, 0u);
  EXPECT_TRUE(PumpUntil([] { return procTicks >= 2; }, 2000));
  KillTimer(nullptr, id);
  // A destroyed window's timers go with it.
  SetTimer(a, 8, 10, nullptr);
  DestroyWindow(a);
  EXPECT_FALSE(KillTimer(a, 8));
}

// A manual clock delivers a timer exactly once per period it is moved on,
// whatever real time passes, and hands the remaining delay back to the real
// clock when it goes.
TEST_F(MessageLoopTest, AManualClockStepsTimersOnePeriodAtATime) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  std::vector<UINT_PTR> ticks;
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM aWParam, LPARAM, LRESULT&) {
    if (aMsg == WM_TIMER)
      ticks.push_back(aWParam);
    return false;
  };
  {
    ManualTimerClock clock;
    const std::chrono::milliseconds start = TimerClockNow();
    SetTimer(a, 1, 12, nullptr);
    SetTimer(a, 2, 30, nullptr);
    const struct {
      DWORD Advance;
      std::vector<UINT_PTR> Ticks;
    } steps[] = {
        {11, {}}, {1, {1}}, {12, {1}}, {6, {2}}, {100, {1, 2}}, {0, {}},
    };
    int i = 0;
    for (const auto& step : steps) {
      ticks.clear();
      clock.Advance(step.Advance);
      PumpUntilIdle();
      EXPECT_EQ(ticks, step.Ticks) << "step " << i++;
    }
    // Work spaced by a timer reads the same time the timers fall due by.
    EXPECT_EQ(TimerClockNow() - start, std::chrono::milliseconds(130));
    KillTimer(a, 2);
  }
  // Back on the real clock: the 12 ms timer still runs.
  ticks.clear();
  EXPECT_TRUE(PumpUntil([&] { return !ticks.empty(); }, 2000));
  KillTimer(a, 1);
}

TEST_F(MessageLoopTest, ModalLoopRunsUntilDone) {
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  bool done = false;
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM, LPARAM, LRESULT&) {
    if (aMsg == WM_USER + 3)
      done = true;
    return false;
  };
  PostMessageW(a, WM_USER + 1, 0, 0);
  PostMessageW(a, WM_USER + 3, 0, 0);
  PostMessageW(a, WM_USER + 4, 0, 0);
  EXPECT_TRUE(RunModalLoop([&] { return done; }));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 4) << "what follows stays for the outer loop";
  // WM_QUIT ends a modal loop and stays for the outer one.
  done = false;
  PostQuitMessage(0);
  EXPECT_FALSE(RunModalLoop([&] { return done; }));
  EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
}

} // namespace
