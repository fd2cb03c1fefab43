#include "monitor/MidiQueue.h"

#include <bit>

TMidiQueue::TMidiQueue(std::function<void()> aWakeUp, std::size_t aCapacity)
    : fSlots(new TMidiEvent[std::bit_ceil(aCapacity < 2 ? 2 : aCapacity)]),
      fMask(std::bit_ceil(aCapacity < 2 ? 2 : aCapacity) - 1), fWakeUp(std::move(aWakeUp)) {}

bool TMidiQueue::Push(const TMidiEvent& aEvent) {
  const std::size_t head = fHead.load(std::memory_order_relaxed);
  if (head - fTail.load(std::memory_order_acquire) > fMask) {
    fDrops.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  fSlots[head & fMask] = aEvent;
  fHead.store(head + 1, std::memory_order_seq_cst);
  if (!fWakePending.exchange(true, std::memory_order_seq_cst) && fWakeUp)
    fWakeUp();
  return true;
}

bool TMidiQueue::Empty() const {
  return fHead.load(std::memory_order_acquire) == fTail.load(std::memory_order_acquire);
}
