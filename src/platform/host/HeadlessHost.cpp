#include "platform/host/HeadlessHost.h"

#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SystemColors.h"
#include "platform/host/ScreenComposer.h"
#include "platform/win/MessageLoop.h"

#include <poll.h>

namespace platform {

HeadlessHost::HeadlessHost(TSize aScreen, int aScale) : fScreen(aScreen), fScale(aScale) {
  SetScreenMetrics(aScreen.cx, aScreen.cy);
  SetWindowHost(this);
}

HeadlessHost::~HeadlessHost() {
  if (GetWindowHost() == this)
    SetWindowHost(nullptr);
}

void HeadlessHost::Present(HWND, const Bitmap&, const Region& aDirty) {
  ++fPresents;
  fLastDirty = aDirty.Bounds();
}

void HeadlessHost::Wait(int aWakeFd, int aTimeoutMs) {
  pollfd fd{aWakeFd, POLLIN, 0};
  poll(&fd, 1, aTimeoutMs);
}

void HeadlessHost::MoveMouse(POINT aAt) {
  InputMouseMove(aAt);
}

void HeadlessHost::Press(MouseButton aButton, POINT aAt) {
  InputMouseMove(aAt);
  InputMouseButton(aButton, true, aAt);
}

void HeadlessHost::Release(MouseButton aButton, POINT aAt) {
  InputMouseMove(aAt);
  InputMouseButton(aButton, false, aAt);
}

void HeadlessHost::Click(POINT aAt, MouseButton aButton) {
  Press(aButton, aAt);
  InputMouseButton(aButton, false, aAt);
}

void HeadlessHost::Drag(POINT aFrom, POINT aTo, int aSteps) {
  Press(MouseButton::Left, aFrom);
  aSteps = std::max(aSteps, 1);
  for (int i = 1; i <= aSteps; ++i)
    InputMouseMove(
        {aFrom.X + (aTo.X - aFrom.X) * i / aSteps, aFrom.Y + (aTo.Y - aFrom.Y) * i / aSteps});
  InputMouseButton(MouseButton::Left, false, aTo);
}

void HeadlessHost::Key(int aVirtKey, char32_t aChar) {
  InputKey(aVirtKey, true, aChar);
  InputKey(aVirtKey, false, 0);
}

int HeadlessHost::PumpUntilIdle() {
  return platform::PumpUntilIdle();
}

Bitmap HeadlessHost::CaptureScreen() const {
  return ComposeScreen(fScreen, LayeredSupported());
}

Bitmap HeadlessHost::CaptureWindow(HWND aWnd) const {
  return platform::CaptureWindow(aWnd);
}

bool HeadlessHost::SaveScreenPng(const std::string& aPath, std::string& aError) const {
  const FileResult r = SavePngFile(CaptureScreen(), aPath, PngAlpha::Opaque);
  aError = r.Error;
  return r.Ok();
}

bool HeadlessHost::SaveWindowPng(HWND aWnd, const std::string& aPath, std::string& aError) const {
  const Bitmap frame = CaptureWindow(aWnd);
  if (frame.Empty()) {
    aError = "no such top-level window";
    return false;
  }
  const FileResult r = SavePngFile(frame, aPath, PngAlpha::Opaque);
  aError = r.Error;
  return r.Ok();
}

} // namespace platform
