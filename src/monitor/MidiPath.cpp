#include "monitor/MidiPath.h"

#include <cstring>
#include <exception>

void TThruFailureSlot::Put(std::uint32_t aSequence, int aOutputIndex, const char* aText) noexcept {
  int expected = Free;
  if (!fState.compare_exchange_strong(expected, Writing, std::memory_order_acquire)) {
    fMissed.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  std::size_t length = aText ? std::strlen(aText) : 0;
  if (length >= TextCapacity) {
    length = TextCapacity - 1;
    // Do not cut a UTF-8 sequence: back off over its continuation bytes.
    while (length > 0 && (static_cast<unsigned char>(aText[length]) & 0xC0) == 0x80)
      --length;
  }
  if (length > 0)
    std::memcpy(fText, aText, length);
  fText[length] = '\0';
  fSequence = aSequence;
  fOutputIndex = aOutputIndex;
  fState.store(Full, std::memory_order_release);
}

std::optional<TThruFailure> TThruFailureSlot::Take(std::uint32_t aSequence) {
  if (fState.load(std::memory_order_acquire) != Full)
    return std::nullopt;
  // Numbers wrap: the difference tells earlier from later.
  const auto age = std::int32_t(aSequence - fSequence);
  if (age < 0)
    return std::nullopt;
  std::optional<TThruFailure> failure;
  if (age == 0)
    failure = TThruFailure{fSequence, fOutputIndex, fText,
                           fMissed.exchange(0, std::memory_order_relaxed)};
  fState.store(Free, std::memory_order_release);
  return failure;
}

TMidiPath::TMidiPath(TSend aSend, TOutputCount aOutputCount, std::function<void()> aWakeUp,
                     std::size_t aQueueCapacity)
    : fSend(std::move(aSend)), fOutputCount(std::move(aOutputCount)),
      fQueue(std::move(aWakeUp), aQueueCapacity) {}

bool TMidiPath::Receive(int aDeviceIndex, std::uint8_t aStatus, std::uint8_t aData1,
                        std::uint8_t aData2, std::uint32_t aListing) noexcept {
  if (aStatus == 0xFE)
    return false;
  TMidiEvent event{aDeviceIndex, aStatus,  aData1,          aData2,
                   false,        aListing, fNextSequence++, std::chrono::steady_clock::now()};
  int count = 0;
  try {
    count = fOutputCount();
  } catch (const std::exception& e) {
    event.ThruFailed = true;
    fFailures.Put(event.Sequence, -1, e.what());
  } catch (...) {
    event.ThruFailed = true;
    fFailures.Put(event.Sequence, -1, "");
  }
  fTargets.ForEachDescending(count, [&](int aIndex) {
    try {
      fSend(aIndex, aStatus, aData1, aData2);
    } catch (const std::exception& e) {
      event.ThruFailed = true;
      fFailures.Put(event.Sequence, aIndex, e.what());
    } catch (...) {
      event.ThruFailed = true;
      fFailures.Put(event.Sequence, aIndex, "");
    }
  });
  // A full log queue counts the message as dropped; the log reports it.
  if (fLogQueue)
    fLogQueue->Push(event);
  return fQueue.Push(event);
}
