#include "support/ScreenShot.h"

#include "platform/host/ScreenComposer.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "support/PixelCheck.h"

namespace pixelcheck {

namespace {

// aPart, given relative to the screen point aOrigin, of the top-level
// window's frame.
platform::Bitmap ShotAt(platform::HWND aWnd, TPoint aOrigin, const TRect& aPart) {
  const platform::HWND top = platform::GetAncestor(aWnd, platform::GA_ROOT);
  platform::RECT window{};
  platform::GetWindowRect(top, &window);
  return Cropped(platform::CaptureWindow(top),
                 aPart.Offset(aOrigin.X - window.Left, aOrigin.Y - window.Top));
}

} // namespace

platform::Bitmap WindowShot(platform::HWND aWnd, const TRect& aPart) {
  platform::RECT r{};
  platform::GetWindowRect(aWnd, &r);
  return ShotAt(aWnd, {r.Left, r.Top}, aPart);
}

platform::Bitmap WindowShot(platform::HWND aWnd) {
  platform::RECT r{};
  platform::GetWindowRect(aWnd, &r);
  return ShotAt(aWnd, {r.Left, r.Top}, {0, 0, r.Width(), r.Height()});
}

platform::Bitmap ClientShot(platform::HWND aWnd) {
  platform::POINT origin{0, 0};
  platform::ClientToScreen(aWnd, &origin);
  platform::RECT client{};
  platform::GetClientRect(aWnd, &client);
  return ShotAt(aWnd, {origin.X, origin.Y}, TRect(client));
}

} // namespace pixelcheck
