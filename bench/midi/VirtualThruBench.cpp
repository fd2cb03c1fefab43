// One message from the service's callback through the input event to Send on
// the virtual service, and the rate the virtual service sustains without loss.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/VirtualMidi.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

void StartThru() {
  StartMidiService("virtual:in=Source;out=Sink");
  MidiInput().SetOnMidiData(
      [](int, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
        MidiOutput().Send(0, aStatus, aData1, aData2);
      });
  MidiInput().Open(0);
  MidiOutput().Open(0);
}

void StopThru() {
  FreeMidiDevices();
  StopMidiService();
}

// The callback as the service calls it, on the benchmark's thread: unpack,
// check the handle, call the event, Send, midiOutShortMsg into the sink.
void CallbackToSend(benchmark::State& aState) {
  StartThru();
  const auto handle = static_cast<HMIDIIN>(MidiInput().GetDeviceHandle(0));
  DWORD message = 0x90;
  for (auto _ : aState) {
    TMidiInput::MidiInCallback(handle, MIM_DATA, 0, message, 0);
    message = 0x90 | ((message + 0x100) & 0x7F00);
  }
  aState.SetItemsProcessed(aState.iterations());
  StopThru();
}
BENCHMARK(CallbackToSend)->UseRealTime();

// Messages injected from this thread, delivered on the service's thread and
// sent on: the sustained rate, and a check that none was lost.
void SustainedThru(benchmark::State& aState) {
  StartThru();
  const DWORD batch = DWORD(aState.range(0));
  std::int64_t lost = 0;
  for (auto _ : aState) {
    VirtualMidiClearReceived(0);
    for (DWORD i = 0; i < batch; ++i)
      VirtualMidiInject(0, 0x90 | ((i & 0x7F) << 8));
    VirtualMidiFlush();
    std::vector<DWORD> received;
    VirtualMidiReceived(0, received);
    lost += std::int64_t(batch) - std::int64_t(received.size());
  }
  aState.SetItemsProcessed(aState.iterations() * batch);
  aState.counters["lost"] = double(lost);
  StopThru();
}
BENCHMARK(SustainedThru)->Arg(1000)->Arg(10000)->UseRealTime();

} // namespace
