#pragma once
// Showing a premultiplied 32-bit image in a layered window.

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"

// Presents aImage as the whole content of layered window aWnd, placed at
// screen point aAt, with per-pixel alpha and constant opacity aOpacity.
void PresentLayeredImage(platform::HWND aWnd, platform::Bitmap& aImage, TPoint aAt,
                         platform::BYTE aOpacity);
