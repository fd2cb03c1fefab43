#include "platform/mm/AlsaMidiBackend.h"

#include "platform/mm/AlsaPools.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

namespace {

// The backend whose reader runs on this thread.
thread_local const AlsaMidiBackend* tReaderBackend = nullptr;

// A modest real-time priority: above normal threads, below the audio
// servers' and the kernel's interrupt threads (which start at 50).
constexpr int ReaderPriority = 10;

std::uint32_t Pack(int aClient, int aPort) {
  return std::uint32_t(aClient) << 8 | std::uint32_t(aPort & 0xFF);
}

std::uint32_t Pack(const snd_seq_addr_t& aAddress) {
  return Pack(aAddress.client, aAddress.port);
}

snd_seq_addr_t Unpack(std::uint32_t aAddress) {
  snd_seq_addr_t address;
  address.client = static_cast<unsigned char>(aAddress >> 8);
  address.port = static_cast<unsigned char>(aAddress & 0xFF);
  return address;
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string ListedName(const char* aClient, const char* aPort, int aClientNumber, int aPortNumber) {
  return std::string(aClient) + ":" + aPort + " " + std::to_string(aClientNumber) + ":" +
         std::to_string(aPortNumber);
}

// The name a port of aAddress has now; empty when it is not there.
std::string CurrentName(snd_seq_t* aSeq, std::uint32_t aAddress) {
  snd_seq_client_info_t* client = nullptr;
  snd_seq_port_info_t* port = nullptr;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  const snd_seq_addr_t address = Unpack(aAddress);
  if (snd_seq_get_any_client_info(aSeq, address.client, client) < 0 ||
      snd_seq_get_any_port_info(aSeq, address.client, address.port, port) < 0)
    return {};
  return ListedName(snd_seq_client_info_get_name(client), snd_seq_port_info_get_name(port),
                    address.client, address.port);
}

bool IsAnnouncement(snd_seq_event_type_t aType) {
  switch (aType) {
  case SND_SEQ_EVENT_CLIENT_START:
  case SND_SEQ_EVENT_CLIENT_EXIT:
  case SND_SEQ_EVENT_CLIENT_CHANGE:
  case SND_SEQ_EVENT_PORT_START:
  case SND_SEQ_EVENT_PORT_EXIT:
  case SND_SEQ_EVENT_PORT_CHANGE:
    return true;
  default:
    return false;
  }
}

MMRESULT SendResult(int aError) {
  switch (aError) {
  case -ENOENT:
  case -ENXIO:
    return MIDIERR_NODEVICE;
  case -EAGAIN:
  case -ENOMEM:
    return MIDIERR_NOTREADY;
  default:
    return MMSYSERR_ERROR;
  }
}

} // namespace

MMRESULT AlsaMidiGetCounters(AlsaMidiCounters& aCounters) {
  auto* backend = dynamic_cast<AlsaMidiBackend*>(CurrentMidiBackend());
  if (backend == nullptr)
    return MMSYSERR_NOTENABLED;
  aCounters = backend->Counters();
  return MMSYSERR_NOERROR;
}

AlsaMidiBackend::AlsaMidiBackend(snd_seq_t* aSeq, int aInPort, int aOutPort, int aWakeFd,
                                 unsigned aInputPool, unsigned aOutputPool)
    : fSeq(aSeq), fClient(snd_seq_client_id(aSeq)), fInPort(aInPort), fOutPort(aOutPort),
      fWakeFd(aWakeFd), fInputPool(aInputPool), fOutputPool(aOutputPool),
      fReader([this] { ReadEvents(); }) {}

AlsaMidiBackend::~AlsaMidiBackend() {
  const std::uint64_t one = 1;
  while (::write(fWakeFd, &one, sizeof one) < 0 && errno == EINTR) {
  }
  fReader.join();
  ::close(fWakeFd);
  // Closing the client removes its ports and subscriptions.
  snd_seq_close(fSeq);
}

AlsaMidiCounters AlsaMidiBackend::Counters() const {
  AlsaMidiCounters counters;
  counters.Delivered = fDelivered.load();
  counters.Ignored = fIgnored.load();
  counters.Overruns = fOverruns.load();
  counters.ReadFailures = fReadFailures.load();
  counters.SendFailures = fSendFailures.load();
  counters.CallbackFailures = fCallbackFailures.load();
  counters.InputPool = fInputPool;
  counters.OutputPool = fOutputPool;
  counters.RealTime = fRealTime.load();
  return counters;
}

std::uint32_t AlsaMidiBackend::Own(int aPort) const {
  return Pack(fClient, aPort);
}

bool AlsaMidiBackend::OnReaderThread() const {
  return tReaderBackend == this;
}

void AlsaMidiBackend::ReadEvents() {
  tReaderBackend = this;
  sched_param priority{};
  priority.sched_priority = std::clamp(ReaderPriority, sched_get_priority_min(SCHED_FIFO),
                                       sched_get_priority_max(SCHED_FIFO));
  // Without the right to real-time scheduling the reader keeps its normal
  // priority: it only wakes sooner under load with it.
  fRealTime.store(pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0);

  const int count = snd_seq_poll_descriptors_count(fSeq, POLLIN);
  std::vector<pollfd> fds(std::size_t(std::max(count, 0)) + 1);
  fds[0] = {fWakeFd, POLLIN, 0};
  snd_seq_poll_descriptors(fSeq, fds.data() + 1, unsigned(fds.size() - 1), POLLIN);
  for (;;) {
    DrainInput();
    for (pollfd& fd : fds)
      fd.revents = 0;
    if (::poll(fds.data(), nfds_t(fds.size()), -1) < 0 && errno != EINTR) {
      fReadFailures.fetch_add(1);
      return;
    }
    if (fds[0].revents != 0)
      return;
    // A sequencer that fails for good would wake the poll at once, for ever.
    for (std::size_t i = 1; i < fds.size(); ++i)
      if ((fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        fReadFailures.fetch_add(1);
        return;
      }
  }
}

void AlsaMidiBackend::DrainInput() {
  for (;;) {
    snd_seq_event_t* event = nullptr;
    const int result = snd_seq_event_input(fSeq, &event);
    if (result == -EAGAIN)
      return;
    if (result == -ENOSPC) {
      // The kernel's buffer for our client overflowed: it dropped what did
      // not fit and what it still held. Reading goes on with what follows.
      fOverruns.fetch_add(1);
      NotifyMidiServiceChange(MidiServiceChange::InputOverrun);
      continue;
    }
    if (result < 0) {
      fReadFailures.fetch_add(1);
      return;
    }
    if (event != nullptr)
      Dispatch(*event);
  }
}

AlsaMidiBackend::InSlot* AlsaMidiBackend::StartedInput(std::uint32_t aSource) {
  for (InSlot& slot : fIns)
    if (slot.State.load(std::memory_order_acquire) == Started &&
        slot.Address.load(std::memory_order_relaxed) == aSource &&
        !slot.Gone.load(std::memory_order_relaxed))
      return &slot;
  return nullptr;
}

void AlsaMidiBackend::Dispatch(const snd_seq_event_t& aEvent) {
  if (aEvent.source.client == SND_SEQ_CLIENT_SYSTEM &&
      aEvent.source.port == SND_SEQ_PORT_SYSTEM_ANNOUNCE) {
    Announce(aEvent);
    return;
  }
  // Counted before the input's state is read: a close that changes the
  // state and then reads the count waits for this event (both in one total
  // order).
  fDeliveriesBegun.fetch_add(1);
  InSlot* slot = StartedInput(Pack(aEvent.source));
  DWORD messages[AlsaEventCoder::MaxMessages];
  const std::size_t count = slot != nullptr ? fDecoder.Decode(aEvent, messages) : 0;
  if (count == 0)
    fIgnored.fetch_add(1, std::memory_order_relaxed);
  if (count > 0 && slot->Proc != nullptr) {
    const auto handle = reinterpret_cast<HMIDIIN>(slot->Handle.load(std::memory_order_relaxed));
    const DWORD_PTR time = DWORD_PTR(NowMs() - slot->StartTime.load(std::memory_order_relaxed));
    for (std::size_t i = 0; i < count; ++i) {
      // A callback may have stopped or closed the port meanwhile.
      if (slot->State.load(std::memory_order_acquire) != Started)
        break;
      fDelivered.fetch_add(1, std::memory_order_relaxed);
      try {
        slot->Proc(handle, MIM_DATA, slot->Instance, messages[i], time);
      } catch (...) {
        fCallbackFailures.fetch_add(1, std::memory_order_relaxed);
      }
    }
  }
  fDeliveriesEnded.fetch_add(1);
}

void AlsaMidiBackend::Announce(const snd_seq_event_t& aEvent) {
  if (!IsAnnouncement(aEvent.type))
    return;
  const snd_seq_addr_t& address = aEvent.data.addr;
  if (address.client == fClient)
    return;
  // A client's exit is not looked at: the kernel announces the exit of each
  // of its ports before it, and by the time the client's own announcement is
  // read, a client that started again under the same number may have had its
  // ports opened already.
  if (aEvent.type == SND_SEQ_EVENT_PORT_EXIT) {
    const std::uint32_t gone = Pack(address);
    auto mark = [&](Slot& aSlot) {
      if (aSlot.State.load() != Free && aSlot.Address.load() == gone)
        aSlot.Gone.store(true);
    };
    std::for_each(fIns.begin(), fIns.end(), mark);
    std::for_each(fOuts.begin(), fOuts.end(), mark);
  }
  NotifyMidiServiceChange(MidiServiceChange::Ports);
}

void AlsaMidiBackend::WaitForDelivery() const {
  if (OnReaderThread())
    return;
  const std::uint64_t begun = fDeliveriesBegun.load();
  while (fDeliveriesEnded.load() < begun)
    std::this_thread::sleep_for(std::chrono::microseconds(50));
}

std::vector<AlsaMidiBackend::Port> AlsaMidiBackend::ListPorts(MidiDirection aDirection) const {
  const unsigned needed = aDirection == MidiDirection::In
                              ? SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ
                              : SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
  std::vector<Port> ports;
  snd_seq_client_info_t* client = nullptr;
  snd_seq_port_info_t* port = nullptr;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  while (snd_seq_query_next_client(fSeq, client) >= 0) {
    const int number = snd_seq_client_info_get_client(client);
    // Our own ports would feed the thru back into itself.
    if (number == SND_SEQ_CLIENT_SYSTEM || number == fClient)
      continue;
    snd_seq_port_info_set_client(port, number);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(fSeq, port) >= 0) {
      const unsigned caps = snd_seq_port_info_get_capability(port);
      if ((caps & needed) != needed || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0)
        continue;
      const int portNumber = snd_seq_port_info_get_port(port);
      ports.push_back({ListedName(snd_seq_client_info_get_name(client),
                                  snd_seq_port_info_get_name(port), number, portNumber),
                       Pack(number, portNumber)});
    }
  }
  return ports;
}

UINT AlsaMidiBackend::NumDevs(MidiDirection aDirection) {
  std::vector<Port> ports = ListPorts(aDirection);
  std::lock_guard lock(fLock);
  auto& names = fNames[aDirection == MidiDirection::In ? 0 : 1];
  names = std::move(ports);
  return UINT(names.size());
}

MMRESULT AlsaMidiBackend::ListedId(MidiDirection aDirection, const Slot* aSlot, UINT& aId) const {
  if (aSlot == nullptr)
    return MMSYSERR_INVALHANDLE;
  std::lock_guard lock(fLock);
  // A port that went away is not the one listed at its address now.
  if (aSlot->Gone.load())
    return MIDIERR_NODEVICE;
  const auto& names = fNames[aDirection == MidiDirection::In ? 0 : 1];
  const std::uint32_t address = aSlot->Address.load();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].Address == address) {
      aId = UINT(i);
      return MMSYSERR_NOERROR;
    }
  }
  return MIDIERR_NODEVICE;
}

MMRESULT AlsaMidiBackend::InId(HMIDIIN aHandle, UINT& aId) {
  return ListedId(MidiDirection::In, FindIn(aHandle), aId);
}

MMRESULT AlsaMidiBackend::OutId(HMIDIOUT aHandle, UINT& aId) {
  return ListedId(MidiDirection::Out, FindOut(aHandle), aId);
}

MMRESULT AlsaMidiBackend::PortName(MidiDirection aDirection, UINT aId, std::string& aName) {
  std::lock_guard lock(fLock);
  const auto& names = fNames[aDirection == MidiDirection::In ? 0 : 1];
  if (aId >= names.size())
    return MMSYSERR_BADDEVICEID;
  aName = names[aId].Name;
  return MMSYSERR_NOERROR;
}

template <typename SlotType>
MMRESULT AlsaMidiBackend::ClaimSlot(MidiDirection aDirection, UINT aId,
                                    std::array<SlotType, MaxPorts>& aSlots, std::size_t& aIndex) {
  const auto& names = fNames[aDirection == MidiDirection::In ? 0 : 1];
  if (aId >= names.size())
    return MMSYSERR_BADDEVICEID;
  const std::uint32_t address = names[aId].Address;
  // The list may be older than the machine: a port that went away, or whose
  // address another port has taken since, is not this device.
  if (CurrentName(fSeq, address) != names[aId].Name)
    return MIDIERR_NODEVICE;
  aIndex = MaxPorts;
  for (std::size_t i = 0; i < MaxPorts; ++i) {
    const int state = aSlots[i].State.load();
    if (state != Free && aSlots[i].Address.load() == address && !aSlots[i].Gone.load())
      return MMSYSERR_ALLOCATED;
    if (state == Free && aIndex == MaxPorts)
      aIndex = i;
  }
  if (aIndex == MaxPorts)
    return MMSYSERR_NOMEM;
  SlotType& slot = aSlots[aIndex];
  slot.Address.store(address);
  slot.Gone.store(false);
  slot.State.store(Open);
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMidiBackend::Subscribe(std::uint32_t aSender, std::uint32_t aDestination) {
  snd_seq_port_subscribe_t* subscription = nullptr;
  snd_seq_port_subscribe_alloca(&subscription);
  const snd_seq_addr_t sender = Unpack(aSender);
  const snd_seq_addr_t destination = Unpack(aDestination);
  snd_seq_port_subscribe_set_sender(subscription, &sender);
  snd_seq_port_subscribe_set_dest(subscription, &destination);
  switch (snd_seq_subscribe_port(fSeq, subscription)) {
  case 0:
    return MMSYSERR_NOERROR;
  case -EBUSY: // held exclusively by another client
  case -EPERM:
    return MMSYSERR_ALLOCATED;
  case -ENOMEM:
    return MMSYSERR_NOMEM;
  default: // the port or its client went away
    return MIDIERR_NODEVICE;
  }
}

void AlsaMidiBackend::Unsubscribe(std::uint32_t aSender, std::uint32_t aDestination) {
  snd_seq_port_subscribe_t* subscription = nullptr;
  snd_seq_port_subscribe_alloca(&subscription);
  const snd_seq_addr_t sender = Unpack(aSender);
  const snd_seq_addr_t destination = Unpack(aDestination);
  snd_seq_port_subscribe_set_sender(subscription, &sender);
  snd_seq_port_subscribe_set_dest(subscription, &destination);
  // The kernel refuses to remove our own subscription only when it is gone
  // already (its port or client went away), which is what closing wants.
  snd_seq_unsubscribe_port(fSeq, subscription);
}

MMRESULT AlsaMidiBackend::OpenIn(UINT aId, MIDIINPROC aProc, DWORD_PTR aInstance,
                                 HMIDIIN& aHandle) {
  std::unique_lock lock(fLock);
  std::size_t index = 0;
  if (const MMRESULT result = ClaimSlot(MidiDirection::In, aId, fIns, index))
    return result;
  InSlot& slot = fIns[index];
  if (const MMRESULT result = Subscribe(slot.Address.load(), Own(fInPort))) {
    slot.State.store(Free);
    return result;
  }
  const std::uintptr_t handle = NewMidiHandleValue() | index;
  slot.Proc = aProc;
  slot.Instance = aInstance;
  slot.Handle.store(handle, std::memory_order_release);
  lock.unlock();
  aHandle = reinterpret_cast<HMIDIIN>(handle);
  if (aProc != nullptr)
    aProc(aHandle, MIM_OPEN, aInstance, 0, 0);
  return MMSYSERR_NOERROR;
}

AlsaMidiBackend::InSlot* AlsaMidiBackend::FindIn(HMIDIIN aHandle) {
  return FindMidiSlot(fIns, aHandle);
}

AlsaMidiBackend::OutSlot* AlsaMidiBackend::FindOut(HMIDIOUT aHandle) {
  return FindMidiSlot(fOuts, aHandle);
}

MMRESULT AlsaMidiBackend::StartIn(HMIDIIN aHandle) {
  InSlot* slot = FindIn(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  if (slot->Gone.load())
    return MIDIERR_NODEVICE;
  if (slot->State.load() != Started) {
    slot->StartTime.store(NowMs(), std::memory_order_relaxed);
    slot->State.store(Started, std::memory_order_release);
  }
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMidiBackend::StopIn(HMIDIIN aHandle) {
  InSlot* slot = FindIn(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  int started = Started;
  if (slot->State.compare_exchange_strong(started, Open))
    WaitForDelivery();
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMidiBackend::ResetIn(HMIDIIN aHandle) {
  return StopIn(aHandle);
}

MMRESULT AlsaMidiBackend::CloseIn(HMIDIIN aHandle) {
  std::unique_lock lock(fLock);
  InSlot* slot = FindIn(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  slot->Handle.store(0);
  slot->State.store(Closing);
  // The event being delivered may be the thru's, which opens outputs under
  // fLock: the wait is made without it. Closing keeps the slot from being
  // claimed meanwhile.
  lock.unlock();
  WaitForDelivery();
  lock.lock();
  // The kernel removed the subscription of a port that went away; the same
  // pair of addresses may be subscribed again by now, for the port that came
  // back at that address.
  if (!slot->Gone.load())
    Unsubscribe(slot->Address.load(), Own(fInPort));
  const MIDIINPROC proc = slot->Proc;
  const DWORD_PTR instance = slot->Instance;
  slot->Proc = nullptr;
  slot->State.store(Free);
  lock.unlock();
  if (proc != nullptr)
    proc(aHandle, MIM_CLOSE, instance, 0, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMidiBackend::OpenOut(UINT aId, HMIDIOUT& aHandle) {
  std::lock_guard lock(fLock);
  std::size_t index = 0;
  if (const MMRESULT result = ClaimSlot(MidiDirection::Out, aId, fOuts, index))
    return result;
  OutSlot& slot = fOuts[index];
  if (const MMRESULT result = Subscribe(Own(fOutPort), slot.Address.load())) {
    slot.State.store(Free);
    return result;
  }
  const std::uintptr_t handle = NewMidiHandleValue() | index;
  slot.Handle.store(handle);
  aHandle = reinterpret_cast<HMIDIOUT>(handle);
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMidiBackend::CloseOut(HMIDIOUT aHandle) {
  std::lock_guard lock(fLock);
  OutSlot* slot = FindOut(aHandle);
  if (slot == nullptr)
    return MMSYSERR_INVALHANDLE;
  {
    // No send to this handle is under way once the handle is cleared.
    std::lock_guard sending(fSendLock);
    slot->Handle.store(0);
  }
  if (!slot->Gone.load())
    Unsubscribe(Own(fOutPort), slot->Address.load());
  slot->State.store(Free);
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMidiBackend::ShortMsg(HMIDIOUT aHandle, DWORD aMessage) {
  std::lock_guard sending(fSendLock);
  OutSlot* found = FindOut(aHandle);
  if (found == nullptr)
    return MMSYSERR_INVALHANDLE;
  OutSlot& slot = *found;
  if (slot.Gone.load())
    return MIDIERR_NODEVICE;
  snd_seq_event_t event;
  if (!fEncoder.Encode(aMessage, event))
    return MMSYSERR_INVALPARAM;
  snd_seq_ev_set_source(&event, fOutPort);
  const snd_seq_addr_t destination = Unpack(slot.Address.load());
  snd_seq_ev_set_dest(&event, destination.client, destination.port);
  snd_seq_ev_set_direct(&event);
  const int result = snd_seq_event_output_direct(fSeq, &event);
  if (result < 0) {
    fSendFailures.fetch_add(1, std::memory_order_relaxed);
    return SendResult(result);
  }
  return MMSYSERR_NOERROR;
}

std::unique_ptr<MidiBackend> CreateAlsaMidiBackend(std::string& aError) {
  // Tried first on its own: alsa-lib would print its failure to the standard
  // error stream, and a machine without a sequencer is an expected answer.
  const int fd = ::open("/dev/snd/seq", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    aError = std::string("/dev/snd/seq cannot be opened (") + std::strerror(errno) + ")";
    return nullptr;
  }
  ::close(fd);
  snd_seq_t* seq = nullptr;
  if (const int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
      result < 0) {
    aError = std::string("the sequencer cannot be opened (") + snd_strerror(result) + ")";
    return nullptr;
  }
  auto fail = [&](const char* aWhat, int aResult) -> std::unique_ptr<MidiBackend> {
    aError = std::string(aWhat) + " (" + snd_strerror(aResult) + ")";
    snd_seq_close(seq);
    return nullptr;
  };
  int result = snd_seq_set_client_name(seq, "midimonitor");
  if (result < 0)
    return fail("the sequencer client cannot be named", result);
  // No client event filter: the kernel answers an event that a client's
  // filter keeps out with an error to its sender, as if the client had
  // failed. A sending program then sees its write fail, and a virtual raw
  // MIDI card stops passing bytes on until it is written to again. Active
  // sensing and system exclusive are dropped on the reader thread instead.
  const AlsaPoolSizes pools = MaximisePools(seq);
  // One read takes all the kernel holds for the client.
  snd_seq_set_input_buffer_size(seq, std::max(pools.Input, 1u) * sizeof(snd_seq_event_t));
  // Our ports cannot be subscribed to by others (no SUBS capabilities), so no
  // other program lists them either.
  const int inPort =
      snd_seq_create_simple_port(seq, "in", SND_SEQ_PORT_CAP_WRITE,
                                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (inPort < 0)
    return fail("the sequencer input port cannot be created", inPort);
  const int outPort =
      snd_seq_create_simple_port(seq, "out", SND_SEQ_PORT_CAP_READ,
                                 SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
  if (outPort < 0)
    return fail("the sequencer output port cannot be created", outPort);
  result = snd_seq_connect_from(seq, inPort, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
  if (result < 0)
    return fail("the sequencer's announcements cannot be subscribed to", result);
  const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0)
    return fail("the reader's wake-up cannot be made", -errno);
  try {
    return std::make_unique<AlsaMidiBackend>(seq, inPort, outPort, wake, pools.Input, pools.Output);
  } catch (const std::exception& e) {
    ::close(wake);
    aError = e.what();
    snd_seq_close(seq);
    return nullptr;
  }
}

} // namespace platform
