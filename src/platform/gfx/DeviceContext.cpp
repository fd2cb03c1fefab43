#include "platform/gfx/DeviceContext.h"

#include "platform/gfx/SystemColors.h"

#include <algorithm>
#include <new>

namespace platform {

DeviceContext::DeviceContext() {
  fState.BrushHandle = GetStockBrush(WHITE_BRUSH);
  fState.BrushValue = *fState.BrushHandle;
  fState.PenHandle = GetStockPen(BLACK_PEN);
  fState.PenValue = *fState.PenHandle;
}

namespace {

int Limit(std::int64_t aValue) {
  return int(std::clamp<std::int64_t>(aValue, -CoordinateLimit, CoordinateLimit));
}

} // namespace

TRect DeviceContext::Limited(std::int64_t aLeft, std::int64_t aTop, std::int64_t aRight,
                             std::int64_t aBottom) {
  return {Limit(aLeft), Limit(aTop), Limit(aRight), Limit(aBottom)};
}

TRect DeviceContext::ToDevice(const TRect& aLogical) const {
  const TPoint o = fState.ViewportOrigin;
  return Limited(std::int64_t(aLogical.Left) + o.X, std::int64_t(aLogical.Top) + o.Y,
                 std::int64_t(aLogical.Right) + o.X, std::int64_t(aLogical.Bottom) + o.Y);
}

TPoint DeviceContext::ToDevice(TPoint aLogical) const {
  const TPoint o = fState.ViewportOrigin;
  return {Limit(std::int64_t(aLogical.X) + o.X), Limit(std::int64_t(aLogical.Y) + o.Y)};
}

void DeviceContext::SetDeviceOrigin(TPoint aOrigin) {
  fDeviceOrigin = aOrigin;
  ClipChanged();
}

void DeviceContext::SetSystemClip(const Region* aRegion) {
  if (aRegion)
    fSystemClip = *aRegion;
  else
    fSystemClip.reset();
  ClipChanged();
}

TRect DeviceContext::DeviceBounds() const {
  if (!fState.SelectedBitmap)
    return {};
  return fState.SelectedBitmap->BoundsRect().Offset(-fDeviceOrigin.X, -fDeviceOrigin.Y);
}

void DeviceContext::ClipChanged() {
  fClip = Region(DeviceBounds());
  if (fSystemClip)
    fClip = fClip.Intersect(*fSystemClip);
  if (fState.UserClip)
    fClip = fClip.Intersect(*fState.UserClip);
}

int DeviceContext::Save() {
  fSaved.push_back(fState);
  return int(fSaved.size());
}

bool DeviceContext::Restore(int aLevel) {
  if (aLevel < 0)
    aLevel = int(fSaved.size()) + 1 + aLevel;
  if (aLevel < 1 || aLevel > int(fSaved.size()))
    return false;
  fState = std::move(fSaved[std::size_t(aLevel - 1)]);
  fSaved.resize(std::size_t(aLevel - 1));
  ClipChanged();
  return true;
}

HBITMAP CreateCompatibleBitmap(HDC, int aWidth, int aHeight) {
  auto* bitmap = new (std::nothrow) Bitmap(aWidth, aHeight);
  if (bitmap && bitmap->Empty()) {
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}

BOOL DeleteObject(HBITMAP aBitmap) {
  if (!aBitmap)
    return false;
  delete aBitmap;
  return true;
}

HDC CreateCompatibleDC(HDC) {
  return new (std::nothrow) DeviceContext();
}

BOOL DeleteDC(HDC aDC) {
  if (!aDC)
    return false;
  delete aDC;
  return true;
}

HBITMAP SelectObject(HDC aDC, HBITMAP aBitmap) {
  if (!aDC)
    return nullptr;
  HBITMAP old = aDC->SelectedBitmap();
  aDC->MutableState().SelectedBitmap = aBitmap;
  aDC->ClipChanged();
  return old;
}

HBRUSH SelectObject(HDC aDC, HBRUSH aBrush) {
  if (!aDC)
    return nullptr;
  DeviceContext::State& state = aDC->MutableState();
  HBRUSH old = state.BrushHandle;
  state.BrushHandle = aBrush ? aBrush : GetStockBrush(WHITE_BRUSH);
  state.BrushValue = *state.BrushHandle;
  return old;
}

HPEN SelectObject(HDC aDC, HPEN aPen) {
  if (!aDC)
    return nullptr;
  DeviceContext::State& state = aDC->MutableState();
  HPEN old = state.PenHandle;
  state.PenHandle = aPen ? aPen : GetStockPen(BLACK_PEN);
  state.PenValue = *state.PenHandle;
  return old;
}

HFONT SelectObject(HDC aDC, HFONT aFont) {
  if (!aDC)
    return nullptr;
  HFONT old = aDC->SelectedFont();
  aDC->MutableState().Font = aFont;
  return old;
}

int SaveDC(HDC aDC) {
  return aDC ? aDC->Save() : 0;
}

BOOL RestoreDC(HDC aDC, int aSavedDC) {
  return aDC && aSavedDC != 0 && aDC->Restore(aSavedDC);
}

BOOL SetViewportOrgEx(HDC aDC, int aX, int aY, POINT* aOld) {
  if (!aDC)
    return false;
  if (aOld)
    *aOld = aDC->ViewportOrigin();
  aDC->MutableState().ViewportOrigin = {aX, aY};
  return true;
}

BOOL GetViewportOrgEx(HDC aDC, POINT* aOrigin) {
  if (!aDC || !aOrigin)
    return false;
  *aOrigin = aDC->ViewportOrigin();
  return true;
}

BOOL OffsetViewportOrgEx(HDC aDC, int aDx, int aDy, POINT* aOld) {
  if (!aDC)
    return false;
  TPoint origin = aDC->ViewportOrigin();
  return SetViewportOrgEx(aDC, origin.X + aDx, origin.Y + aDy, aOld);
}

BOOL GetDCOrgEx(HDC aDC, POINT* aOrigin) {
  if (!aDC || !aOrigin)
    return false;
  *aOrigin = aDC->DeviceOrigin();
  return true;
}

namespace {

// Without a user clip everything may be drawn: the clip functions then start
// from this plane, so the result does not depend on the bitmap selected now.
constexpr TRect Plane{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};

Region UserClipOrAll(HDC aDC) {
  const auto& clip = aDC->Current().UserClip;
  return clip ? *clip : Region(Plane);
}

int SetUserClip(HDC aDC, std::optional<Region> aClip) {
  aDC->MutableState().UserClip = std::move(aClip);
  aDC->ClipChanged();
  return aDC->Clip().Kind();
}

TRect DeviceRect(HDC aDC, int aLeft, int aTop, int aRight, int aBottom) {
  return aDC->ToDevice(TRect{aLeft, aTop, aRight, aBottom});
}

} // namespace

int IntersectClipRect(HDC aDC, int aLeft, int aTop, int aRight, int aBottom) {
  if (!aDC)
    return ERROR;
  return SetUserClip(
      aDC, UserClipOrAll(aDC).Intersect(Region(DeviceRect(aDC, aLeft, aTop, aRight, aBottom))));
}

int ExcludeClipRect(HDC aDC, int aLeft, int aTop, int aRight, int aBottom) {
  if (!aDC)
    return ERROR;
  return SetUserClip(
      aDC, UserClipOrAll(aDC).Subtract(Region(DeviceRect(aDC, aLeft, aTop, aRight, aBottom))));
}

int SelectClipRgn(HDC aDC, HRGN aRgn) {
  return ExtSelectClipRgn(aDC, aRgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC aDC, HRGN aRgn, int aMode) {
  if (!aDC)
    return ERROR;
  if (aMode == RGN_COPY)
    return SetUserClip(aDC, aRgn ? std::optional<Region>(*aRgn) : std::nullopt);
  if (!aRgn)
    return ERROR;
  Region current = UserClipOrAll(aDC);
  switch (aMode) {
  case RGN_AND:
    return SetUserClip(aDC, current.Intersect(*aRgn));
  case RGN_OR:
    return SetUserClip(aDC, current.Union(*aRgn));
  case RGN_XOR:
    return SetUserClip(aDC, current.Xor(*aRgn));
  case RGN_DIFF:
    return SetUserClip(aDC, current.Subtract(*aRgn));
  default:
    return ERROR;
  }
}

int GetClipBox(HDC aDC, RECT* aRect) {
  if (!aDC || !aRect)
    return ERROR;
  TPoint o = aDC->ViewportOrigin();
  *aRect = aDC->Clip().IsEmpty() ? TRect{} : aDC->Clip().Bounds().Offset(-o.X, -o.Y);
  return aDC->Clip().Kind();
}

int GetClipRgn(HDC aDC, HRGN aRgn) {
  if (!aDC || !aRgn)
    return -1;
  if (!aDC->Current().UserClip)
    return 0;
  *aRgn = *aDC->Current().UserClip;
  return 1;
}

COLORREF SetTextColor(HDC aDC, COLORREF aColor) {
  if (!aDC)
    return CLR_INVALID;
  COLORREF old = aDC->TextColor();
  aDC->MutableState().TextColor = ResolveColor(aColor);
  return old;
}

COLORREF GetTextColor(HDC aDC) {
  return aDC ? aDC->TextColor() : CLR_INVALID;
}

COLORREF SetBkColor(HDC aDC, COLORREF aColor) {
  if (!aDC)
    return CLR_INVALID;
  COLORREF old = aDC->BkColor();
  aDC->MutableState().BkColor = ResolveColor(aColor);
  return old;
}

COLORREF GetBkColor(HDC aDC) {
  return aDC ? aDC->BkColor() : CLR_INVALID;
}

int SetBkMode(HDC aDC, int aMode) {
  if (!aDC || (aMode != TRANSPARENT && aMode != OPAQUE))
    return 0;
  int old = aDC->BkMode();
  aDC->MutableState().BkMode = aMode;
  return old;
}

int GetBkMode(HDC aDC) {
  return aDC ? aDC->BkMode() : 0;
}

int SetStretchBltMode(HDC aDC, int aMode) {
  if (!aDC || aMode < BLACKONWHITE || aMode > HALFTONE)
    return 0;
  const int old = aDC->Current().StretchBltMode;
  aDC->MutableState().StretchBltMode = aMode;
  return old;
}

int GetStretchBltMode(HDC aDC) {
  return aDC ? aDC->Current().StretchBltMode : 0;
}

} // namespace platform
