#include "midi/sysMidiIn.h"

#include "midi/sysMidiOut.h"
#include "platform/mm/WideText.h"

using namespace platform;

namespace {

std::atomic<TMidiInput*> gMidiInput{nullptr};
std::mutex gCreateLock;
// Input callbacks between reading gMidiInput and leaving; the registry is not
// freed before those that may have read it have left.
TEpochReaders gCallbacks;
thread_local std::uint32_t tDeliveryListNumber = 0;

struct TExitCleanup {
  ~TExitCleanup() { FreeMidiDevices(); }
};

} // namespace

void FreeMidiDevicesAtExit() {
  // Constructed after the MIDI service's own state (the registries exist
  // only once the service answered), so destroyed before it.
  static TExitCleanup cleanup;
}

TMidiInput::TMidiInput() {
  Enumerate();
}

TMidiInput::~TMidiInput() {
  ReleaseAll();
}

std::vector<std::string> TMidiInput::EnumerateNames() {
  std::vector<std::string> names;
  const UINT count = midiInGetNumDevs();
  for (UINT id = 0; id < count; ++id) {
    MIDIINCAPSW caps;
    CheckMidiResult(midiInGetDevCapsW(id, &caps, sizeof caps));
    names.push_back(mmtext::ToUtf8(caps.szPname.c_str()));
  }
  return names;
}

MMRESULT TMidiInput::CloseHandleQuietly(void* aHandle) {
  const auto handle = static_cast<HMIDIIN>(aHandle);
  midiInStop(handle);
  midiInReset(handle);
  return midiInClose(handle);
}

MMRESULT TMidiInput::DeviceId(void* aHandle, UINT& aId) {
  return midiInGetID(static_cast<HMIDIIN>(aHandle), &aId);
}

std::uint32_t TMidiInput::DeliveryListNumber() {
  return tDeliveryListNumber;
}

void TMidiInput::Open(int aDeviceIndex) {
  TListReader list(*this);
  std::atomic<void*>& slot = Slot(*list, aDeviceIndex);
  if (slot.load() != nullptr)
    return;
  HMIDIIN handle = nullptr;
  CheckMidiResult(midiInOpen(&handle, UINT(aDeviceIndex),
                             reinterpret_cast<DWORD_PTR>(&TMidiInput::MidiInCallback),
                             DWORD_PTR(aDeviceIndex), CALLBACK_FUNCTION));
  slot.store(handle);
  CheckMidiResult(midiInStart(handle));
}

void TMidiInput::Close(int aDeviceIndex) {
  TListReader list(*this);
  std::atomic<void*>& slot = Slot(*list, aDeviceIndex);
  const auto handle = static_cast<HMIDIIN>(slot.load());
  if (handle == nullptr)
    return;
  CheckMidiResult(midiInStop(handle));
  CheckMidiResult(midiInReset(handle));
  CheckMidiResult(midiInClose(handle));
  slot.store(nullptr);
}

void TMidiInput::SetOnMidiData(TOnMidiInData aEvent) {
  auto event = std::make_unique<const TOnMidiInData>(std::move(aEvent));
  fOnMidiData.store(event.get(), std::memory_order_release);
  fEvents.push_back(std::move(event));
}

TOnMidiInData TMidiInput::OnMidiData() const {
  const TOnMidiInData* event = fOnMidiData.load(std::memory_order_acquire);
  return event ? *event : TOnMidiInData{};
}

std::uint64_t TMidiInput::EventFailureCount() const {
  return fEventFailures.load();
}

std::string TMidiInput::LastEventFailure() const {
  std::lock_guard lock(fFailureTextLock);
  return fLastEventFailure;
}

void TMidiInput::RecordEventFailure(const std::string& aText) {
  {
    std::lock_guard lock(fFailureTextLock);
    fLastEventFailure = aText;
  }
  fEventFailures.fetch_add(1);
}

void TMidiInput::MidiInCallback(HMIDIIN hMidiIn, UINT wMsg, DWORD_PTR dwInstance,
                                DWORD_PTR dwParam1, DWORD_PTR) {
  if (wMsg != MIM_DATA)
    return;
  TEpochReader callback(gCallbacks);
  if (TMidiInput* input = gMidiInput.load())
    input->Deliver(hMidiIn, dwInstance, dwParam1);
}

void TMidiInput::Deliver(HMIDIIN aHandle, DWORD_PTR aDeviceIndex, DWORD_PTR aMessage) {
  const TOnMidiInData* event = nullptr;
  int index = -1;
  {
    // Only a handle of the current list counts, under its index there: a
    // message of a handle from an earlier enumeration must not arrive under
    // an index that now names another port.
    TListReader list(*this);
    index = list->IndexOf(aHandle, aDeviceIndex);
    if (index < 0)
      return;
    tDeliveryListNumber = list->Number;
    event = fOnMidiData.load(std::memory_order_acquire);
  }
  if (event == nullptr || !*event)
    return;
  try {
    (*event)(index, std::uint8_t(aMessage & 0xFF), std::uint8_t((aMessage >> 8) & 0xFF),
             std::uint8_t((aMessage >> 16) & 0xFF));
  } catch (const std::exception& error) {
    RecordEventFailure(error.what());
  } catch (...) {
    RecordEventFailure("unknown exception");
  }
}

TMidiInput& MidiInput() {
  return ProcessRegistry(gMidiInput, gCreateLock);
}

bool MidiInputExists() {
  return gMidiInput.load() != nullptr;
}

void FreeMidiDevices() {
  // The input registry is detached from the callback first, and the callbacks
  // already past that point are waited for: from then on no event runs, so no
  // thru sends through the output registry while it goes, even when a port of
  // the input registry cannot be closed.
  std::unique_ptr<TMidiInput> input;
  {
    std::lock_guard lock(gCreateLock);
    input.reset(gMidiInput.exchange(nullptr));
  }
  // Callbacks that start from now on find no registry; they do not delay this.
  gCallbacks.WaitForEarlierReaders();
  FreeMidiOutput();
  input.reset(); // closes its ports quietly
}
