#pragma once
// What every MIDI service backend provides to the midiIn*/midiOut* functions.
// A backend checks its own handles; device numbers index the port lists as
// they were at the last NumDevs call of that direction.

#include "platform/mm/MMSystem.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/VirtualMidi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class MidiBackend {
public:
  virtual ~MidiBackend() = default;

  virtual UINT NumDevs(MidiDirection aDirection) = 0;
  // The port's full name, UTF-8.
  virtual MMRESULT PortName(MidiDirection aDirection, UINT aId, std::string& aName) = 0;

  virtual MMRESULT OpenIn(UINT aId, MIDIINPROC aProc, DWORD_PTR aInstance, HMIDIIN& aHandle) = 0;
  virtual MMRESULT StartIn(HMIDIIN aHandle) = 0;
  virtual MMRESULT StopIn(HMIDIIN aHandle) = 0;
  virtual MMRESULT ResetIn(HMIDIIN aHandle) = 0;
  virtual MMRESULT CloseIn(HMIDIIN aHandle) = 0;

  virtual MMRESULT OpenOut(UINT aId, HMIDIOUT& aHandle) = 0;
  virtual MMRESULT CloseOut(HMIDIOUT aHandle) = 0;
  virtual MMRESULT ShortMsg(HMIDIOUT aHandle, DWORD aMessage) = 0;

  // The device number of an open handle's port in the listing of the last
  // NumDevs call (midiInGetID, midiOutGetID); MIDIERR_NODEVICE when that
  // listing does not hold the port. A backend that cannot follow its ports
  // says MMSYSERR_NOTSUPPORTED, and callers then go by the ports' names.
  virtual MMRESULT InId(HMIDIIN, UINT&) { return MMSYSERR_NOTSUPPORTED; }
  virtual MMRESULT OutId(HMIDIOUT, UINT&) { return MMSYSERR_NOTSUPPORTED; }

  // How often incoming messages were lost before they reached a callback
  // since the service started (its input buffer overran). Any thread.
  virtual std::uint64_t InputOverruns() const { return 0; }
};

// The running backend (null when none runs). Lock-free: the message path
// reads it on the service's threads.
MidiBackend* CurrentMidiBackend();

// The next handle value of the process: never 0, never reused (so a handle
// of a closed port or a stopped service is recognised as invalid), and a
// multiple of 256, so that a backend may keep a slot number in the low byte.
std::uintptr_t NewMidiHandleValue();

// A backend's table of open ports whose handles are NewMidiHandleValue() with
// the slot number in the low byte: the slot a handle names, or null when the
// handle is not that slot's current one (closed, or of a stopped service).
template <typename TSlot, std::size_t Size>
TSlot* FindMidiSlot(std::array<TSlot, Size>& aSlots, const void* aHandle) {
  const auto key = reinterpret_cast<std::uintptr_t>(aHandle);
  TSlot& slot = aSlots[(key & 0xFF) % Size];
  return key != 0 && slot.Handle.load() == key ? &slot : nullptr;
}

// The bytes of a short message as they go on the wire: 1, 2 or 3 bytes
// depending on the status; 0 when the first byte is not a status byte that a
// short message may carry (data bytes, system exclusive).
std::size_t ShortMessageLength(BYTE aStatus);

// Backends report changes of the machine's ports and their own loss here; the
// listener set by SetMidiServiceListener gets them. Lock-free, any thread.
void NotifyMidiServiceChange(MidiServiceChange aChange);

} // namespace platform
