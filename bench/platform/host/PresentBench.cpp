// Presenting one full 732 x 351 frame of a top-level window on an Xvfb server
// of the benchmark's own (shared memory when the server offers it), and
// composing the screen image for a screenshot.

#include "../../../tests/platform/host/XvfbServer.h"
#include "platform/gfx/Raster.h"
#include "platform/host/ScreenComposer.h"
#include "platform/host/X11Host.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowHost.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

void BM_PresentFrameOnXvfb(benchmark::State& aState) {
  XvfbServer server;
  std::string error;
  auto host = server.Running() ? X11Host::Open(server.Display().c_str(), error) : nullptr;
  if (!host) {
    aState.SkipWithError(("no X server: " + server.Why() + error).c_str());
    return;
  }
  WNDCLASSEXW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = "TPresentBench";
  RegisterClassExW(&wc);
  HWND top = CreateWindowExW(0, "TPresentBench", "Monitor", WS_POPUP | WS_VISIBLE, 10, 10, 732, 351,
                             nullptr, nullptr, nullptr, nullptr);
  PumpUntilIdle();
  host->Sync();
  Bitmap frame(732, 351);
  raster::Fill(frame, frame.BoundsRect(), 0xFF336699u);
  const Region all(frame.BoundsRect());
  for (auto _ : aState) {
    host->Present(top, frame, all);
    host->Sync();
  }
  aState.counters["shm"] = host->UsesSharedMemory() ? 1 : 0;
  DestroyWindow(top);
}
BENCHMARK(BM_PresentFrameOnXvfb)->Unit(benchmark::kMicrosecond);

} // namespace
