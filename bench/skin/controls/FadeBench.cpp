// One step of a button's fade with the built-in skin: the frame blended from
// the old and the new look and shown on the button's window, as every 12 ms
// tick does; next to it the blend alone. A step must stay well under 1 ms.

#include "platform/win/MessageLoop.h"
#include "skin/controls/VerdantWindow.h"
#include "skin/controls/sButton.h"
#include "skin/paint/sFade.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A form with one 75 x 25 button of the built-in skin, painted once.
struct TButtonWindow {
  TButtonWindow() {
    {
      TLoadingBracket bracket;
      Button = new TsButton(Window.Form);
      Button->SetParent(Window.Form);
      Button->SetBounds(20, 20, 75, 25);
      Button->SetCaption("OK");
    }
    platform::PumpUntilIdle();
  }
  TVerdantWindow Window{Bounds(50, 50, 200, 100)};
  TsButton* Button = nullptr;
};

void BM_ButtonFadeStep(benchmark::State& aState) {
  TButtonWindow window;
  std::unique_ptr<TsFadeTimer> timer;
  StartFade(timer, std::make_unique<TsControlFadeTarget>(window.Button->SkinData), false,
            TFadeDirection::fdUp);
  int step = 0;
  for (auto _ : aState) {
    timer->FadeLevel = 1 + step++ % TsFadeTimer::FullIterations;
    timer->Change();
  }
  StopFade(timer);
}
BENCHMARK(BM_ButtonFadeStep)->Unit(benchmark::kMicrosecond);

void BM_FadeFrameBlend75x25(benchmark::State& aState) {
  TButtonWindow window;
  const platform::Bitmap& look = *window.Button->SkinData.CacheBmp();
  const platform::Bitmap old = look;
  int alpha = 0;
  for (auto _ : aState) {
    platform::Bitmap frame = FadeFrame(old, look, look.BoundsRect(), alpha);
    benchmark::DoNotOptimize(frame);
    alpha = (alpha + 23) % 256;
  }
}
BENCHMARK(BM_FadeFrameBlend75x25)->Unit(benchmark::kMicrosecond);

} // namespace
