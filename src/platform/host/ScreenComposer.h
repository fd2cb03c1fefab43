#pragma once
// The screen as the user sees it, composed from the frames of the top-level
// windows: the desktop colour, then every visible window bottom to top,
// clipped to its region, layered windows blended (when the host shows them
// blended) or opaque. Used for screenshots and by the headless host.

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"

namespace platform {

// aBlendLayers: blend layered windows by their alpha and colour key; without
// it they are drawn opaque, as on a display without a compositor.
Bitmap ComposeScreen(TSize aScreen, bool aBlendLayers);

// A copy of one top-level window's frame (pixels outside its region keep the
// desktop colour); empty for other windows.
Bitmap CaptureWindow(HWND aWnd);

} // namespace platform
