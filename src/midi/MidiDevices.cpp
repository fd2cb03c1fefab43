#include "midi/MidiDevices.h"

#include "platform/mm/WideText.h"

#include <cstdio>
#include <utility>

using namespace platform;

namespace {

std::uint32_t NextListNumber() {
  static std::atomic<std::uint32_t> next{1};
  return next.fetch_add(1);
}

} // namespace

TMidiDevices::TDeviceList::TDeviceList(std::vector<std::string> aNames)
    : Names(std::move(aNames)), Slots(std::make_unique<std::atomic<void*>[]>(Names.size())),
      Number(NextListNumber()) {}

int TMidiDevices::TDeviceList::IndexOf(const void* aHandle, std::size_t aOpenedAs) const {
  if (aOpenedAs < Names.size() && Slots[aOpenedAs].load() == aHandle)
    return int(aOpenedAs);
  for (const auto& [handle, index] : Moved)
    if (handle == aHandle && Slots[index].load() == aHandle)
      return index;
  return -1;
}

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
  RaiseCloseFailure(failure);
}

void TMidiDevices::RaiseCloseFailure(MMRESULT aFailure) {
  // Reported like any failure, but without touching fMidiResult, which keeps
  // the result of the enumeration.
  char16_t text[MAXERRORLENGTH] = {};
  if (midiInGetErrorTextW(aFailure, text, MAXERRORLENGTH) == MMSYSERR_NOERROR)
    throw EMidiError(mmtext::ToUtf8(text), aFailure);
}

TMidiDevices::TRefresh TMidiDevices::BeginRefresh() {
  auto fresh = std::make_unique<TDeviceList>(EnumerateNames());
  const TDeviceList& current = *fDevices.load();
  const std::size_t before = current.Names.size();
  std::vector<int> indexes(before, -1);
  std::vector<bool> claimed(fresh->Names.size(), false);
  std::vector<bool> decided(before, false);
  for (std::size_t i = 0; i < before; ++i) {
    void* handle = current.Slots[i].load();
    if (handle == nullptr)
      continue;
    UINT id = 0;
    const MMRESULT result = DeviceId(handle, id);
    if (result == MMSYSERR_NOTSUPPORTED)
      continue;
    decided[i] = true;
    if (result == MMSYSERR_NOERROR && id < claimed.size() && !claimed[id]) {
      indexes[i] = int(id);
      claimed[id] = true;
    }
  }
  for (std::size_t i = 0; i < before; ++i) {
    if (decided[i])
      continue;
    for (std::size_t j = 0; j < claimed.size(); ++j) {
      if (!claimed[j] && fresh->Names[j] == current.Names[i]) {
        indexes[i] = int(j);
        claimed[j] = true;
        break;
      }
    }
  }
  return TRefresh(*this, std::move(fresh), std::move(indexes));
}

TMidiDevices::TRefresh::TRefresh(TMidiDevices& aOwner, std::unique_ptr<TDeviceList> aFresh,
                                 std::vector<int> aIndexes)
    : fOwner(&aOwner), fFresh(std::move(aFresh)), fNewIndexes(std::move(aIndexes)),
      fNumber(fFresh->Number) {}

TMidiDevices::TRefresh::TRefresh(TRefresh&& aOther) noexcept
    : fOwner(aOther.fOwner), fFresh(std::move(aOther.fFresh)),
      fOld(std::exchange(aOther.fOld, nullptr)), fNewIndexes(std::move(aOther.fNewIndexes)),
      fNames(std::move(aOther.fNames)), fNumber(aOther.fNumber) {}

TMidiDevices::TRefresh::~TRefresh() {
  try {
    Finish();
  } catch (const EMidiError&) {
  }
}

bool TMidiDevices::TRefresh::Changed() const {
  const TDeviceList& current = fOld ? *fOld : *fOwner->fDevices.load();
  if (Names() != current.Names)
    return true;
  for (std::size_t i = 0; i < fNewIndexes.size(); ++i)
    if (fNewIndexes[i] != int(i))
      return true;
  return false;
}

void TMidiDevices::TRefresh::Publish() {
  if (!fFresh)
    return;
  TDeviceList& old = *fOwner->fDevices.load();
  // Nothing opens through the old list from now on; a port opened through it
  // meanwhile is settled by Finish.
  old.Retired.store(true);
  const auto movedBefore = [&](const void* aHandle) {
    for (const auto& entry : old.Moved)
      if (entry.first == aHandle)
        return true;
    return false;
  };
  for (std::size_t i = 0; i < fNewIndexes.size(); ++i) {
    const int j = fNewIndexes[i];
    void* handle = old.Slots[i].load();
    if (j < 0 || handle == nullptr)
      continue;
    fFresh->Slots[j].store(handle);
    // A handle that ever moved is still known here: its callbacks carry the
    // index it was opened under.
    if (j != int(i) || movedBefore(handle))
      fFresh->Moved.emplace_back(handle, j);
  }
  fNames = fFresh->Names;
  fOld = fOwner->fDevices.exchange(fFresh.release());
}

void TMidiDevices::TRefresh::Finish() {
  fFresh.reset();
  if (fOld == nullptr)
    return;
  std::unique_ptr<TDeviceList> old(std::exchange(fOld, nullptr));
  fOwner->WaitForReaders();
  const TDeviceList& current = *fOwner->fDevices.load();
  MMRESULT failure = MMSYSERR_NOERROR;
  for (std::size_t i = 0; i < fNewIndexes.size(); ++i) {
    void* handle = old->Slots[i].exchange(nullptr);
    if (handle == nullptr)
      continue;
    const int j = fNewIndexes[i];
    if (j >= 0) {
      // Kept, or opened through the old list after Publish copied its slots.
      void* empty = nullptr;
      if (current.Slots[j].load() == handle ||
          current.Slots[j].compare_exchange_strong(empty, handle))
        continue;
    }
    if (const MMRESULT result = fOwner->CloseHandleQuietly(handle)) {
      fOwner->fOrphans.push_back(handle);
      if (failure == MMSYSERR_NOERROR)
        failure = result;
    }
  }
  if (failure != MMSYSERR_NOERROR)
    RaiseCloseFailure(failure);
}

std::uint32_t TMidiDevices::ListNumber() const {
  TListReader list(*this);
  return list->Number;
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
