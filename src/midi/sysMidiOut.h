#pragma once
// TMidiOutput: the registry of the machine's MIDI output ports; sends short
// messages, opening a port on first use.

#include "midi/MidiDevices.h"

#include <cstdint>

class TMidiOutput : public TMidiDevices {
public:
  // Enumerates the output ports (raises when a capabilities query fails).
  TMidiOutput();
  ~TMidiOutput() override;

  // Opens the port; does nothing when it is open. Any thread may call it.
  void Open(int aDeviceIndex) override;
  // Closes the port; does nothing when it is closed.
  void Close(int aDeviceIndex) override;
  const char* ClassName() const override { return "TMidiOutput"; }

  // Sends the three bytes unchanged as one short message (status + data 1 *
  // 256 + data 2 * 65536), opening the port first when it is closed. Raises
  // the bounds error for an index outside the list. Called on the MIDI thread
  // (the thru) as well as on the user-interface thread.
  void Send(int aDeviceIndex, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2);

protected:
  std::vector<std::string> EnumerateNames() override;
  platform::MMRESULT CloseHandleQuietly(void* aHandle) override;
  platform::MMRESULT DeviceId(void* aHandle, platform::UINT& aId) override;

private:
  // Opens the port into its slot unless the slot holds a handle already or
  // the list is being retired by a re-enumeration.
  void OpenSlot(const TDeviceList& aList, std::atomic<void*>& aSlot, int aDeviceIndex);

  // Opens in progress on any thread.
  std::atomic<int> fOpening{0};
  // Handles stored by an open or cleared by a close, ever.
  std::atomic<unsigned> fChanges{0};
  // Closes in progress (Close). A handle closed under a Send in flight still
  // sits in its slot until the close returns; such a Send is not a failure.
  std::atomic<int> fClosing{0};
};

// The process's output registry, created on first use (see MidiInput()).
TMidiOutput& MidiOutput();
bool MidiOutputExists();
// Destroys the output registry (closing its ports); part of FreeMidiDevices.
void FreeMidiOutput();
