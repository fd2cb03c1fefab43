#pragma once
// TMidiDevices: what the input and output port registries share. A registry
// lists the ports of its direction in the service's order (port index =
// position = device number), keeps the handle of every port this process has
// open, and turns every failing service result into an EMidiError carrying
// the service's own text.
//
// Threads: the user-interface thread creates the registry, opens, closes and
// re-enumerates. The service's MIDI thread may at the same time read it
// (the input callback; TMidiOutput::Send, which may open a port). Those reads
// take no lock: the port list and its handle slots are atomics, and the
// user-interface thread waits for the readers of a replaced list before it
// frees it (only for them: readers that came after do not delay it).
// Do not call Close, CloseAll, Reenumerate or destroy a registry while holding
// a lock that the input event's handler takes: they wait for it to return.

#include "midi/EpochReaders.h"
#include "platform/mm/MMSystem.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

// A failure of the MIDI service or a bad port index, with the text for people.
class EMidiError : public std::runtime_error {
public:
  // aCode: the service's result code, 0 for an index out of bounds.
  explicit EMidiError(const std::string& aMessage, platform::MMRESULT aCode = 0)
      : std::runtime_error(aMessage), fCode(aCode) {}
  platform::MMRESULT Code() const { return fCode; }

private:
  platform::MMRESULT fCode;
};

class TMidiDevices {
public:
  TMidiDevices(const TMidiDevices&) = delete;
  TMidiDevices& operator=(const TMidiDevices&) = delete;
  // Closes the ports still open (failures are ignored: nothing may escape a
  // destructor), then frees the list.
  virtual ~TMidiDevices();

  virtual void Open(int aDeviceIndex) = 0;
  virtual void Close(int aDeviceIndex) = 0;
  // Closes every port from index 0 up; the first failure ends it.
  void CloseAll();

  // Stores aResult in fMidiResult; for a non-zero code with a service text,
  // raises EMidiError with that text. A code without text is only stored.
  void CheckMidiResult(platform::MMRESULT aResult);
  // The handle of an open port, or null. Raises "<class>: Device index out of
  // bounds! (<index>)" for an index outside the list.
  void* GetDeviceHandle(int aDeviceIndex) const;

  int Count() const;
  // The port's name (bounds checked like GetDeviceHandle).
  std::string Name(int aDeviceIndex) const;
  std::vector<std::string> Names() const;
  bool IsOpen(int aDeviceIndex) const { return GetDeviceHandle(aDeviceIndex) != nullptr; }
  // Result of the last service call that went through CheckMidiResult.
  platform::MMRESULT MidiResult() const { return fMidiResult.load(std::memory_order_relaxed); }

  // Enumerates the ports again (the window's reset buttons). The new list is
  // built first: if that fails, the exception leaves the registry as it was.
  // Then the old list is retired and every port still open in it is closed
  // before the new list is published, so no handle leaks, a port is free when
  // the new list opens it, and no message arrives under an index that now
  // names another port. A failing close raises after the new list is in
  // place; its handle is closed again at the next re-enumeration or at
  // destruction.
  void Reenumerate();

  // "TMidiInput" or "TMidiOutput".
  virtual const char* ClassName() const = 0;

  // The number of the port list now: every enumeration and refresh makes a
  // list with a number no list of the process had before.
  std::uint32_t ListNumber() const;

protected:
  struct TDeviceList {
    explicit TDeviceList(std::vector<std::string> aNames);
    // The slot index of the open handle aHandle, which was opened under index
    // aOpenedAs (the input callback's instance value); -1 when this list does
    // not hold it.
    int IndexOf(const void* aHandle, std::size_t aOpenedAs) const;

    std::vector<std::string> Names;
    std::unique_ptr<std::atomic<void*>[]> Slots;
    std::uint32_t Number;
    // Handles kept by a refresh at another index than before, with their
    // index here; an entry whose slot no longer holds its handle is stale.
    std::vector<std::pair<void*, int>> Moved;
    // Set while a re-enumeration or refresh replaces this list: nothing opens
    // a port through it any more.
    std::atomic<bool> Retired{false};
  };

public:
  // Brings the port list up to date with the machine without closing the
  // ports that stayed (a device plugged in or out, a client that came or
  // went): they keep their handles under their new indexes. In three steps,
  // all on the user-interface thread, so that the caller can make the new
  // list current together with state of its own that the MIDI thread reads:
  // BeginRefresh enumerates and matches (nothing changes yet), Publish makes
  // the new list current and waits for nothing, Finish closes what went away.
  // No other change of the list may come between BeginRefresh and Finish.
  class TRefresh {
  public:
    TRefresh(TRefresh&& aOther) noexcept;
    TRefresh& operator=(TRefresh&&) = delete;
    // Finishes a published refresh (failures ignored), drops one that was not.
    ~TRefresh();

    // For every port of the list before, its index in the new list; -1 when
    // it went away.
    const std::vector<int>& NewIndexes() const { return fNewIndexes; }
    const std::vector<std::string>& Names() const { return fFresh ? fFresh->Names : fNames; }
    std::uint32_t ListNumber() const { return fNumber; }
    // Whether any port came, went, moved or was renamed.
    bool Changed() const;

    void Publish();
    // Waits for the readers of the list before, closes the handles of the
    // ports that went away and frees that list. A failing close raises
    // EMidiError after all that; its handle is closed again at the next
    // re-enumeration or at destruction.
    void Finish();

  private:
    friend class TMidiDevices;
    TRefresh(TMidiDevices& aOwner, std::unique_ptr<TDeviceList> aFresh, std::vector<int> aIndexes);

    TMidiDevices* fOwner;
    std::unique_ptr<TDeviceList> fFresh; // until published
    TDeviceList* fOld = nullptr;         // once published, until finished
    std::vector<int> fNewIndexes;
    std::vector<std::string> fNames; // the new names, once published
    std::uint32_t fNumber;
  };

  // Lists the ports again and matches them to the list now: an open port by
  // what the service says of its handle (midiInGetID, midiOutGetID), the
  // others, and every port of a service that cannot tell, by name (the n-th
  // of a name stays the n-th). Raises when the enumeration fails; the
  // registry is then as it was.
  TRefresh BeginRefresh();

protected:
  // Holds a port list against being freed while a thread reads it.
  class TListReader {
  public:
    explicit TListReader(const TMidiDevices& aOwner);
    TListReader(const TListReader&) = delete;
    TListReader& operator=(const TListReader&) = delete;
    const TDeviceList& operator*() const { return *fList; }
    const TDeviceList* operator->() const { return fList; }

  private:
    TEpochReader fEntry;
    const TDeviceList* fList;
  };

  TMidiDevices();
  // Lists the ports' names in device-number order.
  virtual std::vector<std::string> EnumerateNames() = 0;
  // Closes a handle of this direction quietly (during clean-up).
  virtual platform::MMRESULT CloseHandleQuietly(void* aHandle) = 0;
  // The device number of an open handle's port in the service's last listing.
  virtual platform::MMRESULT DeviceId(void* aHandle, platform::UINT& aId) = 0;
  // The slot of entry aDeviceIndex, after the bounds check.
  std::atomic<void*>& Slot(const TDeviceList& aList, int aDeviceIndex) const;
  // Derived constructors call this once to fill the first list.
  void Enumerate();
  // Derived destructors call this: waits for readers, then closes quietly
  // every open port and every handle left over from a failed close.
  void ReleaseAll();

private:
  [[noreturn]] void RaiseOutOfBounds(int aDeviceIndex) const;
  // Raises EMidiError with the service's text of a failing close (not
  // touching fMidiResult); a code without text raises nothing.
  static void RaiseCloseFailure(platform::MMRESULT aFailure);
  // Waits for the readers that may still see a list replaced or retired
  // before this call.
  void WaitForReaders();
  // Closes every handle in the list (clearing the slots) and retries the
  // handles of earlier failed closes; returns the first new failure's code.
  platform::MMRESULT CloseQuietly(TDeviceList& aList);

  std::atomic<TDeviceList*> fDevices{nullptr};
  mutable TEpochReaders fReaders;
  std::atomic<platform::MMRESULT> fMidiResult{0};
  // Handles whose close failed during a re-enumeration (user-interface thread).
  std::vector<void*> fOrphans;
};

// Makes sure FreeMidiDevices (sysMidiIn.h) runs at program end if the
// program did not call it; the registries call this when they are created.
void FreeMidiDevicesAtExit();

// The process-wide registry held in aInstance, created (which enumerates its
// ports) under aLock on first use. A failed creation leaves none, so the next
// call tries again.
template <typename TRegistry>
TRegistry& ProcessRegistry(std::atomic<TRegistry*>& aInstance, std::mutex& aLock) {
  if (TRegistry* existing = aInstance.load())
    return *existing;
  std::lock_guard lock(aLock);
  if (aInstance.load() == nullptr) {
    auto created = std::make_unique<TRegistry>();
    FreeMidiDevicesAtExit();
    aInstance.store(created.release());
  }
  return *aInstance.load();
}
