// The ALSA sequencer backend through the midiIn*/midiOut* functions, on the
// kernel's sequencer in the test guest: bytes written to the virtual card's
// raw device arrive on "VirMIDI 0-0" as a USB device's do, and a peer client
// of the test stands for the programs and devices around us. The guest's
// processor is emulated: every wait is for an outcome, with generous limits.
#include "platform/mm/AlsaMidiBackend.h"
#include "platform/mm/MMSystem.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/WideText.h"
#include "support/AlsaSeqPeer.h"
#include "support/NoteSequence.h"
#include "support/RawMidiWriter.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

using namespace platform;
using namespace std::chrono_literals;

namespace {

constexpr auto Patience = 60s;

bool WaitFor(const std::function<bool()>& aDone, std::chrono::milliseconds aLimit = Patience) {
  const auto deadline = std::chrono::steady_clock::now() + aLimit;
  while (!aDone()) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

std::vector<std::string> PortNames(MidiDirection aDirection) {
  std::vector<std::string> names;
  const bool input = aDirection == MidiDirection::In;
  const UINT count = input ? midiInGetNumDevs() : midiOutGetNumDevs();
  for (UINT i = 0; i < count; ++i) {
    if (input) {
      MIDIINCAPSW caps;
      EXPECT_EQ(midiInGetDevCapsW(i, &caps, sizeof caps), MMSYSERR_NOERROR);
      names.push_back(mmtext::ToUtf8(caps.szPname));
    } else {
      MIDIOUTCAPSW caps;
      EXPECT_EQ(midiOutGetDevCapsW(i, &caps, sizeof caps), MMSYSERR_NOERROR);
      names.push_back(mmtext::ToUtf8(caps.szPname));
    }
  }
  return names;
}

// "client:port" and the address, as the backend lists a port.
std::string Listed(const std::string& aClient, const std::string& aPort,
                   const snd_seq_addr_t& aAddress) {
  return aClient + ":" + aPort + " " + std::to_string(aAddress.client) + ":" +
         std::to_string(aAddress.port);
}

// The device number of the port named aName in a fresh listing; fails the
// test when it is not listed.
UINT DeviceOf(MidiDirection aDirection, const std::string& aName) {
  const std::vector<std::string> names = PortNames(aDirection);
  const auto found = std::find(names.begin(), names.end(), aName);
  EXPECT_NE(found, names.end()) << aName;
  return UINT(found - names.begin());
}

std::vector<std::uint8_t> BytesOf(DWORD aMessage) {
  std::vector<std::uint8_t> bytes;
  const std::size_t length = ShortMessageLength(BYTE(aMessage & 0xFF));
  for (std::size_t i = 0; i < length; ++i)
    bytes.push_back(std::uint8_t(aMessage >> (8 * i)));
  return bytes;
}

// What the input callbacks of the test receive; the thru sends each message
// on to Thru when set (from the reader thread, as the monitor does).
struct Recorder {
  std::mutex Lock;
  std::vector<UINT> Notices; // MIM_OPEN, MIM_DATA, MIM_CLOSE in order
  std::vector<DWORD> Data;
  std::atomic<HMIDIOUT> Thru{nullptr};
  std::atomic<MMRESULT> ThruResult{MMSYSERR_NOERROR};
  // While set, the first message holds the reader thread up; Held says it
  // does.
  std::atomic<bool> Hold{false};
  std::atomic<bool> Held{false};

  static void Proc(HMIDIIN, UINT aMessage, DWORD_PTR aInstance, DWORD_PTR aParam1, DWORD_PTR) {
    auto* self = reinterpret_cast<Recorder*>(aInstance);
    if (aMessage == MIM_DATA)
      while (self->Hold.load()) {
        self->Held.store(true);
        std::this_thread::sleep_for(1ms);
      }
    if (aMessage == MIM_DATA && self->Thru.load() != nullptr)
      if (const MMRESULT result = midiOutShortMsg(self->Thru.load(), DWORD(aParam1)))
        self->ThruResult.store(result);
    std::lock_guard lock(self->Lock);
    self->Notices.push_back(aMessage);
    if (aMessage == MIM_DATA)
      self->Data.push_back(DWORD(aParam1));
  }
  std::size_t Count() {
    std::lock_guard lock(Lock);
    return Data.size();
  }
};

std::atomic<int> gPortNotices{0};
std::atomic<int> gOverrunNotices{0};
void CountNotices(MidiServiceChange aChange) {
  if (aChange == MidiServiceChange::Ports)
    gPortNotices.fetch_add(1);
  if (aChange == MidiServiceChange::InputOverrun)
    gOverrunNotices.fetch_add(1);
}

class AlsaMidi : public ::testing::Test {
protected:
  void SetUp() override {
    gPortNotices = 0;
    gOverrunNotices = 0;
    SetMidiServiceListener(&CountNotices);
    const MidiServiceStatus status = StartMidiService("alsa");
    ASSERT_EQ(status.Result, MMSYSERR_NOERROR) << status.Note;
    fPeer = std::make_unique<TAlsaSeqPeer>("peer");
    fSink = fPeer->CreatePort("sink");
    fDirect = fPeer->CreatePort("direct");
    fDevice = fPeer->FindPort("Virtual Raw MIDI 0-0", "VirMIDI 0-0");
    fDeviceName = Listed("Virtual Raw MIDI 0-0", "VirMIDI 0-0", fDevice);
    fSinkName = Listed("peer", "sink", {std::uint8_t(fPeer->Client()), std::uint8_t(fSink)});
  }
  void TearDown() override {
    StopMidiService();
    SetMidiServiceListener(nullptr);
  }

  HMIDIIN OpenDevice(Recorder& aRecorder) {
    HMIDIIN in = nullptr;
    EXPECT_EQ(midiInOpen(&in, DeviceOf(MidiDirection::In, fDeviceName),
                         reinterpret_cast<DWORD_PTR>(&Recorder::Proc),
                         reinterpret_cast<DWORD_PTR>(&aRecorder), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    EXPECT_EQ(midiInStart(in), MMSYSERR_NOERROR);
    return in;
  }
  HMIDIOUT OpenSink() {
    HMIDIOUT out = nullptr;
    EXPECT_EQ(midiOutOpen(&out, DeviceOf(MidiDirection::Out, fSinkName), 0, 0, CALLBACK_NULL),
              MMSYSERR_NOERROR);
    return out;
  }
  // The reference for what the device delivered: a plain kernel
  // subscription of the peer's port "direct". Only for light loads: the peer
  // reads more slowly than the backend, and a client whose buffer is full
  // makes the virtual card stop passing bytes on until it is written to
  // again.
  void SubscribeDirect() { fPeer->Subscribe(fDevice, fDirect); }
  // Writes aBytes (messages of three bytes) to the device, each as soon as
  // it took the one before, and waits until the direct subscription has
  // received aTotal messages in all.
  void Play(const std::vector<std::uint8_t>& aBytes, std::size_t aTotal) {
    fWriter.WriteMessages(aBytes, 3, 0);
    ASSERT_EQ(fPeer->WaitCount(fDirect, aTotal), aTotal)
        << "the peer's overruns: " << fPeer->Overruns();
  }

  std::unique_ptr<TAlsaSeqPeer> fPeer;
  int fSink = -1;
  int fDirect = -1;
  snd_seq_addr_t fDevice{};
  std::string fDeviceName;
  std::string fSinkName;
  TRawMidiWriter fWriter;
};

TEST_F(AlsaMidi, ListsTheMachinesPortsButNeverItsOwn) {
  auto check = [&](const char* aWhen) {
    const std::vector<std::string> ins = PortNames(MidiDirection::In);
    const std::vector<std::string> outs = PortNames(MidiDirection::Out);
    for (const auto& names : {ins, outs}) {
      EXPECT_NE(std::find(names.begin(), names.end(), fDeviceName), names.end()) << aWhen;
      EXPECT_NE(std::find(names.begin(), names.end(), fSinkName), names.end()) << aWhen;
      for (const std::string& name : names) {
        EXPECT_NE(name.rfind("midimonitor:", 0), 0u) << aWhen << ": " << name;
        EXPECT_NE(name.rfind("System:", 0), 0u) << aWhen << ": " << name;
      }
    }
    return std::make_pair(ins, outs);
  };
  const auto before = check("at start");
  // With ports open (our own ports now subscribed) a rescan lists the same.
  Recorder recorder;
  HMIDIIN in = OpenDevice(recorder);
  HMIDIOUT out = OpenSink();
  EXPECT_EQ(check("after a rescan"), before);
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);

  AlsaMidiCounters counters;
  ASSERT_EQ(AlsaMidiGetCounters(counters), MMSYSERR_NOERROR);
  // The kernel's limits for a client's pools; the test runs as root, which
  // may use real-time scheduling.
  EXPECT_EQ(counters.InputPool, 2000u);
  EXPECT_EQ(counters.OutputPool, 2000u);
  EXPECT_TRUE(counters.RealTime);
}

TEST_F(AlsaMidi, ThruSendsEveryMessageUnchangedAndInOrder) {
  Recorder recorder;
  HMIDIOUT out = OpenSink();
  recorder.Thru = out;
  HMIDIIN in = OpenDevice(recorder);
  // Two loads that the peer, reading at normal priority beside the writer,
  // keeps up with: 1000 messages each as soon as the device took the one
  // before (within any client's buffer), and 3000 at 1000 a second (more
  // than the kernel holds for us, so the reader must keep draining).
  // Then short messages of every kind, each followed by active sensing,
  // which goes nowhere; Note On with velocity 0 stays a Note On.
  const struct {
    std::uint32_t Count;
    double PerSecond;
  } loads[] = {{1000, 0}, {3000, 1000}};
  std::vector<std::vector<std::uint8_t>> expected;
  std::uint32_t first = 0;
  for (const auto& load : loads) {
    fWriter.WriteMessages(SequenceBytes(first, load.Count), 3, load.PerSecond);
    for (std::uint32_t i = first; i < first + load.Count; ++i) {
      const TShortBytes m = SequenceMessage(i);
      expected.emplace_back(m.begin(), m.end());
    }
    first += load.Count;
  }
  const std::vector<DWORD> mixed = {0x643C90, 0x003C93, 0x7F408F, 0x2040A1, 0x6407B2, 0x07C5,
                                    0x30D2,   0x4000E3, 0x12F1,   0x0201F2, 0x05F3,   0xF6,
                                    0xF8,     0xFA,     0xFB,     0xFC,     0xFF};
  std::vector<std::uint8_t> bytes;
  for (const DWORD message : mixed) {
    expected.push_back(BytesOf(message));
    bytes.insert(bytes.end(), expected.back().begin(), expected.back().end());
    bytes.push_back(0xFE);
  }
  fWriter.WriteAll(bytes);
  AlsaMidiCounters counters;
  EXPECT_EQ(fPeer->WaitCount(fSink, expected.size()), expected.size())
      << "the peer's overruns: " << fPeer->Overruns()
      << "; ours: " << (AlsaMidiGetCounters(counters), counters.Overruns) << ", delivered "
      << counters.Delivered << ", send failures " << counters.SendFailures;
  const TAlsaSeqPeer::TPortRecord sunk = fPeer->Received(fSink);
  ASSERT_EQ(sunk.Messages.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& got = sunk.Messages[i];
    ASSERT_EQ(std::vector<std::uint8_t>(got.Bytes.begin(), got.Bytes.begin() + got.Size),
              expected[i])
        << "message " << i
        << " (of the sequence: " << SequenceIndex(got.Bytes.data(), got.Size).value_or(~0u) << ")";
  }
  EXPECT_EQ(recorder.Count(), expected.size());
  EXPECT_EQ(recorder.ThruResult.load(), MMSYSERR_NOERROR);
  ASSERT_EQ(AlsaMidiGetCounters(counters), MMSYSERR_NOERROR);
  EXPECT_EQ(counters.Overruns, 0u);
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
}

TEST_F(AlsaMidi, OpenCloseAndOpenAgain) {
  SubscribeDirect();
  Recorder first;
  HMIDIIN in = OpenDevice(first);
  Play(SequenceBytes(0, 10), 10);
  ASSERT_TRUE(WaitFor([&] { return first.Count() == 10; }));
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  EXPECT_EQ(midiInClose(in), MMSYSERR_INVALHANDLE);
  // Played while closed: delivered to nobody of ours.
  Play(SequenceBytes(10, 10), 20);
  Recorder second;
  in = OpenDevice(second);
  Play(SequenceBytes(20, 10), 30);
  ASSERT_TRUE(WaitFor([&] { return second.Count() == 10; }));
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  const auto numbers = [](const std::vector<DWORD>& aData) {
    std::vector<std::uint32_t> out;
    for (const DWORD m : aData) {
      const std::uint8_t b[3] = {std::uint8_t(m), std::uint8_t(m >> 8), std::uint8_t(m >> 16)};
      out.push_back(SequenceIndex(b, 3).value_or(~0u));
    }
    return out;
  };
  std::vector<std::uint32_t> expected(10);
  std::iota(expected.begin(), expected.end(), 0u);
  EXPECT_EQ(numbers(first.Data), expected);
  std::iota(expected.begin(), expected.end(), 20u);
  EXPECT_EQ(numbers(second.Data), expected);
  // The close notice is the last each handle gives.
  for (Recorder* r : {&first, &second}) {
    EXPECT_EQ(r->Notices.front(), MIM_OPEN);
    EXPECT_EQ(r->Notices.back(), MIM_CLOSE);
  }
}

TEST_F(AlsaMidi, APortWhoseClientExitsFailsCleanly) {
  TAlsaSeqPeer device("unplugged");
  const int port = device.CreatePort("keys");
  const std::string name =
      Listed("unplugged", "keys", {std::uint8_t(device.Client()), std::uint8_t(port)});
  Recorder recorder;
  HMIDIIN in = nullptr;
  ASSERT_EQ(midiInOpen(&in, DeviceOf(MidiDirection::In, name),
                       reinterpret_cast<DWORD_PTR>(&Recorder::Proc),
                       reinterpret_cast<DWORD_PTR>(&recorder), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  ASSERT_EQ(midiInStart(in), MMSYSERR_NOERROR);
  HMIDIOUT out = nullptr;
  ASSERT_EQ(midiOutOpen(&out, DeviceOf(MidiDirection::Out, name), 0, 0, CALLBACK_NULL),
            MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutShortMsg(out, 0x643C90), MMSYSERR_NOERROR);
  const int noticesBefore = gPortNotices.load();
  device.Exit();
  // Once the announcement is in, sending fails as for any vanished port.
  EXPECT_TRUE(WaitFor([&] { return midiOutShortMsg(out, 0x003C90) == MIDIERR_NODEVICE; }));
  EXPECT_TRUE(WaitFor([&] { return gPortNotices.load() > noticesBefore; }));
  // Closing both handles succeeds at once.
  const auto begun = std::chrono::steady_clock::now();
  EXPECT_EQ(midiInStop(in), MMSYSERR_NOERROR);
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
  EXPECT_LT(std::chrono::steady_clock::now() - begun, 10s);
  const std::vector<std::string> names = PortNames(MidiDirection::In);
  EXPECT_EQ(std::find(names.begin(), names.end(), name), names.end());
  // The rest of the machine still works.
  SubscribeDirect();
  Recorder after;
  in = OpenDevice(after);
  Play(SequenceBytes(0, 3), 3);
  EXPECT_TRUE(WaitFor([&] { return after.Count() == 3; }));
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
}

// A client that exits and starts again gets its number back, so its port
// returns at the same address under the same name. It is another port: the
// handles of the one that went are not listed under it, it opens anew, and
// closing the old handles leaves the new ones working. The client's exit is
// read here only after the new port was opened, as on a busy reader.
TEST_F(AlsaMidi, APortBackAtItsAddressIsAnotherPort) {
  auto device = std::make_unique<TAlsaSeqPeer>("returning");
  int port = device->CreatePort("keys");
  const std::string name =
      Listed("returning", "keys", {std::uint8_t(device->Client()), std::uint8_t(port)});
  Recorder gone;
  HMIDIIN oldIn = nullptr;
  ASSERT_EQ(midiInOpen(&oldIn, DeviceOf(MidiDirection::In, name),
                       reinterpret_cast<DWORD_PTR>(&Recorder::Proc),
                       reinterpret_cast<DWORD_PTR>(&gone), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  ASSERT_EQ(midiInStart(oldIn), MMSYSERR_NOERROR);
  HMIDIOUT oldOut = nullptr;
  ASSERT_EQ(midiOutOpen(&oldOut, DeviceOf(MidiDirection::Out, name), 0, 0, CALLBACK_NULL),
            MMSYSERR_NOERROR);
  UINT id = 0;
  EXPECT_EQ(midiInGetID(oldIn, &id), MMSYSERR_NOERROR);
  EXPECT_EQ(id, DeviceOf(MidiDirection::In, name));

  // The port goes first; then, while a message holds the reader up, the
  // client exits and starts again.
  device->DeletePort(port);
  // Starting fails once the reader has read that the port went.
  ASSERT_TRUE(WaitFor([&] { return midiInStart(oldIn) == MIDIERR_NODEVICE; }));
  EXPECT_EQ(midiOutShortMsg(oldOut, 0x003C90), MIDIERR_NODEVICE);
  Recorder holder;
  holder.Hold = true;
  HMIDIIN held = OpenDevice(holder);
  // However the test ends, the reader lets go of the holder before it goes.
  struct TLetGo {
    Recorder& Holder;
    HMIDIIN In;
    ~TLetGo() {
      Holder.Hold = false;
      midiInClose(In);
    }
  } letGo{holder, held};
  fWriter.WriteAll({0xF8});
  ASSERT_TRUE(WaitFor([&] { return holder.Held.load(); }));
  device->Exit();
  device = std::make_unique<TAlsaSeqPeer>("returning");
  port = device->CreatePort("keys");
  ASSERT_EQ(Listed("returning", "keys", {std::uint8_t(device->Client()), std::uint8_t(port)}),
            name);
  const UINT inId = DeviceOf(MidiDirection::In, name);
  const UINT outId = DeviceOf(MidiDirection::Out, name);
  EXPECT_EQ(midiInGetID(oldIn, &id), MIDIERR_NODEVICE);
  EXPECT_EQ(midiOutGetID(oldOut, &id), MIDIERR_NODEVICE);
  Recorder back;
  HMIDIIN newIn = nullptr;
  ASSERT_EQ(midiInOpen(&newIn, inId, reinterpret_cast<DWORD_PTR>(&Recorder::Proc),
                       reinterpret_cast<DWORD_PTR>(&back), CALLBACK_FUNCTION),
            MMSYSERR_NOERROR);
  ASSERT_EQ(midiInStart(newIn), MMSYSERR_NOERROR);
  HMIDIOUT newOut = nullptr;
  ASSERT_EQ(midiOutOpen(&newOut, outId, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  // A message after the announcements is through once they are read.
  holder.Hold = false;
  fWriter.WriteAll({0xF8});
  ASSERT_TRUE(WaitFor([&] { return holder.Count() == 2; }));

  EXPECT_EQ(midiInClose(oldIn), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(oldOut), MMSYSERR_NOERROR);
  EXPECT_EQ(midiInGetID(newIn, &id), MMSYSERR_NOERROR);
  EXPECT_EQ(id, inId);
  EXPECT_EQ(midiOutGetID(newOut, &id), MMSYSERR_NOERROR);
  EXPECT_EQ(id, outId);
  EXPECT_EQ(midiOutShortMsg(newOut, 0x643C90), MMSYSERR_NOERROR);
  EXPECT_EQ(device->WaitCount(port, 1), 1u);
  device->Send(port, SequenceBytes(0, 3));
  EXPECT_TRUE(WaitFor([&] { return back.Count() == 3; }));
  EXPECT_EQ(gone.Count(), 0u);
  EXPECT_EQ(midiInClose(newIn), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutClose(newOut), MMSYSERR_NOERROR);
}

TEST_F(AlsaMidi, FailingOpensLeaveNothingOpen) {
  HMIDIIN in = nullptr;
  HMIDIOUT out = nullptr;
  EXPECT_EQ(midiInOpen(&in, midiInGetNumDevs(), 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(midiOutOpen(&out, midiOutGetNumDevs(), 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  // A port that went away after the listing.
  const int late = fPeer->CreatePort("short-lived");
  const std::string name =
      Listed("peer", "short-lived", {std::uint8_t(fPeer->Client()), std::uint8_t(late)});
  const UINT inId = DeviceOf(MidiDirection::In, name);
  const UINT outId = DeviceOf(MidiDirection::Out, name);
  fPeer->DeletePort(late);
  EXPECT_EQ(midiInOpen(&in, inId, 0, 0, CALLBACK_NULL), MIDIERR_NODEVICE);
  EXPECT_EQ(midiOutOpen(&out, outId, 0, 0, CALLBACK_NULL), MIDIERR_NODEVICE);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
  // A port open already is not opened twice.
  out = OpenSink();
  HMIDIOUT twice = nullptr;
  EXPECT_EQ(midiOutOpen(&twice, DeviceOf(MidiDirection::Out, fSinkName), 0, 0, CALLBACK_NULL),
            MMSYSERR_ALLOCATED);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
}

TEST_F(AlsaMidi, AnOverrunIsCountedAndReported) {
  Recorder recorder;
  recorder.Hold = true;
  HMIDIIN in = OpenDevice(recorder);
  // The first message holds the reader up while more arrives than alsa-lib's
  // buffer and the kernel's for us hold (2000 events each) with the card's
  // own buffer (4096 bytes) on top.
  constexpr std::uint32_t Load = 6000;
  fWriter.WriteMessages(SequenceBytes(0, Load), 3, 0);
  recorder.Hold = false;
  EXPECT_TRUE(WaitFor([] { return MidiServiceInputOverruns() > 0; }));
  EXPECT_TRUE(WaitFor([] { return gOverrunNotices.load() > 0; }));
  // The card held back what it could not pass on; one more message makes it
  // pass everything on, and reading goes on after the overrun.
  fWriter.WriteAll({0xF8});
  EXPECT_TRUE(WaitFor([&] {
    std::lock_guard lock(recorder.Lock);
    return !recorder.Data.empty() && recorder.Data.back() == 0xF8;
  }));
  EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
  EXPECT_LT(recorder.Count(), Load);
  AlsaMidiCounters counters;
  ASSERT_EQ(AlsaMidiGetCounters(counters), MMSYSERR_NOERROR);
  EXPECT_EQ(counters.Overruns, MidiServiceInputOverruns());
}

TEST_F(AlsaMidi, AClientThatAppearsLaterIsAnnouncedAndListed) {
  const int noticesBefore = gPortNotices.load();
  TAlsaSeqPeer late("latecomer");
  const int port = late.CreatePort("pads");
  EXPECT_TRUE(WaitFor([&] { return gPortNotices.load() > noticesBefore; }));
  const std::string name =
      Listed("latecomer", "pads", {std::uint8_t(late.Client()), std::uint8_t(port)});
  // The notice may come with the client, before its port: the port is
  // listed once its own announcement is in.
  EXPECT_TRUE(WaitFor([&] {
    const std::vector<std::string> names = PortNames(MidiDirection::In);
    return std::find(names.begin(), names.end(), name) != names.end();
  }));
}

} // namespace
