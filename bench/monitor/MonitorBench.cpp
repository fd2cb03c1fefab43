// The whole incoming path of the monitor window: thru, hand-over, log,
// decode and status line, with the user-interface thread draining as in the
// program (headless host, virtual MIDI service).
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/MessageDecoder.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/VirtualMidi.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "skin/data/sSkinCommands.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <malloc.h>
#include <thread>

namespace {

using TClock = std::chrono::steady_clock;

platform::DWORD Word(int n) {
  const int status = 0x80 + (n % 7) * 0x10 + (n & 0x0F);
  return platform::DWORD(status | (((n >> 4) & 0x7F) << 8) | (((n >> 11) & 0x7F) << 16));
}

// The window on the virtual service with input 0 and output 0 checked.
class TMonitorRig {
public:
  TMonitorRig() {
    platform::StartMidiService("virtual:in=Keyboard;out=Synth");
    fApplication = new TApplication();
    Application->Initialize();
    Form = Application->CreateForm<TfrmMonitor>();
    Form->Show();
    platform::PumpUntilIdle();
    Check(Form->clbOutputDevices);
    Check(Form->clbInputDevices);
    // Repaints of the log, counted in front of its own procedure.
    auto previous = Form->lbListe->WindowProc;
    Form->lbListe->WindowProc = [this, previous](TMessage& aMessage) {
      if (aMessage.Msg == platform::WM_PAINT)
        ++Repaints;
      previous(aMessage);
    };
  }
  ~TMonitorRig() {
    delete fApplication;
    FreeMidiDevices();
    platform::StopMidiService();
  }
  void Prefill(int aLines) {
    for (int n = 0; n < aLines; ++n) {
      const platform::DWORD w = Word(n);
      Form->lbListe->Items().Add(FormatLogLine(w & 0xFF, (w >> 8) & 0xFF, (w >> 16) & 0xFF));
    }
    platform::PumpUntilIdle();
  }
  // Sends aCount messages from aFeed's thread and pumps until all are logged.
  template <class TFeed>
  bool Flood(int aCount, TFeed aFeed) {
    const int target = Form->lbListe->Count() + aCount;
    std::thread feeder([&] {
      const auto start = TClock::now();
      aFeed(aCount);
      FeedSeconds += std::chrono::duration<double>(TClock::now() - start).count();
    });
    const bool all = platform::PumpUntil([&] { return Form->lbListe->Count() >= target; }, 120000);
    feeder.join();
    return all;
  }

  TfrmMonitor* Form = nullptr;
  long Repaints = 0;
  std::uint64_t UpdatesBefore = 0; // updates of the controls before the measured floods
  double FeedSeconds = 0;          // time the MIDI-side thread took to hand everything in

private:
  static void Check(TCheckListBox* aList) {
    aList->SetItemIndex(0);
    aList->SetChecked(0, true);
    aList->OnClickCheck(aList);
  }
  TApplication* fApplication = nullptr;
};

constexpr int Batch = 200000;

void Report(benchmark::State& aState, TMonitorRig& aRig, double aSeconds, long aRepaints,
            std::uint64_t aDrains) {
  aState.SetItemsProcessed(aState.iterations() * Batch);
  aState.counters["msgs_per_s"] = double(aState.iterations()) * Batch / aSeconds;
  aState.counters["repaints_per_s"] = double(aRepaints) / aSeconds;
  aState.counters["drains_per_s"] = double(aDrains) / aSeconds;
  aState.counters["updates_per_s"] =
      double(aRig.Form->UpdateCount() - aRig.UpdatesBefore) / aSeconds;
  aState.counters["drops"] = double(aRig.Form->DroppedMessages());
  aState.counters["thru_failures"] = double(aRig.Form->ThruFailures());
  aState.counters["feed_s"] = aRig.FeedSeconds;
}

// Messages injected into the virtual service's input port, which delivers
// them on its own thread. Arguments: lines in the log before, skin on (1) or
// off (0).
void BM_PathThroughVirtualService(benchmark::State& aState) {
  TMonitorRig rig;
  rig.Form->sSkinManager1->SetActive(aState.range(1) != 0);
  rig.Prefill(int(aState.range(0)));
  rig.UpdatesBefore = rig.Form->UpdateCount();
  double seconds = 0;
  const long repaints = rig.Repaints;
  const std::uint64_t drains = rig.Form->DrainCount();
  for (auto _ : aState) {
    const auto start = TClock::now();
    const bool all = rig.Flood(Batch, [](int aCount) {
      for (int n = 0; n < aCount; ++n)
        platform::VirtualMidiInject(0, Word(n));
    });
    seconds += std::chrono::duration<double>(TClock::now() - start).count();
    if (!all)
      aState.SkipWithError("not every message was logged");
  }
  Report(aState, rig, seconds, rig.Repaints - repaints, rig.Form->DrainCount() - drains);
  std::vector<platform::DWORD> received;
  platform::VirtualMidiReceived(0, received);
  aState.counters["last_forwarded_ok"] = !received.empty() && received.back() == Word(Batch - 1);
}
BENCHMARK(BM_PathThroughVirtualService)
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1000000, 1})
    ->Iterations(5)
    ->UseRealTime();

// The whole skinned window repainted at once: with the controls' caches
// warm (arg 0), or emptied first as a skin change empties them (arg 1).
void BM_SkinnedWindowRepaint(benchmark::State& aState) {
  TMonitorRig rig;
  const bool cold = aState.range(0) != 0;
  std::vector<TControl*> controls;
  for (int i = 0; i < rig.Form->ComponentCount(); ++i)
    if (auto* control = dynamic_cast<TControl*>(rig.Form->Components(i)))
      controls.push_back(control);
  for (auto _ : aState) {
    if (cold)
      for (TControl* control : controls)
        SendSkinCommand(control, scBgChanged);
    platform::RedrawWindow(rig.Form->Handle(), nullptr, nullptr,
                           platform::RDW_INVALIDATE | platform::RDW_ERASE |
                               platform::RDW_ALLCHILDREN | platform::RDW_UPDATENOW);
    platform::PumpUntilIdle();
  }
  aState.counters["repaints_per_s"] =
      benchmark::Counter(double(aState.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SkinnedWindowRepaint)->Arg(0)->Arg(1)->UseRealTime();

// How long a message posted to the window waits while a flood of 100,000
// messages goes through: a thread posts a time-stamped message every
// millisecond, the window notes when it handles each.
void BM_PostedMessageLatencyDuringFlood(benchmark::State& aState) {
  constexpr int Count = 100000;
  constexpr platform::UINT Ping = platform::WM_APP + 1;
  TMonitorRig rig;
  std::vector<double> latencies;
  auto previous = rig.Form->WindowProc;
  rig.Form->WindowProc = [&](TMessage& aMessage) {
    if (aMessage.Msg == Ping) {
      const auto sent = TClock::time_point(TClock::duration(aMessage.LParam));
      latencies.push_back(std::chrono::duration<double, std::milli>(TClock::now() - sent).count());
      return;
    }
    previous(aMessage);
  };
  const platform::HWND wnd = rig.Form->Handle();
  for (auto _ : aState) {
    std::atomic<bool> done{false};
    std::thread pinger([&] {
      while (!done.load()) {
        platform::PostMessageW(wnd, Ping, 0,
                               platform::LPARAM(TClock::now().time_since_epoch().count()));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
    const bool all = rig.Flood(Count, [](int aCount) {
      for (int n = 0; n < aCount; ++n)
        platform::VirtualMidiInject(0, Word(n));
    });
    done = true;
    pinger.join();
    platform::PumpUntilIdle();
    if (!all)
      aState.SkipWithError("not every message was logged");
  }
  rig.Form->WindowProc = previous;
  std::sort(latencies.begin(), latencies.end());
  if (latencies.empty()) {
    aState.SkipWithError("no posted message was handled");
    return;
  }
  double sum = 0;
  for (double l : latencies)
    sum += l;
  aState.counters["posted"] = double(latencies.size());
  aState.counters["mean_ms"] = sum / double(latencies.size());
  aState.counters["p99_ms"] = latencies[latencies.size() * 99 / 100];
  aState.counters["max_ms"] = latencies.back();
  aState.counters["drops"] = double(rig.Form->DroppedMessages());
}
BENCHMARK(BM_PostedMessageLatencyDuringFlood)->Iterations(5)->UseRealTime();

// The handler called straight from a thread standing in for the MIDI
// service's: our path without the service's own queue.
void BM_PathFromMidiThread(benchmark::State& aState) {
  TMonitorRig rig;
  rig.Prefill(int(aState.range(0)));
  rig.UpdatesBefore = rig.Form->UpdateCount();
  double seconds = 0;
  const long repaints = rig.Repaints;
  const std::uint64_t drains = rig.Form->DrainCount();
  TfrmMonitor* form = rig.Form;
  for (auto _ : aState) {
    const auto start = TClock::now();
    const bool all = rig.Flood(Batch, [form](int aCount) {
      for (int n = 0; n < aCount; ++n) {
        const platform::DWORD w = Word(n);
        form->DoMidiInData(0, w & 0xFF, (w >> 8) & 0xFF, (w >> 16) & 0xFF);
      }
    });
    seconds += std::chrono::duration<double>(TClock::now() - start).count();
    if (!all)
      aState.SkipWithError("not every message was logged");
  }
  Report(aState, rig, seconds, rig.Repaints - repaints, rig.Form->DrainCount() - drains);
}
BENCHMARK(BM_PathFromMidiThread)->Arg(0)->Arg(1000000)->Iterations(5)->UseRealTime();

// Heap bytes per logged line: 1,000,000 messages through the path, handed in
// in chunks the queue can hold.
void BM_MemoryPerLogLine(benchmark::State& aState) {
  constexpr int Lines = 1000000;
  constexpr int Chunk = 100000;
  TMonitorRig rig;
  TfrmMonitor* form = rig.Form;
  for (auto _ : aState) {
    const std::size_t before = mallinfo2().uordblks;
    for (int sent = 0; sent < Lines; sent += Chunk)
      rig.Flood(Chunk, [form](int aCount) {
        for (int n = 0; n < aCount; ++n) {
          const platform::DWORD w = Word(n);
          form->DoMidiInData(0, w & 0xFF, (w >> 8) & 0xFF, (w >> 16) & 0xFF);
        }
      });
    const std::size_t after = mallinfo2().uordblks;
    aState.counters["bytes_per_line"] = (double(after) - double(before)) / Lines;
    aState.counters["lines"] = form->lbListe->Count();
    aState.counters["drops"] = double(form->DroppedMessages());
  }
}
BENCHMARK(BM_MemoryPerLogLine)->Iterations(1)->UseRealTime();

} // namespace
