#include "platform/mm/JackMidiBackend.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <jack/midiport.h>
#include <optional>
#include <thread>

namespace platform {

namespace {

// The backend whose process callback runs on this thread, and the frame of
// the event it is delivering.
thread_local const JackMidiBackend* tProcessBackend = nullptr;
thread_local jack_nframes_t tFrame = 0;

// libjack reports failures through a process-wide function; while a call
// whose failure is an expected answer runs (a client opened with no server
// up, a port connected before its client is active) they are kept quiet,
// else they go to the standard error stream.
std::atomic<int> gQuietJackErrors{0};

void JackErrorMessage(const char* aText) {
  if (gQuietJackErrors.load(std::memory_order_relaxed) == 0)
    std::fprintf(stderr, "JACK: %s\n", aText);
}

// Keeps libjack's failure reports quiet for as long as it lives.
class TQuietJackErrors {
public:
  TQuietJackErrors() { gQuietJackErrors.fetch_add(1); }
  ~TQuietJackErrors() { gQuietJackErrors.fetch_sub(1); }
  TQuietJackErrors(const TQuietJackErrors&) = delete;
  TQuietJackErrors& operator=(const TQuietJackErrors&) = delete;
};

// How long a port that is listed but cannot be connected yet is tried again:
// a client's ports are listed from their registration on, but connect only
// once the client is active, a moment later.
constexpr auto ConnectPatience = std::chrono::milliseconds(500);

void JackInfoMessage(const char*) {}

std::string OpenStatusText(jack_status_t aStatus) {
  if (aStatus & JackServerFailed)
    return "no JACK server is running";
  if (aStatus & JackVersionError)
    return "the JACK server speaks another protocol version";
  if (aStatus & JackShmFailure)
    return "JACK's shared memory cannot be used";
  if (aStatus & JackInitFailure)
    return "the JACK client cannot be initialised";
  return "the JACK client cannot be opened";
}

std::uintptr_t Key(const void* aHandle) {
  return reinterpret_cast<std::uintptr_t>(aHandle);
}

// The short message an event of an input port's buffer holds, packed as
// midiOutShortMsg takes it; false for anything else. The buffer belongs to
// the sending client and was filled in its cycle, which the server runs
// before ours, ordered through futexes in shared memory. ThreadSanitizer
// cannot see that order and would report each first hand-over from a client
// in this process as a race; making a report stalls the process thread for
// longer than the server waits for a cycle (it starts the symboliser), and
// the server then runs the next cycle, whose clear of the sender's buffer
// loses the events not yet read. So these reads are left out of its view.
__attribute__((no_sanitize("thread"))) bool ShortMessageOf(const jack_midi_event_t& aEvent,
                                                           DWORD& aMessage) {
  if (aEvent.size == 0 || aEvent.size > 3 || ShortMessageLength(aEvent.buffer[0]) != aEvent.size)
    return false;
  aMessage = aEvent.buffer[0];
  if (aEvent.size > 1)
    aMessage |= DWORD(aEvent.buffer[1]) << 8;
  if (aEvent.size > 2)
    aMessage |= DWORD(aEvent.buffer[2]) << 16;
  return true;
}

} // namespace

std::unique_ptr<MidiBackend> CreateJackMidiBackend(std::string& aServerName, std::string& aError) {
  const char* server = std::getenv("JACK_DEFAULT_SERVER");
  aServerName = server && *server ? server : "default";
  jack_set_error_function(JackErrorMessage);
  jack_set_info_function(JackInfoMessage);
  jack_status_t status{};
  jack_client_t* client = nullptr;
  {
    TQuietJackErrors quiet;
    client = jack_client_open("midimonitor", JackNoStartServer, &status);
  }
  if (client == nullptr) {
    aError = OpenStatusText(status) + " (server \"" + aServerName + "\")";
    return nullptr;
  }
  auto backend = std::make_unique<JackMidiBackend>(client);
  if (jack_activate(client) != 0) {
    aError = "the JACK client cannot be activated";
    return nullptr;
  }
  return backend;
}

MMRESULT JackMidiGetCounters(JackMidiCounters& aCounters) {
  auto* backend = dynamic_cast<JackMidiBackend*>(CurrentMidiBackend());
  if (backend == nullptr)
    return MMSYSERR_NOTENABLED;
  aCounters = backend->Counters();
  return MMSYSERR_NOERROR;
}

JackMidiBackend::JackMidiBackend(jack_client_t* aClient)
    : fClient(aClient), fClientName(jack_get_client_name(aClient)),
      fSampleRate(jack_get_sample_rate(aClient)) {
  jack_set_process_callback(fClient, &JackMidiBackend::ProcessCallback, this);
  jack_on_info_shutdown(fClient, &JackMidiBackend::ShutdownCallback, this);
  jack_set_port_registration_callback(fClient, &JackMidiBackend::RegistrationCallback, this);
  jack_set_port_rename_callback(fClient, &JackMidiBackend::RenameCallback, this);
}

JackMidiBackend::~JackMidiBackend() {
  // Closing deactivates first, so no process callback runs afterwards. A
  // client of a server that went away closes with complaints that say
  // nothing new.
  std::optional<TQuietJackErrors> quiet;
  if (fServerGone.load())
    quiet.emplace();
  jack_client_close(fClient);
}

JackMidiCounters JackMidiBackend::Counters() const {
  JackMidiCounters counters;
  counters.Delivered = fDelivered.load();
  counters.Ignored = fIgnored.load();
  counters.SentDirect = fSentDirect.load();
  counters.SentQueued = fSentQueued.load();
  counters.RingDrops = fRingDrops.load();
  counters.BufferDrops = fBufferDrops.load();
  counters.CallbackFailures = fCallbackFailures.load();
  return counters;
}

int JackMidiBackend::ProcessCallback(jack_nframes_t aFrames, void* aSelf) {
  static_cast<JackMidiBackend*>(aSelf)->Process(aFrames);
  return 0;
}

void JackMidiBackend::ShutdownCallback(jack_status_t, const char*, void* aSelf) {
  static_cast<JackMidiBackend*>(aSelf)->fServerGone.store(true);
  NotifyMidiServiceChange(MidiServiceChange::ServiceLost);
}

void JackMidiBackend::RegistrationCallback(jack_port_id_t aPort, int, void* aSelf) {
  const auto* self = static_cast<JackMidiBackend*>(aSelf);
  // Our own ports (opening and closing) and audio ports change no listing.
  // A port that is already gone cannot be asked and counts as a change.
  if (const jack_port_t* port = jack_port_by_id(self->fClient, aPort)) {
    const char* type = jack_port_type(port);
    if (jack_port_is_mine(self->fClient, port) ||
        (type != nullptr && std::string_view(type) != JACK_DEFAULT_MIDI_TYPE))
      return;
  }
  NotifyMidiServiceChange(MidiServiceChange::Ports);
}

void JackMidiBackend::RenameCallback(jack_port_id_t, const char*, const char*, void*) {
  NotifyMidiServiceChange(MidiServiceChange::Ports);
}

MMRESULT JackMidiBackend::ConnectedId(MidiDirection aDirection, jack_port_t* aPort,
                                      std::string& aPeer, UINT& aId) const {
  if (fServerGone.load())
    return MIDIERR_NODEVICE;
  const char** connections = jack_port_get_connections(aPort);
  if (connections == nullptr)
    return MIDIERR_NODEVICE;
  aPeer = connections[0];
  jack_free(connections);
  const auto& names = fNames[aDirection == MidiDirection::In ? 0 : 1];
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == aPeer) {
      aId = UINT(i);
      return MMSYSERR_NOERROR;
    }
  }
  return MIDIERR_NODEVICE;
}

MMRESULT JackMidiBackend::InId(HMIDIIN aHandle, UINT& aId) {
  if (OnProcessThread())
    return MIDIERR_NOTREADY;
  std::lock_guard lock(fLock);
  InSlot* slot = FindIn(aHandle);
  return slot ? ConnectedId(MidiDirection::In, slot->Port, slot->Peer, aId) : MMSYSERR_INVALHANDLE;
}

MMRESULT JackMidiBackend::OutId(HMIDIOUT aHandle, UINT& aId) {
  if (OnProcessThread())
    return MIDIERR_NOTREADY;
  std::lock_guard lock(fLock);
  OutSlot* slot = FindOut(aHandle);
  return slot ? ConnectedId(MidiDirection::Out, slot->Port, slot->Peer, aId) : MMSYSERR_INVALHANDLE;
}

bool JackMidiBackend::OnProcessThread() const {
  return tProcessBackend == this;
}

void JackMidiBackend::Process(jack_nframes_t aFrames) {
  fCyclesBegun.fetch_add(1);
  tProcessBackend = this;
  tFrame = 0;
  for (OutSlot& slot : fOuts) {
    slot.CycleBuffer = nullptr;
    const int state = slot.State.load(std::memory_order_acquire);
    if (state != Open && state != Closing)
      continue;
    // Cleared in every cycle while the port is registered, also while it is
    // being closed: a port buffer left alone hands its last cycle's events to
    // the destination again.
    void* buffer = jack_port_get_buffer(slot.Port, aFrames);
    jack_midi_clear_buffer(buffer);
    if (state == Closing)
      continue;
    slot.CycleBuffer = buffer;
    // What does not fit into this cycle's buffer stays in the ring for the
    // next one; only a full ring refuses (and counts) a message.
    DWORD message = 0;
    while (jack_midi_max_event_size(buffer) >= 3 && slot.Ring->Pop(message)) {
      const jack_midi_data_t bytes[3] = {jack_midi_data_t(message & 0xFF),
                                         jack_midi_data_t((message >> 8) & 0xFF),
                                         jack_midi_data_t((message >> 16) & 0xFF)};
      jack_midi_event_write(buffer, 0, bytes, ShortMessageLength(bytes[0]));
      fSentQueued.fetch_add(1, std::memory_order_relaxed);
    }
  }
  DeliverInputs(aFrames);
  tProcessBackend = nullptr;
  fCyclesEnded.fetch_add(1);
}

void JackMidiBackend::DeliverInputs(jack_nframes_t aFrames) {
  for (InSlot& slot : fIns) {
    slot.Count = 0;
    slot.Next = 0;
    if (slot.State.load(std::memory_order_acquire) != Started)
      continue;
    slot.Buffer = jack_port_get_buffer(slot.Port, aFrames);
    slot.Count = jack_midi_get_event_count(slot.Buffer);
  }
  const jack_nframes_t cycleStart = jack_last_frame_time(fClient);
  while (true) {
    // The earliest pending event over all inputs; ties go to the lower slot.
    InSlot* earliest = nullptr;
    jack_midi_event_t event{};
    for (InSlot& slot : fIns) {
      if (slot.Next >= slot.Count)
        continue;
      jack_midi_event_t candidate;
      if (jack_midi_event_get(&candidate, slot.Buffer, slot.Next) != 0) {
        slot.Next = slot.Count;
        continue;
      }
      if (earliest == nullptr || candidate.time < event.time) {
        earliest = &slot;
        event = candidate;
      }
    }
    if (earliest == nullptr)
      return;
    ++earliest->Next;
    // A callback may have stopped or closed this port meanwhile.
    if (earliest->State.load(std::memory_order_acquire) != Started)
      continue;
    DWORD message = 0;
    if (!ShortMessageOf(event, message)) {
      fIgnored.fetch_add(1, std::memory_order_relaxed);
      continue;
    }
    const jack_nframes_t frames =
        cycleStart + event.time - earliest->StartFrame.load(std::memory_order_relaxed);
    const DWORD_PTR time = DWORD_PTR(std::uint64_t(frames) * 1000 / fSampleRate);
    tFrame = event.time;
    fDelivered.fetch_add(1, std::memory_order_relaxed);
    if (earliest->Proc == nullptr)
      continue;
    try {
      earliest->Proc(reinterpret_cast<HMIDIIN>(earliest->Handle.load(std::memory_order_relaxed)),
                     MIM_DATA, earliest->Instance, message, time);
    } catch (...) {
      fCallbackFailures.fetch_add(1, std::memory_order_relaxed);
    }
  }
}

void JackMidiBackend::WaitForCycle() const {
  if (OnProcessThread())
    return;
  const std::uint64_t begun = fCyclesBegun.load();
  while (fCyclesEnded.load() < begun && !fServerGone.load())
    std::this_thread::sleep_for(std::chrono::microseconds(50));
}

std::vector<std::string> JackMidiBackend::ListPorts(MidiDirection aDirection) const {
  std::vector<std::string> names;
  if (fServerGone.load())
    return names;
  // Our inputs read from other clients' outputs and the other way round.
  const unsigned long flags = aDirection == MidiDirection::In ? JackPortIsOutput : JackPortIsInput;
  const char** ports = jack_get_ports(fClient, nullptr, JACK_DEFAULT_MIDI_TYPE, flags);
  if (ports == nullptr)
    return names;
  const std::string own = fClientName + ":";
  for (const char** port = ports; *port != nullptr; ++port) {
    if (std::string_view(*port).substr(0, own.size()) != own)
      names.emplace_back(*port);
  }
  jack_free(ports);
  return names;
}

UINT JackMidiBackend::NumDevs(MidiDirection aDirection) {
  if (OnProcessThread())
    return 0; // asking the server would block the cycle
  std::vector<std::string> names = ListPorts(aDirection);
  std::lock_guard lock(fLock);
  auto& list = fNames[aDirection == MidiDirection::In ? 0 : 1];
  list = std::move(names);
  return UINT(list.size());
}

MMRESULT JackMidiBackend::PortName(MidiDirection aDirection, UINT aId, std::string& aName) {
  if (OnProcessThread())
    return MIDIERR_NOTREADY;
  std::lock_guard lock(fLock);
  const auto& list = fNames[aDirection == MidiDirection::In ? 0 : 1];
  if (aId >= list.size())
    return MMSYSERR_BADDEVICEID;
  aName = list[aId];
  return MMSYSERR_NOERROR;
}

MMRESULT JackMidiBackend::RegisterAndConnect(MidiDirection aDirection, std::size_t aSlot,
                                             const std::string& aPeer, jack_port_t*& aPort) {
  const bool input = aDirection == MidiDirection::In;
  const std::string name = (input ? "in-" : "out-") + std::to_string(aSlot);
  aPort = jack_port_register(fClient, name.c_str(), JACK_DEFAULT_MIDI_TYPE,
                             input ? JackPortIsInput : JackPortIsOutput, 0);
  if (aPort == nullptr)
    return MMSYSERR_NOMEM;
  const char* own = jack_port_name(aPort);
  const auto connect = [&] {
    return input ? jack_connect(fClient, aPeer.c_str(), own)
                 : jack_connect(fClient, own, aPeer.c_str());
  };
  int connected = 0;
  {
    TQuietJackErrors quiet;
    const auto deadline = std::chrono::steady_clock::now() + ConnectPatience;
    while ((connected = connect()) != 0 && connected != EEXIST && !fServerGone.load() &&
           jack_port_by_name(fClient, aPeer.c_str()) != nullptr &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (connected != 0 && connected != EEXIST) {
    jack_port_unregister(fClient, aPort);
    aPort = nullptr;
    return MIDIERR_NODEVICE;
  }
  // The server switches to the new graph at the start of a later cycle; until
  // then messages would pass the new connection by. Waiting for it here means
  // the first message after opening is not lost.
  WaitForConnection(aPort, true);
  return MMSYSERR_NOERROR;
}

void JackMidiBackend::WaitForConnection(jack_port_t* aPort, bool aConnected) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while ((jack_port_connected(aPort) != 0) != aConnected && !fServerGone.load() &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
}

template <typename Slot>
MMRESULT JackMidiBackend::FindFreeSlot(MidiDirection aDirection, UINT aId,
                                       const std::array<Slot, MaxPorts>& aSlots, std::string& aPeer,
                                       std::size_t& aIndex) const {
  if (fServerGone.load())
    return MMSYSERR_NODRIVER;
  const auto& names = fNames[aDirection == MidiDirection::In ? 0 : 1];
  if (aId >= names.size())
    return MMSYSERR_BADDEVICEID;
  aPeer = names[aId];
  aIndex = MaxPorts;
  for (std::size_t i = 0; i < MaxPorts; ++i) {
    const int state = aSlots[i].State.load();
    if (state != Free && aSlots[i].Peer == aPeer)
      return MMSYSERR_ALLOCATED;
    if (state == Free && aIndex == MaxPorts)
      aIndex = i;
  }
  return aIndex == MaxPorts ? MMSYSERR_NOMEM : MMSYSERR_NOERROR;
}

MMRESULT JackMidiBackend::OpenIn(UINT aId, MIDIINPROC aProc, DWORD_PTR aInstance,
                                 HMIDIIN& aHandle) {
  if (OnProcessThread())
    return MIDIERR_NOTREADY;
  std::unique_lock lock(fLock);
  std::string source;
  std::size_t index = 0;
  if (const MMRESULT result = FindFreeSlot(MidiDirection::In, aId, fIns, source, index))
    return result;
  jack_port_t* port = nullptr;
  if (const MMRESULT result = RegisterAndConnect(MidiDirection::In, index, source, port))
    return result;
  const std::uintptr_t handle = NewMidiHandleValue() | index;
  InSlot& slot = fIns[index];
  slot.Port = port;
  slot.Proc = aProc;
  slot.Instance = aInstance;
  slot.Peer = source;
  slot.Handle.store(handle);
  slot.State.store(Open, std::memory_order_release);
  lock.unlock();
  aHandle = reinterpret_cast<HMIDIIN>(handle);
  if (aProc != nullptr)
    aProc(aHandle, MIM_OPEN, aInstance, 0, 0);
  return MMSYSERR_NOERROR;
}

JackMidiBackend::InSlot* JackMidiBackend::FindIn(HMIDIIN aHandle) {
  return FindMidiSlot(fIns, aHandle);
}

JackMidiBackend::OutSlot* JackMidiBackend::FindOut(HMIDIOUT aHandle) {
  return FindMidiSlot(fOuts, aHandle);
}

MMRESULT JackMidiBackend::StartIn(HMIDIIN aHandle) {
  InSlot* slot = FindIn(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  if (slot->State.load() != Started) {
    slot->StartFrame.store(jack_frame_time(fClient), std::memory_order_relaxed);
    slot->State.store(Started, std::memory_order_release);
  }
  return MMSYSERR_NOERROR;
}

MMRESULT JackMidiBackend::StopIn(HMIDIIN aHandle) {
  InSlot* slot = FindIn(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  int started = Started;
  if (slot->State.compare_exchange_strong(started, Open))
    WaitForCycle();
  return MMSYSERR_NOERROR;
}

MMRESULT JackMidiBackend::ResetIn(HMIDIIN aHandle) {
  return StopIn(aHandle);
}

MMRESULT JackMidiBackend::CloseIn(HMIDIIN aHandle) {
  if (OnProcessThread())
    return MIDIERR_NOTREADY;
  std::unique_lock lock(fLock);
  InSlot* slot = FindIn(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  slot->Handle.store(0);
  slot->State.store(Closing);
  WaitForCycle();
  if (!fServerGone.load())
    jack_port_unregister(fClient, slot->Port);
  const MIDIINPROC proc = slot->Proc;
  const DWORD_PTR instance = slot->Instance;
  slot->Port = nullptr;
  slot->Proc = nullptr;
  slot->Peer.clear();
  slot->State.store(Free);
  lock.unlock();
  if (proc != nullptr)
    proc(aHandle, MIM_CLOSE, instance, 0, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT JackMidiBackend::OpenOut(UINT aId, HMIDIOUT& aHandle) {
  if (OnProcessThread())
    return MIDIERR_NOTREADY;
  std::lock_guard lock(fLock);
  std::string destination;
  std::size_t index = 0;
  if (const MMRESULT result = FindFreeSlot(MidiDirection::Out, aId, fOuts, destination, index))
    return result;
  jack_port_t* port = nullptr;
  if (const MMRESULT result = RegisterAndConnect(MidiDirection::Out, index, destination, port))
    return result;
  const std::uintptr_t handle = NewMidiHandleValue() | index;
  OutSlot& slot = fOuts[index];
  slot.Port = port;
  slot.Ring = std::make_unique<MessageRing>(RingCapacity);
  slot.Peer = destination;
  slot.State.store(Open, std::memory_order_release);
  slot.Handle.store(handle);
  aHandle = reinterpret_cast<HMIDIOUT>(handle);
  return MMSYSERR_NOERROR;
}

MMRESULT JackMidiBackend::CloseOut(HMIDIOUT aHandle) {
  if (OnProcessThread())
    return MIDIERR_NOTREADY;
  std::lock_guard lock(fLock);
  OutSlot* slot = FindOut(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  slot->Handle.store(0);
  while (slot->Users.load() != 0)
    std::this_thread::yield();
  // What was sent before the close still goes out (a note off, say): the
  // cycles drain the ring first, for at most a second.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (!slot->Ring->Empty() && !fServerGone.load() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  // While Closing, the cycles only clear the port's buffer. It is
  // disconnected first, so that its last events reach nobody once the cycles
  // leave it alone (Free: fLock keeps the slot from being claimed).
  slot->State.store(Closing);
  WaitForCycle();
  if (!fServerGone.load()) {
    jack_port_disconnect(fClient, slot->Port);
    WaitForConnection(slot->Port, false);
  }
  slot->State.store(Free);
  WaitForCycle();
  if (!fServerGone.load())
    jack_port_unregister(fClient, slot->Port);
  slot->Port = nullptr;
  slot->Ring.reset();
  slot->Peer.clear();
  return MMSYSERR_NOERROR;
}

MMRESULT JackMidiBackend::ShortMsg(HMIDIOUT aHandle, DWORD aMessage) {
  const std::uintptr_t key = Key(aHandle);
  OutSlot& slot = fOuts[(key & 0xFF) % MaxPorts];
  const jack_midi_data_t bytes[3] = {jack_midi_data_t(aMessage & 0xFF),
                                     jack_midi_data_t((aMessage >> 8) & 0xFF),
                                     jack_midi_data_t((aMessage >> 16) & 0xFF)};
  const std::size_t length = ShortMessageLength(bytes[0]);
  if (OnProcessThread() && slot.CycleBuffer != nullptr) {
    if (key == 0 || slot.Handle.load() != key)
      return MMSYSERR_INVALHANDLE;
    if (length == 0)
      return MMSYSERR_INVALPARAM;
    // Checked first: libjack would print from this real-time thread.
    if (jack_midi_max_event_size(slot.CycleBuffer) < length ||
        jack_midi_event_write(slot.CycleBuffer, tFrame, bytes, length) != 0) {
      fBufferDrops.fetch_add(1, std::memory_order_relaxed);
      return MIDIERR_NOTREADY;
    }
    fSentDirect.fetch_add(1, std::memory_order_relaxed);
    return MMSYSERR_NOERROR;
  }
  // Closing waits until no producer is inside, so the ring stays alive.
  slot.Users.fetch_add(1);
  MMRESULT result = MMSYSERR_NOERROR;
  if (key == 0 || slot.Handle.load() != key)
    result = MMSYSERR_INVALHANDLE;
  else if (length == 0)
    result = MMSYSERR_INVALPARAM;
  else if (fServerGone.load())
    result = MIDIERR_NODEVICE;
  else if (!slot.Ring->Push(aMessage)) {
    fRingDrops.fetch_add(1, std::memory_order_relaxed);
    result = MIDIERR_NOTREADY;
  }
  slot.Users.fetch_sub(1);
  return result;
}

} // namespace platform
