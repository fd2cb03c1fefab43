// Presenting one full frame of a top-level window of the monitor's size
// (738 x 372) on an Xvfb server of the benchmark's own: the first argument 1
// through shared memory, 0 through plain XPutImage (the server started
// without MIT-SHM); the second the scale the window shows enlarged by. The
// enlargement alone, in memory, is measured too.

#include "platform/gfx/Enlarge.h"
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

constexpr int FrameWidth = 738;
constexpr int FrameHeight = 372;

void BM_PresentFrameOnXvfb(benchmark::State& aState) {
  const bool shm = aState.range(0) != 0;
  const int scale = int(aState.range(1));
  XvfbServer server(2400, 1200,
                    shm ? std::vector<std::string>{}
                        : std::vector<std::string>{"-extension", "MIT-SHM"});
  std::string error;
  auto host = server.Running() ? X11Host::Open(server.Display().c_str(), error, scale) : nullptr;
  if (!host) {
    aState.SkipWithError(("no X server: " + server.Why() + error).c_str());
    return;
  }
  WNDCLASSEXW wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = "TPresentBench";
  RegisterClassExW(&wc); // the second run finds it registered
  HWND top = CreateWindowExW(0, "TPresentBench", "Monitor", WS_POPUP | WS_VISIBLE, 10, 10,
                             FrameWidth, FrameHeight, nullptr, nullptr, nullptr, nullptr);
  PumpUntilIdle();
  host->Sync();
  Bitmap frame(FrameWidth, FrameHeight);
  raster::Fill(frame, frame.BoundsRect(), 0xFF336699u);
  const Region all(frame.BoundsRect());
  for (auto _ : aState) {
    host->Present(top, frame, all);
    host->Sync();
  }
  aState.counters["shm"] = host->UsesSharedMemory() ? 1 : 0;
  DestroyWindow(top);
}
BENCHMARK(BM_PresentFrameOnXvfb)
    ->ArgsProduct({{1, 0}, {1, 2, 3}})
    ->ArgNames({"shm", "scale"})
    ->Unit(benchmark::kMicrosecond);

// The enlargement of a whole frame into a bitmap of the enlarged size.
void BM_EnlargeFrame(benchmark::State& aState) {
  const int scale = int(aState.range(0));
  Bitmap frame(FrameWidth, FrameHeight);
  raster::Fill(frame, frame.BoundsRect(), 0xFF336699u);
  Bitmap target(FrameWidth * scale, FrameHeight * scale);
  for (auto _ : aState) {
    EnlargeInto(frame, frame.BoundsRect(), scale, target.ScanLine(0), target.Stride());
    benchmark::DoNotOptimize(target.ScanLine(0));
  }
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * target.Width() * target.Height() *
                           4);
}
BENCHMARK(BM_EnlargeFrame)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

} // namespace
