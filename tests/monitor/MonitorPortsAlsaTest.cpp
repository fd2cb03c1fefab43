// The monitor's port lists on the kernel's sequencer in the test guest, with
// no rescan: a client that starts after the window is listed and, chosen by
// name, checked and opened; it exits and comes back under its name (the
// kernel gives it its number again) and is opened again. And the program as
// a headless router: it forwards and logs until SIGTERM ends it.
#include "ChildProcess.h"
#include "MonitorFormFixture.h"
#include "platform/mm/MMSystem.h"
#include "support/AlsaSeqPeer.h"
#include "support/NoteSequence.h"
#include "support/TextLines.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The guest's processor is emulated: every wait is for an outcome, within
// a generous limit.
constexpr int PatienceMs = 60000;

const char* const Gone = "Ger\xC3\xA4t weg";
const char* const Back = "Ger\xC3\xA4t wieder da";

std::string Listed(const TAlsaSeqPeer& aPeer, const std::string& aClient, const std::string& aPort,
                   int aPortNumber) {
  return aClient + ":" + aPort + " " + std::to_string(aPeer.Client()) + ":" +
         std::to_string(aPortNumber);
}

// The bytes as the window's log and the message log show them.
std::string LogText(const TShortBytes& aBytes) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2X, %.2X, %.2X", aBytes[0], aBytes[1], aBytes[2]);
  return text;
}

// Waits (without the window's loop) until aDone holds.
bool WaitFor(const std::function<bool()>& aDone) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(PatienceMs);
  while (!aDone()) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// A client of the machine that plays: one port "keys".
struct TKeys {
  explicit TKeys(const std::string& aClient) : Peer(aClient), Port(Peer.CreatePort("keys")) {}
  TAlsaSeqPeer Peer;
  int Port;
};

class MonitorPortsOnAlsa : public MonitorFormTest {
protected:
  static constexpr const char* KeysClient = "late keys";

  void SetUp() override {
    fSink = std::make_unique<TAlsaSeqPeer>("thru sink");
    fSinkPort = fSink->CreatePort("sink");
    fSinkName = Listed(*fSink, "thru sink", "sink", fSinkPort);
    const platform::MidiServiceStatus status = platform::StartMidiService("alsa");
    ASSERT_EQ(status.Result, 0u) << status.Note;
    ShowMonitor();
    // As --in and --out do at start.
    fForm->PortLists()->ChooseByName({"LATE KEYS"}, {"thru sink"});
    ASSERT_TRUE(Checked(true, fSinkName));
  }
  int Line(bool aOutput, const std::string& aName) const {
    TCheckListBox* list = List(aOutput);
    for (int i = 0; i < list->Count(); ++i)
      if (list->Items()[i] == aName)
        return i;
    return -1;
  }
  bool Checked(bool aOutput, const std::string& aName) const {
    const int line = Line(aOutput, aName);
    return line >= 0 && List(aOutput)->Checked(line);
  }
  // Whether the input line of aName is checked and its port open.
  bool OpenInput(const std::string& aName) const {
    return Checked(false, aName) && MidiInput().IsOpen(Line(false, aName));
  }
  static bool Pump(const std::function<bool()>& aDone) {
    return platform::PumpUntil(aDone, PatienceMs);
  }

  // The keys play aCount messages of the note sequence from aFirst on: the
  // sink receives them unchanged and in order, and the window logs them.
  void ExpectForwardedAndLogged(TKeys& aKeys, std::uint32_t aFirst, std::uint32_t aCount) {
    const std::size_t received = fSink->Count(fSinkPort);
    const int logged = fForm->lbListe->Count();
    aKeys.Peer.Send(aKeys.Port, SequenceBytes(aFirst, aCount));
    ASSERT_EQ(fSink->WaitCount(fSinkPort, received + aCount), received + aCount);
    const TAlsaSeqPeer::TPortRecord record = fSink->Received(fSinkPort);
    EXPECT_EQ(record.OutOfOrder, 0u);
    for (std::uint32_t i = 0; i < aCount; ++i)
      ASSERT_EQ(record.Messages[received + i].Bytes, SequenceMessage(aFirst + i)) << i;
    ASSERT_TRUE(Pump([&] { return fForm->lbListe->Count() >= logged + int(aCount); }));
    for (std::uint32_t i = 0; i < aCount; ++i)
      ASSERT_EQ(fForm->lbListe->Items()[logged + int(i)], LogText(SequenceMessage(aFirst + i)));
    EXPECT_EQ(fForm->ThruFailures(), 0u);
  }

  std::unique_ptr<TAlsaSeqPeer> fSink;
  int fSinkPort = -1;
  std::string fSinkName;
};

TEST_F(MonitorPortsOnAlsa, ALateClientIsChosenByNameAndFollowedWhenItGoesAndComesBack) {
  auto keys = std::make_unique<TKeys>(KeysClient);
  const std::string name = Listed(keys->Peer, KeysClient, "keys", keys->Port);
  ASSERT_TRUE(Pump([&] { return OpenInput(name); })) << Status();
  // Its port can be written to as well, and is listed unchecked there: the
  // output pattern does not match it.
  ASSERT_TRUE(Pump([&] { return Line(true, name) >= 0; }));
  EXPECT_FALSE(Checked(true, name));
  ExpectForwardedAndLogged(*keys, 0, 20);
  EXPECT_EQ(Status().rfind(name + ": Statusbyte ", 0), 0u) << Status();

  keys->Peer.Exit();
  ASSERT_TRUE(Pump([&] { return Line(false, name) < 0 && Line(true, name) < 0; }));
  EXPECT_EQ(Status(), name + ": " + Gone);
  EXPECT_TRUE(Checked(true, fSinkName));

  keys.reset();
  keys = std::make_unique<TKeys>(KeysClient);
  ASSERT_EQ(Listed(keys->Peer, KeysClient, "keys", keys->Port), name)
      << "the kernel gives a client that starts again its number again";
  ASSERT_TRUE(Pump([&] { return OpenInput(name); })) << Status();
  EXPECT_NE(Status().find(name + ": " + Back), std::string::npos) << Status();
  ExpectForwardedAndLogged(*keys, 20, 20);
}

// The client exits and starts again before the window looks at its lists:
// the port listed under the same name is another one, so the handle of the
// one that went is closed and the new one opened.
TEST_F(MonitorPortsOnAlsa, AClientBackBeforeTheListsAreLookedAtIsOpenedAnew) {
  auto keys = std::make_unique<TKeys>(KeysClient);
  const std::string name = Listed(keys->Peer, KeysClient, "keys", keys->Port);
  ASSERT_TRUE(Pump([&] { return OpenInput(name); })) << Status();
  const auto old = static_cast<platform::HMIDIIN>(MidiInput().GetDeviceHandle(Line(false, name)));
  keys.reset();
  // Without the loop running: starting the old handle fails once the
  // service has read that its port went.
  ASSERT_TRUE(WaitFor([&] { return platform::midiInStart(old) == platform::MIDIERR_NODEVICE; }));
  keys = std::make_unique<TKeys>(KeysClient);
  ASSERT_EQ(Listed(keys->Peer, KeysClient, "keys", keys->Port), name);
  ASSERT_TRUE(Pump([&] {
    return OpenInput(name) && MidiInput().GetDeviceHandle(Line(false, name)) != old;
  })) << Status();
  EXPECT_NE(Status().find(name + ": " + Back), std::string::npos) << Status();
  ExpectForwardedAndLogged(*keys, 0, 20);
}

// midimonitor --headless --midi=alsa --in=... --out=... --log=FILE: the
// output is chosen at start, the input when its client appears; what it
// plays is forwarded and logged, and SIGTERM ends the run with exit code 0
// and every message in the log.
TEST(MonitorRouterOnAlsa, ForwardsAndLogsUntilSigterm) {
  TAlsaSeqPeer sink("router sink");
  const int sinkPort = sink.CreatePort("sink");
  const auto dir = std::filesystem::temp_directory_path() / UniqueName("router-alsa");
  std::filesystem::create_directories(dir);
  const std::string log = (dir / "log.tsv").string();
  TChildProcess router({std::string(MM_BINARY_DIR) + "/midimonitor", "--headless", "--midi=alsa",
                        "--in=router keys", "--out=Router Sink", "--log=" + log});
  ASSERT_TRUE(WaitFor([&] { return sink.SubscriberCount(sinkPort) == 1 || !router.Running(); }))
      << router.Stderr();
  ASSERT_TRUE(router.Running()) << router.Stderr();

  TKeys keys("router keys");
  const std::string name = Listed(keys.Peer, "router keys", "keys", keys.Port);
  // The router subscribes to the port a moment before it starts reading
  // it, and what arrives in between is not taken: probes (All Notes Off) go
  // until one is forwarded, then the numbered notes follow them.
  const TShortBytes probe = {0xB0, 0x7B, 0x00};
  ASSERT_TRUE(WaitFor([&] {
    keys.Peer.Send(keys.Port, {probe.begin(), probe.end()});
    return sink.Count(sinkPort) > 0;
  })) << router.Stderr();
  constexpr std::uint32_t Count = 200;
  keys.Peer.Send(keys.Port, SequenceBytes(0, Count));
  ASSERT_TRUE(WaitFor([&] { return sink.NumberedCount(sinkPort) == Count; })) << router.Stderr();
  const TAlsaSeqPeer::TPortRecord record = sink.Received(sinkPort);
  const std::size_t probes = record.Foreign;
  ASSERT_EQ(record.Messages.size(), probes + Count);
  for (std::size_t i = 0; i < record.Messages.size(); ++i)
    ASSERT_EQ(record.Messages[i].Bytes, i < probes ? probe : SequenceMessage(i - probes)) << i;

  ASSERT_EQ(::kill(router.Pid(), SIGTERM), 0);
  EXPECT_EQ(router.Wait(PatienceMs), 0) << router.Stderr();
  const std::string text = textlines::FileText(log);
  const std::vector<std::string> lines = textlines::Lines(text);
  ASSERT_EQ(lines.size(), probes + Count) << text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> fields = textlines::Fields(lines[i]);
    ASSERT_GE(fields.size(), 3u) << i;
    EXPECT_EQ(fields[1], name) << i;
    ASSERT_EQ(fields[2], LogText(i < probes ? probe : SequenceMessage(i - probes))) << i;
  }
  std::filesystem::remove_all(dir);
}

} // namespace
