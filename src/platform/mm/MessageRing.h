#pragma once
// A bounded queue of short messages with any number of producer threads and
// one consumer (the JACK process thread). Lock-free and allocation-free after
// construction: a push into a full ring fails instead of waiting.

#include "platform/Types.h"

#include <atomic>
#include <cstddef>
#include <memory>

namespace platform {

class MessageRing {
public:
  // aCapacity is rounded up to a power of two (at least 2).
  explicit MessageRing(std::size_t aCapacity);

  // Any thread. False when the ring is full (nothing is stored).
  bool Push(DWORD aMessage);
  // The consumer thread only. False when the ring is empty.
  bool Pop(DWORD& aMessage);
  // Any thread: whether every message pushed so far has been popped.
  bool Empty() const;
  std::size_t Capacity() const { return fMask + 1; }

private:
  struct Cell {
    std::atomic<std::size_t> Sequence;
    DWORD Value;
  };
  std::unique_ptr<Cell[]> fCells;
  std::size_t fMask;
  alignas(64) std::atomic<std::size_t> fHead{0};
  alignas(64) std::atomic<std::size_t> fTail{0}; // written by the consumer only
};

} // namespace platform
