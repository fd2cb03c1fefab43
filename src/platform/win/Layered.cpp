#include "platform/win/Layered.h"

#include "platform/gfx/Raster.h"
#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

namespace platform {

using namespace detail;

namespace {

Window* LayeredTop(HWND aWnd) {
  Window* w = Live(aWnd);
  return w && w->IsTopLevel() && (w->ExStyle & WS_EX_LAYERED) ? w : nullptr;
}

} // namespace

BOOL UpdateLayeredWindow(HWND aWnd, HDC, const POINT* aDst, const SIZE* aSize, HDC aSrc,
                         const POINT* aSrcPoint, COLORREF aKey, const BLENDFUNCTION* aBlend,
                         DWORD aFlags) {
  Window* w = LayeredTop(aWnd);
  if (!w)
    return FALSE;
  const TSize size = aSize ? *aSize : TSize{w->Rect.Width(), w->Rect.Height()};
  const POINT from = aSrcPoint ? *aSrcPoint : POINT{};
  const Bitmap* source = aSrc ? aSrc->SelectedBitmap() : nullptr;
  if (aSrc && (!source || from.X < 0 || from.Y < 0 || size.cx <= 0 || size.cy <= 0 ||
               from.X + size.cx > source->Width() || from.Y + size.cy > source->Height()))
    return FALSE;
  if (aDst || aSize) {
    const POINT at = aDst ? *aDst : POINT{w->Rect.Left, w->Rect.Top};
    SetWindowPos(aWnd, nullptr, at.X, at.Y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (!(w = LayeredTop(aWnd)))
      return FALSE;
  }
  w->LayerPerPixel = (aFlags & ULW_ALPHA) && aBlend && (aBlend->AlphaFormat & AC_SRC_ALPHA);
  w->LayerAlpha = (aFlags & ULW_ALPHA) && aBlend ? aBlend->SourceConstantAlpha : 255;
  w->LayerFlags = (aFlags & ULW_COLORKEY) ? LWA_COLORKEY : 0;
  w->LayerKey = aKey;
  w->LayerUpdated = true;
  ForgetPaint(w);
  if (source)
    raster::Copy(w->Backing, Bounds(0, 0, size.cx, size.cy), *source, from);
  w->Dirty = Region();
  if (IsShowing(w))
    HostOf().Present(aWnd, w->Backing, Region(w->WindowBounds()));
  HostOf().WindowChanged(aWnd);
  return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND aWnd, COLORREF aKey, BYTE aAlpha, DWORD aFlags) {
  Window* w = LayeredTop(aWnd);
  if (!w)
    return FALSE;
  w->LayerPerPixel = false;
  w->LayerUpdated = false;
  w->LayerFlags = aFlags & (LWA_ALPHA | LWA_COLORKEY);
  w->LayerAlpha = (aFlags & LWA_ALPHA) ? aAlpha : 255;
  w->LayerKey = aKey;
  HostOf().WindowChanged(aWnd);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND aWnd, COLORREF* aKey, BYTE* aAlpha, DWORD* aFlags) {
  Window* w = LayeredTop(aWnd);
  if (!w)
    return FALSE;
  if (aKey)
    *aKey = w->LayerKey;
  if (aAlpha)
    *aAlpha = w->LayerAlpha;
  if (aFlags)
    *aFlags = w->LayerFlags | (w->LayerAlpha != 255 ? LWA_ALPHA : 0);
  return TRUE;
}

bool LayeredWindowsSupported() {
  return HostOf().LayeredSupported();
}

LayerInfo GetLayerInfo(HWND aWnd) {
  LayerInfo info;
  Window* w = LayeredTop(aWnd);
  if (!w)
    return info;
  info.Layered = true;
  info.PerPixelAlpha = w->LayerPerPixel;
  info.Alpha = w->LayerAlpha;
  info.UseKey = (w->LayerFlags & LWA_COLORKEY) != 0;
  info.Key = w->LayerKey;
  return info;
}

} // namespace platform
