#pragma once
// The ALSA sequencer backend, written directly on alsa-lib: one sequencer
// client "midimonitor" for the program, with one input port and one output
// port of its own that other programs cannot subscribe to. The machine's
// input ports are the other clients' ports that can be read by
// subscription, its output ports those that can be written by subscription,
// in the sequencer's order of clients and ports; the system client and our
// own are never listed. A port is named "client:port" followed by its
// address ("Virtual Raw MIDI 0-0:VirMIDI 0-0 20:0").
//
// Opening an input subscribes our input port to the device's port; events
// reach us with the device's address as their source, which picks the
// handle. Opening an output subscribes our output port to the device's port,
// and each message goes straight to the device's address with
// snd_seq_event_output_direct: no queue and no drain, so a message is out
// before the next one is read.
//
// Threads: one reader thread (SCHED_FIFO at a modest priority where the
// system allows it, normal priority otherwise) waits with poll and then
// reads every pending event before it waits again; input callbacks, and with
// them the thru's midiOutShortMsg calls, run on it at once for each event.
// The handle is shared by all threads: the reader alone reads from it, the
// callers' threads (the user-interface thread, and the reader for the thru)
// send under fSendLock, and the port and subscription calls are serialised
// by fLock. Stopping or closing an input waits (without fLock) for the event
// being delivered to end, unless it is called from a callback.
//
// The kernel's announcements keep the backend current: a port that goes away
// (alone, or with its client, which announces each of its ports' exits
// first) marks the handles open on it as gone (sending fails with
// MIDIERR_NODEVICE, closing still succeeds), and every change of another
// client's ports raises the Ports notice. A port that comes back at the same
// address (a client that restarts gets its number again) is another port: a
// gone handle is not listed under it (InId, OutId), and it is opened anew.
// Active sensing, system exclusive and other events that carry no short
// message never reach a callback. When the kernel reports that the client's
// input buffer overflowed (messages were lost), the overrun is counted and
// the InputOverrun notice raised.

#include "platform/mm/AlsaEventCoder.h"
#include "platform/mm/MidiBackend.h"

#include <alsa/asoundlib.h>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {

struct AlsaMidiCounters {
  std::uint64_t Delivered = 0; // MIM_DATA callbacks made
  std::uint64_t Ignored = 0;   // events of no started input, or carrying no short message
  std::uint64_t Overruns = 0;  // the kernel emptied the overflowing input buffer (-ENOSPC)
  std::uint64_t ReadFailures = 0;
  std::uint64_t SendFailures = 0; // snd_seq_event_output_direct refused a message
  std::uint64_t CallbackFailures = 0;
  unsigned InputPool = 0; // the client's pool sizes in effect
  unsigned OutputPool = 0;
  bool RealTime = false; // the reader thread runs with SCHED_FIFO
};
// MMSYSERR_NOTENABLED when the running service is not the ALSA sequencer.
MMRESULT AlsaMidiGetCounters(AlsaMidiCounters& aCounters);

class AlsaMidiBackend final : public MidiBackend {
public:
  static constexpr std::size_t MaxPorts = 64; // open handles per direction

  // Use CreateAlsaMidiBackend.
  AlsaMidiBackend(snd_seq_t* aSeq, int aInPort, int aOutPort, int aWakeFd, unsigned aInputPool,
                  unsigned aOutputPool);
  ~AlsaMidiBackend() override;

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

  AlsaMidiCounters Counters() const;

private:
  enum SlotState : int { Free, Open, Started, Closing };

  // A port of another client as listed: its name and its address packed as
  // client * 256 + port.
  struct Port {
    std::string Name;
    std::uint32_t Address = 0;
  };
  struct Slot {
    std::atomic<int> State{Free};
    std::atomic<std::uintptr_t> Handle{0};
    std::atomic<std::uint32_t> Address{0}; // the device's port
    std::atomic<bool> Gone{false};         // the device's port went away
  };
  struct InSlot : Slot {
    MIDIINPROC Proc = nullptr;
    DWORD_PTR Instance = 0;
    std::atomic<std::int64_t> StartTime{0}; // steady clock, milliseconds
  };
  using OutSlot = Slot;

  void ReadEvents();
  // Reads until the client's input is empty.
  void DrainInput();
  void Dispatch(const snd_seq_event_t& aEvent);
  void Announce(const snd_seq_event_t& aEvent);
  InSlot* StartedInput(std::uint32_t aSource);
  // Returns when no event that may have seen an earlier state of an input is
  // still being delivered (at once on the reader thread).
  void WaitForDelivery() const;
  bool OnReaderThread() const;
  InSlot* FindIn(HMIDIIN aHandle);
  OutSlot* FindOut(HMIDIOUT aHandle);
  std::vector<Port> ListPorts(MidiDirection aDirection) const;
  // The index of aSlot's port in the last listing of aDirection.
  MMRESULT ListedId(MidiDirection aDirection, const Slot* aSlot, UINT& aId) const;
  // Under fLock: the listed port aId, checked to be there still under the
  // same name, and a free slot for it (MMSYSERR_ALLOCATED when one holds it),
  // which is then Open for that port but has no handle yet. The
  // announcements mark it from then on, should the port go away.
  template <typename SlotType>
  MMRESULT ClaimSlot(MidiDirection aDirection, UINT aId, std::array<SlotType, MaxPorts>& aSlots,
                     std::size_t& aIndex);
  MMRESULT Subscribe(std::uint32_t aSender, std::uint32_t aDestination);
  void Unsubscribe(std::uint32_t aSender, std::uint32_t aDestination);
  std::uint32_t Own(int aPort) const;

  snd_seq_t* fSeq;
  int fClient;
  int fInPort;
  int fOutPort;
  int fWakeFd; // eventfd: written to stop the reader
  std::array<InSlot, MaxPorts> fIns;
  std::array<OutSlot, MaxPorts> fOuts;
  // Port lists of the last NumDevs call; port and subscription calls.
  mutable std::mutex fLock;
  std::array<std::vector<Port>, 2> fNames;
  // Sending: the encoder and the handle's output.
  std::mutex fSendLock;
  AlsaEventCoder fEncoder;
  AlsaEventCoder fDecoder; // reader thread only

  std::atomic<std::uint64_t> fDeliveriesBegun{0};
  std::atomic<std::uint64_t> fDeliveriesEnded{0};
  std::atomic<std::uint64_t> fDelivered{0};
  std::atomic<std::uint64_t> fIgnored{0};
  std::atomic<std::uint64_t> fOverruns{0};
  std::atomic<std::uint64_t> fReadFailures{0};
  std::atomic<std::uint64_t> fSendFailures{0};
  std::atomic<std::uint64_t> fCallbackFailures{0};
  std::atomic<bool> fRealTime{false};
  unsigned fInputPool = 0;
  unsigned fOutputPool = 0;
  std::thread fReader; // last: starts once everything above is in place
};

// Opens the client on the sequencer (/dev/snd/seq) and starts its reader.
// Null with a reason in aError when the sequencer cannot be opened or set up.
std::unique_ptr<MidiBackend> CreateAlsaMidiBackend(std::string& aError);

} // namespace platform
