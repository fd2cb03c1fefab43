#include "platform/mm/MessageRing.h"

#include <cstdint>

namespace platform {

MessageRing::MessageRing(std::size_t aCapacity) {
  std::size_t capacity = 2;
  while (capacity < aCapacity)
    capacity <<= 1;
  fMask = capacity - 1;
  fCells = std::make_unique<Cell[]>(capacity);
  for (std::size_t i = 0; i < capacity; ++i)
    fCells[i].Sequence.store(i, std::memory_order_relaxed);
}

// Each cell's sequence says whose turn it is: equal to the position for the
// producer that claims it, position + 1 once filled for the consumer, and
// position + capacity once emptied for the producer of the next round.
bool MessageRing::Push(DWORD aMessage) {
  std::size_t position = fHead.load(std::memory_order_relaxed);
  while (true) {
    Cell& cell = fCells[position & fMask];
    const std::size_t sequence = cell.Sequence.load(std::memory_order_acquire);
    const auto difference = static_cast<std::intptr_t>(sequence - position);
    if (difference == 0) {
      if (fHead.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
        cell.Value = aMessage;
        cell.Sequence.store(position + 1, std::memory_order_release);
        return true;
      }
    } else if (difference < 0) {
      return false;
    } else {
      position = fHead.load(std::memory_order_relaxed);
    }
  }
}

bool MessageRing::Pop(DWORD& aMessage) {
  const std::size_t tail = fTail.load(std::memory_order_relaxed);
  Cell& cell = fCells[tail & fMask];
  if (cell.Sequence.load(std::memory_order_acquire) != tail + 1)
    return false;
  aMessage = cell.Value;
  cell.Sequence.store(tail + fMask + 1, std::memory_order_release);
  fTail.store(tail + 1, std::memory_order_release);
  return true;
}

bool MessageRing::Empty() const {
  return fTail.load(std::memory_order_acquire) == fHead.load(std::memory_order_acquire);
}

} // namespace platform
