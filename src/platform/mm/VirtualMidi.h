#pragma once
// Control of the virtual MIDI service (started with "virtual[:description]",
// platform/mm/MidiService.h): a source that injects messages into input ports
// from the service's own thread, sinks that record what output ports receive,
// ports added and removed at run time, and injected failures.
//
// Every function returns MMSYSERR_NOTENABLED when the running service is not
// the virtual one, MMSYSERR_BADDEVICEID for a port index outside its list.
// Any thread may call them.

#include "platform/mm/MMSystem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class MidiDirection { In, Out };

// The calls that can be made to fail. Caps: midi*GetDevCapsW; Open, Close:
// midi*Open, midi*Close; Start, Stop, Reset: midiInStart/Stop/Reset; Send:
// midiOutShortMsg.
enum class MidiFaultPoint { Caps, Open, Start, Stop, Reset, Close, Send };

// Queues a callback message for input port aIndex; the service's thread
// delivers it to the port's open handle, in queue order, as (aCallbackMessage,
// aParam1). While the port is not open and started the message is dropped
// (and counted).
MMRESULT VirtualMidiInject(UINT aIndex, DWORD aParam1, UINT aCallbackMessage = MIM_DATA);
// Returns when every message queued before the call has been delivered or
// dropped. Must not be called from an input callback.
MMRESULT VirtualMidiFlush();

// The short messages output port aIndex received since it was added or
// cleared, oldest first (at most the last 65536).
MMRESULT VirtualMidiReceived(UINT aIndex, std::vector<DWORD>& aMessages);
MMRESULT VirtualMidiClearReceived(UINT aIndex);

// Port changes, each reported to the service's listener as
// MidiServiceChange::Ports (platform/mm/MidiService.h) on the caller's thread.
// The midi* functions number the ports as the last midi*GetNumDevs call listed
// them; these control functions address the ports as they are now.
//
// Appends a port to its list. aExclusive: held by another program.
MMRESULT VirtualMidiAddPort(MidiDirection aDirection, const std::string& aName,
                            bool aExclusive = false);
// Removes a port from its list (later ports move down by one). Handles open
// on it stay valid for closing; sending to it fails with MIDIERR_NODEVICE and
// it delivers nothing more.
MMRESULT VirtualMidiRemovePort(MidiDirection aDirection, UINT aIndex);
// Gives a port another name; open handles stay open on it.
MMRESULT VirtualMidiRenamePort(MidiDirection aDirection, UINT aIndex, const std::string& aName);

// From now on the call aPoint on port aIndex fails with aCode (0: succeeds
// again). Any code is allowed, also one that has no error text.
MMRESULT VirtualMidiSetFault(MidiDirection aDirection, UINT aIndex, MidiFaultPoint aPoint,
                             MMRESULT aCode);

// Counts one loss of incoming messages, as a sequencer whose input buffer
// overran reports it (MidiServiceInputOverruns), and raises the InputOverrun
// notice on the caller's thread.
MMRESULT VirtualMidiReportOverrun();

struct VirtualMidiCounters {
  std::uint64_t Delivered = 0; // MIM_DATA callbacks made
  std::uint64_t Dropped = 0;   // injected while the port was not open and started
};
MMRESULT VirtualMidiGetCounters(VirtualMidiCounters& aCounters);

} // namespace platform
