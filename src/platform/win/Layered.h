#pragma once
// Layered windows (WS_EX_LAYERED top-level windows): per-pixel alpha through
// UpdateLayeredWindow, constant opacity and colour key through
// SetLayeredWindowAttributes. Whether the display can show them blended is
// the host's answer; without it they are shown opaque.

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/win/WinDefs.h"

namespace platform {

// Copies aSize pixels from aSrc (at aSrcPoint) into the window's frame and
// presents it; aDst and aSize also move and size the window. With ULW_ALPHA
// and AC_SRC_ALPHA the pixels are premultiplied BGRA. FALSE for a window
// without WS_EX_LAYERED, a missing source or a size that does not fit it.
BOOL UpdateLayeredWindow(HWND aWnd, HDC aDstDC, const POINT* aDst, const SIZE* aSize, HDC aSrc,
                         const POINT* aSrcPoint, COLORREF aKey, const BLENDFUNCTION* aBlend,
                         DWORD aFlags);
BOOL SetLayeredWindowAttributes(HWND aWnd, COLORREF aKey, BYTE aAlpha, DWORD aFlags);
BOOL GetLayeredWindowAttributes(HWND aWnd, COLORREF* aKey, BYTE* aAlpha, DWORD* aFlags);
// Whether the host shows layered windows blended with what lies below.
bool LayeredWindowsSupported();

// How a top-level window is to be blended, for hosts and screen composition.
struct LayerInfo {
  bool Layered = false;
  bool PerPixelAlpha = false; // the frame holds premultiplied alpha
  BYTE Alpha = 255;           // constant opacity (LWA_ALPHA / SourceConstantAlpha)
  bool UseKey = false;        // pixels of Key are transparent
  COLORREF Key = 0;
};
LayerInfo GetLayerInfo(HWND aWnd);

} // namespace platform
