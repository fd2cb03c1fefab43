#pragma once
// SIGINT and SIGTERM end the program cleanly, through its message loop.
//
// The signal handler does only what is safe in one: it notes the signal in a
// lock-free atomic and signals a wake-up of the user-interface loop (an
// atomic flag and one write to the loop's eventfd). The loop then runs the
// handler given here, on the user-interface thread, where the program can
// close its ports and write its log. The handlers are installed once per
// signal (SA_RESETHAND): a second signal while the program ends takes the
// default action and ends it at once.

#include <functional>
#include <memory>

namespace platform {
class UiWakeup;
}

class TStopSignals {
public:
  // User-interface thread, with the message loop in place. One at a time.
  explicit TStopSignals(std::function<void(int aSignal)> aOnSignal);
  // Puts the previous handlers back.
  ~TStopSignals();
  TStopSignals(const TStopSignals&) = delete;
  TStopSignals& operator=(const TStopSignals&) = delete;

private:
  std::function<void(int)> fOnSignal;
  std::unique_ptr<platform::UiWakeup> fWakeup;
};
