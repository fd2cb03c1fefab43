// The monitor window between two foreign JACK clients on a private server
// with the dummy driver: the frames the thru adds against a direct
// connection, and the largest burst in one period that arrives complete.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "support/JackServer.h"

#include <benchmark/benchmark.h>
#include <jack/jack.h>

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

} // namespace
