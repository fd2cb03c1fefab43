// The monitor's port lists following the machine on the virtual MIDI service:
// ports that come and go, checks kept and remembered, ports chosen by name,
// and a flood that runs while the lists change.
#include "MonitorFormFixture.h"
#include "monitor/MessageDecoder.h"
#include "platform/mm/VirtualMidi.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using platform::MidiDirection;
using platform::UINT;
using TLines = std::vector<std::string>;

platform::DWORD Word(int aStatus, int aData1, int aData2) {
  return platform::DWORD(aStatus | (aData1 << 8) | (aData2 << 16));
}

class MonitorPorts : public MonitorFormTest {
protected:
  void Open(const std::string& aLayout) {
    ASSERT_EQ(platform::StartMidiService("virtual:" + aLayout).Result, 0u);
    ShowMonitor();
  }

  // The lines as the dump shows them: "[x] Name" or "[ ] Name".
  TLines Lines(bool aOutput) const {
    TLines lines;
    TCheckListBox* list = List(aOutput);
    for (int i = 0; i < list->Count(); ++i)
      lines.push_back((list->Checked(i) ? "[x] " : "[ ] ") + list->Items()[i]);
    return lines;
  }
  // Runs the loop until the list shows aExpected (the service's notice is
  // handled by the loop); false when it does not within a generous limit.
  bool WaitForLines(bool aOutput, const TLines& aExpected) {
    return platform::PumpUntil([&] { return Lines(aOutput) == aExpected; }, 10000);
  }
  static std::vector<platform::DWORD> Received(UINT aOutput) {
    std::vector<platform::DWORD> messages;
    EXPECT_EQ(platform::VirtualMidiReceived(aOutput, messages), 0u);
    return messages;
  }
  void InjectAndShow(UINT aPort, platform::DWORD aMessage) {
    ASSERT_EQ(platform::VirtualMidiInject(aPort, aMessage), 0u);
    ASSERT_EQ(platform::VirtualMidiFlush(), 0u);
    fForm->DrainNow();
  }
};

// An earlier port goes and a later one comes, in both lists: the checked port
// that stayed keeps its check under its new index (the registry's own tests
// follow its handle), its messages show its name, and the thru serves the
// output that moved, not the port now at its old index.
TEST_F(MonitorPorts, StayedPortsKeepTheirChecksHandlesAndThruUnderTheirNewIndexes) {
  Open("in=Keyboard,Pads,Drums;out=Synth,Sampler,Recorder");
  fAutomation->SetLineChecked(false, 2, true);
  fAutomation->SetLineChecked(true, 2, true);
  ASSERT_EQ(platform::VirtualMidiRemovePort(MidiDirection::In, 0), 0u);
  ASSERT_EQ(platform::VirtualMidiAddPort(MidiDirection::In, "Late"), 0u);
  ASSERT_EQ(platform::VirtualMidiRemovePort(MidiDirection::Out, 0), 0u);
  EXPECT_TRUE(WaitForLines(false, {"[ ] Pads", "[x] Drums", "[ ] Late"}));
  EXPECT_TRUE(WaitForLines(true, {"[ ] Sampler", "[x] Recorder"}));
  InjectAndShow(1, Word(0x90, 0x3C, 0x64));
  EXPECT_EQ(Status(), "Drums: Statusbyte 90, Parameter 1 3C, Parameter 2 64");
  EXPECT_EQ(Received(1), std::vector<platform::DWORD>{Word(0x90, 0x3C, 0x64)});
  EXPECT_TRUE(Received(0).empty());
  // A renamed port keeps its line's check under its new name.
  ASSERT_EQ(platform::VirtualMidiRenamePort(MidiDirection::In, 1, "Drums (USB)"), 0u);
  EXPECT_TRUE(WaitForLines(false, {"[ ] Pads", "[x] Drums (USB)", "[ ] Late"}));
  EXPECT_TRUE(MidiInput().IsOpen(1));
}

// A checked port that goes away is remembered by name and checked and opened
// again when it comes back; the status line says both. A rescan forgets.
TEST_F(MonitorPorts, ACheckedPortThatComesBackIsCheckedAndOpenedAgain) {
  Open("in=Keyboard,Pads;out=Synth,Sampler");
  for (const bool output : {false, true}) {
    SCOPED_TRACE(output ? "outputs" : "inputs");
    const auto direction = output ? MidiDirection::Out : MidiDirection::In;
    TMidiDevices& registry = output ? static_cast<TMidiDevices&>(MidiOutput()) : MidiInput();
    const std::string name = output ? "Synth" : "Keyboard";
    const std::string other = output ? "Sampler" : "Pads";
    fAutomation->SetLineChecked(output, 0, true);
    ASSERT_EQ(platform::VirtualMidiRemovePort(direction, 0), 0u);
    EXPECT_TRUE(WaitForLines(output, {"[ ] " + other}));
    EXPECT_EQ(Status(), name + ": Ger\xC3\xA4t weg");
    ASSERT_EQ(platform::VirtualMidiAddPort(direction, name), 0u);
    EXPECT_TRUE(WaitForLines(output, {"[ ] " + other, "[x] " + name}));
    EXPECT_EQ(Status(), name + ": Ger\xC3\xA4t wieder da");
    EXPECT_TRUE(registry.IsOpen(1));
    // Gone again, then a rescan: it comes back unchecked.
    ASSERT_EQ(platform::VirtualMidiRemovePort(direction, 1), 0u);
    EXPECT_TRUE(WaitForLines(output, {"[ ] " + other}));
    fAutomation->ClickButton(output ? "btnResetOut" : "btnResetIn");
    ASSERT_EQ(platform::VirtualMidiAddPort(direction, name), 0u);
    EXPECT_TRUE(WaitForLines(output, {"[ ] " + other, "[ ] " + name}));
    EXPECT_FALSE(registry.IsOpen(1));
  }
  // The output that came back is served by the thru.
  fAutomation->SetLineChecked(false, 0, true);
  fAutomation->SetLineChecked(true, 1, true);
  InjectAndShow(0, Word(0xC0, 0x05, 0));
  EXPECT_EQ(Received(1), std::vector<platform::DWORD>{Word(0xC0, 0x05, 0)});
}

// --in/--out patterns check the matching lines at start and every matching
// port that appears later, letter case aside; a rescan unchecks them, a port
// appearing after it is checked again.
TEST_F(MonitorPorts, PatternsCheckMatchingPortsAtStartAndWhenTheyAppear) {
  Open("in=Keystation,Pads;out=Synth,Recorder");
  fForm->PortLists()->ChooseByName({"KEY", "drum"}, {"syn"});
  EXPECT_EQ(Lines(false), (TLines{"[x] Keystation", "[ ] Pads"}));
  EXPECT_EQ(Lines(true), (TLines{"[x] Synth", "[ ] Recorder"}));
  EXPECT_TRUE(MidiInput().IsOpen(0));
  EXPECT_TRUE(MidiOutput().IsOpen(0));
  for (const char* name : {"Drums", "Second Keyboard", "Bass"})
    ASSERT_EQ(platform::VirtualMidiAddPort(MidiDirection::In, name), 0u);
  ASSERT_EQ(platform::VirtualMidiAddPort(MidiDirection::Out, "Soft SYNTH"), 0u);
  EXPECT_TRUE(WaitForLines(
      false, {"[x] Keystation", "[ ] Pads", "[x] Drums", "[x] Second Keyboard", "[ ] Bass"}));
  EXPECT_TRUE(WaitForLines(true, {"[x] Synth", "[ ] Recorder", "[x] Soft SYNTH"}));
  EXPECT_TRUE(MidiInput().IsOpen(3));
  EXPECT_FALSE(MidiInput().IsOpen(4));
  InjectAndShow(3, Word(0x90, 0x40, 0x40));
  EXPECT_EQ(Received(2), std::vector<platform::DWORD>{Word(0x90, 0x40, 0x40)});
  EXPECT_EQ(Received(0), std::vector<platform::DWORD>{Word(0x90, 0x40, 0x40)});
  fAutomation->ClickButton("btnResetIn");
  EXPECT_EQ(Lines(false),
            (TLines{"[ ] Keystation", "[ ] Pads", "[ ] Drums", "[ ] Second Keyboard", "[ ] Bass"}));
  ASSERT_EQ(platform::VirtualMidiAddPort(MidiDirection::In, "Keys 3"), 0u);
  EXPECT_TRUE(WaitForLines(false, {"[ ] Keystation", "[ ] Pads", "[ ] Drums", "[ ] Second Keyboard",
                                   "[ ] Bass", "[x] Keys 3"}));
}

// A listing that fails is shown in the status line and changes nothing; the
// next change brings the list up to date. A port that comes back but cannot
// be opened stays checked and says so.
TEST_F(MonitorPorts, FailuresWhileTheListsFollowAreShownAndLoseNothing) {
  Open("in=Keyboard,Pads;out=Synth");
  fAutomation->SetLineChecked(false, 0, true);
  fAutomation->SetLineChecked(false, 1, true);
  ASSERT_EQ(platform::VirtualMidiAddPort(MidiDirection::In, "Late"), 0u);
  ASSERT_EQ(platform::VirtualMidiSetFault(MidiDirection::In, 2, platform::MidiFaultPoint::Caps,
                                          platform::MMSYSERR_NOMEM),
            0u);
  ASSERT_TRUE(platform::PumpUntil([&] { return Status().starts_with("Eing"); }, 10000));
  EXPECT_EQ(Status(), "Eing\xC3\xA4nge: There is not enough memory for the MIDI port.");
  EXPECT_EQ(Lines(false), (TLines{"[x] Keyboard", "[x] Pads"}));
  InjectAndShow(0, Word(0x80, 0x3C, 0));
  EXPECT_EQ(fForm->lbListe->Count(), 1);
  ASSERT_EQ(platform::VirtualMidiSetFault(MidiDirection::In, 2, platform::MidiFaultPoint::Caps, 0),
            0u);
  // Pads goes, and comes back unable to open.
  ASSERT_EQ(platform::VirtualMidiRemovePort(MidiDirection::In, 1), 0u);
  EXPECT_TRUE(WaitForLines(false, {"[x] Keyboard", "[ ] Late"}));
  ASSERT_EQ(platform::VirtualMidiAddPort(MidiDirection::In, "Pads", true), 0u);
  EXPECT_TRUE(WaitForLines(false, {"[x] Keyboard", "[ ] Late", "[x] Pads"}));
  EXPECT_EQ(Status(), std::string("Pads: Ger\xC3\xA4t wieder da \xE2\x80\x93 Pads: ") +
                          DeviceUnavailableText);
  EXPECT_FALSE(MidiInput().IsOpen(2));
  // Keyboard goes and its handle will not close, while Late, gone checked
  // before, comes back: Late is opened all the same.
  fAutomation->SetLineChecked(false, 1, true);
  ASSERT_EQ(platform::VirtualMidiRemovePort(MidiDirection::In, 1), 0u);
  EXPECT_TRUE(WaitForLines(false, {"[x] Keyboard", "[x] Pads"}));
  ASSERT_EQ(platform::VirtualMidiSetFault(MidiDirection::In, 0, platform::MidiFaultPoint::Close,
                                          platform::MMSYSERR_ERROR),
            0u);
  ASSERT_EQ(platform::VirtualMidiRemovePort(MidiDirection::In, 0), 0u);
  ASSERT_EQ(platform::VirtualMidiAddPort(MidiDirection::In, "Late"), 0u);
  EXPECT_TRUE(WaitForLines(false, {"[x] Pads", "[x] Late"}));
  EXPECT_NE(Status().find("Eing\xC3\xA4nge: The MIDI service reported an unspecified error."),
            std::string::npos)
      << Status();
  EXPECT_TRUE(MidiInput().IsOpen(1));
}

// Messages flood in on a checked input while ports before it and before the
// checked output go away and others come, so both move to a new index with
// every change. Every message is logged in order under its port's name and
// reaches the checked output and no other.
TEST_F(MonitorPorts, AFloodKeepsItsLinesAndThruTargetsWhileThePortsChange) {
  constexpr int Rounds = 12;
  constexpr int PerRound = 1000;
  std::string inputs = "in=", outputLayout = ";out=";
  for (int i = 0; i < Rounds; ++i) {
    inputs += "In" + std::to_string(i) + ",";
    outputLayout += "Out" + std::to_string(i) + ",";
  }
  Open(inputs + "Source" + outputLayout + "Target");
  fAutomation->SetLineChecked(false, Rounds, true);
  fAutomation->SetLineChecked(true, Rounds, true);
  std::atomic<bool> done{false};
  std::thread machine([&] {
    for (int round = 0; round < Rounds; ++round) {
      const UINT source = UINT(Rounds - round);
      for (int n = 0; n < PerRound; ++n) {
        const int k = round * PerRound + n;
        platform::VirtualMidiInject(source, Word(0x90 | (k & 0x0F), (k >> 4) & 0x7F, round));
      }
      platform::VirtualMidiRemovePort(MidiDirection::In, 0);
      platform::VirtualMidiRemovePort(MidiDirection::Out, 0);
      platform::VirtualMidiAddPort(MidiDirection::Out, "Extra" + std::to_string(round));
    }
    done = true;
  });
  constexpr int Count = Rounds * PerRound;
  const bool all =
      platform::PumpUntil([&] { return done.load() && fForm->lbListe->Count() >= Count; }, 120000);
  machine.join();
  ASSERT_TRUE(all) << fForm->lbListe->Count();
  fForm->DrainNow();
  EXPECT_TRUE(WaitForLines(false, {"[x] Source"}));
  TLines outputs{"[x] Target"};
  for (int round = 0; round < Rounds; ++round)
    outputs.push_back("[ ] Extra" + std::to_string(round));
  EXPECT_TRUE(WaitForLines(true, outputs));
  platform::VirtualMidiCounters counters;
  ASSERT_EQ(platform::VirtualMidiGetCounters(counters), 0u);
  EXPECT_EQ(counters.Dropped, 0u);
  EXPECT_EQ(fForm->DroppedMessages(), 0u);
  EXPECT_EQ(fForm->ThruFailures(), 0u);
  EXPECT_EQ(fForm->lbListe->Count(), Count);
  const std::vector<platform::DWORD> received = Received(0);
  ASSERT_EQ(received.size(), std::size_t(Count));
  bool ordered = true;
  for (int k = 0; k < Count && ordered; ++k) {
    const int status = 0x90 | (k & 0x0F), data1 = (k >> 4) & 0x7F, data2 = k / PerRound;
    ordered = received[std::size_t(k)] == Word(status, data1, data2) &&
              fForm->lbListe->Items()[k] ==
                  FormatLogLine(std::uint8_t(status), std::uint8_t(data1), std::uint8_t(data2));
    EXPECT_TRUE(ordered) << k;
  }
  for (int round = 0; round < Rounds; ++round)
    EXPECT_TRUE(Received(UINT(round + 1)).empty()) << round;
  EXPECT_TRUE(Status().starts_with("Source: Statusbyte")) << Status();
  EXPECT_GE(fForm->PortLists()->ChangeCount(), 2u);
}

} // namespace
