// The JACK backend's ring: one push and pop, alone and with producers on
// other threads.
#include "platform/mm/MessageRing.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

void PushPop(benchmark::State& aState) {
  MessageRing ring(8192);
  DWORD value = 0;
  for (auto _ : aState) {
    ring.Push(value);
    ring.Pop(value);
    benchmark::DoNotOptimize(value);
  }
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(PushPop);

// Every thread pushes; thread 0 also drains.
void ContendedPush(benchmark::State& aState) {
  static MessageRing ring(8192);
  DWORD value = 0;
  std::int64_t refused = 0;
  for (auto _ : aState) {
    if (!ring.Push(value))
      ++refused;
    if (aState.thread_index() == 0)
      while (ring.Pop(value)) {
      }
  }
  aState.SetItemsProcessed(aState.iterations());
  aState.counters["refused"] = double(refused);
}
BENCHMARK(ContendedPush)->Threads(2);

} // namespace
