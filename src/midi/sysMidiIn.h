#pragma once
// TMidiInput: the registry of the machine's MIDI input ports. Every short
// message arriving on an open port reaches one event as (port index, status,
// data 1, data 2).

#include "midi/MidiDevices.h"

#include <cstdint>
#include <functional>
#include <mutex>

// Called on the MIDI service's thread (never on the user-interface thread),
// one call per message, in arrival order per port. Whatever it throws is
// caught and counted (LastEventFailure); it must not wait for the
// user-interface thread.
using TOnMidiInData = std::function<void(int aDeviceIndex, std::uint8_t aStatus,
                                         std::uint8_t aData1, std::uint8_t aData2)>;

class TMidiInput : public TMidiDevices {
public:
  // Enumerates the input ports (raises when a capabilities query fails).
  TMidiInput();
  ~TMidiInput() override;

  // Opens and starts the port; does nothing when it is open. When starting
  // fails after the open succeeded, the port counts as open.
  void Open(int aDeviceIndex) override;
  // Stops, resets and closes the port; does nothing when it is closed. When
  // this returns, no event for this port is running or will follow.
  void Close(int aDeviceIndex) override;
  const char* ClassName() const override { return "TMidiInput"; }

  // The event (empty after construction; re-enumeration keeps it). Safe to
  // assign while messages arrive: each message sees the old or the new one.
  void SetOnMidiData(TOnMidiInData aEvent);
  TOnMidiInData OnMidiData() const;

  // Inside the event, on the thread that runs it: the number of the port list
  // (ListNumber) whose index the event was given, so that the index can be
  // told apart from the same index of a list that replaced it meanwhile.
  static std::uint32_t DeliveryListNumber();

  // Failures thrown by the event: how many, and the last one's text.
  std::uint64_t EventFailureCount() const;
  std::string LastEventFailure() const;

  // The service's input callback (MidiInProc form). Only MIM_DATA reaches the
  // event, and only for a handle that the list holds now; the event gets the
  // port's index in that list, which is not the index it was opened under
  // when a refresh moved it.
  static void MidiInCallback(platform::HMIDIIN hMidiIn, platform::UINT wMsg,
                             platform::DWORD_PTR dwInstance, platform::DWORD_PTR dwParam1,
                             platform::DWORD_PTR dwParam2);

protected:
  std::vector<std::string> EnumerateNames() override;
  platform::MMRESULT CloseHandleQuietly(void* aHandle) override;
  platform::MMRESULT DeviceId(void* aHandle, platform::UINT& aId) override;

private:
  void Deliver(platform::HMIDIIN aHandle, platform::DWORD_PTR aDeviceIndex,
               platform::DWORD_PTR aMessage);
  void RecordEventFailure(const std::string& aText);

  std::atomic<const TOnMidiInData*> fOnMidiData{nullptr};
  // Every event ever assigned, kept until destruction so that a message
  // reading the previous one while it is replaced never sees it freed.
  std::vector<std::unique_ptr<const TOnMidiInData>> fEvents;
  std::atomic<std::uint64_t> fEventFailures{0};
  mutable std::mutex fFailureTextLock; // failure path only
  std::string fLastEventFailure;
};

// The process's input registry, created (and enumerated) on first use; a
// failed creation leaves none, so the next call tries again.
TMidiInput& MidiInput();
// Whether MidiInput() has been created (does not create it).
bool MidiInputExists();

// Program end: stops delivering to the event (waiting for one that runs),
// then destroys the output registry and then the input registry, each closing
// its open ports. Either may be created again afterwards. Call it on the
// user-interface thread, never from the event.
void FreeMidiDevices();
