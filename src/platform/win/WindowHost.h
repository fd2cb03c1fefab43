#pragma once
// Where top-level windows appear. The window layer tells its host about
// top-level windows and hands it their composed frames; the host feeds input
// back through the functions of Input.h and waits for events when the message
// loop is idle. All calls run on the user-interface thread.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"

namespace platform {

class WindowHost {
public:
  virtual ~WindowHost() = default;

  virtual TSize ScreenSize() const = 0;
  // The part of the screen where windows are placed, without the desktop's
  // panels and docks (screen coordinates). The whole screen unless the host
  // knows better.
  virtual TRect WorkArea() const;
  // Whether layered windows with per-pixel alpha can be shown as such.
  virtual bool LayeredSupported() const = 0;
  // The factor by which the host shows every top-level window enlarged on
  // the screen (1: as it is). Everything the layer sees (screen size, work
  // area, window rectangles, pointer positions) is in unscaled pixels.
  virtual int Scale() const { return 1; }

  virtual void WindowCreated(HWND aWnd) = 0;
  virtual void WindowDestroyed(HWND aWnd) = 0;
  // Position and size (screen coordinates), visibility, minimized state and
  // stacking of a top-level window changed.
  virtual void WindowChanged(HWND aWnd) = 0;
  // The window's shape changed (GetWindowRgn tells the new one).
  virtual void ShapeChanged(HWND aWnd) = 0;
  // The top-level window's composed frame; aDirty (window coordinates) says
  // which part changed since the last call.
  virtual void Present(HWND aWnd, const Bitmap& aFrame, const Region& aDirty) = 0;
  // The mouse cursor over the top-level window changed (Cursor.h).
  virtual void CursorChanged(HWND aWnd, HCURSOR aCursor) = 0;
  // The window became the active one; the host gives it the input focus.
  virtual void Activated(HWND aWnd) = 0;
  // Asks the host to move or size the window by a window-manager drag from
  // the hit code's edge (HTCAPTION: move). Returns false when the layer must
  // run the drag itself.
  virtual bool BeginMoveSize(HWND aWnd, LRESULT aHit) = 0;

  // Reads pending events without waiting and feeds them to the layer.
  // Returns whether there were any.
  virtual bool ProcessEvents() = 0;
  // Waits until an event arrives, the wake-up descriptor aWakeFd becomes
  // readable or aTimeoutMs passes (-1: no limit); then processes events.
  virtual void Wait(int aWakeFd, int aTimeoutMs) = 0;
};

// The host of the user-interface thread; the layer keeps a plain in-memory one
// until this is called. The host must outlive every window.
void SetWindowHost(WindowHost* aHost);
WindowHost* GetWindowHost();

// The composed frame (backing bitmap) of a top-level window; nullptr for
// other windows. Valid until the window is resized or destroyed.
const Bitmap* TopLevelFrame(HWND aWnd);

} // namespace platform
