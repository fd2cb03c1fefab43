// The virtual service: delivery on its own thread, notifications, stop and
// close waiting for a running callback, sinks, ports added and removed, and
// injected failures.
#include "platform/mm/VirtualMidi.h"

#include "platform/mm/MidiService.h"
#include "platform/mm/VirtualMidiBackend.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

using namespace platform;
using namespace std::chrono_literals;

namespace {

struct Call {
  UINT Message;
  DWORD_PTR Instance;
  DWORD_PTR Param1;
  std::thread::id Thread;
  friend bool operator==(const Call& a, const Call& b) {
    return a.Message == b.Message && a.Instance == b.Instance && a.Param1 == b.Param1;
  }
};

// Records every callback; the instance value points at it.
struct Recorder {
  std::mutex Lock;
  std::vector<Call> Calls;
  std::atomic<int> SleepMs{0};
  std::atomic<bool> InCallback{false};

  static void Proc(HMIDIIN, UINT aMessage, DWORD_PTR aInstance, DWORD_PTR aParam1, DWORD_PTR) {
    auto* self = reinterpret_cast<Recorder*>(aInstance);
    self->InCallback = true;
    if (aMessage == MIM_DATA && self->SleepMs > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(self->SleepMs.load()));
    {
      std::lock_guard lock(self->Lock);
      self->Calls.push_back({aMessage, aInstance, aParam1, std::this_thread::get_id()});
    }
    self->InCallback = false;
  }
  std::vector<Call> Take() {
    std::lock_guard lock(Lock);
    return std::exchange(Calls, {});
  }
};

class VirtualMidi : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(StartMidiService("virtual:in=A,B,Held*;out=X,Y,Lock*").Result, MMSYSERR_NOERROR);
  }
  void TearDown() override { StopMidiService(); }

  HMIDIIN OpenStarted(UINT aId) {
    HMIDIIN handle = nullptr;
    EXPECT_EQ(midiInOpen(&handle, aId, reinterpret_cast<DWORD_PTR>(&Recorder::Proc),
                         reinterpret_cast<DWORD_PTR>(&fRecorder), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    EXPECT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    return handle;
  }
  DWORD_PTR Me() { return reinterpret_cast<DWORD_PTR>(&fRecorder); }

  Recorder fRecorder;
};

TEST_F(VirtualMidi, DeliversOnItsOwnThreadBetweenOpenAndClose) {
  HMIDIIN handle = OpenStarted(1);
  for (DWORD message : {0x643C90u, 0x0000F8u, 0xFF403C80u})
    ASSERT_EQ(VirtualMidiInject(1, message), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiInject(1, 0x1234, MIM_ERROR), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  ASSERT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
  const std::vector<Call> calls = fRecorder.Take();
  const std::vector<Call> expected = {
      {MIM_OPEN, Me(), 0, {}},        {MIM_DATA, Me(), 0x643C90, {}},
      {MIM_DATA, Me(), 0x0000F8, {}}, {MIM_DATA, Me(), 0xFF403C80, {}},
      {MIM_ERROR, Me(), 0x1234, {}},  {MIM_CLOSE, Me(), 0, {}}};
  EXPECT_EQ(calls, expected);
  for (std::size_t i = 1; i + 1 < calls.size(); ++i)
    EXPECT_NE(calls[i].Thread, std::this_thread::get_id());
}

TEST_F(VirtualMidi, MessagesOutsideOpenAndStartedAreDroppedAndCounted) {
  ASSERT_EQ(VirtualMidiInject(0, 0x90), MMSYSERR_NOERROR); // not open
  HMIDIIN handle = nullptr;
  ASSERT_EQ(
      midiInOpen(&handle, 0, reinterpret_cast<DWORD_PTR>(&Recorder::Proc), Me(), CALLBACK_FUNCTION),
      MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiInject(0, 0x91), MMSYSERR_NOERROR); // open, not started
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiInject(0, 0x92), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  ASSERT_EQ(midiInStop(handle), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiInject(0, 0x93), MMSYSERR_NOERROR); // stopped
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  VirtualMidiCounters counters;
  ASSERT_EQ(VirtualMidiGetCounters(counters), MMSYSERR_NOERROR);
  EXPECT_EQ(counters.Delivered, 1u);
  EXPECT_EQ(counters.Dropped, 3u);
  EXPECT_EQ(VirtualMidiInject(3, 0x90), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
}

TEST_F(VirtualMidi, StopAndCloseWaitForTheRunningCallback) {
  for (bool close : {false, true}) {
    HMIDIIN handle = OpenStarted(0);
    fRecorder.SleepMs = 100;
    ASSERT_EQ(VirtualMidiInject(0, 0x643C90), MMSYSERR_NOERROR);
    while (!fRecorder.InCallback)
      std::this_thread::yield();
    ASSERT_EQ(close ? midiInClose(handle) : midiInStop(handle), MMSYSERR_NOERROR);
    EXPECT_FALSE(fRecorder.InCallback);
    fRecorder.SleepMs = 0;
    ASSERT_EQ(VirtualMidiInject(0, 0x643C90), MMSYSERR_NOERROR);
    ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
    std::vector<Call> calls = fRecorder.Take();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const Call& c) { return c.Message == MIM_DATA; }),
              1);
    if (!close)
      ASSERT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
  }
}

TEST_F(VirtualMidi, ExclusiveAndDoublyOpenedPortsAreInUse) {
  HMIDIIN in = nullptr;
  EXPECT_EQ(midiInOpen(&in, 2, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
  HMIDIOUT out = nullptr;
  EXPECT_EQ(midiOutOpen(&out, 2, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
  ASSERT_EQ(midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  HMIDIOUT second = nullptr;
  EXPECT_EQ(midiOutOpen(&second, 0, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutOpen(&second, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(second), MMSYSERR_NOERROR);
}

TEST_F(VirtualMidi, SinksRecordWhatOutputsReceive) {
  HMIDIOUT out = nullptr;
  ASSERT_EQ(midiOutOpen(&out, 1, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  for (DWORD message : {0x643C90u, 0x5C0u, 0xF8u})
    ASSERT_EQ(midiOutShortMsg(out, message), MMSYSERR_NOERROR);
  std::vector<DWORD> received;
  ASSERT_EQ(VirtualMidiReceived(1, received), MMSYSERR_NOERROR);
  EXPECT_EQ(received, (std::vector<DWORD>{0x643C90, 0x5C0, 0xF8}));
  ASSERT_EQ(VirtualMidiReceived(0, received), MMSYSERR_NOERROR);
  EXPECT_TRUE(received.empty());
  ASSERT_EQ(VirtualMidiClearReceived(1), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiReceived(1, received), MMSYSERR_NOERROR);
  EXPECT_TRUE(received.empty());
  // The record keeps the newest messages.
  for (DWORD i = 0; i < VirtualMidiBackend::ReceivedLimit + 10; ++i)
    ASSERT_EQ(midiOutShortMsg(out, i), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiReceived(1, received), MMSYSERR_NOERROR);
  ASSERT_EQ(received.size(), VirtualMidiBackend::ReceivedLimit);
  EXPECT_EQ(received.front(), 10u);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
}

TEST_F(VirtualMidi, PortsComeAndGoAtRunTime) {
  ASSERT_EQ(VirtualMidiAddPort(MidiDirection::In, "Late"), MMSYSERR_NOERROR);
  ASSERT_EQ(midiInGetNumDevs(), 4u);
  HMIDIOUT out = nullptr;
  ASSERT_EQ(midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  HMIDIIN in = OpenStarted(0);
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::Out, 0), MMSYSERR_NOERROR);
  ASSERT_EQ(VirtualMidiRemovePort(MidiDirection::In, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutGetNumDevs(), 2u);
  MIDIOUTCAPSW caps;
  ASSERT_EQ(midiOutGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_EQ(caps.szPname, u"Y");
  // The vanished port: sending fails clearly, nothing is delivered any more,
  // closing still works.
  EXPECT_EQ(midiOutShortMsg(out, 0x90), MIDIERR_NODEVICE);
  EXPECT_EQ(VirtualMidiInject(0, 0x90), MMSYSERR_NOERROR); // now port B
  ASSERT_EQ(VirtualMidiFlush(), MMSYSERR_NOERROR);
  EXPECT_EQ(fRecorder.Take().size(), 1u); // MIM_OPEN only
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  EXPECT_EQ(VirtualMidiRemovePort(MidiDirection::In, 9), MMSYSERR_BADDEVICEID);
}

TEST_F(VirtualMidi, InjectedFaultsHitTheirCallOnly) {
  const MMRESULT code = 4242; // a code without a text is allowed too
  struct FaultCase {
    MidiFaultPoint Point;
    MMRESULT Code;
  };
  for (const FaultCase& c : {FaultCase{MidiFaultPoint::Caps, MMSYSERR_NOMEM},
                             {MidiFaultPoint::Open, code},
                             {MidiFaultPoint::Start, MMSYSERR_ERROR},
                             {MidiFaultPoint::Stop, code},
                             {MidiFaultPoint::Reset, MIDIERR_NOTREADY},
                             {MidiFaultPoint::Close, code}}) {
    ASSERT_EQ(VirtualMidiSetFault(MidiDirection::In, 0, c.Point, c.Code), MMSYSERR_NOERROR);
    MIDIINCAPSW caps;
    const MMRESULT capsResult = midiInGetDevCapsW(0, &caps, sizeof caps);
    HMIDIIN in = nullptr;
    const MMRESULT open = midiInOpen(&in, 0, 0, 0, CALLBACK_NULL);
    const MMRESULT start = open ? 0 : midiInStart(in);
    const MMRESULT stop = open ? 0 : midiInStop(in);
    const MMRESULT reset = open ? 0 : midiInReset(in);
    const MMRESULT close = open ? 0 : midiInClose(in);
    const MMRESULT seen[] = {capsResult, open, start, stop, reset, close};
    for (int point = 0; point < 6; ++point)
      EXPECT_EQ(seen[point], point == int(c.Point) ? c.Code : 0u) << int(c.Point);
    ASSERT_EQ(VirtualMidiSetFault(MidiDirection::In, 0, c.Point, 0), MMSYSERR_NOERROR);
    if (close != 0)
      EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR); // the port stayed open
  }
  ASSERT_EQ(VirtualMidiSetFault(MidiDirection::Out, 1, MidiFaultPoint::Send, code),
            MMSYSERR_NOERROR);
  HMIDIOUT out = nullptr;
  ASSERT_EQ(midiOutOpen(&out, 1, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutShortMsg(out, 0x90), code);
  std::vector<DWORD> received;
  ASSERT_EQ(VirtualMidiReceived(1, received), MMSYSERR_NOERROR);
  EXPECT_TRUE(received.empty());
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
}

TEST(VirtualMidiDemo, KeyboardPlaysItsPatternWhileStarted) {
  const MidiServiceStatus status = StartMidiService("virtual");
  ASSERT_EQ(status.Result, MMSYSERR_NOERROR);
  ASSERT_EQ(midiInGetNumDevs(), 1u);
  ASSERT_EQ(midiOutGetNumDevs(), 1u);
  MIDIINCAPSW in;
  MIDIOUTCAPSW out;
  ASSERT_EQ(midiInGetDevCapsW(0, &in, sizeof in), MMSYSERR_NOERROR);
  ASSERT_EQ(midiOutGetDevCapsW(0, &out, sizeof out), MMSYSERR_NOERROR);
  EXPECT_EQ(in.szPname, u"Demo Keyboard");
  EXPECT_EQ(out.szPname, u"Loopback");
  Recorder recorder;
  HMIDIIN handle = nullptr;
  ASSERT_EQ(midiInOpen(&handle, 0, reinterpret_cast<DWORD_PTR>(&Recorder::Proc),
                       reinterpret_cast<DWORD_PTR>(&recorder), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
  std::vector<Call> calls;
  for (auto deadline = std::chrono::steady_clock::now() + 5s;
       calls.size() < 3 && std::chrono::steady_clock::now() < deadline;) {
    std::this_thread::sleep_for(20ms);
    for (const Call& call : recorder.Take())
      calls.push_back(call);
  }
  ASSERT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0].Message, MIM_OPEN);
  EXPECT_EQ(calls[1].Param1, 0x0000C0u); // the pattern starts with a program change
  EXPECT_EQ(calls[2].Param1, 0x643C90u);
  StopMidiService();
}

} // namespace
