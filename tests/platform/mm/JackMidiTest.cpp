// The JACK backend through the midiIn*/midiOut* functions, on a private
// server: notifications, frame order across inputs, what the process thread
// may not do, and a server that goes away.
#include "platform/mm/JackMidiBackend.h"
#include "platform/mm/MMSystem.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/WideText.h"
#include "support/JackServer.h"

#include <algorithm>
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
};

// Records callbacks (the instance value is the source port); can run checks
// on the process thread for a message.
struct Recorder;
Recorder* gRecorder = nullptr;

struct Recorder {
  std::mutex Lock;
  std::vector<Call> Calls;
  std::vector<MMRESULT> Results;
  std::atomic<HMIDIIN> StopOnData{nullptr};

  static void Proc(HMIDIIN aHandle, UINT aMessage, DWORD_PTR aInstance, DWORD_PTR aParam1,
                   DWORD_PTR) {
    Recorder* self = gRecorder;
    std::lock_guard lock(self->Lock);
    self->Calls.push_back({aMessage, aInstance, aParam1});
    if (aMessage == MIM_DATA && self->StopOnData.load() == aHandle) {
      // What the process thread may not do, and stopping from the callback.
      HMIDIOUT out = nullptr;
      self->Results.push_back(midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL));
      self->Results.push_back(midiInClose(aHandle));
      self->Results.push_back(midiInGetNumDevs());
      self->Results.push_back(midiInStop(aHandle));
    }
  }
  std::vector<Call> Data() {
    std::lock_guard lock(Lock);
    std::vector<Call> data;
    std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(data),
                 [](const Call& c) { return c.Message == MIM_DATA; });
    return data;
  }
};

class JackMidi : public testing::Test {
protected:
  void SetUp() override {
    gRecorder = &fRecorder;
    fServer = std::make_unique<TJackServer>();
    if (!fServer->Running()) {
      ASSERT_FALSE(JackServerRequired())
          << "no JACK server could be started: " << fServer->Reason();
      GTEST_SKIP() << "no JACK server could be started here: " << fServer->Reason();
    }
    fSource = std::make_unique<TJackProbe>(UniqueJackName("source"), 2, 0);
    fSink = std::make_unique<TJackProbe>(UniqueJackName("sink"), 0, 1);
    ASSERT_TRUE(fSource->Ok() && fSink->Ok());
    const MidiServiceStatus status = StartMidiService("jack");
    ASSERT_EQ(status.Result, MMSYSERR_NOERROR) << status.Note;
    EXPECT_NE(status.Note.find(fServer->Name()), std::string::npos) << status.Note;
  }
  void TearDown() override {
    StopMidiService();
    fSource.reset();
    fSink.reset();
    fServer.reset();
  }
  static UINT InputIndex(const std::string& aName) {
    const UINT count = midiInGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
      MIDIINCAPSW caps;
      if (midiInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR &&
          mmtext::ToUtf8(caps.szPname) == aName)
        return id;
    }
    return ~UINT(0);
  }
  HMIDIIN OpenInput(int aSourcePort) {
    HMIDIIN handle = nullptr;
    EXPECT_EQ(midiInOpen(&handle, InputIndex(fSource->OutputPort(aSourcePort)),
                         reinterpret_cast<DWORD_PTR>(&Recorder::Proc), DWORD_PTR(aSourcePort),
                         CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    EXPECT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    return handle;
  }

  std::unique_ptr<TJackServer> fServer;
  std::unique_ptr<TJackProbe> fSource;
  std::unique_ptr<TJackProbe> fSink;
  Recorder fRecorder;
};

TEST_F(JackMidi, InputsAreMergedInFrameOrderAndKeepTheirPort) {
  HMIDIIN first = OpenInput(0);
  HMIDIIN second = OpenInput(1);
  // Both bursts go out in the same cycle only by chance, so each output gets
  // its own events and the merge is checked within each cycle by frame.
  std::thread other([&] {
    fSource->SendBurst(1, {ProbeEvent(5, 0x91, 2), ProbeEvent(50, 0x91, 4)});
  });
  fSource->SendBurst(0, {ProbeEvent(0, 0x90, 1), ProbeEvent(20, 0x90, 3), ProbeEvent(80, 0x90, 5)});
  other.join();
  WaitUntil([&] { return fRecorder.Data().size() >= 5; });
  ASSERT_EQ(midiInClose(first), MMSYSERR_NOERROR);
  ASSERT_EQ(midiInClose(second), MMSYSERR_NOERROR);
  const std::vector<Call> data = fRecorder.Data();
  ASSERT_EQ(data.size(), 5u);
  std::vector<int> fromFirst, fromSecond;
  for (const Call& call : data) {
    EXPECT_EQ(call.Param1 & 0xFF, 0x90 + call.Instance);
    (call.Instance == 0 ? fromFirst : fromSecond).push_back(int(call.Param1 >> 8) & 0x7F);
  }
  EXPECT_EQ(fromFirst, (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(fromSecond, (std::vector<int>{2, 4}));
  std::lock_guard lock(fRecorder.Lock);
  EXPECT_EQ(fRecorder.Calls.front().Message, MIM_OPEN);
  EXPECT_EQ(fRecorder.Calls.back().Message, MIM_CLOSE);
}

TEST_F(JackMidi, OneHandlePerPort) {
  HMIDIIN handle = OpenInput(0);
  HMIDIIN again = nullptr;
  EXPECT_EQ(midiInOpen(&again, InputIndex(fSource->OutputPort(0)), 0, 0, CALLBACK_NULL),
            MMSYSERR_ALLOCATED);
  EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
  EXPECT_EQ(midiInClose(handle), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiInOpen(&again, InputIndex(fSource->OutputPort(0)), 0, 0, CALLBACK_NULL),
            MMSYSERR_NOERROR);
  EXPECT_EQ(midiInClose(again), MMSYSERR_NOERROR);
}

TEST_F(JackMidi, TheProcessThreadMayStopButNotOpenOrClose) {
  ASSERT_GT(midiOutGetNumDevs(), 0u);
  HMIDIIN handle = OpenInput(0);
  fRecorder.StopOnData = handle;
  // Three events in one cycle: the first one stops the port.
  fSource->SendBurst(0, {ProbeEvent(0, 0x90, 1), ProbeEvent(1, 0x90, 2), ProbeEvent(2, 0x90, 3)});
  WaitUntil([&] {
    std::lock_guard lock(fRecorder.Lock);
    return fRecorder.Results.size() >= 4;
  });
  // Closing waits for the cycle in progress, which would deliver the others.
  EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
  EXPECT_EQ(fRecorder.Data().size(), 1u);
  std::lock_guard lock(fRecorder.Lock);
  EXPECT_EQ(fRecorder.Results,
            (std::vector<MMRESULT>{MIDIERR_NOTREADY, MIDIERR_NOTREADY, 0, MMSYSERR_NOERROR}));
}

TEST_F(JackMidi, AServerThatGoesAwayGivesClearFailures) {
  HMIDIIN in = OpenInput(0);
  ASSERT_GT(midiOutGetNumDevs(), 0u);
  HMIDIOUT out = nullptr;
  ASSERT_EQ(midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  fSource.reset();
  fSink.reset();
  fServer->Kill();
  MMRESULT sent = MMSYSERR_NOERROR;
  for (auto deadline = std::chrono::steady_clock::now() + 5s;
       sent == MMSYSERR_NOERROR && std::chrono::steady_clock::now() < deadline;) {
    std::this_thread::sleep_for(10ms);
    sent = midiOutShortMsg(out, 0x90);
  }
  EXPECT_EQ(sent, MIDIERR_NODEVICE);
  EXPECT_EQ(midiInGetNumDevs(), 0u);
  HMIDIOUT another = nullptr;
  EXPECT_EQ(midiOutOpen(&another, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
  // Closing still works and returns at once.
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
}

} // namespace
