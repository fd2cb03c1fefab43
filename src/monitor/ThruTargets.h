#pragma once
// Which output lines are checked, as the MIDI thread reads them for the thru.
// The user-interface thread writes it whenever a check box of the output list
// changes or the list is refilled; the MIDI thread reads it without a lock.
// A message that arrives while a line is being toggled goes out with either the
// old or the new state of that line.

#include <array>
#include <atomic>
#include <bit>
#include <cstdint>

class TThruTargets {
public:
  // Output lines beyond this count are never served by the thru.
  static constexpr int Capacity = 1024;

  // User-interface thread.
  void Set(int aIndex, bool aChecked);
  void Clear();

  // Any thread.
  bool IsSet(int aIndex) const;

  // MIDI thread: calls aSend(i) for every checked line i below aCount, from the
  // highest index down.
  template <class TSend>
  void ForEachDescending(int aCount, TSend&& aSend) const;

private:
  static constexpr int WordBits = 64;
  std::array<std::atomic<std::uint64_t>, Capacity / WordBits> fWords{};
};

template <class TSend>
void TThruTargets::ForEachDescending(int aCount, TSend&& aSend) const {
  if (aCount > Capacity)
    aCount = Capacity;
  for (int w = (aCount - 1) / WordBits; w >= 0 && aCount > 0; --w) {
    std::uint64_t bits = fWords[w].load(std::memory_order_acquire);
    const int below = aCount - w * WordBits; // lines of this word that exist
    if (below < WordBits)
      bits &= (std::uint64_t(1) << below) - 1;
    while (bits != 0) {
      const int bit = WordBits - 1 - std::countl_zero(bits);
      aSend(w * WordBits + bit);
      bits &= ~(std::uint64_t(1) << bit);
    }
  }
}
