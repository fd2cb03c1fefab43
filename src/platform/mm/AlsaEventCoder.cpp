#include "platform/mm/AlsaEventCoder.h"

#include "platform/mm/MidiBackend.h"

#include <new>

namespace platform {

AlsaEventCoder::AlsaEventCoder() {
  if (snd_midi_event_new(sizeof fBytes, &fCoder) < 0)
    throw std::bad_alloc();
  snd_midi_event_no_status(fCoder, 1);
}

AlsaEventCoder::~AlsaEventCoder() {
  snd_midi_event_free(fCoder);
}

bool AlsaEventCoder::Encode(DWORD aMessage, snd_seq_event_t& aEvent) {
  const unsigned char bytes[3] = {static_cast<unsigned char>(aMessage & 0xFF),
                                  static_cast<unsigned char>((aMessage >> 8) & 0xFF),
                                  static_cast<unsigned char>((aMessage >> 16) & 0xFF)};
  const std::size_t length = ShortMessageLength(bytes[0]);
  if (length == 0)
    return false;
  snd_seq_ev_clear(&aEvent);
  // Each message stands alone: no state of an earlier one carries over.
  snd_midi_event_reset_encode(fCoder);
  const long used = snd_midi_event_encode(fCoder, bytes, long(length), &aEvent);
  return used == long(length) && aEvent.type != SND_SEQ_EVENT_NONE;
}

std::size_t AlsaEventCoder::Decode(const snd_seq_event_t& aEvent, DWORD (&aMessages)[MaxMessages]) {
  snd_midi_event_reset_decode(fCoder);
  const long decoded = snd_midi_event_decode(fCoder, fBytes, sizeof fBytes, &aEvent);
  const std::size_t count = decoded > 0 ? std::size_t(decoded) : 0;
  std::size_t found = 0;
  for (std::size_t offset = 0; offset < count && found < MaxMessages;) {
    const std::size_t length = ShortMessageLength(fBytes[offset]);
    if (length == 0 || offset + length > count)
      break;
    DWORD message = 0;
    for (std::size_t i = 0; i < length; ++i)
      message |= DWORD(fBytes[offset + i]) << (8 * i);
    offset += length;
    if ((message & 0xFF) != 0xFE)
      aMessages[found++] = message;
  }
  return found;
}

} // namespace platform
