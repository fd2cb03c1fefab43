// The raw MIDI writer on the host: a device that cannot be opened is named
// in the error, and a paced write does not run ahead of its rate.
#include "support/RawMidiWriter.h"

#include "support/NoteSequence.h"

#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(RawMidiWriter, AFailingOpenNamesTheDevice) {
  try {
    TRawMidiWriter writer("/nonexistent/midiC9D9");
    FAIL() << "opened a device that does not exist";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/midiC9D9"), std::string::npos) << e.what();
  }
}

TEST(RawMidiWriter, PacedMessagesTakeAtLeastTheirTime) {
  // 300 messages at 1,000/s: the last is due 299 ms after the first.
  TRawMidiWriter writer("/dev/null");
  const auto start = std::chrono::steady_clock::now();
  writer.WriteMessages(SequenceBytes(0, 300), 3, 1000);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(299));
}
