#include "monitor/ServiceNotices.h"

#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"

#include <atomic>

namespace {

std::atomic<platform::HWND> gWindow{nullptr};
std::atomic<bool> gPortsPending{false};
std::atomic<bool> gOverrunPending{false};

void Post(platform::UINT aMessage, std::atomic<bool>* aPending) {
  if (aPending != nullptr && aPending->exchange(true))
    return;
  const platform::HWND window = gWindow.load();
  if ((window == nullptr || !platform::PostMessageW(window, aMessage, 0, 0)) && aPending != nullptr)
    aPending->store(false);
}

// The service's listener, on whichever thread noticed the change: only posts.
void Listen(platform::MidiServiceChange aChange) {
  switch (aChange) {
  case platform::MidiServiceChange::Ports:
    Post(TServiceNotices::PortsChangedMessage, &gPortsPending);
    break;
  case platform::MidiServiceChange::ServiceLost:
    Post(TServiceNotices::ServiceLostMessage, nullptr);
    break;
  case platform::MidiServiceChange::InputOverrun:
    Post(TServiceNotices::InputOverrunMessage, &gOverrunPending);
    break;
  }
}

} // namespace

TServiceNotices::TServiceNotices(platform::HWND aWindow) {
  gPortsPending.store(false);
  gOverrunPending.store(false);
  gWindow.store(aWindow);
  platform::SetMidiServiceListener(&Listen);
}

TServiceNotices::~TServiceNotices() {
  platform::SetMidiServiceListener(nullptr);
  gWindow.store(nullptr);
}

void TServiceNotices::Taken(platform::UINT aMessage) {
  if (aMessage == PortsChangedMessage)
    gPortsPending.store(false);
  else if (aMessage == InputOverrunMessage)
    gOverrunPending.store(false);
}
