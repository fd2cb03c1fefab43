#pragma once
// The JACK backend, written directly on libjack: one client for the program.
// The machine's input ports are the MIDI output ports of other clients, its
// output ports the MIDI input ports of other clients, in JACK's order. Opening
// a port registers a local port of ours connected to it.
//
// Threads: input callbacks run on JACK's process thread, in frame order across
// all open inputs. midiOutShortMsg called there (the thru) writes into the
// output port's buffer of the same cycle at the frame of the event being
// delivered, so the thru adds no latency. From any other thread it goes
// through the port's preallocated lock-free ring and is written at frame 0 of
// the next cycle. The process thread never locks, allocates, blocks or prints;
// ports opened and closed on other threads reach it through atomics, and
// stop and close wait for the cycle in progress to end. Ports cannot be
// listed, opened or closed from the process thread (MIDIERR_NOTREADY): that
// needs the server, which waits for the cycle. Queued messages that do not fit
// into a cycle's port buffer wait in the ring for the next cycle. A full ring,
// or a full port buffer for the thru, refuses the message: it is counted and
// the sender gets MIDIERR_NOTREADY.
//
// Changes of the graph reach the service's listener from JACK's notification
// thread: ports of other clients registered, unregistered or renamed
// (MidiServiceChange::Ports), and the server's end (ServiceLost). An open
// port follows its peer by the connection: a renamed peer keeps its handles,
// a peer that went away (even if one of the same name came back) has none.

#include "platform/mm/MessageRing.h"
#include "platform/mm/MidiBackend.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <jack/jack.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

struct JackMidiCounters {
  std::uint64_t Delivered = 0;   // MIM_DATA callbacks made
  std::uint64_t Ignored = 0;     // incoming events that are not short messages
  std::uint64_t SentDirect = 0;  // written in the same cycle from the process thread
  std::uint64_t SentQueued = 0;  // written from the rings
  std::uint64_t RingDrops = 0;   // ring full
  std::uint64_t BufferDrops = 0; // port buffer full (thru on the process thread)
  std::uint64_t CallbackFailures = 0;
};
// MMSYSERR_NOTENABLED when the running service is not JACK.
MMRESULT JackMidiGetCounters(JackMidiCounters& aCounters);

class JackMidiBackend final : public MidiBackend {
public:
  static constexpr std::size_t MaxPorts = 32; // per direction
  static constexpr std::size_t RingCapacity = 8192;

  // Use CreateJackMidiBackend.
  JackMidiBackend(jack_client_t* aClient);
  ~JackMidiBackend() override;

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

  JackMidiCounters Counters() const;

private:
  enum SlotState : int { Free, Open, Started, Closing };

  struct InSlot {
    std::atomic<int> State{Free};
    std::atomic<std::uintptr_t> Handle{0};
    jack_port_t* Port = nullptr;
    MIDIINPROC Proc = nullptr;
    DWORD_PTR Instance = 0;
    std::atomic<jack_nframes_t> StartFrame{0};
    std::string Peer; // the source port
    // Process thread only.
    void* Buffer = nullptr;
    std::uint32_t Count = 0;
    std::uint32_t Next = 0;
  };
  struct OutSlot {
    std::atomic<int> State{Free};
    std::atomic<std::uintptr_t> Handle{0};
    std::atomic<int> Users{0};
    jack_port_t* Port = nullptr;
    std::unique_ptr<MessageRing> Ring;
    std::string Peer;            // the destination port
    void* CycleBuffer = nullptr; // process thread only
  };

  static int ProcessCallback(jack_nframes_t aFrames, void* aSelf);
  static void ShutdownCallback(jack_status_t aCode, const char* aReason, void* aSelf);
  static void RegistrationCallback(jack_port_id_t aPort, int aRegistered, void* aSelf);
  static void RenameCallback(jack_port_id_t aPort, const char* aOldName, const char* aNewName,
                             void* aSelf);
  // Under fLock: the device number, in the last listing, of the port that
  // aPort is connected to now; the slot's peer takes its current name.
  MMRESULT ConnectedId(MidiDirection aDirection, jack_port_t* aPort, std::string& aPeer,
                       UINT& aId) const;
  void Process(jack_nframes_t aFrames);
  void DeliverInputs(jack_nframes_t aFrames);
  // Returns when no process cycle that may have seen an earlier state change
  // is still running (at once on the process thread or without a server).
  void WaitForCycle() const;
  bool OnProcessThread() const;
  InSlot* FindIn(HMIDIIN aHandle);
  OutSlot* FindOut(HMIDIOUT aHandle);
  // The port names of one direction as JACK lists them now, ours left out.
  std::vector<std::string> ListPorts(MidiDirection aDirection) const;
  MMRESULT RegisterAndConnect(MidiDirection aDirection, std::size_t aSlot, const std::string& aPeer,
                              jack_port_t*& aPort);
  // Until the port's connections are in the server's graph (aConnected) or
  // gone from it, at most a second.
  void WaitForConnection(jack_port_t* aPort, bool aConnected) const;
  // Under fLock: the peer port of device aId and the index of a free slot for
  // it (MMSYSERR_ALLOCATED when a slot holds that peer already).
  template <typename Slot>
  MMRESULT FindFreeSlot(MidiDirection aDirection, UINT aId,
                        const std::array<Slot, MaxPorts>& aSlots, std::string& aPeer,
                        std::size_t& aIndex) const;

  jack_client_t* fClient;
  std::string fClientName;
  jack_nframes_t fSampleRate;
  std::atomic<bool> fServerGone{false};
  std::atomic<std::uint64_t> fCyclesBegun{0};
  std::atomic<std::uint64_t> fCyclesEnded{0};
  std::array<InSlot, MaxPorts> fIns;
  std::array<OutSlot, MaxPorts> fOuts;
  // Port lists of the last NumDevs call; opening and closing are serialised.
  mutable std::mutex fLock;
  std::array<std::vector<std::string>, 2> fNames;

  std::atomic<std::uint64_t> fDelivered{0};
  std::atomic<std::uint64_t> fIgnored{0};
  std::atomic<std::uint64_t> fSentDirect{0};
  std::atomic<std::uint64_t> fSentQueued{0};
  std::atomic<std::uint64_t> fRingDrops{0};
  std::atomic<std::uint64_t> fBufferDrops{0};
  std::atomic<std::uint64_t> fCallbackFailures{0};
};

// Opens the client on the server named by JACK_DEFAULT_SERVER (else
// "default") without starting a server. Null with a reason in aError when no
// server answers.
std::unique_ptr<MidiBackend> CreateJackMidiBackend(std::string& aServerName, std::string& aError);

} // namespace platform
