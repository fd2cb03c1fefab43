#pragma once
// The MIDI service's notices (platform/mm/MidiService.h), handed to the
// window as posted messages, so that the window acts on them on the
// user-interface thread. A notice of changed ports or of an overrun waits
// while the window has not yet taken the previous one of its kind, so a burst
// (a client registering many ports, an input overrunning again and again)
// costs one message.

#include "platform/Types.h"
#include "platform/win/WinDefs.h"

class TServiceNotices {
public:
  static constexpr platform::UINT PortsChangedMessage = platform::WM_APP + 0x40;
  static constexpr platform::UINT ServiceLostMessage = platform::WM_APP + 0x41;
  static constexpr platform::UINT InputOverrunMessage = platform::WM_APP + 0x43;

  // Listens to the service for aWindow until destroyed (one at a time).
  explicit TServiceNotices(platform::HWND aWindow);
  ~TServiceNotices();
  TServiceNotices(const TServiceNotices&) = delete;
  TServiceNotices& operator=(const TServiceNotices&) = delete;

  // User-interface thread, when the window takes aMessage: the next notice of
  // its kind is posted again.
  static void Taken(platform::UINT aMessage);
};
