#pragma once
// The one path between threads: incoming message tuples go from the MIDI
// thread(s) to the user-interface thread through a preallocated ring.
//
// Push runs on a MIDI thread, one producer at a time (the window's
// fCriticalSection serialises them); it never allocates, locks or blocks, so it
// may run on a real-time audio thread. When the ring is full the message is
// counted as dropped, never silently lost. The first push after a drain calls
// the wake-up, which makes the user-interface loop drain the queue.
// Drain runs on the user-interface thread only and hands out the messages in
// arrival order. The message log has a queue of its own, drained the same way
// by its writer thread (one consumer per queue).

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

struct TMidiEvent {
  std::int32_t DeviceIndex = 0;
  std::uint8_t Status = 0;
  std::uint8_t Data1 = 0;
  std::uint8_t Data2 = 0;
  // Set when sending to one of the checked outputs failed; the failure's
  // details wait in TThruFailureSlot.
  bool ThruFailed = false;
  // Which listing of the input ports' names was current when the message
  // arrived (TPortNames), so that it shows the name its port had then.
  std::uint32_t Listing = 0;
  // Numbers the messages in arrival order (wrapping); a thru failure carries
  // the number of its message.
  std::uint32_t Sequence = 0;
  // When the message reached the window's handler, for the message log.
  std::chrono::steady_clock::time_point Arrival{};
};

class TMidiQueue {
public:
  static constexpr std::size_t DefaultCapacity = std::size_t(1) << 18;

  // aCapacity is rounded up to a power of two. aWakeUp is called on the MIDI
  // thread and must itself be safe there (no lock, no allocation).
  explicit TMidiQueue(std::function<void()> aWakeUp, std::size_t aCapacity = DefaultCapacity);
  TMidiQueue(const TMidiQueue&) = delete;
  TMidiQueue& operator=(const TMidiQueue&) = delete;

  // MIDI thread, one producer at a time. False (and one more drop) when full.
  bool Push(const TMidiEvent& aEvent);

  // User-interface thread. Hands the queued events to aHandler in arrival order
  // until the queue is empty or aBudget has passed (checked every 32 events); returns true when
  // events remain, so the caller schedules another drain. An exception from aHandler propagates;
  // the events after the failing one stay queued.
  template <class THandler>
  bool Drain(THandler&& aHandler, std::chrono::steady_clock::duration aBudget);

  std::size_t Capacity() const { return fMask + 1; }
  // Messages lost because the queue was full, since construction.
  std::uint64_t Drops() const { return fDrops.load(std::memory_order_relaxed); }
  bool Empty() const;

private:
  std::unique_ptr<TMidiEvent[]> fSlots;
  std::size_t fMask;
  std::function<void()> fWakeUp;
  alignas(64) std::atomic<std::size_t> fHead{0}; // next slot to write (producer)
  alignas(64) std::atomic<std::size_t> fTail{0}; // next slot to read (consumer)
  alignas(64) std::atomic<std::uint64_t> fDrops{0};
  std::atomic<bool> fWakePending{false};
};

template <class THandler>
bool TMidiQueue::Drain(THandler&& aHandler, std::chrono::steady_clock::duration aBudget) {
  // Cleared before reading the head: a push that this drain misses sees the
  // flag clear and wakes the loop again (both sides sequentially consistent).
  fWakePending.store(false, std::memory_order_seq_cst);
  const auto deadline = std::chrono::steady_clock::now() + aBudget;
  std::size_t tail = fTail.load(std::memory_order_relaxed);
  std::size_t head = fHead.load(std::memory_order_seq_cst);
  for (std::size_t n = 1; tail != head; ++n) {
    const TMidiEvent event = fSlots[tail & fMask];
    fTail.store(++tail, std::memory_order_release);
    aHandler(event);
    if (tail == head)
      head = fHead.load(std::memory_order_acquire);
    if (n % 32 == 0 && tail != head && std::chrono::steady_clock::now() >= deadline)
      return true;
  }
  return false;
}
