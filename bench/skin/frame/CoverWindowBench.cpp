// The cover window that hides the platform's caption drawing while a framed
// form is activated or renamed: putting it up over the frame of a window the
// size of the monitor's and taking it down again, on the headless host.

#include "platform/host/HeadlessHost.h"
#include "platform/win/MessageLoop.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sVerdantSkin.h"
#include "skin/frame/qcDials.h"
#include "skin/frame/sSkinProvider.h"
#include "skin/frame/sWindowStates.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A skinned tool window of the monitor's size, adopted through the hook.
struct TFramedWindow {
  TFramedWindow() {
    RegisterWindowHook();
    SetSkinCommandLine({});
    App = std::make_unique<TApplication>();
    App->Initialize();
    Manager = std::make_unique<TsSkinManager>();
    auto& verdant = Manager->InternalSkins.Add();
    verdant.SetName(VerdantSkinName);
    const auto data = VerdantSkinData();
    verdant.ReadData(data.data(), data.size());
    Manager->SetSkinName(VerdantSkinName);
    Form = App->CreateForm<TForm>();
    Form->SetBorderStyle(bsToolWindow);
    Form->SetBorderIcons({biSystemMenu});
    Form->SetBoundsRect({40, 30, 780, 420});
    Form->SetCaption("MIDI Monitor");
    Form->Show();
    platform::PumpUntilIdle();
  }
  platform::HeadlessHost Host{{1280, 1024}};
  std::unique_ptr<TApplication> App;
  std::unique_ptr<TsSkinManager> Manager;
  TForm* Form = nullptr;
};

void BM_CoverWindowShowHide(benchmark::State& aState) {
  TFramedWindow window;
  TsSkinProvider* provider = TsSkinProvider::Of(window.Form);
  if (provider == nullptr) {
    aState.SkipWithError("the form was not adopted");
    return;
  }
  TsWindowStates states(*provider);
  for (auto _ : aState) {
    states.ShowCoverWindow();
    benchmark::DoNotOptimize(states.CoverWindow());
    states.HideCoverWindow();
  }
}
BENCHMARK(BM_CoverWindowShowHide)->Unit(benchmark::kMicrosecond);

} // namespace
