// The note sequence names every message of a run distinctly, so a delivery
// test can tell lost, repeated and reordered messages apart.
#include "support/NoteSequence.h"

#include <gtest/gtest.h>

TEST(NoteSequence, EveryMessageIsANoteOnThatGivesBackItsNumber) {
  for (std::uint32_t i = 0; i < SequenceLength; ++i) {
    const TShortBytes m = SequenceMessage(i);
    ASSERT_EQ(m[0] & 0xF0, 0x90) << i;
    ASSERT_LE(m[1], 0x7F) << i;
    ASSERT_GE(m[2], 1) << i; // velocity 0 would be a Note Off
    ASSERT_LE(m[2], 0x7F) << i;
    ASSERT_EQ(SequenceIndex(m.data(), m.size()), i) << i;
  }
}

TEST(NoteSequence, OtherMessagesHaveNoNumber) {
  const std::uint8_t noteOff[] = {0x80, 60, 64};
  const std::uint8_t silentNoteOn[] = {0x90, 60, 0};
  const std::uint8_t control[] = {0xB0, 7, 100};
  EXPECT_FALSE(SequenceIndex(noteOff, 3));
  EXPECT_FALSE(SequenceIndex(silentNoteOn, 3));
  EXPECT_FALSE(SequenceIndex(control, 3));
  EXPECT_FALSE(SequenceIndex(noteOff, 2));
}

TEST(NoteSequence, BytesRunOnFromTheFirstNumber) {
  const std::vector<std::uint8_t> bytes = SequenceBytes(SequenceLength - 1, 2);
  ASSERT_EQ(bytes.size(), 6u);
  EXPECT_EQ(SequenceIndex(bytes.data(), 3), SequenceLength - 1);
  EXPECT_EQ(SequenceIndex(bytes.data() + 3, 3), 0u); // wraps
}
