#pragma once
// Choosing and starting the MIDI service behind the midiIn*/midiOut* functions.
//
// The option text is "auto", "alsa", "jack" or "virtual[:description]":
// - alsa: the ALSA sequencer (needs /dev/snd/seq).
// - jack: one client on the running JACK server (JACK_DEFAULT_SERVER or
//   "default").
// - virtual: in-process ports; without a description the built-in demo ports
//   ("Demo Keyboard" in, "Loopback" out), else the ports the description
//   names (platform/mm/VirtualMidiLayout.h).
// - auto: ALSA, else JACK, else the demo ports, with a note saying why.
//
// Start and stop on the user-interface thread, while no handle is open:
// handles of a stopped service are invalid afterwards.

#include "platform/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

enum class MidiBackendKind { None, Virtual, Jack, Alsa };

struct MidiServiceStatus {
  // MMSYSERR_NOERROR when a service runs; MMSYSERR_INVALPARAM for an option
  // text that is not understood; MMSYSERR_NODRIVER when the named service
  // cannot be reached. The previous service keeps running on failure.
  MMRESULT Result = 0;
  MidiBackendKind Kind = MidiBackendKind::None;
  // "virtual", "jack", "alsa" or "" (none).
  std::string Name;
  // For people: why this service was chosen, or why starting failed.
  std::string Note;
};

MidiServiceStatus StartMidiService(std::string_view aOption);

class MidiBackend;
// A service that answered but is not in use yet: reaching one (which may take
// a moment, a JACK server being asked) can run off the user-interface thread,
// putting it in use then runs there (UseMidiService). Dropping it stops it.
class MidiServiceCandidate {
public:
  MidiServiceCandidate();
  MidiServiceCandidate(std::unique_ptr<MidiBackend> aBackend, MidiServiceStatus aStatus);
  MidiServiceCandidate(MidiServiceCandidate&&) noexcept;
  MidiServiceCandidate& operator=(MidiServiceCandidate&&) noexcept;
  ~MidiServiceCandidate();
  // Result MMSYSERR_NOERROR when the service answered, else why not.
  const MidiServiceStatus& Status() const { return fStatus; }

private:
  friend MidiServiceStatus UseMidiService(MidiServiceCandidate aCandidate);
  std::unique_ptr<MidiBackend> fBackend;
  MidiServiceStatus fStatus;
};
// Any thread: starts the service the option names without putting it in use.
MidiServiceCandidate ReachMidiService(std::string_view aOption);
// Puts the candidate's service in use in place of the running one (under the
// rule for starting above); a candidate that failed changes nothing and
// returns its status.
MidiServiceStatus UseMidiService(MidiServiceCandidate aCandidate);
// Stops the running service; every open handle becomes invalid.
void StopMidiService();
// What runs now (Kind None before the first successful start).
MidiServiceStatus CurrentMidiService();
// How often the running service lost incoming messages since it started (0
// when none runs). Any thread.
std::uint64_t MidiServiceInputOverruns();

// What a running service reports about the machine.
enum class MidiServiceChange {
  // Ports appeared, vanished or were renamed: the port lists are stale.
  Ports,
  // The service itself went away (the JACK server stopped): its handles are
  // dead and it lists no ports until it is started again.
  ServiceLost,
  // Incoming messages were lost before they reached the program (the ALSA
  // sequencer's input buffer for the program overran): MidiServiceInputOverruns
  // counts the times.
  InputOverrun,
};
// Called on whichever thread noticed the change (a service thread, or the
// caller of a virtual port change). It must only hand the notice on (post it
// to the user-interface thread): no waiting, no midiIn*/midiOut* calls.
using MidiServiceListener = void (*)(MidiServiceChange aChange);
// One listener for the process; null removes it. Any thread.
void SetMidiServiceListener(MidiServiceListener aListener);

} // namespace platform
