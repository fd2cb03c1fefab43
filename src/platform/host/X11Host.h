#pragma once
// The X11 host: one undecorated X window per top-level window (the layer draws
// every frame), frames presented through MIT-SHM or plain XPutImage, window
// regions through XShape, mouse, wheel, keys (with text), focus, enter and
// leave, expose and configure fed into the layer. Moving and sizing go
// through the window manager's move-resize request when one runs; without
// one (Xvfb) the layer drags the window itself. On a high-density screen
// every window shows enlarged by a whole factor, each pixel a block, while
// the layer keeps its unscaled coordinates. Layered windows are shown
// blended only when a compositor runs (ARGB visual). The loop waits on the X
// connection, the layer's wake-up and the next timer. User-interface thread
// only.

#include "platform/win/WindowHost.h"

#include <memory>
#include <string>

namespace platform {

class X11Host final : public WindowHost {
public:
  // Opens the display (nullptr or "": $DISPLAY) and installs the host; on
  // failure returns nullptr with aError saying why. aScale (1 to 3, or
  // AutoDisplayScale: from GDK_SCALE or the X resource Xft.dpi) enlarges
  // every window on the screen by that factor, pixel by pixel.
  static std::unique_ptr<X11Host> Open(const char* aDisplay, std::string& aError, int aScale = 1);
  ~X11Host() override;
  X11Host(const X11Host&) = delete;
  X11Host& operator=(const X11Host&) = delete;

  TSize ScreenSize() const override;
  // From the window manager's _NET_WORKAREA for the current desktop.
  TRect WorkArea() const override;
  bool LayeredSupported() const override;
  int Scale() const override;
  void WindowCreated(HWND aWnd) override;
  void WindowDestroyed(HWND aWnd) override;
  void WindowChanged(HWND aWnd) override;
  void ShapeChanged(HWND aWnd) override;
  void Present(HWND aWnd, const Bitmap& aFrame, const Region& aDirty) override;
  void CursorChanged(HWND aWnd, HCURSOR aCursor) override;
  void Activated(HWND aWnd) override;
  bool BeginMoveSize(HWND aWnd, LRESULT aHit) override;
  bool ProcessEvents() override;
  void Wait(int aWakeFd, int aTimeoutMs) override;

  // The X window id of a top-level window (0 for none), for tests.
  unsigned long NativeWindow(HWND aWnd) const;
  // Whether frames go through shared memory.
  bool UsesSharedMemory() const;
  // Waits until the X server has handled every request sent so far.
  void Sync();

private:
  struct Impl;
  explicit X11Host(std::unique_ptr<Impl> aImpl);
  std::unique_ptr<Impl> fImpl;
};

} // namespace platform
