// Short messages and sequencer events, both ways (no sequencer needed).
#include "platform/mm/AlsaEventCoder.h"

#include <gtest/gtest.h>
#include <vector>

using namespace platform;

namespace {

std::vector<DWORD> DecodeAll(AlsaEventCoder& aCoder, const snd_seq_event_t& aEvent) {
  DWORD messages[AlsaEventCoder::MaxMessages];
  const std::size_t count = aCoder.Decode(aEvent, messages);
  return {messages, messages + count};
}

TEST(AlsaEventCoder, ShortMessagesBecomeEventsAndComeBackUnchanged) {
  // The word as midiOutShortMsg takes it, the event's type, and the value of
  // its main field as the sequencer holds it; the decoding gives back the
  // message's own bytes (a second data byte only where the status has one).
  const struct {
    DWORD Message;
    snd_seq_event_type_t Type;
    int Channel;
    int Value;
  } cases[] = {
      {0x643C90, SND_SEQ_EVENT_NOTEON, 0, 100},
      {0x003C93, SND_SEQ_EVENT_NOTEON, 3, 0}, // velocity 0 stays a Note On
      {0x7F408F, SND_SEQ_EVENT_NOTEOFF, 15, 127},
      {0x2040A1, SND_SEQ_EVENT_KEYPRESS, 1, 32},
      {0x6407B2, SND_SEQ_EVENT_CONTROLLER, 2, 100},
      {0x07C5, SND_SEQ_EVENT_PGMCHANGE, 5, 7},
      {0x30D2, SND_SEQ_EVENT_CHANPRESS, 2, 48},
      {0x4000E3, SND_SEQ_EVENT_PITCHBEND, 3, 0}, // the centre
      {0x0000E0, SND_SEQ_EVENT_PITCHBEND, 0, -8192},
      {0x7F7FE0, SND_SEQ_EVENT_PITCHBEND, 0, 8191},
      {0x12F1, SND_SEQ_EVENT_QFRAME, -1, 0x12},
      {0x0201F2, SND_SEQ_EVENT_SONGPOS, -1, 1 + 2 * 128},
      {0x05F3, SND_SEQ_EVENT_SONGSEL, -1, 5},
      {0xF6, SND_SEQ_EVENT_TUNE_REQUEST, -1, 0},
      {0xF8, SND_SEQ_EVENT_CLOCK, -1, 0},
      {0xFA, SND_SEQ_EVENT_START, -1, 0},
      {0xFB, SND_SEQ_EVENT_CONTINUE, -1, 0},
      {0xFC, SND_SEQ_EVENT_STOP, -1, 0},
      {0xFF, SND_SEQ_EVENT_RESET, -1, 0},
  };
  AlsaEventCoder coder;
  for (const auto& c : cases) {
    snd_seq_event_t event;
    ASSERT_TRUE(coder.Encode(c.Message, event)) << std::hex << c.Message;
    EXPECT_EQ(event.type, c.Type) << std::hex << c.Message;
    if (c.Type == SND_SEQ_EVENT_NOTEON || c.Type == SND_SEQ_EVENT_NOTEOFF ||
        c.Type == SND_SEQ_EVENT_KEYPRESS) {
      EXPECT_EQ(event.data.note.channel, c.Channel) << std::hex << c.Message;
      EXPECT_EQ(event.data.note.note, (c.Message >> 8) & 0xFF) << std::hex << c.Message;
      EXPECT_EQ(event.data.note.velocity, c.Value) << std::hex << c.Message;
    } else {
      if (c.Channel >= 0)
        EXPECT_EQ(event.data.control.channel, c.Channel) << std::hex << c.Message;
      if (c.Type == SND_SEQ_EVENT_CONTROLLER)
        EXPECT_EQ(event.data.control.param, 7u);
      if (c.Type != SND_SEQ_EVENT_QFRAME && c.Type != SND_SEQ_EVENT_SONGSEL)
        EXPECT_EQ(event.data.control.value, c.Value) << std::hex << c.Message;
    }
    EXPECT_EQ(DecodeAll(coder, event), std::vector<DWORD>{c.Message}) << std::hex << c.Message;
  }
}

TEST(AlsaEventCoder, WhatTheSequencerCannotCarryIsRefused) {
  // Data bytes, system exclusive and the undefined system messages.
  AlsaEventCoder coder;
  for (const DWORD message : {0x3Cu, 0x7Fu, 0xF0u, 0xF7u, 0xF4u, 0xF5u, 0xF9u, 0xFDu}) {
    snd_seq_event_t event;
    EXPECT_FALSE(coder.Encode(message, event)) << std::hex << message;
  }
}

TEST(AlsaEventCoder, EventsBecomeTheShortMessagesTheyStandFor) {
  AlsaEventCoder coder;
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  snd_seq_ev_set_controller(&event, 2, 7, 0x1234);
  event.type = SND_SEQ_EVENT_CONTROL14;
  // The high seven bits on controller 7, the low ones on controller 7 + 32.
  EXPECT_EQ(DecodeAll(coder, event), (std::vector<DWORD>{0x2407B2, 0x3427B2}));

  event.type = SND_SEQ_EVENT_NONREGPARAM;
  event.data.control.param = 0x0102;
  event.data.control.value = 0x0304;
  // Parameter number high (99) and low (98), then data entry high (6) and low (38).
  EXPECT_EQ(DecodeAll(coder, event), (std::vector<DWORD>{0x0263B2, 0x0262B2, 0x0606B2, 0x0426B2}));

  // Active sensing and announcements carry nothing for the callback.
  snd_seq_ev_clear(&event);
  event.type = SND_SEQ_EVENT_SENSING;
  EXPECT_TRUE(DecodeAll(coder, event).empty());
  event.type = SND_SEQ_EVENT_PORT_START;
  EXPECT_TRUE(DecodeAll(coder, event).empty());
}

} // namespace
