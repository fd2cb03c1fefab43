// The loop's wake-up latency for a message posted (or a wake-up signalled)
// from another thread while it waits, and the period of a 12-millisecond
// timer.

#include "platform/win/MessageLoop.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

using namespace platform;

namespace {

using Clock = std::chrono::steady_clock;

// Latency from PostMessageW on another thread to the message's dispatch on a
// loop that was waiting in GetMessageW.
void BM_PostedMessageWakeLatency(benchmark::State& aState) {
  std::atomic<int> request{0};
  std::atomic<bool> stop{false};
  std::atomic<std::int64_t> postedAt{0};
  std::thread producer([&] {
    int served = 0;
    while (!stop.load()) {
      if (request.load() == served) {
        std::this_thread::yield();
        continue;
      }
      ++served;
      // Give the loop time to fall asleep in GetMessageW.
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      postedAt.store(Clock::now().time_since_epoch().count());
      PostMessageW(nullptr, WM_USER, 0, 0);
    }
  });
  MSG msg;
  for (auto _ : aState) {
    request.fetch_add(1);
    GetMessageW(&msg, nullptr, 0, 0);
    const auto now = Clock::now().time_since_epoch().count();
    aState.SetIterationTime(double(now - postedAt.load()) * Clock::period::num /
                            Clock::period::den);
  }
  stop = true;
  producer.join();
}
BENCHMARK(BM_PostedMessageWakeLatency)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same for the real-time wake-up: Signal() on another thread until the
// handler runs on the loop thread.
void BM_WakeupSignalLatency(benchmark::State& aState) {
  std::atomic<int> request{0};
  std::atomic<bool> stop{false};
  std::atomic<std::int64_t> signalledAt{0};
  std::int64_t handledAt = 0;
  bool handled = false;
  UiWakeup wakeup([&] {
    handledAt = Clock::now().time_since_epoch().count();
    handled = true;
  });
  std::thread producer([&] {
    int served = 0;
    while (!stop.load()) {
      if (request.load() == served) {
        std::this_thread::yield();
        continue;
      }
      ++served;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      signalledAt.store(Clock::now().time_since_epoch().count());
      wakeup.Signal();
    }
  });
  for (auto _ : aState) {
    handled = false;
    request.fetch_add(1);
    while (!handled)
      WaitMessage();
    aState.SetIterationTime(double(handledAt - signalledAt.load()) * Clock::period::num /
                            Clock::period::den);
  }
  stop = true;
  producer.join();
}
BENCHMARK(BM_WakeupSignalLatency)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The time between two WM_TIMER of a 12-millisecond timer (the fade timer).
void BM_TimerPeriod12ms(benchmark::State& aState) {
  const UINT_PTR id = SetTimer(nullptr, 0, 12, nullptr);
  MSG msg;
  auto last = Clock::now();
  GetMessageW(&msg, nullptr, 0, 0);
  last = Clock::now();
  double worst = 0;
  for (auto _ : aState) {
    do
      GetMessageW(&msg, nullptr, 0, 0);
    while (msg.message != WM_TIMER);
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - last).count();
    worst = std::max(worst, seconds);
    aState.SetIterationTime(seconds);
    last = now;
  }
  KillTimer(nullptr, id);
  aState.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(BM_TimerPeriod12ms)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace
