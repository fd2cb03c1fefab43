// RtMidi's errors as result codes (the ALSA backend itself needs a sound
// device that these machines lack).
#include "platform/mm/AlsaMidiBackend.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(AlsaMidiBackend, RtMidiErrorsBecomeResultCodes) {
  const struct {
    RtMidiError::Type Type;
    const char* Text;
    MMRESULT Expected;
  } cases[] = {
      {RtMidiError::WARNING, "no ports", MMSYSERR_NOERROR},
      {RtMidiError::DEBUG_WARNING, "", MMSYSERR_NOERROR},
      {RtMidiError::NO_DEVICES_FOUND, "", MMSYSERR_BADDEVICEID},
      {RtMidiError::INVALID_DEVICE, "", MMSYSERR_BADDEVICEID},
      {RtMidiError::MEMORY_ERROR, "", MMSYSERR_NOMEM},
      {RtMidiError::INVALID_PARAMETER, "", MMSYSERR_INVALPARAM},
      {RtMidiError::INVALID_USE, "", MMSYSERR_INVALPARAM},
      {RtMidiError::DRIVER_ERROR, "MidiInAlsa::openPort: ALSA error making port connection.",
       MMSYSERR_ALLOCATED},
      {RtMidiError::DRIVER_ERROR, "MidiInAlsa::initialize: error creating ALSA sequencer client",
       MMSYSERR_ERROR},
      {RtMidiError::SYSTEM_ERROR, "", MMSYSERR_ERROR},
      {RtMidiError::THREAD_ERROR, "", MMSYSERR_ERROR},
      {RtMidiError::UNSPECIFIED, "", MMSYSERR_ERROR},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AlsaResultFromRtMidi(c.Type, c.Text), c.Expected) << c.Text << " " << int(c.Type);
}

} // namespace
