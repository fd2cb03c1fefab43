// The ALSA test guest as the other guest tests rely on it: its two virtual
// cards are sequencer clients, bytes written to the first card's raw device
// reach a direct subscription to its port in full and in order, and a
// client's ports and the client itself go away on demand.
#include "support/AlsaSeqPeer.h"
#include "support/RawMidiWriter.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

bool Lists(const std::vector<std::string>& aNames, const std::string& aName) {
  return std::find(aNames.begin(), aNames.end(), aName) != aNames.end();
}

// Where the first message that is not of the note sequence lies, and its bytes.
std::string FirstForeign(const TAlsaSeqPeer::TPortRecord& aRecord) {
  for (std::size_t i = 0; i < aRecord.Messages.size(); ++i) {
    const TAlsaSeqPeer::TMessage& m = aRecord.Messages[i];
    if (SequenceIndex(m.Bytes.data(), m.Size))
      continue;
    std::string text = "message " + std::to_string(i) + ":";
    for (std::size_t b = 0; b < m.Size; ++b)
      text += " " + std::to_string(m.Bytes[b]);
    return text;
  }
  return "none";
}

} // namespace

TEST(AlsaGuest, TheVirtualCardsAreClientsWithTheirPorts) {
  TAlsaSeqPeer peer("guest test");
  const std::vector<std::string> names = peer.ClientNames();
  EXPECT_TRUE(Lists(names, "Virtual Raw MIDI 0-0"));
  EXPECT_TRUE(Lists(names, "Virtual Raw MIDI 0-1"));
  EXPECT_NO_THROW(peer.FindPort("Virtual Raw MIDI 0-0", "VirMIDI 0-0"));
  EXPECT_NO_THROW(peer.FindPort("Virtual Raw MIDI 0-1", "VirMIDI 0-1"));
}

TEST(AlsaGuest, RawBytesReachADirectSubscriptionInOrder) {
  constexpr std::uint32_t Count = 1000;
  TAlsaSeqPeer peer("guest test");
  const int port = peer.CreatePort("in");
  peer.Subscribe(peer.FindPort("Virtual Raw MIDI 0-0", "VirMIDI 0-0"), port);

  TRawMidiWriter writer;
  writer.WriteMessages(SequenceBytes(0, Count), 3, 0);

  ASSERT_EQ(peer.WaitCount(port, Count), Count);
  const TAlsaSeqPeer::TPortRecord record = peer.Received(port);
  EXPECT_EQ(record.OutOfOrder, 0u);
  EXPECT_EQ(record.Foreign, 0u) << FirstForeign(record);
  EXPECT_EQ(record.Messages.front().Bytes, SequenceMessage(0));
  EXPECT_EQ(record.Messages.back().Bytes, SequenceMessage(Count - 1));
  EXPECT_EQ(peer.Overruns(), 0u);
}

TEST(AlsaGuest, PortsAndClientsGoAwayOnDemand) {
  TAlsaSeqPeer watcher("guest watcher");
  TAlsaSeqPeer device("guest device");
  const int port = device.CreatePort("keys");
  EXPECT_NO_THROW(watcher.FindPort("guest device", "keys"));

  device.DeletePort(port);
  EXPECT_THROW(watcher.FindPort("guest device", "keys"), std::runtime_error);
  EXPECT_TRUE(Lists(watcher.ClientNames(), "guest device"));

  device.Exit();
  EXPECT_FALSE(Lists(watcher.ClientNames(), "guest device"));
  EXPECT_THROW(device.CreatePort("again"), std::logic_error);
}
