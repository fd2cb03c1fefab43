#pragma once
// The virtual MIDI service: in-process ports with one service thread that
// delivers injected messages (and the demo keyboard's pattern) to open input
// handles, sinks that record what output ports receive, and fault injection.
// Control it through platform/mm/VirtualMidi.h.
//
// Locks: fDelivery is held by the service thread while it runs a callback, and
// taken by stop, reset and close, so those return only when no callback for
// the handle runs any more. fLock guards ports, handles and the queue; it is
// never held during a callback. Order: fDelivery before fLock.

#include "platform/mm/MidiBackend.h"
#include "platform/mm/VirtualMidiLayout.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace platform {

class VirtualMidiBackend final : public MidiBackend {
public:
  // aDemo: the input ports play the demo pattern while open and started.
  VirtualMidiBackend(const VirtualMidiLayout& aLayout, bool aDemo);
  ~VirtualMidiBackend() override;

  UINT NumDevs(MidiDirection aDirection) override;
  MMRESULT PortName(MidiDirection aDirection, UINT aId, std::string& aName) override;
  MMRESULT OpenIn(UINT aId, MIDIINPROC aProc, DWORD_PTR aInstance, HMIDIIN& aHandle) override;
  MMRESULT StartIn(HMIDIIN aHandle) override;
  MMRESULT StopIn(HMIDIIN aHandle) override;
  MMRESULT ResetIn(HMIDIIN aHandle) override;
  MMRESULT CloseIn(HMIDIIN aHandle) override;
  MMRESULT OpenOut(UINT aId, HMIDIOUT& aHandle) override;
  MMRESULT CloseOut(HMIDIOUT aHandle) override;
  MMRESULT ShortMsg(HMIDIOUT aHandle, DWORD aMessage) override;
  MMRESULT InId(HMIDIIN aHandle, UINT& aId) override;
  MMRESULT OutId(HMIDIOUT aHandle, UINT& aId) override;
  std::uint64_t InputOverruns() const override { return fOverruns.load(); }

  MMRESULT Inject(UINT aIndex, DWORD aParam1, UINT aCallbackMessage);
  MMRESULT Flush();
  MMRESULT Received(UINT aIndex, std::vector<DWORD>& aMessages);
  MMRESULT ClearReceived(UINT aIndex);
  MMRESULT AddPort(MidiDirection aDirection, const std::string& aName, bool aExclusive);
  MMRESULT RemovePort(MidiDirection aDirection, UINT aIndex);
  MMRESULT RenamePort(MidiDirection aDirection, UINT aIndex, const std::string& aName);
  MMRESULT SetFault(MidiDirection aDirection, UINT aIndex, MidiFaultPoint aPoint, MMRESULT aCode);
  MMRESULT GetCounters(VirtualMidiCounters& aCounters);
  MMRESULT ReportOverrun();

  // Most messages an output port keeps.
  static constexpr std::size_t ReceivedLimit = 65536;

private:
  using Clock = std::chrono::steady_clock;

  struct Port {
    Port(std::string aName, bool aExclusive, bool aDemo)
        : Name(std::move(aName)), Exclusive(aExclusive), Demo(aDemo) {}
    std::string Name;
    bool Exclusive = false;
    bool Demo = false;
    bool Removed = false;
    std::array<MMRESULT, 7> Faults{};
    std::uintptr_t OpenHandle = 0;
    std::deque<DWORD> Received;
    std::size_t DemoStep = 0;
  };
  struct InOpen {
    InOpen() = default;
    InOpen(std::shared_ptr<Port> aPort, MIDIINPROC aProc, DWORD_PTR aInstance)
        : P(std::move(aPort)), Proc(aProc), Instance(aInstance) {}
    std::shared_ptr<Port> P;
    MIDIINPROC Proc = nullptr;
    DWORD_PTR Instance = 0;
    bool Started = false;
    Clock::time_point StartTime;
  };
  struct Pending {
    std::shared_ptr<Port> P;
    UINT Message = 0;
    DWORD Param = 0;
  };

  void Run();
  // Queues the next demo step of every playing demo port; true when one plays.
  bool QueueDemoSteps();
  bool OnServiceThread() const { return std::this_thread::get_id() == fThreadId; }
  // The delivery lock, or an empty one on the service thread (which already
  // holds it while it runs a callback).
  std::unique_lock<std::mutex> LockDelivery();
  std::vector<std::shared_ptr<Port>>& Ports(MidiDirection aDirection) {
    return fPorts[aDirection == MidiDirection::In ? 0 : 1];
  }
  std::vector<std::shared_ptr<Port>>& Listed(MidiDirection aDirection) {
    return fListed[aDirection == MidiDirection::In ? 0 : 1];
  }
  // Under fLock: the index of aPort in the listing of its direction.
  MMRESULT ListedIndex(MidiDirection aDirection, const Port& aPort, UINT& aId);
  static MMRESULT Fault(const Port& aPort, MidiFaultPoint aPoint) {
    return aPort.Faults[static_cast<std::size_t>(aPoint)];
  }
  MMRESULT ChangeInput(HMIDIIN aHandle, MidiFaultPoint aPoint, bool aStart);
  // Under fLock: opens port aId for a new handle, unless it is missing, held
  // or made to fail.
  MMRESULT Claim(MidiDirection aDirection, UINT aId, std::uintptr_t& aKey);

  std::mutex fDelivery;
  std::mutex fLock;
  std::condition_variable fWake;
  std::condition_variable fIdle;
  std::array<std::vector<std::shared_ptr<Port>>, 2> fPorts;
  // The ports as the last NumDevs call of each direction listed them: the
  // device numbers of the midi* functions.
  std::array<std::vector<std::shared_ptr<Port>>, 2> fListed;
  std::unordered_map<std::uintptr_t, InOpen> fIns;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Port>> fOuts;
  std::deque<Pending> fQueue;
  std::uint64_t fQueued = 0;
  std::uint64_t fDone = 0;
  VirtualMidiCounters fCounters;
  std::atomic<std::uint64_t> fOverruns{0};
  Clock::time_point fNextDemo;
  bool fQuit = false;
  std::thread fThread;
  std::thread::id fThreadId;
};

} // namespace platform
