// Bringing the window's two port lists up to date with 100 ports present in
// each (headless host, virtual MIDI service): the port at the top goes and
// comes back at the bottom, so every line moves, and every tenth port is
// checked and open (each such one is remembered and opened again).
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/VirtualMidi.h"
#include "platform/win/MessageLoop.h"

#include <benchmark/benchmark.h>
#include <deque>
#include <string>

namespace {

constexpr int PortCount = 100;

class TPortsRig {
public:
  TPortsRig() {
    std::string in, out;
    for (int i = 0; i < PortCount; ++i) {
      fNames[0].push_back("Keys " + std::to_string(i));
      fNames[1].push_back("Synth " + std::to_string(i));
      in += (i ? "," : "") + fNames[0].back();
      out += (i ? "," : "") + fNames[1].back();
    }
    platform::StartMidiService("virtual:in=" + in + ";out=" + out);
    fApplication = new TApplication();
    Application->Initialize();
    Form = Application->CreateForm<TfrmMonitor>();
    Form->Show();
    platform::PumpUntilIdle();
    for (TCheckListBox* list : {Form->clbInputDevices, Form->clbOutputDevices}) {
      for (int i = 5; i < PortCount; i += 10) {
        list->SetItemIndex(i);
        list->SetChecked(i, true);
        list->OnClickCheck(list);
      }
    }
  }
  ~TPortsRig() {
    delete fApplication;
    FreeMidiDevices();
    platform::StopMidiService();
  }
  // The top port of each direction goes and comes back at the bottom.
  void Rotate() {
    for (int d = 0; d < 2; ++d) {
      const auto direction = d == 0 ? platform::MidiDirection::In : platform::MidiDirection::Out;
      platform::VirtualMidiRemovePort(direction, 0);
      platform::VirtualMidiAddPort(direction, fNames[d].front());
      fNames[d].push_back(fNames[d].front());
      fNames[d].pop_front();
    }
  }

  TfrmMonitor* Form = nullptr;

private:
  TApplication* fApplication = nullptr;
  std::deque<std::string> fNames[2];
};

void BM_UpdateBothListsAfterAChange(benchmark::State& aState) {
  TPortsRig rig;
  TPortLists& lists = *rig.Form->PortLists();
  for (auto _ : aState) {
    aState.PauseTiming();
    rig.Rotate();
    aState.ResumeTiming();
    lists.Update();
  }
  // The notices the rotations posted find nothing more to do.
  platform::PumpUntilIdle();
  aState.counters["open_inputs"] = 0;
  for (int i = 0; i < MidiInput().Count(); ++i)
    aState.counters["open_inputs"] += MidiInput().IsOpen(i) ? 1 : 0;
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(BM_UpdateBothListsAfterAChange)->Unit(benchmark::kMicrosecond);

// A notice that changes nothing (another client's audio port, say).
void BM_UpdateBothListsUnchanged(benchmark::State& aState) {
  TPortsRig rig;
  TPortLists& lists = *rig.Form->PortLists();
  for (auto _ : aState)
    lists.Update();
  aState.SetItemsProcessed(aState.iterations());
}
BENCHMARK(BM_UpdateBothListsUnchanged)->Unit(benchmark::kMicrosecond);

} // namespace
