#pragma once
// The ALSA sequencer backend, through RtMidi: one RtMidi port object per open
// handle. Thin on purpose; its limits:
// - incoming messages wait in RtMidi's buffers (ALSA's default of 200 events
//   per port in the kernel) and reach the callback on one RtMidi thread per
//   open input;
// - sending is serialised per port with a lock (RtMidi's port objects are not
//   safe for concurrent use);
// - RtMidi's errors become result codes by AlsaResultFromRtMidi.

#include "platform/mm/MidiBackend.h"

#include <memory>
#include <rtmidi/RtMidi.h>
#include <string>
#include <string_view>

namespace platform {

// The result code for an RtMidi error of aType with text aText (MMSYSERR_NOERROR
// for warnings). A failed port connection means another program holds the
// port: MMSYSERR_ALLOCATED.
MMRESULT AlsaResultFromRtMidi(RtMidiError::Type aType, std::string_view aText);

// Null with a reason in aError when /dev/snd/seq cannot be opened.
std::unique_ptr<MidiBackend> CreateAlsaMidiBackend(std::string& aError);

} // namespace platform
