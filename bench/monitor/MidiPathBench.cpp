// Cost of the parts of the incoming message path that need no window: the
// MIDI-thread half (thru to two outputs and the hand-over, without and with
// the message log's queue), the decoder and the message log's lines.
#include "monitor/MessageDecoder.h"
#include "monitor/MessageLog.h"
#include "monitor/MessageLogLine.h"
#include "monitor/MidiPath.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace {

void BM_ReceiveAndDrain(benchmark::State& aState) {
  long sent = 0;
  TMidiPath path([&](int, std::uint8_t, std::uint8_t, std::uint8_t) { ++sent; }, [] { return 4; },
                 {});
  path.Targets().Set(0, true);
  path.Targets().Set(2, true);
  // Arg 1: the log is on, its writer thread writing to /dev/null.
  std::unique_ptr<TMessageLog> log;
  if (aState.range(0) == 1) {
    log = std::make_unique<TMessageLog>(open("/dev/null", O_WRONLY | O_CLOEXEC), true, "null",
                                        std::chrono::steady_clock::now());
    path.SetLogQueue(&log->Queue());
  }
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
  if (log)
    aState.counters["log_drops"] = double(log->Queue().Drops());
}
BENCHMARK(BM_ReceiveAndDrain)->Arg(0)->Arg(1);

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

// One line of the message log, as its writer thread makes it.
void BM_MessageLogLine(benchmark::State& aState) {
  std::string buffer;
  const std::uint8_t statuses[] = {0x90, 0x80, 0xB0, 0xC0, 0xE0, 0xF8, 0xA0, 0xD0};
  int n = 0;
  for (auto _ : aState) {
    if (buffer.size() > 65536)
      buffer.clear();
    AppendMessageLogLine(buffer, std::chrono::microseconds(n), "Keystation 61 MK3 MIDI 1",
                         statuses[n & 7], n & 0x7F, (n >> 3) & 0x7F);
    ++n;
  }
  benchmark::DoNotOptimize(buffer);
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(BM_MessageLogLine);

} // namespace
