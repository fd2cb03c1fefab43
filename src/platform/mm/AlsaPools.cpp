#include "platform/mm/AlsaPools.h"

namespace platform {

namespace {

constexpr unsigned PoolCeiling = 65536;

AlsaPoolSizes ReadPools(snd_seq_t* aSeq) {
  snd_seq_client_pool_t* pool = nullptr;
  snd_seq_client_pool_alloca(&pool);
  AlsaPoolSizes sizes;
  if (snd_seq_get_client_pool(aSeq, pool) == 0) {
    sizes.Input = unsigned(snd_seq_client_pool_get_input_pool(pool));
    sizes.Output = unsigned(snd_seq_client_pool_get_output_pool(pool));
  }
  return sizes;
}

} // namespace

unsigned LargestAccepted(const std::function<bool(unsigned)>& aAccepts, unsigned aCeiling) {
  unsigned low = 0;             // accepted (0 stands for none)
  unsigned high = aCeiling + 1; // refused
  while (high - low > 1) {
    const unsigned middle = low + (high - low) / 2;
    if (aAccepts(middle))
      low = middle;
    else
      high = middle;
  }
  return low;
}

AlsaPoolSizes MaximisePools(snd_seq_t* aSeq) {
  const unsigned output = LargestAccepted(
      [aSeq](unsigned aSize) {
        return snd_seq_set_client_pool_output(aSeq, aSize) == 0 && ReadPools(aSeq).Output == aSize;
      },
      PoolCeiling);
  const unsigned input = LargestAccepted(
      [aSeq](unsigned aSize) {
        return snd_seq_set_client_pool_input(aSeq, aSize) == 0 && ReadPools(aSeq).Input == aSize;
      },
      PoolCeiling);
  // The search may end on a refused size; the largest accepted one is set
  // once more so that it holds whatever a refusal did.
  if (output > 0)
    snd_seq_set_client_pool_output(aSeq, output);
  if (input > 0)
    snd_seq_set_client_pool_input(aSeq, input);
  return ReadPools(aSeq);
}

} // namespace platform
