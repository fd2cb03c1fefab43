// Posting from other threads and the real-time wake-up (ThreadSanitizer build).

#include "support/WinTestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace platform;
using namespace wintest;

namespace {

TEST(CrossThreadTest, PostedMessagesFromOtherThreadsArriveInOrderAndWakeTheLoop) {
  Reset();
  HWND a = Make("A", WS_POPUP, Bounds(0, 0, 10, 10));
  constexpr int Count = 5000;
  std::vector<WPARAM> seen;
  Log::Get().Override = [&](HWND, UINT aMsg, WPARAM aWParam, LPARAM, LRESULT&) {
    if (aMsg == WM_USER)
      seen.push_back(aWParam);
    return false;
  };
  std::thread producer([a] {
    for (int i = 0; i < Count; ++i)
      PostMessageW(a, WM_USER, WPARAM(i), 0);
  });
  // The loop waits (no spinning) and is woken by the posts.
  MSG msg;
  while (seen.size() < std::size_t(Count) && GetMessageW(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  producer.join();
  ASSERT_EQ(seen.size(), std::size_t(Count));
  for (int i = 0; i < Count; ++i)
    ASSERT_EQ(seen[std::size_t(i)], WPARAM(i));
  Reset();
}

TEST(CrossThreadTest, WakeupRunsTheHandlerOnTheLoopThread) {
  Reset();
  const std::thread::id ui = std::this_thread::get_id();
  std::atomic<int> produced{0};
  int consumed = 0; // user-interface thread only
  bool wrongThread = false;
  UiWakeup wakeup([&] {
    if (std::this_thread::get_id() != ui)
      wrongThread = true;
    consumed = produced.load(std::memory_order_acquire);
  });
  constexpr int Count = 20000;
  std::thread producer([&] {
    for (int i = 0; i < Count; ++i) {
      produced.store(i + 1, std::memory_order_release);
      wakeup.Signal();
    }
  });
  // Every signal is followed by a run that sees it: the last run sees all.
  EXPECT_TRUE(PumpUntil([&] { return consumed == Count; }, 10000));
  producer.join();
  PumpUntilIdle();
  EXPECT_EQ(consumed, Count);
  EXPECT_FALSE(wrongThread);
  EXPECT_FALSE(wakeup.RunIfSignalled()) << "nothing pending after the loop ran it";
}

TEST(CrossThreadTest, GetMessageWakesForASignalWithoutPostedMessages) {
  Reset();
  bool ran = false;
  UiWakeup wakeup([&] {
    ran = true;
    PostQuitMessage(0);
  });
  std::thread signaller([&] { wakeup.Signal(); });
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0))
    DispatchMessageW(&msg);
  signaller.join();
  EXPECT_TRUE(ran);
}

} // namespace
