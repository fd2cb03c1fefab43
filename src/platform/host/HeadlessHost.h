#pragma once
// The host without a display: top-level windows live in memory, tests (and
// the program's --headless mode) inject input at screen points and keys, and
// a frame of any window or of the whole screen can be taken or saved as PNG.
// User-interface thread only.

#include "platform/gfx/Bitmap.h"
#include "platform/win/Input.h"
#include "platform/win/WindowHost.h"

#include <string>

namespace platform {

class HeadlessHost final : public WindowHost {
public:
  // Installs itself as the window host; the screen size becomes the system
  // metrics' screen size. aScale is the factor screenshots are enlarged by.
  explicit HeadlessHost(TSize aScreen = {1280, 1024}, int aScale = 1);
  ~HeadlessHost() override;
  HeadlessHost(const HeadlessHost&) = delete;
  HeadlessHost& operator=(const HeadlessHost&) = delete;

  TSize ScreenSize() const override { return fScreen; }
  // Layered windows are blended in memory.
  bool LayeredSupported() const override { return true; }
  int Scale() const override { return fScale; }
  void WindowCreated(HWND) override {}
  void WindowDestroyed(HWND) override {}
  void WindowChanged(HWND) override {}
  void ShapeChanged(HWND) override {}
  void Present(HWND aWnd, const Bitmap& aFrame, const Region& aDirty) override;
  void CursorChanged(HWND, HCURSOR) override {}
  void Activated(HWND) override {}
  bool BeginMoveSize(HWND, LRESULT) override { return false; }
  bool ProcessEvents() override { return false; }
  void Wait(int aWakeFd, int aTimeoutMs) override;

  // Input at screen points; takes effect when the loop runs.
  void MoveMouse(POINT aAt);
  void Press(MouseButton aButton, POINT aAt);
  void Release(MouseButton aButton, POINT aAt);
  void Click(POINT aAt, MouseButton aButton = MouseButton::Left);
  void Drag(POINT aFrom, POINT aTo, int aSteps = 4);
  void Key(int aVirtKey, char32_t aChar = 0);

  // Runs the loop until nothing is left to do; returns the messages handled.
  int PumpUntilIdle();

  Bitmap CaptureScreen() const;
  Bitmap CaptureWindow(HWND aWnd) const;
  // Writes the whole screen as PNG; false with aError set on failure.
  bool SaveScreenPng(const std::string& aPath, std::string& aError) const;
  bool SaveWindowPng(HWND aWnd, const std::string& aPath, std::string& aError) const;

  // How many frames were presented, and the dirty bounds of the last one.
  int PresentCount() const { return fPresents; }
  TRect LastDirty() const { return fLastDirty; }

private:
  TSize fScreen;
  int fScale = 1;
  int fPresents = 0;
  TRect fLastDirty;
};

} // namespace platform
