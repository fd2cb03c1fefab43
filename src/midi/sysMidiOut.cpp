#include "midi/sysMidiOut.h"

#include "platform/mm/WideText.h"

#include <mutex>
#include <thread>

using namespace platform;

namespace {

std::atomic<TMidiOutput*> gMidiOutput{nullptr};
std::mutex gCreateLock;

// Counts an operation in flight for as long as it lives.
class TInFlight {
public:
  explicit TInFlight(std::atomic<int>& aCount) : fCount(aCount) { fCount.fetch_add(1); }
  ~TInFlight() { fCount.fetch_sub(1); }
  TInFlight(const TInFlight&) = delete;
  TInFlight& operator=(const TInFlight&) = delete;

private:
  std::atomic<int>& fCount;
};

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

MMRESULT TMidiOutput::DeviceId(void* aHandle, UINT& aId) {
  return midiOutGetID(static_cast<HMIDIOUT>(aHandle), &aId);
}

void TMidiOutput::Open(int aDeviceIndex) {
  TListReader list(*this);
  OpenSlot(*list, Slot(*list, aDeviceIndex), aDeviceIndex);
}

void TMidiOutput::OpenSlot(const TDeviceList& aList, std::atomic<void*>& aSlot, int aDeviceIndex) {
  while (aSlot.load() == nullptr && !aList.Retired.load()) {
    const unsigned changes = fChanges.load();
    MMRESULT result = MMSYSERR_NOERROR;
    {
      // Counted until the handle is in the slot.
      TInFlight opening(fOpening);
      HMIDIOUT handle = nullptr;
      result = midiOutOpen(&handle, UINT(aDeviceIndex), 0, 0, CALLBACK_NULL);
      if (result == MMSYSERR_NOERROR) {
        // The first handle stored wins. A later one got the port in the
        // moment between another thread's close and its clearing of the
        // slot; it is given back, and that counts as a change too, so that
        // an open that found the port held meanwhile tries again.
        void* empty = nullptr;
        if (!aSlot.compare_exchange_strong(empty, handle))
          midiOutClose(handle);
        fChanges.fetch_add(1);
      }
    }
    if (result != MMSYSERR_ALLOCATED) {
      CheckMidiResult(result);
      return;
    }
    // In use. The thru may open a port on the MIDI thread while the user
    // opens or closes it: then this registry held the port, and the open is
    // done once the other's handle is stored, or tried again once the other
    // has closed it. Else another program holds it.
    while (aSlot.load() == nullptr && fOpening.load() != 0)
      std::this_thread::yield();
    if (aSlot.load() == nullptr && fChanges.load() == changes)
      CheckMidiResult(result);
  }
}

void TMidiOutput::Close(int aDeviceIndex) {
  TListReader list(*this);
  std::atomic<void*>& slot = Slot(*list, aDeviceIndex);
  void* handle = slot.load();
  if (handle == nullptr)
    return;
  // Counted until the slot is cleared or the failure raised.
  TInFlight closing(fClosing);
  CheckMidiResult(midiOutClose(static_cast<HMIDIOUT>(handle)));
  // Counted before the slot is cleared: an open that finds the slot empty
  // then also sees that the port changed hands.
  fChanges.fetch_add(1);
  slot.store(nullptr);
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
  // The count is read first: once it is back to 0, the slot is cleared.
  if (result == MMSYSERR_INVALHANDLE && (fClosing.load() != 0 || slot.load() != handle))
    return;
  CheckMidiResult(result);
}

TMidiOutput& MidiOutput() {
  return ProcessRegistry(gMidiOutput, gCreateLock);
}

bool MidiOutputExists() {
  return gMidiOutput.load() != nullptr;
}

void FreeMidiOutput() {
  std::unique_ptr<TMidiOutput> output;
  std::lock_guard lock(gCreateLock);
  output.reset(gMidiOutput.exchange(nullptr));
}
