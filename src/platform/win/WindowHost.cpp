#include "platform/win/WindowHost.h"

#include "platform/gfx/SystemColors.h"
#include "platform/win/WindowState.h"

#include <poll.h>

namespace platform {

namespace {

// Until a host is set, windows live only in memory and waiting waits for the
// wake-up and the next timer.
class MemoryHost final : public WindowHost {
public:
  TSize ScreenSize() const override {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  bool LayeredSupported() const override { return false; }
  void WindowCreated(HWND) override {}
  void WindowDestroyed(HWND) override {}
  void WindowChanged(HWND) override {}
  void ShapeChanged(HWND) override {}
  void Present(HWND, const Bitmap&, const Region&) override {}
  void CursorChanged(HWND, HCURSOR) override {}
  void Activated(HWND) override {}
  bool BeginMoveSize(HWND, LRESULT) override { return false; }
  bool ProcessEvents() override { return false; }
  void Wait(int aWakeFd, int aTimeoutMs) override {
    pollfd fd{aWakeFd, POLLIN, 0};
    poll(&fd, 1, aTimeoutMs);
  }
};

MemoryHost& Memory() {
  static MemoryHost host;
  return host;
}

} // namespace

TRect WindowHost::WorkArea() const {
  const TSize screen = ScreenSize();
  return {0, 0, screen.cx, screen.cy};
}

void SetWindowHost(WindowHost* aHost) {
  detail::Ui().Host = aHost;
}

WindowHost* GetWindowHost() {
  return &detail::HostOf();
}

const Bitmap* TopLevelFrame(HWND aWnd) {
  detail::Window* w = detail::Live(aWnd);
  return w && w->IsTopLevel() ? &w->Backing : nullptr;
}

namespace detail {

WindowHost& HostOf() {
  WindowHost* host = Ui().Host;
  return host ? *host : Memory();
}

} // namespace detail

} // namespace platform
