// One full repaint of a 732 x 351 window with twenty child windows: every
// message, the clipping of each window DC and the hand-over of the frame to
// the host; the window procedures draw nothing.

#include "platform/host/HeadlessHost.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"

#include <benchmark/benchmark.h>

using namespace platform;

namespace {

// Paints nothing: only BeginPaint / EndPaint and the default frame messages
// with an empty frame.
LRESULT QuietProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  switch (aMsg) {
  case WM_NCPAINT:
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    BeginPaint(aWnd, &ps);
    EndPaint(aWnd, &ps);
    return 0;
  }
  }
  return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
}

struct MainWindow {
  HWND Top = nullptr;
  explicit MainWindow(bool aDefaultPainting) {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = aDefaultPainting ? DefWindowProcW : QuietProc;
    wc.lpszClassName = aDefaultPainting ? "TBenchDefault" : "TBenchQuiet";
    wc.hbrBackground =
        aDefaultPainting ? reinterpret_cast<HBRUSH>(std::uintptr_t(15 + 1)) : nullptr;
    RegisterClassExW(&wc);
    Top = CreateWindowExW(0, wc.lpszClassName, "Monitor",
                          WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 10, 10, 732, 351,
                          nullptr, nullptr, nullptr, nullptr);
    // Twenty children in a grid, half of them framed like list boxes.
    for (int i = 0; i < 20; ++i) {
      const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (i % 2 ? WS_BORDER : 0);
      CreateWindowExW(i % 4 == 1 ? WS_EX_CLIENTEDGE : 0, wc.lpszClassName, "", style,
                      8 + (i % 5) * 142, 8 + (i / 5) * 76, 134, 68, Top, nullptr, nullptr, nullptr);
    }
    PumpUntilIdle();
  }
  ~MainWindow() {
    DestroyWindow(Top);
    PumpUntilIdle();
  }
};

void BM_FullRepaintTwentyChildren(benchmark::State& aState) {
  HeadlessHost host;
  MainWindow main(aState.range(0) != 0);
  for (auto _ : aState) {
    RedrawWindow(main.Top, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpUntilIdle();
  }
  aState.counters["presents"] = host.PresentCount();
}
// 0: procedures draw nothing; 1: the default frame and background painting.
BENCHMARK(BM_FullRepaintTwentyChildren)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
