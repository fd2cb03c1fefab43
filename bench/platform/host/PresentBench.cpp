// Presenting one full 732 x 351 frame of a top-level window on an Xvfb server
// of the benchmark's own: argument 1 through shared memory, 0 through plain
// XPutImage (the server started without MIT-SHM).

#include "platform/gfx/Raster.h"
#include "platform/host/ScreenComposer.h"
#include "platform/host/X11Host.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowHost.h"
#include "support/XvfbServer.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

void BM_PresentFrameOnXvfb(benchmark::State& aState) {
  const bool shm = aState.range(0) != 0;
  XvfbServer server(1024, 768,
                    shm ? std::vector<std::string>{}
                        : std::vector<std::string>{"-extension", "MIT-SHM"});
  std::string error;
  auto host = server.Running() ? X11Host::Open(server.Display().c_str(), error) : nullptr;
  if (!host) {
    aState.SkipWithError(("no X server: " + server.Why() + error).c_str());
    return;
  }
  WNDCLASSEXW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = "TPresentBench";
  RegisterClassExW(&wc); // the second run finds it registered
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
BENCHMARK(BM_PresentFrameOnXvfb)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
