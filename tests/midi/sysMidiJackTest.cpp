// End to end on a private JACK server: the registries over the JACK backend
// against jack_midiseq, jack_midi_dump and a client of the test's own.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "platform/mm/JackMidiBackend.h"
#include "platform/mm/MidiService.h"
#include "support/JackServer.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <sstream>
#include <thread>

using namespace platform;
using namespace std::chrono_literals;
using testing::HasSubstr;

namespace {

using Bytes = std::vector<int>;

Bytes BytesOf(const TJackProbe::Event& aEvent) {
  return Bytes(aEvent.Bytes.begin(), aEvent.Bytes.begin() + aEvent.Size);
}

class JackRegistry : public testing::Test {
protected:
  void SetUp() override {
    fServer = std::make_unique<TJackServer>(Period());
    if (!fServer->Running()) {
      ASSERT_FALSE(JackServerRequired())
          << "no JACK server could be started: " << fServer->Reason();
      GTEST_SKIP() << "no JACK server could be started here: " << fServer->Reason();
    }
  }
  void TearDown() override {
    FreeMidiDevices();
    StopMidiService();
    fServer.reset();
  }
  void StartService() {
    const MidiServiceStatus status = StartMidiService("jack");
    ASSERT_EQ(status.Result, MMSYSERR_NOERROR) << status.Note;
    ASSERT_EQ(status.Kind, MidiBackendKind::Jack);
  }
  // Frames per cycle of the private server.
  virtual int Period() const { return 256; }
  static int IndexOf(const TMidiDevices& aRegistry, const std::string& aName) {
    const auto names = aRegistry.Names();
    const auto found = std::find(names.begin(), names.end(), aName);
    return found == names.end() ? -1 : int(found - names.begin());
  }

  std::unique_ptr<TJackServer> fServer;
};

TEST_F(JackRegistry, ListsOtherClientsPortsButNotOurOwn) {
  TJackProbe probe(UniqueJackName("probe"), 2, 2);
  ASSERT_TRUE(probe.Ok());
  StartService();
  EXPECT_EQ(IndexOf(MidiInput(), probe.OutputPort(0)) + 1,
            IndexOf(MidiInput(), probe.OutputPort(1)));
  EXPECT_GE(IndexOf(MidiOutput(), probe.InputPort(1)), 0);
  EXPECT_EQ(IndexOf(MidiInput(), probe.InputPort(0)), -1); // wrong direction
  MidiInput().Open(IndexOf(MidiInput(), probe.OutputPort(0)));
  MidiOutput().Reenumerate();
  MidiInput().Reenumerate(); // closes the open port first
  for (const std::string& name : MidiInput().Names())
    EXPECT_THAT(name, testing::Not(testing::StartsWith("midimonitor"))) << name;
}

TEST_F(JackRegistry, BytesSentThroughSendArriveUnchanged) {
  TJackProbe sink(UniqueJackName("sink"), 0, 1);
  ASSERT_TRUE(sink.Ok());
  StartService();
  const int port = IndexOf(MidiOutput(), sink.InputPort(0));
  ASSERT_GE(port, 0);
  const std::vector<Bytes> messages = {
      {0x90, 0x3C, 0x64}, {0xC0, 0x05},       {0xF8}, {0xE0, 0x00, 0x40}, {0xF2, 0x10, 0x20},
      {0xF1, 0x33},       {0xB0, 0x07, 0x7F}, {0xFE}, {0x80, 0x3C, 0x00}};
  for (const Bytes& m : messages)
    MidiOutput().Send(port, m[0], m.size() > 1 ? m[1] : 0, m.size() > 2 ? m[2] : 0);
  const auto received = sink.WaitReceived(0, messages.size());
  ASSERT_EQ(received.size(), messages.size());
  for (std::size_t i = 0; i < messages.size(); ++i)
    EXPECT_EQ(BytesOf(received[i]), messages[i]) << i;
}

TEST_F(JackRegistry, JackMidiDumpSeesTheSentBytes) {
  const std::string name = UniqueJackName("dump");
  const std::string log = "/tmp/" + name + ".txt";
  // Line-buffered, so each event is in the file as soon as it is printed.
  TChild dump({"stdbuf", "-oL", "jack_midi_dump", name}, log);
  StartService();
  int port = -1;
  for (auto deadline = std::chrono::steady_clock::now() + 5s;
       port < 0 && std::chrono::steady_clock::now() < deadline;) {
    std::this_thread::sleep_for(50ms);
    MidiOutput().Reenumerate();
    port = IndexOf(MidiOutput(), name + ":input");
  }
  ASSERT_GE(port, 0) << "jack_midi_dump's port did not appear";
  // Its port is listed a moment before the client is active and can be
  // connected.
  for (auto deadline = std::chrono::steady_clock::now() + 5s; !MidiOutput().IsOpen(port);) {
    try {
      MidiOutput().Open(port);
    } catch (const EMidiError&) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "cannot connect to jack_midi_dump";
      std::this_thread::sleep_for(50ms);
    }
  }
  MidiOutput().Send(port, 0x90, 0x3C, 0x64);
  MidiOutput().Send(port, 0xC0, 0x05, 0x00);
  MidiOutput().Send(port, 0xB0, 0x07, 0x7F);
  std::string text;
  for (auto deadline = std::chrono::steady_clock::now() + 5s;
       text.find("b0 07 7f") == std::string::npos && std::chrono::steady_clock::now() < deadline;) {
    std::this_thread::sleep_for(20ms);
    std::ifstream file(log);
    std::stringstream content;
    content << file.rdbuf();
    text = content.str();
  }
  dump.Stop();
  std::remove(log.c_str());
  EXPECT_THAT(text, HasSubstr(": 90 3c 64"));
  EXPECT_THAT(text, HasSubstr(": c0 05"));
  EXPECT_THAT(text, HasSubstr(": b0 07 7f"));
  EXPECT_EQ(text.find("c0 05 00"), std::string::npos); // two bytes, as the status says
}

TEST_F(JackRegistry, MessagesOfJackMidiseqReachTheEvent) {
  const std::string name = UniqueJackName("seq");
  // A 0.1 s loop at 48 kHz: note 60 on at 0, off after 2400 frames.
  TChild sequencer({"jack_midiseq", name, "4800", "0", "60", "2400"}, "/dev/null");
  std::mutex lock;
  std::vector<Bytes> seen;
  std::atomic<int> port{-1};
  for (auto deadline = std::chrono::steady_clock::now() + 5s;
       std::chrono::steady_clock::now() < deadline;) {
    StartService();
    port = IndexOf(MidiInput(), name + ":out");
    if (port >= 0)
      break;
    FreeMidiDevices();
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_GE(port.load(), 0) << "jack_midiseq's port did not appear";
  MidiInput().SetOnMidiData(
      [&](int aIndex, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
        std::lock_guard guard(lock);
        if (aIndex == port)
          seen.push_back({aStatus, aData1, aData2});
      });
  // Its port is listed a moment before the client is active and can be
  // connected.
  for (auto deadline = std::chrono::steady_clock::now() + 5s; !MidiInput().IsOpen(port);) {
    try {
      MidiInput().Open(port);
    } catch (const EMidiError&) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "cannot connect to jack_midiseq";
      std::this_thread::sleep_for(50ms);
    }
  }
  for (auto deadline = std::chrono::steady_clock::now() + 3s;
       std::chrono::steady_clock::now() < deadline;) {
    std::this_thread::sleep_for(20ms);
    std::lock_guard guard(lock);
    if (seen.size() >= 4)
      break;
  }
  MidiInput().Close(port);
  JackMidiCounters counters;
  ASSERT_EQ(JackMidiGetCounters(counters), MMSYSERR_NOERROR);
  std::lock_guard guard(lock);
  ASSERT_GE(seen.size(), 4u) << counters.Delivered << " delivered, sequencer "
                             << (sequencer.Running() ? "running" : "gone");
  for (const Bytes& message : seen) {
    EXPECT_TRUE(message[0] == 0x90 || message[0] == 0x80) << message[0];
    EXPECT_EQ(message[1], 60);
  }
}

// The thru as the window builds it, to four outputs: every event leaves in
// the cycle and at the frame it arrived.
TEST_F(JackRegistry, ThruAddsNoLatencyOnAnyOutput) {
  TJackProbe source(UniqueJackName("source"), 1, 0);
  TJackProbe sink(UniqueJackName("sink"), 0, 4);
  ASSERT_TRUE(source.Ok() && sink.Ok());
  StartService();
  const int input = IndexOf(MidiInput(), source.OutputPort(0));
  std::vector<int> outputs;
  for (int i = 0; i < 4; ++i)
    outputs.push_back(IndexOf(MidiOutput(), sink.InputPort(i)));
  ASSERT_GE(input, 0);
  for (int output : outputs) {
    ASSERT_GE(output, 0);
    MidiOutput().Open(output);
  }
  MidiInput().SetOnMidiData(
      [&](int, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
        for (auto output = outputs.rbegin(); output != outputs.rend(); ++output)
          MidiOutput().Send(*output, aStatus, aData1, aData2);
      });
  MidiInput().Open(input);
  const int last = fServer->Period() - 1;
  std::vector<std::uint32_t> sentAt;
  std::vector<Bytes> sent;
  for (int burst = 0; burst < 5; ++burst) {
    const std::vector<TJackProbe::Event> events = {
        ProbeEvent(0, 0x90, burst, 100), ProbeEvent(1, 0xC0, burst),
        ProbeEvent(100, 0xB0, 7, burst), ProbeEvent(uint32_t(last), 0xF8)};
    const std::uint32_t start = source.SendBurst(0, events);
    for (const auto& event : events) {
      sentAt.push_back(start + event.Frame);
      sent.push_back(BytesOf(event));
    }
  }
  for (int i = 0; i < 4; ++i) {
    const auto received = sink.WaitReceived(i, sent.size());
    ASSERT_EQ(received.size(), sent.size()) << "output " << i;
    for (std::size_t e = 0; e < sent.size(); ++e) {
      EXPECT_EQ(BytesOf(received[e]), sent[e]) << "output " << i << ", event " << e;
      EXPECT_EQ(received[e].Frame, sentAt[e]) << "output " << i << ", event " << e;
    }
  }
  MidiInput().CloseAll(); // the event uses this test's locals
  JackMidiCounters counters;
  ASSERT_EQ(JackMidiGetCounters(counters), MMSYSERR_NOERROR);
  EXPECT_EQ(counters.SentDirect, 4 * sent.size());
  EXPECT_EQ(counters.BufferDrops + counters.RingDrops, 0u);
}

TEST_F(JackRegistry, AClosedInputDeliversNothingMore) {
  TJackProbe source(UniqueJackName("source"), 1, 0);
  ASSERT_TRUE(source.Ok());
  StartService();
  std::atomic<int> calls{0};
  MidiInput().SetOnMidiData([&](int, std::uint8_t, std::uint8_t, std::uint8_t) { ++calls; });
  const int input = IndexOf(MidiInput(), source.OutputPort(0));
  MidiInput().Open(input);
  const std::vector<TJackProbe::Event> events = {ProbeEvent(3, 0x90, 60, 1)};
  source.SendBurst(0, events);
  WaitUntil([&] { return calls > 0; });
  EXPECT_EQ(calls.load(), 1);
  MidiInput().Close(input);
  source.SendBurst(0, events);
  source.SendBurst(0, {});
  EXPECT_EQ(calls.load(), 1);
}

// An output port keeps its last cycle's events until its buffer is cleared:
// a port being closed must not hand them to the destination a second time.
// And a message sent just before the close still goes out.
TEST_F(JackRegistry, AClosingOutputSendsNothingTwice) {
  TJackProbe sink(UniqueJackName("sink"), 1, 1);
  ASSERT_TRUE(sink.Ok());
  StartService();
  const int port = IndexOf(MidiOutput(), sink.InputPort(0));
  ASSERT_GE(port, 0);
  std::vector<Bytes> sent;
  for (int round = 0; round < 40; ++round) {
    MidiOutput().Open(port);
    MidiOutput().Send(port, 0x90, round, 100);
    sent.push_back({0x90, round, 100});
    // Closing lands anywhere from before to after the cycle that writes it.
    std::this_thread::sleep_for(std::chrono::microseconds(250 * (round % 24)));
    MidiOutput().Close(port);
  }
  sink.WaitReceived(0, sent.size());
  // A second copy would come in a cycle before the last close returned; the
  // sink has recorded that cycle once it has run a later one.
  sink.SendBurst(0, {});
  std::vector<Bytes> arrived;
  for (const auto& event : sink.WaitReceived(0, 0, 0))
    arrived.push_back(BytesOf(event));
  // Each message exactly once and in order: what was sent before the close
  // went out before the port closed.
  EXPECT_EQ(arrived, sent);
}

TEST_F(JackRegistry, AVanishedPortFailsClearly) {
  auto sink = std::make_unique<TJackProbe>(UniqueJackName("sink"), 0, 1);
  StartService();
  const int port = IndexOf(MidiOutput(), sink->InputPort(0));
  ASSERT_GE(port, 0);
  sink.reset();
  EXPECT_THAT([&] { MidiOutput().Open(port); },
              testing::ThrowsMessage<EMidiError>("The MIDI port is no longer present."));
  EXPECT_FALSE(MidiOutput().IsOpen(port));
}

// Long cycles (85 ms), so that the sender outruns the draining.
class JackRegistryLongCycles : public JackRegistry {
protected:
  int Period() const override { return 4096; }
};

TEST_F(JackRegistryLongCycles, AFullRingRefusesCountsAndReports) {
  TJackProbe sink(UniqueJackName("sink"), 0, 1);
  StartService();
  const int port = IndexOf(MidiOutput(), sink.InputPort(0));
  MidiOutput().Open(port);
  int refused = 0;
  for (int i = 0; i < 3 * int(JackMidiBackend::RingCapacity); ++i) {
    try {
      MidiOutput().Send(port, 0x90, i % 128, 1);
    } catch (const EMidiError& error) {
      EXPECT_EQ(error.Code(), MIDIERR_NOTREADY);
      ++refused;
    }
  }
  EXPECT_GT(refused, 0);
  JackMidiCounters counters;
  ASSERT_EQ(JackMidiGetCounters(counters), MMSYSERR_NOERROR);
  EXPECT_EQ(counters.RingDrops + counters.BufferDrops, std::uint64_t(refused));
}

TEST_F(JackRegistry, PortsCannotBeOpenedOnTheProcessThread) {
  TJackProbe source(UniqueJackName("source"), 1, 0);
  TJackProbe sink(UniqueJackName("sink"), 0, 1);
  StartService();
  const int output = IndexOf(MidiOutput(), sink.InputPort(0));
  std::mutex lock;
  std::string failure;
  MidiInput().SetOnMidiData([&](int, std::uint8_t aStatus, std::uint8_t, std::uint8_t) {
    try {
      MidiOutput().Send(output, aStatus, 0, 0);
    } catch (const EMidiError& error) {
      std::lock_guard guard(lock);
      failure = error.what();
    }
  });
  MidiInput().Open(IndexOf(MidiInput(), source.OutputPort(0)));
  source.SendBurst(0, {ProbeEvent(0, 0xF8)});
  WaitUntil([&] {
    std::lock_guard guard(lock);
    return !failure.empty();
  });
  MidiInput().CloseAll(); // the event uses this test's locals
  std::lock_guard guard(lock);
  EXPECT_THAT(failure, HasSubstr("not ready"));
  EXPECT_FALSE(MidiOutput().IsOpen(output));
}

} // namespace
