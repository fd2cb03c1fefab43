// One step of a caption button's cross-fade: the frame blended from the old
// and the new look of the close button of a window the size of the monitor's
// and copied to the window. A step must stay far below the fade timer's 12 ms.

#include "platform/win/MessageLoop.h"
#include "skin/controls/VerdantWindow.h"
#include "skin/frame/qcDials.h"
#include "skin/frame/sSkinProvider.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

void BM_CaptionButtonFadeStep(benchmark::State& aState) {
  RegisterWindowHook();
  TVerdantApp skin;
  TForm* form = skin.App->CreateForm<TForm>();
  form->SetBorderStyle(bsToolWindow);
  form->SetBorderIcons({biSystemMenu});
  form->SetBounds(40, 30, 738, 372);
  form->SetCaption("Sonaro MidiMonitor www.sonaro.example");
  form->Show();
  {
    // The timers stand still; the benchmark steps the fade itself.
    platform::ManualTimerClock clock;
    platform::PumpUntilIdle();
    TsSkinProvider* provider = TsSkinProvider::Of(form);
    if (provider == nullptr) {
      aState.SkipWithError("the window was not adopted");
      return;
    }
    TsCaptionMouse& mouse = provider->CaptionMouse();
    bool hot = false;
    for (auto _ : aState) {
      TsFadeTimer* fade = mouse.FadeOf(platform::HTCLOSE);
      if (fade == nullptr || fade->FadeLevel > fade->Iterations) {
        aState.PauseTiming();
        hot = !hot;
        mouse.SetHotHT(hot ? int(platform::HTCLOSE) : 0, true);
        fade = mouse.FadeOf(platform::HTCLOSE);
        aState.ResumeTiming();
        if (fade == nullptr) {
          aState.SkipWithError("the close button does not fade");
          break;
        }
      }
      fade->Change();
    }
    mouse.KillAnimations();
  }
}
BENCHMARK(BM_CaptionButtonFadeStep)->Unit(benchmark::kMicrosecond);

} // namespace
