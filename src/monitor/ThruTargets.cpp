#include "monitor/ThruTargets.h"

void TThruTargets::Set(int aIndex, bool aChecked) {
  if (aIndex < 0 || aIndex >= Capacity)
    return;
  const std::uint64_t mask = std::uint64_t(1) << (aIndex % WordBits);
  auto& word = fWords[aIndex / WordBits];
  if (aChecked)
    word.fetch_or(mask, std::memory_order_release);
  else
    word.fetch_and(~mask, std::memory_order_release);
}

void TThruTargets::Clear() {
  for (auto& word : fWords)
    word.store(0, std::memory_order_release);
}

bool TThruTargets::IsSet(int aIndex) const {
  if (aIndex < 0 || aIndex >= Capacity)
    return false;
  return (fWords[aIndex / WordBits].load(std::memory_order_acquire) >> (aIndex % WordBits)) & 1;
}
