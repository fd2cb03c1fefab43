#pragma once
// What the screen shows of a window now: a part of its top-level window's
// frame as the window layer composed it, cut out where the window lies and
// made opaque (frames carry no meaningful alpha).

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"

namespace pixelcheck {

// aPart, in aWnd's window coordinates, of what its top-level window shows.
platform::Bitmap WindowShot(platform::HWND aWnd, const TRect& aPart);
// The whole window.
platform::Bitmap WindowShot(platform::HWND aWnd);
// The window's client area.
platform::Bitmap ClientShot(platform::HWND aWnd);

} // namespace pixelcheck
