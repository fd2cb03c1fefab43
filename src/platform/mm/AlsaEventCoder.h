#pragma once
// Short MIDI messages and ALSA sequencer events, both ways, through alsa-lib's
// MIDI event coder. A message keeps its exact bytes: a Note On with velocity 0
// stays a Note On (0x9n), and every message carries its status byte (no
// running status). One coder serves one thread at a time.

#include "platform/Types.h"

#include <alsa/asoundlib.h>
#include <cstddef>

namespace platform {

class AlsaEventCoder {
public:
  // Throws std::bad_alloc when alsa-lib cannot allocate the coder.
  AlsaEventCoder();
  ~AlsaEventCoder();
  AlsaEventCoder(const AlsaEventCoder&) = delete;
  AlsaEventCoder& operator=(const AlsaEventCoder&) = delete;

  // The event for the short message aMessage (packed as midiOutShortMsg takes
  // it), cleared except for its type and data; false when the status byte
  // starts no short message the sequencer can carry (data bytes, system
  // exclusive, the undefined F4, F5, F9 and FD).
  bool Encode(DWORD aMessage, snd_seq_event_t& aEvent);

  // The most short messages one event stands for: a parameter number is
  // four controller messages.
  static constexpr std::size_t MaxMessages = 4;

  // The short messages aEvent stands for, in order, into aMessages; returns
  // how many. Active sensing is left out; 0 for events that carry no short
  // message (system exclusive, announcements).
  std::size_t Decode(const snd_seq_event_t& aEvent, DWORD (&aMessages)[MaxMessages]);

private:
  snd_midi_event_t* fCoder = nullptr;
  // Room for the longest decoding: a parameter number is four controllers.
  unsigned char fBytes[16] = {};
};

} // namespace platform
