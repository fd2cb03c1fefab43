#include "platform/mm/VirtualMidiBackend.h"

#include <iterator>

namespace platform {

namespace {

constexpr auto DemoInterval = std::chrono::milliseconds(250);

// What the demo keyboard plays, one message per step, round and round:
// a program change, a C major arpeggio, volume, pitch-bend centre and active
// sensing.
constexpr DWORD DemoPattern[] = {
    0x0000C0, 0x643C90, 0x403C80, 0x644090, 0x404080, 0x644390,
    0x404380, 0x6407B0, 0x4000E0, 0x0000FE, 0x5A4890, 0x404880,
};

template <typename Handle>
std::uintptr_t Key(Handle aHandle) {
  return reinterpret_cast<std::uintptr_t>(aHandle);
}

} // namespace

VirtualMidiBackend::VirtualMidiBackend(const VirtualMidiLayout& aLayout, bool aDemo) {
  for (const auto& spec : aLayout.Inputs)
    Ports(MidiDirection::In).push_back(std::make_shared<Port>(spec.Name, spec.Exclusive, aDemo));
  for (const auto& spec : aLayout.Outputs)
    Ports(MidiDirection::Out).push_back(std::make_shared<Port>(spec.Name, spec.Exclusive, false));
  fListed = fPorts;
  std::lock_guard lock(fLock);
  fThread = std::thread(&VirtualMidiBackend::Run, this);
  fThreadId = fThread.get_id();
}

VirtualMidiBackend::~VirtualMidiBackend() {
  {
    std::lock_guard lock(fLock);
    fQuit = true;
  }
  fWake.notify_all();
  fThread.join();
}

std::unique_lock<std::mutex> VirtualMidiBackend::LockDelivery() {
  if (OnServiceThread())
    return {};
  return std::unique_lock(fDelivery);
}

void VirtualMidiBackend::Run() {
  {
    std::lock_guard lock(fLock); // fThreadId is set
  }
  while (true) {
    {
      std::unique_lock lock(fLock);
      while (true) {
        if (fQuit)
          return;
        const bool playing = QueueDemoSteps();
        if (!fQueue.empty())
          break;
        if (playing)
          fWake.wait_until(lock, fNextDemo);
        else
          fWake.wait(lock);
      }
    }
    std::lock_guard delivery(fDelivery);
    MIDIINPROC proc = nullptr;
    HMIDIIN handle = nullptr;
    DWORD_PTR instance = 0;
    Pending item;
    DWORD_PTR time = 0;
    {
      std::lock_guard lock(fLock);
      item = std::move(fQueue.front());
      fQueue.pop_front();
      const auto open = fIns.find(item.P->OpenHandle);
      if (item.P->Removed || open == fIns.end() || !open->second.Started) {
        if (item.Message == MIM_DATA)
          ++fCounters.Dropped;
      } else {
        proc = open->second.Proc;
        handle = reinterpret_cast<HMIDIIN>(open->first);
        instance = open->second.Instance;
        time = DWORD_PTR(std::chrono::duration_cast<std::chrono::milliseconds>(
                             Clock::now() - open->second.StartTime)
                             .count());
        if (item.Message == MIM_DATA)
          ++fCounters.Delivered;
      }
    }
    if (proc != nullptr)
      proc(handle, item.Message, instance, item.Param, time);
    {
      std::lock_guard lock(fLock);
      ++fDone;
    }
    fIdle.notify_all();
  }
}

bool VirtualMidiBackend::QueueDemoSteps() {
  bool playing = false;
  const auto now = Clock::now();
  for (const auto& port : Ports(MidiDirection::In)) {
    if (!port->Demo)
      continue;
    const auto open = fIns.find(port->OpenHandle);
    if (open == fIns.end() || !open->second.Started)
      continue;
    if (!playing && now < fNextDemo)
      return true;
    playing = true;
    fQueue.push_back({port, MIM_DATA, DemoPattern[port->DemoStep]});
    ++fQueued;
    port->DemoStep = (port->DemoStep + 1) % std::size(DemoPattern);
  }
  if (playing)
    fNextDemo = now + DemoInterval;
  return playing;
}

UINT VirtualMidiBackend::NumDevs(MidiDirection aDirection) {
  std::lock_guard lock(fLock);
  Listed(aDirection) = Ports(aDirection);
  return UINT(Listed(aDirection).size());
}

MMRESULT VirtualMidiBackend::PortName(MidiDirection aDirection, UINT aId, std::string& aName) {
  std::lock_guard lock(fLock);
  auto& ports = Listed(aDirection);
  if (aId >= ports.size())
    return MMSYSERR_BADDEVICEID;
  if (const MMRESULT fault = Fault(*ports[aId], MidiFaultPoint::Caps))
    return fault;
  aName = ports[aId]->Name;
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::Claim(MidiDirection aDirection, UINT aId, std::uintptr_t& aKey) {
  auto& ports = Listed(aDirection);
  if (aId >= ports.size())
    return MMSYSERR_BADDEVICEID;
  Port& port = *ports[aId];
  if (port.Removed)
    return MIDIERR_NODEVICE;
  if (const MMRESULT fault = Fault(port, MidiFaultPoint::Open))
    return fault;
  if (port.Exclusive || port.OpenHandle != 0)
    return MMSYSERR_ALLOCATED;
  aKey = NewMidiHandleValue();
  port.OpenHandle = aKey;
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::OpenIn(UINT aId, MIDIINPROC aProc, DWORD_PTR aInstance,
                                    HMIDIIN& aHandle) {
  auto delivery = LockDelivery();
  std::uintptr_t key = 0;
  {
    std::lock_guard lock(fLock);
    if (const MMRESULT result = Claim(MidiDirection::In, aId, key))
      return result;
    fIns[key] = InOpen{Listed(MidiDirection::In)[aId], aProc, aInstance};
  }
  aHandle = reinterpret_cast<HMIDIIN>(key);
  if (aProc != nullptr)
    aProc(aHandle, MIM_OPEN, aInstance, 0, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::ChangeInput(HMIDIIN aHandle, MidiFaultPoint aPoint, bool aStart) {
  auto delivery = LockDelivery();
  std::lock_guard lock(fLock);
  const auto open = fIns.find(Key(aHandle));
  if (open == fIns.end())
    return MMSYSERR_INVALHANDLE;
  if (const MMRESULT fault = Fault(*open->second.P, aPoint))
    return fault;
  if (aStart && !open->second.Started)
    open->second.StartTime = Clock::now();
  open->second.Started = aStart;
  if (aStart)
    fWake.notify_all(); // a demo port may start playing
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::StartIn(HMIDIIN aHandle) {
  return ChangeInput(aHandle, MidiFaultPoint::Start, true);
}

MMRESULT VirtualMidiBackend::StopIn(HMIDIIN aHandle) {
  return ChangeInput(aHandle, MidiFaultPoint::Stop, false);
}

MMRESULT VirtualMidiBackend::ResetIn(HMIDIIN aHandle) {
  return ChangeInput(aHandle, MidiFaultPoint::Reset, false);
}

MMRESULT VirtualMidiBackend::CloseIn(HMIDIIN aHandle) {
  auto delivery = LockDelivery();
  InOpen closed;
  {
    std::lock_guard lock(fLock);
    const auto open = fIns.find(Key(aHandle));
    if (open == fIns.end())
      return MMSYSERR_INVALHANDLE;
    if (const MMRESULT fault = Fault(*open->second.P, MidiFaultPoint::Close))
      return fault;
    closed = std::move(open->second);
    fIns.erase(open);
    closed.P->OpenHandle = 0;
  }
  if (closed.Proc != nullptr)
    closed.Proc(aHandle, MIM_CLOSE, closed.Instance, 0, 0);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::OpenOut(UINT aId, HMIDIOUT& aHandle) {
  std::lock_guard lock(fLock);
  std::uintptr_t key = 0;
  if (const MMRESULT result = Claim(MidiDirection::Out, aId, key))
    return result;
  fOuts[key] = Listed(MidiDirection::Out)[aId];
  aHandle = reinterpret_cast<HMIDIOUT>(key);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::CloseOut(HMIDIOUT aHandle) {
  std::lock_guard lock(fLock);
  const auto open = fOuts.find(Key(aHandle));
  if (open == fOuts.end())
    return MMSYSERR_INVALHANDLE;
  if (const MMRESULT fault = Fault(*open->second, MidiFaultPoint::Close))
    return fault;
  open->second->OpenHandle = 0;
  fOuts.erase(open);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::ShortMsg(HMIDIOUT aHandle, DWORD aMessage) {
  std::lock_guard lock(fLock);
  const auto open = fOuts.find(Key(aHandle));
  if (open == fOuts.end())
    return MMSYSERR_INVALHANDLE;
  Port& port = *open->second;
  if (port.Removed)
    return MIDIERR_NODEVICE;
  if (const MMRESULT fault = Fault(port, MidiFaultPoint::Send))
    return fault;
  if (port.Received.size() == ReceivedLimit)
    port.Received.pop_front();
  port.Received.push_back(aMessage);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::ListedIndex(MidiDirection aDirection, const Port& aPort, UINT& aId) {
  const auto& ports = Listed(aDirection);
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (ports[i].get() == &aPort) {
      aId = UINT(i);
      return MMSYSERR_NOERROR;
    }
  }
  return MIDIERR_NODEVICE;
}

MMRESULT VirtualMidiBackend::InId(HMIDIIN aHandle, UINT& aId) {
  std::lock_guard lock(fLock);
  const auto open = fIns.find(Key(aHandle));
  if (open == fIns.end())
    return MMSYSERR_INVALHANDLE;
  return ListedIndex(MidiDirection::In, *open->second.P, aId);
}

MMRESULT VirtualMidiBackend::OutId(HMIDIOUT aHandle, UINT& aId) {
  std::lock_guard lock(fLock);
  const auto open = fOuts.find(Key(aHandle));
  if (open == fOuts.end())
    return MMSYSERR_INVALHANDLE;
  return ListedIndex(MidiDirection::Out, *open->second, aId);
}

MMRESULT VirtualMidiBackend::Inject(UINT aIndex, DWORD aParam1, UINT aCallbackMessage) {
  {
    std::lock_guard lock(fLock);
    auto& ports = Ports(MidiDirection::In);
    if (aIndex >= ports.size())
      return MMSYSERR_BADDEVICEID;
    fQueue.push_back({ports[aIndex], aCallbackMessage, aParam1});
    ++fQueued;
  }
  fWake.notify_all();
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::Flush() {
  if (OnServiceThread())
    return MMSYSERR_NOTSUPPORTED;
  std::unique_lock lock(fLock);
  const std::uint64_t target = fQueued;
  fIdle.wait(lock, [&] { return fDone >= target; });
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::Received(UINT aIndex, std::vector<DWORD>& aMessages) {
  std::lock_guard lock(fLock);
  auto& ports = Ports(MidiDirection::Out);
  if (aIndex >= ports.size())
    return MMSYSERR_BADDEVICEID;
  aMessages.assign(ports[aIndex]->Received.begin(), ports[aIndex]->Received.end());
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::ClearReceived(UINT aIndex) {
  std::lock_guard lock(fLock);
  auto& ports = Ports(MidiDirection::Out);
  if (aIndex >= ports.size())
    return MMSYSERR_BADDEVICEID;
  ports[aIndex]->Received.clear();
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::AddPort(MidiDirection aDirection, const std::string& aName,
                                     bool aExclusive) {
  {
    std::lock_guard lock(fLock);
    auto& ports = Ports(aDirection);
    const bool demo = aDirection == MidiDirection::In && !ports.empty() && ports.front()->Demo;
    ports.push_back(std::make_shared<Port>(aName, aExclusive, demo));
  }
  NotifyMidiServiceChange(MidiServiceChange::Ports);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::RemovePort(MidiDirection aDirection, UINT aIndex) {
  {
    std::lock_guard lock(fLock);
    auto& ports = Ports(aDirection);
    if (aIndex >= ports.size())
      return MMSYSERR_BADDEVICEID;
    ports[aIndex]->Removed = true;
    ports.erase(ports.begin() + aIndex);
  }
  NotifyMidiServiceChange(MidiServiceChange::Ports);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::RenamePort(MidiDirection aDirection, UINT aIndex,
                                        const std::string& aName) {
  {
    std::lock_guard lock(fLock);
    auto& ports = Ports(aDirection);
    if (aIndex >= ports.size())
      return MMSYSERR_BADDEVICEID;
    ports[aIndex]->Name = aName;
  }
  NotifyMidiServiceChange(MidiServiceChange::Ports);
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::SetFault(MidiDirection aDirection, UINT aIndex, MidiFaultPoint aPoint,
                                      MMRESULT aCode) {
  std::lock_guard lock(fLock);
  auto& ports = Ports(aDirection);
  if (aIndex >= ports.size())
    return MMSYSERR_BADDEVICEID;
  ports[aIndex]->Faults[static_cast<std::size_t>(aPoint)] = aCode;
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::GetCounters(VirtualMidiCounters& aCounters) {
  std::lock_guard lock(fLock);
  aCounters = fCounters;
  return MMSYSERR_NOERROR;
}

MMRESULT VirtualMidiBackend::ReportOverrun() {
  fOverruns.fetch_add(1);
  NotifyMidiServiceChange(MidiServiceChange::InputOverrun);
  return MMSYSERR_NOERROR;
}

} // namespace platform
