// Cost of the parts of the incoming message path that need no window: the
// MIDI-thread half (thru to two outputs and the hand-over) and the decoder.
#include "monitor/MessageDecoder.h"
#include "monitor/MidiPath.h"

#include <benchmark/benchmark.h>
#include <chrono>

namespace {

void BM_ReceiveAndDrain(benchmark::State& aState) {
  long sent = 0;
  TMidiPath path([&](int, std::uint8_t, std::uint8_t, std::uint8_t) { ++sent; }, [] { return 4; },
                 {});
  path.Targets().Set(0, true);
  path.Targets().Set(2, true);
  long drained = 0;
  int n = 0;
  for (auto _ : aState) {
    path.Receive(0, 0x90, n & 0x7F, 0x64, 0);
    if (++n % 1024 == 0)
      path.Queue().Drain([&](const TMidiEvent&) { ++drained; }, std::chrono::seconds(1));
  }
  benchmark::DoNotOptimize(drained);
  aState.SetItemsProcessed(aState.iterations());
  aState.counters["drops"] = double(path.Queue().Drops());
}
BENCHMARK(BM_ReceiveAndDrain);

void BM_FormatAndDecode(benchmark::State& aState) {
  TBreakdown breakdown;
  const std::uint8_t statuses[] = {0x90, 0x80, 0xB0, 0xC0, 0xE0, 0xF8, 0xA0, 0xD0};
  int n = 0;
  for (auto _ : aState) {
    const std::string line = FormatLogLine(statuses[n & 7], n & 0x7F, (n >> 3) & 0x7F);
    DecodeLogLine(line, breakdown);
    ++n;
    benchmark::DoNotOptimize(breakdown);
  }
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(BM_FormatAndDecode);

} // namespace
