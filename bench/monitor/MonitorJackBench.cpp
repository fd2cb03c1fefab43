// The monitor window between two foreign JACK clients on a private server
// with the dummy driver: the frames the thru adds against a direct
// connection, and the largest burst in one period that arrives complete;
// and a flood of 375,000 messages a second with the message log writing to
// a file: what the thru and the log lose.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/MessageLog.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "support/JackServer.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <jack/jack.h>
#include <pthread.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

constexpr int Period = 256;

int IndexOf(TCheckListBox* aList, const std::string& aName) {
  for (int i = 0; i < aList->Count(); ++i)
    if (aList->Items()[i] == aName)
      return i;
  return -1;
}

void Check(TCheckListBox* aList, int aIndex) {
  aList->SetItemIndex(aIndex);
  aList->SetChecked(aIndex, true);
  aList->OnClickCheck(aList);
}

void BM_ThruOverJack(benchmark::State& aState) {
  TJackServer server(Period, 48000);
  if (!server.Running()) {
    aState.SkipWithError(("no JACK server: " + server.Reason()).c_str());
    return;
  }
  // Source: one output. Sink: input 0 behind the monitor, input 1 connected
  // straight to the source.
  TJackProbe source("mmsource", 1, 0);
  TJackProbe sink("mmsink", 0, 2);
  if (!source.Ok() || !sink.Ok() ||
      jack_connect(source.Client(), source.OutputPort(0).c_str(), sink.InputPort(1).c_str()) != 0) {
    aState.SkipWithError("probe clients failed");
    return;
  }
  if (platform::StartMidiService("jack").Result != 0) {
    aState.SkipWithError("the JACK backend did not start");
    return;
  }
  double addedFrames = 0;
  double largestBurst = 0;
  double directLimit = 0; // the first burst the direct connection lost
  {
    TApplication application;
    Application->Initialize();
    TfrmMonitor* form = Application->CreateForm<TfrmMonitor>();
    form->Show();
    const int in = IndexOf(form->clbInputDevices, source.OutputPort(0));
    const int out = IndexOf(form->clbOutputDevices, sink.InputPort(0));
    if (in < 0 || out < 0) {
      aState.SkipWithError("the probe ports are not listed");
    } else {
      Check(form->clbOutputDevices, out);
      Check(form->clbInputDevices, in);
      platform::PumpUntilIdle();
      std::size_t expected = 0;
      for (auto _ : aState) {
        // One event at frame 17: when it arrives through the monitor and
        // directly.
        const std::vector<TJackProbe::Event> one = {ProbeEvent(17, 0x90, 60, 100)};
        source.SendBurst(0, one);
        ++expected;
        const auto thru = sink.WaitReceived(0, expected);
        const auto direct = sink.WaitReceived(1, expected);
        if (thru.size() < expected || direct.size() < expected) {
          aState.SkipWithError("an event did not arrive");
          break;
        }
        addedFrames = std::max(addedFrames, double(thru[expected - 1].Frame) -
                                                double(direct[expected - 1].Frame));
        platform::PumpUntilIdle();
      }
      // Bursts of growing size within one period, until one loses events.
      for (int burst = 16; burst <= 65536; burst *= 2) {
        std::vector<TJackProbe::Event> events;
        for (int e = 0; e < burst; ++e)
          events.push_back(ProbeEvent(std::uint32_t(e * Period / burst), 0x90, e & 0x7F, 64));
        source.SendBurst(0, events);
        const auto direct = sink.WaitReceived(1, expected + burst, 2000);
        if (direct.size() < expected + burst) {
          directLimit = burst; // the port buffer itself holds no more
          break;
        }
        const auto thru = sink.WaitReceived(0, expected + burst, 2000);
        platform::PumpUntil([] { return false; }, 50);
        const std::size_t arrived = std::min(thru.size(), direct.size());
        if (thru.size() < expected + burst) {
          // Resynchronise the counts for the next size.
          expected = std::max(thru.size(), direct.size());
          break;
        }
        expected = arrived;
        largestBurst = burst;
      }
    }
  }
  FreeMidiDevices();
  platform::StopMidiService();
  aState.counters["added_latency_frames"] = addedFrames;
  aState.counters["largest_burst_per_period"] = largestBurst;
  aState.counters["period_frames"] = Period;
  aState.counters["direct_lost_at"] = directLimit;
}
BENCHMARK(BM_ThruOverJack)->Iterations(50)->UseRealTime();

// Message n as a note-on: channel, key and velocity carry 4 + 7 + 7 bits.
TJackProbe::Event Numbered(std::uint32_t aFrame, std::uint32_t aNumber) {
  return ProbeEvent(aFrame, std::uint8_t(0x90 | ((aNumber >> 14) & 0x0F)),
                    std::uint8_t(aNumber & 0x7F), std::uint8_t((aNumber >> 7) & 0x7F));
}

struct TLogCount {
  std::uint64_t Lines = 0;
  std::uint64_t Missing = 0;
  bool InPlace = true; // every line's message number is where the counts put it
};

// Reads the log back: message lines, and the messages its own lines count
// as missing.
TLogCount CountLog(const std::string& aPath) {
  std::ifstream in(aPath);
  TLogCount count;
  std::uint32_t next = 0;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');)
      f.push_back(field);
    if (f.size() == 2) {
      std::uint64_t n = 0;
      std::from_chars(f[1].data(), f[1].data() + f[1].size(), n);
      count.Missing += n;
      next += std::uint32_t(n);
      continue;
    }
    unsigned status = 0, d1 = 0, d2 = 0;
    if (f.size() < 3 || std::sscanf(f[2].c_str(), "%2X, %2X, %2X", &status, &d1, &d2) != 3)
      count.InPlace = false;
    else if ((((status & 0x0F) << 14) | (d2 << 7) | d1) != next)
      count.InPlace = false;
    ++next;
    ++count.Lines;
  }
  return count;
}

// 2,000 messages in each 256-frame period at 48 kHz (375,000 a second)
// through the window with the log on a file, for as many periods as the
// sink records (about 0.7 s). Figures: the rate the JACK clock saw, what
// the thru lost, the log's lines and the messages it counted as missing.
void BM_FloodWithLogOverJack(benchmark::State& aState) {
  constexpr int PerPeriod = 2000;
  constexpr int Periods = 131; // 262,000 messages: within the sink's record
  TJackServer server(Period, 48000);
  if (!server.Running()) {
    aState.SkipWithError(("no JACK server: " + server.Reason()).c_str());
    return;
  }
  TJackProbe source("mmfloodsource", 1, 0);
  TJackProbe sink("mmfloodsink", 0, 1);
  if (!source.Ok() || !sink.Ok() || platform::StartMidiService("jack").Result != 0) {
    aState.SkipWithError("the probes or the JACK backend did not start");
    return;
  }
  const std::string path = "/tmp/mm_flood_" + std::to_string(getpid()) + ".log";
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<TMessageLog> log = TMessageLog::Open(path, start);
  std::uint32_t firstFrame = 0, lastFrame = 0;
  std::size_t arrived = 0;
  bool thruInOrder = true;
  std::uint64_t windowDrops = 0;
  double floodSeconds = 0;
  for (auto _ : aState) {
    TApplication application;
    Application->Initialize();
    TfrmMonitor* form = Application->CreateForm<TfrmMonitor>();
    form->Show();
    form->SetMessageLog(*log);
    const int in = IndexOf(form->clbInputDevices, source.OutputPort(0));
    const int out = IndexOf(form->clbOutputDevices, sink.InputPort(0));
    if (in < 0 || out < 0) {
      aState.SkipWithError("the probe ports are not listed");
      break;
    }
    Check(form->clbOutputDevices, out);
    Check(form->clbInputDevices, in);
    platform::PumpUntilIdle();
    std::vector<std::vector<TJackProbe::Event>> bursts(Periods);
    for (int p = 0; p < Periods; ++p)
      for (int e = 0; e < PerPeriod; ++e)
        bursts[p].push_back(
            Numbered(std::uint32_t(e * Period / PerPeriod), std::uint32_t(p * PerPeriod + e)));
    // The flood comes from a thread of its own while the window's loop runs.
    std::atomic<bool> sent{false};
    const auto floodStart = std::chrono::steady_clock::now();
    std::thread flood([&] {
      // Real-time when allowed, so the feeder itself misses few periods on
      // a busy machine.
      sched_param priority{};
      priority.sched_priority = 10;
      pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
      for (int p = 0; p < Periods; ++p) {
        const std::uint32_t at = source.SendBurst(0, bursts[p]);
        (p == 0 ? firstFrame : lastFrame) = at;
      }
      sent = true;
    });
    platform::PumpUntil([&] { return sent.load(); }, 60000);
    flood.join();
    floodSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - floodStart).count();
    const auto received = sink.WaitReceived(0, std::size_t(Periods) * PerPeriod, 5000);
    arrived = received.size();
    for (std::size_t i = 0; i < received.size(); ++i) {
      const auto& b = received[i].Bytes;
      if ((((b[0] & 0x0Fu) << 14) | (unsigned(b[2]) << 7) | b[1]) != i)
        thruInOrder = false;
    }
    platform::PumpUntil([&] { return form->MessagesShown() >= arrived; }, 60000);
    windowDrops = form->DroppedMessages();
  }
  FreeMidiDevices();
  platform::StopMidiService();
  const std::string error = log->Stop();
  const TLogCount count = CountLog(path);
  std::remove(path.c_str());
  const double total = double(Periods) * PerPeriod;
  const double frames = double(lastFrame - firstFrame) + Period;
  aState.counters["offered_msgs_per_s"] = total * 48000.0 / frames;
  aState.counters["periods_missed"] = frames / Period - Periods;
  aState.counters["flood_s"] = floodSeconds;
  aState.counters["thru_lost"] = total - double(arrived);
  aState.counters["thru_in_order"] = thruInOrder;
  aState.counters["log_lines"] = double(count.Lines);
  aState.counters["log_counted_missing"] = double(count.Missing);
  aState.counters["log_accounts_for_all"] =
      count.InPlace && double(count.Lines + count.Missing) == total && error.empty();
  aState.counters["window_queue_drops"] = double(windowDrops);
}
BENCHMARK(BM_FloodWithLogOverJack)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
