#include "midi/sysMidiOut.h"

#include "platform/mm/WideText.h"

#include <mutex>

using namespace platform;

namespace {

std::atomic<TMidiOutput*> gMidiOutput{nullptr};
std::mutex gCreateLock;

} // namespace

TMidiOutput::TMidiOutput() {
  Enumerate();
}

TMidiOutput::~TMidiOutput() {
  ReleaseAll();
}

std::vector<std::string> TMidiOutput::EnumerateNames() {
  std::vector<std::string> names;
  const UINT count = midiOutGetNumDevs();
  for (UINT id = 0; id < count; ++id) {
    MIDIOUTCAPSW caps;
    CheckMidiResult(midiOutGetDevCapsW(id, &caps, sizeof caps));
    names.push_back(mmtext::ToUtf8(caps.szPname.c_str()));
  }
  return names;
}

MMRESULT TMidiOutput::CloseHandleQuietly(void* aHandle) {
  return midiOutClose(static_cast<HMIDIOUT>(aHandle));
}

void TMidiOutput::Open(int aDeviceIndex) {
  TListReader list(*this);
  OpenSlot(*list, Slot(*list, aDeviceIndex), aDeviceIndex);
}

void TMidiOutput::OpenSlot(const TDeviceList& aList, std::atomic<void*>& aSlot, int aDeviceIndex) {
  if (aSlot.load() != nullptr || aList.Retired.load())
    return;
  HMIDIOUT handle = nullptr;
  CheckMidiResult(midiOutOpen(&handle, UINT(aDeviceIndex), 0, 0, CALLBACK_NULL));
  // The thru may open a port on the MIDI thread while the user opens it:
  // the first handle stored wins, the other is closed again.
  void* empty = nullptr;
  if (!aSlot.compare_exchange_strong(empty, handle))
    midiOutClose(handle);
}

void TMidiOutput::Close(int aDeviceIndex) {
  TListReader list(*this);
  std::atomic<void*>& slot = Slot(*list, aDeviceIndex);
  void* handle = slot.load();
  if (handle == nullptr)
    return;
  CheckMidiResult(midiOutClose(static_cast<HMIDIOUT>(handle)));
  slot.compare_exchange_strong(handle, nullptr);
}

void TMidiOutput::Send(int aDeviceIndex, std::uint8_t aStatus, std::uint8_t aData1,
                       std::uint8_t aData2) {
  TListReader list(*this);
  std::atomic<void*>& slot = Slot(*list, aDeviceIndex);
  if (slot.load() == nullptr)
    OpenSlot(*list, slot, aDeviceIndex);
  const auto handle = static_cast<HMIDIOUT>(slot.load());
  // No handle after the open: the port list is being replaced by a
  // re-enumeration, which closes its ports; the message is not sent.
  if (handle == nullptr)
    return;
  const DWORD message = DWORD(aStatus) | (DWORD(aData1) << 8) | (DWORD(aData2) << 16);
  const MMRESULT result = midiOutShortMsg(handle, message);
  // Closed by another thread while this message was on its way: the user
  // took the port away, so the message is not sent and that is no failure.
  if (result == MMSYSERR_INVALHANDLE && slot.load() != handle)
    return;
  CheckMidiResult(result);
}

TMidiOutput& MidiOutput() {
  if (TMidiOutput* output = gMidiOutput.load())
    return *output;
  std::lock_guard lock(gCreateLock);
  if (gMidiOutput.load() == nullptr) {
    auto created = std::make_unique<TMidiOutput>();
    FreeMidiDevicesAtExit();
    gMidiOutput.store(created.release());
  }
  return *gMidiOutput.load();
}

bool MidiOutputExists() {
  return gMidiOutput.load() != nullptr;
}

void FreeMidiOutput() {
  std::unique_ptr<TMidiOutput> output;
  std::lock_guard lock(gCreateLock);
  output.reset(gMidiOutput.exchange(nullptr));
}
