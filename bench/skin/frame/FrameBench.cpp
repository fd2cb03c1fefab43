// The skinned frame of a window the size of the monitor's, adopted by the
// window hook with the built-in skin: its repaint when the window is
// activated or deactivated (the title's two states make the frame cache
// rebuild each time) and its rebuild after the window's size changed.

#include "platform/win/MessageLoop.h"
#include "platform/win/WindowGeometry.h"
#include "skin/controls/VerdantWindow.h"
#include "skin/frame/qcDials.h"
#include "skin/frame/sSkinProvider.h"
#include "toolkit/Forms.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

// The application, the manager and one adopted tool window.
class FramedWindow {
public:
  FramedWindow() {
    Form = fSkin.App->CreateForm<TForm>();
    Form->SetBorderStyle(bsToolWindow);
    Form->SetBorderIcons({biSystemMenu});
    Form->SetBounds(40, 30, 738, 372);
    Form->SetCaption("Sonaro MidiMonitor www.sonaro.example");
    Form->Show();
    platform::PumpUntilIdle();
  }
  bool Framed() { return TsSkinProvider::Of(Form) != nullptr; }

  TForm* Form = nullptr;

private:
  // The hook is in place before the manager is made.
  bool fHooked = (RegisterWindowHook(), true);
  TVerdantApp fSkin;
};

void BM_FrameRepaintOnActivation(benchmark::State& aState) {
  FramedWindow window;
  if (!window.Framed()) {
    aState.SkipWithError("the window was not adopted");
    return;
  }
  const platform::HWND wnd = window.Form->Handle();
  bool active = false;
  for (auto _ : aState) {
    platform::SendMessageW(wnd, platform::WM_NCACTIVATE, active ? 1 : 0, 0);
    active = !active;
  }
}
BENCHMARK(BM_FrameRepaintOnActivation)->Unit(benchmark::kMicrosecond);

void BM_FrameRebuildAfterResize(benchmark::State& aState) {
  FramedWindow window;
  if (!window.Framed()) {
    aState.SkipWithError("the window was not adopted");
    return;
  }
  const platform::HWND wnd = window.Form->Handle();
  int step = 0;
  for (auto _ : aState) {
    const int grow = step++ % 2 == 0 ? 20 : 0;
    platform::SetWindowPos(wnd, nullptr, 0, 0, 738 + grow, 372 + grow,
                           platform::SWP_NOMOVE | platform::SWP_NOZORDER |
                               platform::SWP_NOACTIVATE);
  }
}
BENCHMARK(BM_FrameRebuildAfterResize)->Unit(benchmark::kMicrosecond);

} // namespace
