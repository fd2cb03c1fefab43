// The port registries on the virtual service: enumeration, bounds, open and
// close, the result check, the input event, sending, re-enumeration and the
// end of the program.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/VirtualMidi.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

using namespace platform;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::ThrowsMessage;

namespace {

using Message = std::tuple<int, int, int, int>;

constexpr const char* Ports = "in=Keyboard,Pads,Drums,Held*;out=Synth,Sampler,Locked*";
constexpr MMRESULT NoTextCode = 4242;

// Collects what the input event receives.
struct Inbox {
  std::mutex Lock;
  std::vector<Message> Messages;
  std::atomic<std::thread::id> Thread;
  TOnMidiInData Event() {
    return [this](int aIndex, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
      Thread = std::this_thread::get_id();
      std::lock_guard lock(Lock);
      Messages.emplace_back(aIndex, aStatus, aData1, aData2);
    };
  }
  std::vector<Message> Take() {
    std::lock_guard lock(Lock);
    return std::exchange(Messages, {});
  }
};

class Registry : public testing::Test {
protected:
  void SetUp() override { Start(Ports); }
  void TearDown() override {
    FreeMidiDevices();
    StopMidiService();
  }
  static void Start(const std::string& aPorts) {
    ASSERT_EQ(StartMidiService("virtual:" + aPorts).Result, MMSYSERR_NOERROR);
  }
  static std::vector<DWORD> Received(UINT aPort) {
    std::vector<DWORD> messages;
    EXPECT_EQ(VirtualMidiReceived(aPort, messages), MMSYSERR_NOERROR);
    return messages;
  }
  static void Inject(UINT aPort, DWORD aMessage, UINT aWhat = MIM_DATA) {
    ASSERT_EQ(VirtualMidiInject(aPort, aMessage, aWhat), MMSYSERR_NOERROR);
    ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  }
  static void Fault(MidiDirection aDirection, UINT aPort, MidiFaultPoint aPoint, MMRESULT aCode) {
    ASSERT_EQ(VirtualMidiSetFault(aDirection, aPort, aPoint, aCode), MMSYSERR_NOERROR);
  }
  // Whether the service sees port aPort as free (not held by any handle).
  static bool InputFree(UINT aPort) {
    HMIDIIN handle = nullptr;
    if (midiInOpen(&handle, aPort, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
      return false;
    midiInClose(handle);
    return true;
  }
  static bool OutputFree(UINT aPort) {
    HMIDIOUT handle = nullptr;
    if (midiOutOpen(&handle, aPort, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
      return false;
    midiOutClose(handle);
    return true;
  }
};

TEST_F(Registry, ListsThePortsInServiceOrder) {
  EXPECT_THAT(MidiInput().Names(), ElementsAre("Keyboard", "Pads", "Drums", "Held"));
  EXPECT_THAT(MidiOutput().Names(), ElementsAre("Synth", "Sampler", "Locked"));
  EXPECT_EQ(MidiInput().Name(1), "Pads");
  EXPECT_EQ(MidiInput().ClassName(), std::string("TMidiInput"));
  EXPECT_EQ(MidiOutput().ClassName(), std::string("TMidiOutput"));
}

TEST_F(Registry, KeepsLongAndEqualNamesApart) {
  FreeMidiDevices();
  Start("in=Midi Through:Midi Through Port-0,Midi Through:Midi Through Port-1,Gerät Ä,Gerät Ä");
  EXPECT_THAT(MidiInput().Names(),
              ElementsAre("Midi Through:Midi Through Port-0", "Midi Through:Midi Through Port-1",
                          "Gerät Ä", "Gerät Ä"));
  EXPECT_EQ(MidiOutput().Count(), 0);
}

TEST_F(Registry, CreatesEachRegistryOnceOnFirstUse) {
  EXPECT_FALSE(MidiInputExists());
  EXPECT_FALSE(MidiOutputExists());
  TMidiInput& first = MidiInput();
  ASSERT_EQ(VirtualMidiAddPort(MidiDirection::In, "Late"), MMSYSERR_NOERROR);
  EXPECT_EQ(&MidiInput(), &first);
  EXPECT_EQ(MidiInput().Count(), 4); // not enumerated again
  EXPECT_TRUE(MidiInputExists());
  EXPECT_FALSE(MidiOutputExists());
}

struct BoundsCase {
  std::function<void(int)> Call;
  bool Output;
};

TEST_F(Registry, EveryIndexIsCheckedAgainstTheList) {
  const BoundsCase calls[] = {
      {[](int i) { MidiInput().Open(i); }, false},
      {[](int i) { MidiInput().Close(i); }, false},
      {[](int i) { MidiInput().GetDeviceHandle(i); }, false},
      {[](int i) { MidiInput().Name(i); }, false},
      {[](int i) { MidiOutput().Open(i); }, true},
      {[](int i) { MidiOutput().Close(i); }, true},
      {[](int i) { MidiOutput().GetDeviceHandle(i); }, true},
      {[](int i) { MidiOutput().Send(i, 0x90, 0x3C, 0x64); }, true},
  };
  for (const auto& c : calls) {
    const int count = c.Output ? MidiOutput().Count() : MidiInput().Count();
    const char* name = c.Output ? "TMidiOutput" : "TMidiInput";
    for (int index : {-1, count, count + 5, -2147483647 - 1}) {
      const std::string expected =
          std::string(name) + ": Device index out of bounds! (" + std::to_string(index) + ")";
      EXPECT_THAT([&] { c.Call(index); }, ThrowsMessage<EMidiError>(expected)) << expected;
    }
    EXPECT_NO_THROW(c.Call(0)) << name;
  }
  EXPECT_NO_THROW(MidiInput().GetDeviceHandle(MidiInput().Count() - 2));
}

TEST_F(Registry, AMachineWithoutPortsRejectsIndexZero) {
  FreeMidiDevices();
  Start("");
  EXPECT_EQ(MidiInput().Count(), 0);
  EXPECT_EQ(MidiOutput().Count(), 0);
  EXPECT_THAT([] { MidiInput().Open(0); },
              ThrowsMessage<EMidiError>("TMidiInput: Device index out of bounds! (0)"));
  EXPECT_THAT([] { MidiOutput().Close(0); },
              ThrowsMessage<EMidiError>("TMidiOutput: Device index out of bounds! (0)"));
  EXPECT_THAT([] { MidiOutput().GetDeviceHandle(0); },
              ThrowsMessage<EMidiError>("TMidiOutput: Device index out of bounds! (0)"));
  EXPECT_NO_THROW(MidiInput().CloseAll());
}

TEST_F(Registry, OpeningAnOpenPortOrClosingAClosedOneDoesNothing) {
  MidiInput().Open(1);
  void* handle = MidiInput().GetDeviceHandle(1);
  ASSERT_NE(handle, nullptr);
  MidiInput().Open(1);
  EXPECT_EQ(MidiInput().GetDeviceHandle(1), handle);
  MidiInput().Close(1);
  EXPECT_EQ(MidiInput().GetDeviceHandle(1), nullptr);
  EXPECT_NO_THROW(MidiInput().Close(1));
  EXPECT_TRUE(InputFree(1));
  MidiOutput().Open(0);
  handle = MidiOutput().GetDeviceHandle(0);
  MidiOutput().Open(0);
  EXPECT_EQ(MidiOutput().GetDeviceHandle(0), handle);
  MidiOutput().Close(0);
  EXPECT_NO_THROW(MidiOutput().Close(0));
  EXPECT_TRUE(OutputFree(0));
  EXPECT_EQ(MidiInput().MidiResult(), MMSYSERR_NOERROR);
}

TEST_F(Registry, CloseAllWithNothingOpenChangesNothing) {
  EXPECT_NO_THROW(MidiInput().CloseAll());
  EXPECT_NO_THROW(MidiOutput().CloseAll());
  for (int i = 0; i < MidiInput().Count(); ++i)
    EXPECT_FALSE(MidiInput().IsOpen(i));
}

TEST_F(Registry, CloseAllStopsAtTheFirstFailure) {
  for (int i : {0, 1, 2})
    MidiInput().Open(i);
  Fault(MidiDirection::In, 1, MidiFaultPoint::Close, MIDIERR_STILLPLAYING);
  EXPECT_THAT([] { MidiInput().CloseAll(); },
              ThrowsMessage<EMidiError>("The MIDI port is still playing."));
  EXPECT_FALSE(MidiInput().IsOpen(0));
  EXPECT_TRUE(MidiInput().IsOpen(1));
  EXPECT_TRUE(MidiInput().IsOpen(2));
  Fault(MidiDirection::In, 1, MidiFaultPoint::Close, 0);
  MidiInput().CloseAll();
  for (int i : {0, 1, 2})
    EXPECT_TRUE(InputFree(i)) << i;
}

TEST_F(Registry, ServiceFailuresRaiseTheServiceText) {
  EXPECT_THAT([] { MidiInput().Open(3); },
              ThrowsMessage<EMidiError>("The MIDI port is already in use by another program."));
  EXPECT_EQ(MidiInput().MidiResult(), MMSYSERR_ALLOCATED);
  EXPECT_FALSE(MidiInput().IsOpen(3));
  EXPECT_THAT([] { MidiOutput().Send(2, 0x90, 0x3C, 0x64); },
              ThrowsMessage<EMidiError>("The MIDI port is already in use by another program."));
  EXPECT_FALSE(MidiOutput().IsOpen(2));
  try {
    MidiOutput().Open(2);
    FAIL();
  } catch (const EMidiError& error) {
    EXPECT_EQ(error.Code(), MMSYSERR_ALLOCATED);
  }
}

TEST_F(Registry, CodesWithoutTextAreStoredNotRaised) {
  // Closing goes on as if the call had succeeded.
  MidiInput().Open(0);
  Fault(MidiDirection::In, 0, MidiFaultPoint::Stop, NoTextCode);
  EXPECT_NO_THROW(MidiInput().Close(0));
  EXPECT_FALSE(MidiInput().IsOpen(0));
  EXPECT_EQ(MidiInput().MidiResult(), MMSYSERR_NOERROR); // the last call, close, succeeded
  Fault(MidiDirection::In, 0, MidiFaultPoint::Stop, 0);
  MidiInput().Open(0);
  Fault(MidiDirection::In, 0, MidiFaultPoint::Close, NoTextCode);
  EXPECT_NO_THROW(MidiInput().Close(0));
  EXPECT_EQ(MidiInput().MidiResult(), NoTextCode);
  EXPECT_FALSE(MidiInput().IsOpen(0));
  // Sending: nothing is raised, the code is readable.
  Fault(MidiDirection::Out, 1, MidiFaultPoint::Send, NoTextCode);
  EXPECT_NO_THROW(MidiOutput().Send(1, 0x90, 0x3C, 0x64));
  EXPECT_EQ(MidiOutput().MidiResult(), NoTextCode);
  EXPECT_TRUE(Received(1).empty());
}

TEST_F(Registry, AFailingStartLeavesThePortOpen) {
  Fault(MidiDirection::In, 2, MidiFaultPoint::Start, MMSYSERR_NOMEM);
  EXPECT_THAT([] { MidiInput().Open(2); },
              ThrowsMessage<EMidiError>("There is not enough memory for the MIDI port."));
  EXPECT_TRUE(MidiInput().IsOpen(2));
  EXPECT_FALSE(InputFree(2));
  MidiInput().Close(2);
  EXPECT_FALSE(MidiInput().IsOpen(2));
  EXPECT_TRUE(InputFree(2));
}

TEST_F(Registry, AFailingOpenStoresNothingAndAFailingCloseKeepsTheHandle) {
  Fault(MidiDirection::In, 0, MidiFaultPoint::Open, MIDIERR_NODEVICE);
  EXPECT_THAT([] { MidiInput().Open(0); },
              ThrowsMessage<EMidiError>("The MIDI port is no longer present."));
  EXPECT_FALSE(MidiInput().IsOpen(0));
  Fault(MidiDirection::In, 0, MidiFaultPoint::Open, 0);
  MidiInput().Open(0);
  Fault(MidiDirection::In, 0, MidiFaultPoint::Close, MMSYSERR_ERROR);
  EXPECT_THROW(MidiInput().Close(0), EMidiError);
  EXPECT_TRUE(MidiInput().IsOpen(0));
  Fault(MidiDirection::In, 0, MidiFaultPoint::Close, 0);
  MidiInput().Close(0);
  EXPECT_FALSE(MidiInput().IsOpen(0));

  MidiOutput().Open(0);
  Fault(MidiDirection::Out, 0, MidiFaultPoint::Close, MMSYSERR_ERROR);
  EXPECT_THROW(MidiOutput().Close(0), EMidiError);
  EXPECT_TRUE(MidiOutput().IsOpen(0));
  Fault(MidiDirection::Out, 0, MidiFaultPoint::Close, 0);
}

TEST_F(Registry, AFailingEnumerationLeavesNoRegistry) {
  Fault(MidiDirection::In, 1, MidiFaultPoint::Caps, MMSYSERR_NOMEM);
  EXPECT_THAT([] { MidiInput(); },
              ThrowsMessage<EMidiError>("There is not enough memory for the MIDI port."));
  EXPECT_FALSE(MidiInputExists());
  Fault(MidiDirection::In, 1, MidiFaultPoint::Caps, 0);
  EXPECT_EQ(MidiInput().Count(), 4);
}

TEST_F(Registry, ShortMessagesReachTheEventAsTheirBytes) {
  Inbox inbox;
  MidiInput().SetOnMidiData(inbox.Event());
  MidiInput().Open(2);
  MidiInput().Open(0);
  Inject(2, 0x643C90);
  Inject(0, 0xFE);              // active sensing passes: filtering is the handler's
  Inject(0, 0xAB0005C0);        // bits 24-31 are not used
  Inject(2, 0x1234, MIM_ERROR); // notifications other than data never arrive
  Inject(2, 0x1234, MIM_LONGDATA);
  Inject(2, 0x1234, MIM_MOREDATA);
  Inject(1, 0x90); // a port that is not open
  EXPECT_THAT(inbox.Take(), ElementsAre(Message{2, 0x90, 0x3C, 0x64}, Message{0, 0xFE, 0, 0},
                                        Message{0, 0xC0, 0x05, 0x00}));
  EXPECT_NE(inbox.Thread.load(), std::this_thread::get_id());
  MidiInput().Close(2);
  Inject(2, 0x643C90);
  EXPECT_TRUE(inbox.Take().empty());
}

TEST_F(Registry, WithoutAnEventMessagesAreDropped) {
  MidiInput().Open(0);
  Inject(0, 0x643C90);
  EXPECT_FALSE(MidiInput().OnMidiData());
  Inbox inbox;
  MidiInput().SetOnMidiData(inbox.Event());
  Inject(0, 0x643C91);
  MidiInput().SetOnMidiData(nullptr);
  Inject(0, 0x643C92);
  EXPECT_THAT(inbox.Take(), ElementsAre(Message{0, 0x91, 0x3C, 0x64}));
}

TEST_F(Registry, NothingTheEventThrowsReachesTheService) {
  std::atomic<int> calls{0};
  MidiInput().SetOnMidiData([&](int, std::uint8_t aStatus, std::uint8_t, std::uint8_t) {
    ++calls;
    if (aStatus == 0x90)
      throw EMidiError("thru failed");
    if (aStatus == 0x80)
      throw 42;
  });
  MidiInput().Open(0);
  for (DWORD message : {0x90u, 0x80u, 0xB0u})
    Inject(0, message);
  EXPECT_EQ(calls.load(), 3);
  EXPECT_EQ(MidiInput().EventFailureCount(), 2u);
  EXPECT_EQ(MidiInput().LastEventFailure(), "unknown exception");
}

TEST_F(Registry, SendOpensThePortAndSendsTheWord) {
  EXPECT_FALSE(MidiOutput().IsOpen(1));
  MidiOutput().Send(1, 0x90, 0x3C, 0x64);
  EXPECT_TRUE(MidiOutput().IsOpen(1));
  MidiOutput().Send(1, 0xC0, 0x05, 0x00);
  MidiOutput().Send(1, 0xF8, 0x00, 0x00);
  MidiOutput().Send(1, 0x3C, 0xFF, 0x80); // sent as given, whatever the bytes
  EXPECT_THAT(Received(1), ElementsAre(0x643C90u, 0x5C0u, 0xF8u, 0x80FF3Cu));
  EXPECT_TRUE(Received(0).empty());
}

TEST_F(Registry, AFailingOpenInsideSendSendsNothing) {
  Fault(MidiDirection::Out, 0, MidiFaultPoint::Open, MMSYSERR_NOMEM);
  EXPECT_THROW(MidiOutput().Send(0, 0x90, 0x3C, 0x64), EMidiError);
  EXPECT_FALSE(MidiOutput().IsOpen(0));
  Fault(MidiDirection::Out, 0, MidiFaultPoint::Open, 0);
  MidiOutput().Send(0, 0x90, 0x3C, 0x64); // tries again
  EXPECT_THAT(Received(0), ElementsAre(0x643C90u));
}

TEST_F(Registry, ReenumerationFindsNewPortsAndKeepsTheEvent) {
  Inbox inbox;
  MidiInput().SetOnMidiData(inbox.Event());
  ASSERT_EQ(VirtualMidiAddPort(MidiDirection::In, "Late"), MMSYSERR_NOERROR);
  MidiInput().Reenumerate();
  EXPECT_THAT(MidiInput().Names(), ElementsAre("Keyboard", "Pads", "Drums", "Held", "Late"));
  EXPECT_EQ(MidiInput().MidiResult(), MMSYSERR_NOERROR);
  MidiInput().Open(4);
  Inject(4, 0x643C90);
  EXPECT_THAT(inbox.Take(), ElementsAre(Message{4, 0x90, 0x3C, 0x64}));
}

TEST_F(Registry, ReenumerationClosesOpenPortsSoNoMessageChangesItsPort) {
  Inbox inbox;
  MidiInput().SetOnMidiData(inbox.Event());
  MidiInput().Open(0);
  MidiInput().Open(1);
  MidiOutput().Open(0);
  MidiOutput().Open(1);
  // Keyboard goes away: Pads becomes port 0.
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::In, 0), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::Out, 0), MMSYSERR_NOERROR);
  MidiInput().Reenumerate();
  MidiOutput().Reenumerate();
  EXPECT_THAT(MidiInput().Names(), ElementsAre("Pads", "Drums", "Held"));
  EXPECT_FALSE(MidiInput().IsOpen(0));
  EXPECT_FALSE(MidiOutput().IsOpen(0));
  Inject(0, 0x643C90); // Pads, formerly port 1, was closed
  EXPECT_TRUE(inbox.Take().empty());
  // No handle leaked: the service sees every port free.
  EXPECT_TRUE(InputFree(0));
  EXPECT_TRUE(OutputFree(0));
}

TEST_F(Registry, ReenumerationWithoutPortsKeepsTheLastResult) {
  Fault(MidiDirection::Out, 1, MidiFaultPoint::Send, NoTextCode);
  MidiOutput().Send(1, 0x90, 0x3C, 0x64); // opens port 1
  ASSERT_EQ(MidiOutput().MidiResult(), NoTextCode);
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::Out, 0), MMSYSERR_NOERROR);
  MidiOutput().Reenumerate(); // closes port 1's handle without a result check
  EXPECT_EQ(MidiOutput().Count(), 0);
  EXPECT_EQ(MidiOutput().MidiResult(), NoTextCode);
}

TEST_F(Registry, AFailedReenumerationLeavesTheRegistryAsItWas) {
  MidiInput().Open(1);
  void* handle = MidiInput().GetDeviceHandle(1);
  ASSERT_EQ(VirtualMidiAddPort(MidiDirection::In, "Late"), MMSYSERR_NOERROR);
  Fault(MidiDirection::In, 4, MidiFaultPoint::Caps, MMSYSERR_NOMEM);
  EXPECT_THROW(MidiInput().Reenumerate(), EMidiError);
  EXPECT_EQ(MidiInput().Count(), 4);
  EXPECT_EQ(MidiInput().GetDeviceHandle(1), handle);
  EXPECT_EQ(MidiInput().MidiResult(), MMSYSERR_NOMEM);
}

TEST_F(Registry, AFailingCloseDuringReenumerationIsReportedAndRetried) {
  MidiInput().Open(1);
  Fault(MidiDirection::In, 1, MidiFaultPoint::Close, MMSYSERR_ERROR);
  EXPECT_THAT([] { MidiInput().Reenumerate(); },
              ThrowsMessage<EMidiError>("The MIDI service reported an unspecified error."));
  EXPECT_EQ(MidiInput().Count(), 4); // the new list is in place
  EXPECT_FALSE(MidiInput().IsOpen(1));
  EXPECT_FALSE(InputFree(1)); // still held by the service
  Fault(MidiDirection::In, 1, MidiFaultPoint::Close, 0);
  MidiInput().Reenumerate();
  EXPECT_TRUE(InputFree(1));
}

// Refreshes aRegistry in one go; the new index of every port before.
std::vector<int> Refresh(TMidiDevices& aRegistry) {
  TMidiDevices::TRefresh refresh = aRegistry.BeginRefresh();
  refresh.Publish();
  refresh.Finish();
  return refresh.NewIndexes();
}

// A refresh keeps every open port open on its handle under its new index;
// messages of a moved input arrive under that index, sending to a moved output
// reaches that port, and only the ports that went away are closed.
TEST_F(Registry, ARefreshKeepsOpenPortsUnderTheirNewIndexes) {
  Inbox inbox;
  MidiInput().SetOnMidiData(inbox.Event());
  for (int i : {0, 1, 2})
    MidiInput().Open(i);
  MidiOutput().Open(0);
  MidiOutput().Open(1);
  void* drums = MidiInput().GetDeviceHandle(2);
  void* sampler = MidiOutput().GetDeviceHandle(1);
  const std::uint32_t before = MidiInput().ListNumber();
  // Keyboard and Synth go, Pads is renamed, a port comes.
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::In, 0), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiRenamePort(MidiDirection::In, 0, "Pads 2"), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiAddPort(MidiDirection::In, "Late"), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::Out, 0), MMSYSERR_NOERROR);
  EXPECT_THAT(Refresh(MidiInput()), ElementsAre(-1, 0, 1, 2));
  EXPECT_THAT(Refresh(MidiOutput()), ElementsAre(-1, 0, 1));
  EXPECT_THAT(MidiInput().Names(), ElementsAre("Pads 2", "Drums", "Held", "Late"));
  EXPECT_NE(MidiInput().ListNumber(), before);
  EXPECT_EQ(MidiInput().GetDeviceHandle(1), drums);
  EXPECT_TRUE(MidiInput().IsOpen(0));
  EXPECT_FALSE(MidiInput().IsOpen(3));
  EXPECT_EQ(MidiOutput().GetDeviceHandle(0), sampler);
  Inject(1, 0x643C90); // Drums, opened as port 2
  EXPECT_THAT(inbox.Take(), ElementsAre(Message{1, 0x90, 0x3C, 0x64}));
  MidiOutput().Send(0, 0xB0, 0x07, 0x64);
  EXPECT_THAT(Received(0), ElementsAre(0x6407B0u));
  // Moved twice: still found. Opened after the move: under its own index.
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::In, 0), MMSYSERR_NOERROR);
  EXPECT_THAT(Refresh(MidiInput()), ElementsAre(-1, 0, 1, 2));
  MidiInput().Open(2);
  Inject(0, 0x90);
  Inject(2, 0x80);
  EXPECT_THAT(inbox.Take(), ElementsAre(Message{0, 0x90, 0, 0}, Message{2, 0x80, 0, 0}));
  // The ports that went were closed: closing the rest frees every port.
  MidiInput().CloseAll();
  MidiOutput().CloseAll();
  for (UINT i : {0, 2})
    EXPECT_TRUE(InputFree(i)) << i;
  EXPECT_TRUE(OutputFree(0));
}

// Ports of equal names: the open one is followed by its handle, the closed
// ones take the other places of that name in their order.
TEST_F(Registry, ARefreshTellsEqualNamesApartByTheirHandles) {
  Start("in=Twin,Twin,Twin;out=Synth");
  MidiInput().Open(1);
  void* second = MidiInput().GetDeviceHandle(1);
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::In, 0), MMSYSERR_NOERROR);
  EXPECT_THAT(Refresh(MidiInput()), ElementsAre(1, 0, -1));
  EXPECT_EQ(MidiInput().GetDeviceHandle(0), second);
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::In, 0), MMSYSERR_NOERROR);
  EXPECT_THAT(Refresh(MidiInput()), ElementsAre(-1, 0));
  EXPECT_FALSE(MidiInput().IsOpen(0));
}

// A refresh whose enumeration fails changes nothing; one that is begun but
// not published changes nothing either; one with nothing new says so.
TEST_F(Registry, ARefreshThatFailsOrIsDroppedLeavesTheRegistryAsItWas) {
  MidiInput().Open(1);
  void* handle = MidiInput().GetDeviceHandle(1);
  const std::uint32_t number = MidiInput().ListNumber();
  EXPECT_FALSE(MidiInput().BeginRefresh().Changed());
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::In, 0), MMSYSERR_NOERROR);
  Fault(MidiDirection::In, 0, MidiFaultPoint::Caps, MMSYSERR_NOMEM);
  EXPECT_THROW(MidiInput().BeginRefresh(), EMidiError);
  Fault(MidiDirection::In, 0, MidiFaultPoint::Caps, 0);
  EXPECT_TRUE(MidiInput().BeginRefresh().Changed());
  EXPECT_EQ(MidiInput().ListNumber(), number);
  EXPECT_EQ(MidiInput().Count(), 4);
  EXPECT_EQ(MidiInput().GetDeviceHandle(1), handle);
}

// A port that went away and whose close fails: the refresh is done and the
// failure reported.
TEST_F(Registry, AFailingCloseOfAVanishedPortIsReported) {
  MidiOutput().Open(0);
  Fault(MidiDirection::Out, 0, MidiFaultPoint::Close, MMSYSERR_ERROR);
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::Out, 0), MMSYSERR_NOERROR);
  TMidiDevices::TRefresh refresh = MidiOutput().BeginRefresh();
  refresh.Publish();
  EXPECT_THAT([&] { refresh.Finish(); },
              ThrowsMessage<EMidiError>("The MIDI service reported an unspecified error."));
  EXPECT_THAT(MidiOutput().Names(), ElementsAre("Sampler", "Locked"));
}

TEST_F(Registry, FreeingAtProgramEndClosesEveryPort) {
  Inbox inbox;
  MidiInput().SetOnMidiData(inbox.Event());
  MidiInput().Open(0);
  MidiInput().Open(2);
  MidiOutput().Send(1, 0x90, 0x3C, 0x64);
  FreeMidiDevices();
  EXPECT_FALSE(MidiInputExists());
  EXPECT_FALSE(MidiOutputExists());
  EXPECT_TRUE(InputFree(0));
  EXPECT_TRUE(InputFree(2));
  EXPECT_TRUE(OutputFree(1));
  Inject(0, 0x90);
  EXPECT_TRUE(inbox.Take().empty());
  EXPECT_EQ(MidiInput().Count(), 4); // created again on use
}

// Program end while messages stream in and an input port refuses to stop:
// once the registries start to go, no event runs, so a slow thru cannot reach
// the output registry being destroyed, nor create it again on the service's
// thread.
TEST_F(Registry, NoEventRunsWhileTheRegistriesGo) {
  std::atomic<bool> freed{false};
  std::atomic<int> events{0};
  std::atomic<int> eventsAfterFree{0};
  MidiInput().SetOnMidiData(
      [&](int, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
        ++events;
        if (freed)
          ++eventsAfterFree;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        try {
          MidiOutput().Send(0, aStatus, aData1, aData2);
        } catch (const EMidiError&) {
        }
      });
  MidiInput().Open(0);
  MidiOutput().Open(0);
  Fault(MidiDirection::In, 0, MidiFaultPoint::Stop, MMSYSERR_ERROR);
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(VirtualMidiInject(0, 0x643C90), MMSYSERR_NOERROR);
  for (int waited = 0; events < 2 && waited < 5000; ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_GE(events.load(), 2);
  FreeMidiDevices();
  freed = true;
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  EXPECT_EQ(eventsAfterFree.load(), 0);
  EXPECT_FALSE(MidiOutputExists());
  EXPECT_FALSE(MidiInputExists());
  EXPECT_TRUE(OutputFree(0));
  EXPECT_TRUE(InputFree(0)); // closed although it would not stop
}

// The thru as the window does it: the event sends on the service's thread
// while the user-interface thread opens and closes ports and replaces the
// event. Run under ThreadSanitizer too.
TEST_F(Registry, ThruOnTheServiceThreadWhileTheUserChangesPorts) {
  std::atomic<int> delivered{0};
  auto thru = [&](int, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
    ++delivered;
    MidiOutput().Send(0, aStatus, aData1, aData2);
  };
  MidiInput().SetOnMidiData(thru);
  MidiInput().Open(0);
  constexpr int Count = 3000;
  std::thread source([] {
    for (int i = 0; i < Count; ++i)
      VirtualMidiInject(0, 0x90 | (DWORD(i % 128) << 8) | (DWORD(i / 128) << 16));
  });
  for (int round = 0; round < 50; ++round) {
    MidiInput().SetOnMidiData(thru);
    MidiOutput().Open(1);
    MidiOutput().Close(1);
    MidiInput().Open(1);
    MidiInput().Close(1);
    (void)MidiOutput().IsOpen(0);
  }
  source.join();
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  EXPECT_EQ(delivered.load(), Count);
  const std::vector<DWORD> received = Received(0);
  ASSERT_EQ(received.size(), std::size_t(Count));
  for (int i = 0; i < Count; ++i)
    ASSERT_EQ(received[i], 0x90 | (DWORD(i % 128) << 8) | (DWORD(i / 128) << 16)) << i;
}

// The user opens and closes the very port the thru sends to: the thru's
// implicit open and the user's meet at the service, which gives the port to
// one of them, and a message in flight meets a handle being closed. Neither
// is a failure on either side.
TEST_F(Registry, UserOpensAndClosesThePortTheThruSendsTo) {
  std::mutex lock;
  std::vector<std::string> failures;
  MidiInput().SetOnMidiData(
      [&](int, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
        try {
          MidiOutput().Send(1, aStatus, aData1, aData2);
        } catch (const EMidiError& error) {
          std::lock_guard guard(lock);
          failures.push_back(std::string("thru: ") + error.what());
        }
      });
  MidiInput().Open(0);
  std::atomic<bool> sent{false};
  std::thread source([&] {
    for (int i = 0; i < 20000; ++i)
      VirtualMidiInject(0, 0x90 | (DWORD(i % 128) << 8));
    VirtualMidiFlush();
    sent = true;
  });
  int rounds = 0;
  for (; !sent; ++rounds) {
    for (const bool open : {true, false}) {
      try {
        open ? MidiOutput().Open(1) : MidiOutput().Close(1);
      } catch (const EMidiError& error) {
        std::lock_guard guard(lock);
        failures.push_back(std::string(open ? "open: " : "close: ") + error.what());
      }
    }
  }
  source.join();
  EXPECT_GT(rounds, 10);
  EXPECT_THAT(failures, testing::IsEmpty());
  MidiInput().Close(0);
  MidiOutput().Close(1);
  EXPECT_TRUE(OutputFree(1));
}

TEST_F(Registry, ReenumeratingOutputsWhileTheThruSends) {
  std::atomic<int> failures{0};
  MidiInput().SetOnMidiData([&](int, std::uint8_t aStatus, std::uint8_t, std::uint8_t) {
    try {
      MidiOutput().Send(1, aStatus, 0, 0);
    } catch (const EMidiError&) {
      ++failures;
    }
  });
  MidiInput().Open(0);
  std::thread source([] {
    for (int i = 0; i < 2000; ++i)
      VirtualMidiInject(0, 0x90);
  });
  for (int round = 0; round < 30; ++round)
    MidiOutput().Reenumerate();
  source.join();
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  EXPECT_EQ(failures.load(), 0);
  MidiOutput().Reenumerate();
  EXPECT_TRUE(OutputFree(1)); // the last list's handle was closed too
}

// An output registry whose readers the test holds as long as it likes.
class TReadRegistry : public TMidiOutput {
public:
  void WhileReading(const std::function<void()>& aAction) const {
    TListReader list(*this);
    aAction();
  }
};

// A reader on a thread of its own, holding the port list from construction
// until destruction.
class HeldReader {
public:
  explicit HeldReader(const TReadRegistry& aRegistry)
      : fThread([this, &aRegistry] {
          aRegistry.WhileReading([this] {
            fHeld = true;
            while (!fRelease.load())
              std::this_thread::yield();
          });
        }) {
    while (!fHeld.load())
      std::this_thread::yield();
  }
  ~HeldReader() {
    fRelease = true;
    fThread.join();
  }

private:
  std::atomic<bool> fHeld{false};
  std::atomic<bool> fRelease{false};
  std::thread fThread;
};

// Readers overlap without a gap, as the thru of several flooding ports does:
// each new one starts before the last one ends, so the number of readers
// never drops to zero. A rescan waits only for the readers of the list it
// retires.
TEST_F(Registry, ReenumerationIsNotHeldUpByLaterReaders) {
  TReadRegistry registry;
  std::atomic<bool> rescanned{false};
  auto reader = std::make_unique<HeldReader>(registry);
  std::thread rescan([&] {
    registry.Reenumerate();
    rescanned = true;
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!rescanned.load() && std::chrono::steady_clock::now() < deadline) {
    auto next = std::make_unique<HeldReader>(registry);
    reader = std::move(next);
  }
  const bool done = rescanned.load();
  reader.reset();
  rescan.join();
  EXPECT_TRUE(done) << "the rescan waited as long as readers kept coming";
  EXPECT_EQ(registry.Count(), 3);
}

} // namespace
