#include "monitor/StopSignals.h"

#include "platform/win/MessageLoop.h"

#include <atomic>
#include <cassert>
#include <csignal>
#include <thread>

namespace {

std::atomic<int> gSignal{0};
std::atomic<platform::UiWakeup*> gWakeup{nullptr};
// Handlers running now, so the wake-up is not freed under one.
std::atomic<int> gInHandler{0};
static_assert(std::atomic<int>::is_always_lock_free &&
                  std::atomic<platform::UiWakeup*>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "a signal handler may only use lock-free atomics");

constexpr int StopSignalNumbers[] = {SIGINT, SIGTERM};
struct sigaction gPrevious[2];

extern "C" void OnStopSignal(int aSignal) {
  gInHandler.fetch_add(1);
  gSignal.store(aSignal);
  if (platform::UiWakeup* wakeup = gWakeup.load())
    wakeup->Signal();
  gInHandler.fetch_sub(1);
}

} // namespace

TStopSignals::TStopSignals(std::function<void(int aSignal)> aOnSignal)
    : fOnSignal(std::move(aOnSignal)) {
  assert(gWakeup.load() == nullptr && "one TStopSignals at a time");
  fWakeup = std::make_unique<platform::UiWakeup>([this] {
    if (const int signal = gSignal.exchange(0))
      fOnSignal(signal);
  });
  // The loop's descriptor exists before a handler may write to it.
  platform::WakeDescriptor();
  gWakeup.store(fWakeup.get());
  struct sigaction action {};
  action.sa_handler = &OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int i = 0; i < 2; ++i)
    sigaction(StopSignalNumbers[i], &action, &gPrevious[i]);
}

TStopSignals::~TStopSignals() {
  for (int i = 0; i < 2; ++i)
    sigaction(StopSignalNumbers[i], &gPrevious[i], nullptr);
  gWakeup.store(nullptr);
  while (gInHandler.load() != 0)
    std::this_thread::yield();
  fWakeup.reset();
}
