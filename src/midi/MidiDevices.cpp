#include "midi/MidiDevices.h"

#include "platform/mm/WideText.h"

#include <cstdio>

using namespace platform;

TMidiDevices::TDeviceList::TDeviceList(std::vector<std::string> aNames)
    : Names(std::move(aNames)), Slots(std::make_unique<std::atomic<void*>[]>(Names.size())) {}

// Entered first: a list that is replaced after this is not freed before the
// reader leaves.
TMidiDevices::TListReader::TListReader(const TMidiDevices& aOwner)
    : fEntry(aOwner.fReaders), fList(aOwner.fDevices.load()) {}

TMidiDevices::TMidiDevices() : fDevices(new TDeviceList({})) {}

TMidiDevices::~TMidiDevices() {
  delete fDevices.load();
}

void TMidiDevices::Enumerate() {
  auto fresh = std::make_unique<TDeviceList>(EnumerateNames());
  delete fDevices.exchange(fresh.release());
}

void TMidiDevices::WaitForReaders() {
  fReaders.WaitForEarlierReaders();
}

MMRESULT TMidiDevices::CloseQuietly(TDeviceList& aList) {
  for (auto orphan = fOrphans.begin(); orphan != fOrphans.end();) {
    if (CloseHandleQuietly(*orphan) == MMSYSERR_NOERROR)
      orphan = fOrphans.erase(orphan);
    else
      ++orphan;
  }
  MMRESULT failure = MMSYSERR_NOERROR;
  for (std::size_t i = 0; i < aList.Names.size(); ++i) {
    void* handle = aList.Slots[i].exchange(nullptr);
    if (handle == nullptr)
      continue;
    if (const MMRESULT result = CloseHandleQuietly(handle)) {
      fOrphans.push_back(handle);
      if (failure == MMSYSERR_NOERROR)
        failure = result;
    }
  }
  return failure;
}

void TMidiDevices::ReleaseAll() {
  WaitForReaders();
  CloseQuietly(*fDevices.load());
}

void TMidiDevices::Reenumerate() {
  auto fresh = std::make_unique<TDeviceList>(EnumerateNames());
  TDeviceList& current = *fDevices.load();
  current.Retired.store(true);
  // Readers that saw the list before it was retired may still be opening a
  // port through it; once they are gone, its open handles stay as they are.
  // Readers that come later see it retired and open nothing.
  WaitForReaders();
  const MMRESULT failure = CloseQuietly(current);
  std::unique_ptr<TDeviceList> old(fDevices.exchange(fresh.release()));
  // Only readers that may hold the old list are waited for.
  WaitForReaders();
  if (failure == MMSYSERR_NOERROR)
    return;
  // Reported like any failure, but without touching fMidiResult, which keeps
  // the result of the enumeration.
  char16_t text[MAXERRORLENGTH] = {};
  if (midiInGetErrorTextW(failure, text, MAXERRORLENGTH) == MMSYSERR_NOERROR)
    throw EMidiError(mmtext::ToUtf8(text), failure);
}

void TMidiDevices::CloseAll() {
  const int count = Count();
  for (int i = 0; i < count; ++i)
    Close(i);
}

void TMidiDevices::CheckMidiResult(MMRESULT aResult) {
  fMidiResult.store(aResult, std::memory_order_relaxed);
  if (aResult == MMSYSERR_NOERROR)
    return;
  char16_t text[MAXERRORLENGTH] = {};
  if (midiInGetErrorTextW(aResult, text, MAXERRORLENGTH) != MMSYSERR_NOERROR)
    return;
  throw EMidiError(mmtext::ToUtf8(text), aResult);
}

void TMidiDevices::RaiseOutOfBounds(int aDeviceIndex) const {
  char message[160];
  std::snprintf(message, sizeof message, "%s: Device index out of bounds! (%d)", ClassName(),
                aDeviceIndex);
  throw EMidiError(message);
}

std::atomic<void*>& TMidiDevices::Slot(const TDeviceList& aList, int aDeviceIndex) const {
  if (aDeviceIndex < 0 || std::size_t(aDeviceIndex) >= aList.Names.size())
    RaiseOutOfBounds(aDeviceIndex);
  return aList.Slots[aDeviceIndex];
}

void* TMidiDevices::GetDeviceHandle(int aDeviceIndex) const {
  TListReader list(*this);
  return Slot(*list, aDeviceIndex).load();
}

int TMidiDevices::Count() const {
  TListReader list(*this);
  return int(list->Names.size());
}

std::string TMidiDevices::Name(int aDeviceIndex) const {
  TListReader list(*this);
  Slot(*list, aDeviceIndex);
  return list->Names[aDeviceIndex];
}

std::vector<std::string> TMidiDevices::Names() const {
  TListReader list(*this);
  return list->Names;
}
