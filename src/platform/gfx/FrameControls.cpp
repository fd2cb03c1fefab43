#include "platform/gfx/FrameControls.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/SystemColors.h"

#include <algorithm>

namespace platform {

namespace {

struct RingColours {
  int TopLeft;
  int BottomRight;
};

void DrawRing(HDC aDC, TRect& aRect, UINT aSides, RingColours aColours) {
  if (aRect.IsEmpty())
    return;
  const COLORREF lt = GetSysColor(aColours.TopLeft);
  const COLORREF rb = GetSysColor(aColours.BottomRight);
  const TRect r = aRect;
  auto fill = [&](const TRect& aLine, COLORREF aColor) { FillSolidRect(aDC, &aLine, aColor); };
  if (aSides & BF_LEFT)
    fill({r.Left, r.Top, r.Left + 1, r.Bottom}, lt);
  if (aSides & BF_TOP)
    fill({r.Left, r.Top, r.Right, r.Top + 1}, lt);
  if (aSides & BF_RIGHT)
    fill({r.Right - 1, r.Top, r.Right, r.Bottom}, rb);
  if (aSides & BF_BOTTOM)
    fill({r.Left, r.Bottom - 1, r.Right, r.Bottom}, rb);
  aRect = {r.Left + ((aSides & BF_LEFT) ? 1 : 0), r.Top + ((aSides & BF_TOP) ? 1 : 0),
           r.Right - ((aSides & BF_RIGHT) ? 1 : 0), r.Bottom - ((aSides & BF_BOTTOM) ? 1 : 0)};
}

void DrawCheckBox(HDC aDC, const TRect& aRect, UINT aState) {
  const int side = std::min(aRect.Width(), aRect.Height());
  if (side <= 0)
    return;
  RECT box = Bounds(aRect.Left + (aRect.Width() - side) / 2,
                    aRect.Top + (aRect.Height() - side) / 2, side, side);
  DrawEdge(aDC, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  const bool inactive = aState & DFCS_INACTIVE;
  const bool checked = aState & DFCS_CHECKED;
  const bool threeState = (aState & 0x1F) == DFCS_BUTTON3STATE;
  const bool face = (aState & DFCS_PUSHED) || inactive || (threeState && checked);
  FillSolidRect(aDC, &box, GetSysColor(face ? COLOR_BTNFACE : COLOR_WINDOW));
  if (!checked)
    return;
  const COLORREF mark = GetSysColor(inactive || threeState ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
  const int left = box.Left + (box.Width() - 7) / 2;
  const int top = box.Top + (box.Height() - 7) / 2;
  for (int column = 0; column < 7; ++column) {
    const TRect run = Bounds(left + column, top + CheckMarkColumnTops[column], 1, 3).Intersect(box);
    if (!run.IsEmpty())
      FillSolidRect(aDC, &run, mark);
  }
}

} // namespace

BOOL DrawEdge(HDC aDC, RECT* aRect, UINT aEdge, UINT aFlags) {
  if (!aDC || !aRect)
    return false;
  TRect r = *aRect;
  const UINT sides = aFlags & BF_RECT;
  const UINT outer = aEdge & BDR_OUTER;
  const UINT inner = aEdge & BDR_INNER;
  if (outer) {
    RingColours colours{COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    if (aFlags & BF_MONO)
      colours = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
    else if (aFlags & BF_FLAT)
      colours = {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
    else if (outer == BDR_SUNKENOUTER)
      colours = {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    DrawRing(aDC, r, sides, colours);
  }
  if (inner) {
    RingColours colours{COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    if (aFlags & BF_MONO)
      colours = {COLOR_WINDOW, COLOR_WINDOW};
    else if (aFlags & BF_FLAT)
      colours = {COLOR_BTNFACE, COLOR_BTNFACE};
    else if (inner == BDR_SUNKENINNER)
      colours = {COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    DrawRing(aDC, r, sides, colours);
  }
  if ((aFlags & BF_MIDDLE) && !r.IsEmpty())
    FillSolidRect(aDC, &r, GetSysColor(COLOR_BTNFACE));
  if (aFlags & BF_ADJUST)
    *aRect = r;
  return true;
}

BOOL DrawFrameControl(HDC aDC, RECT* aRect, UINT aType, UINT aState) {
  if (!aDC || !aRect || aType != DFC_BUTTON)
    return false;
  const UINT style = aState & 0x1F;
  if (style == DFCS_BUTTONCHECK || style == DFCS_BUTTON3STATE) {
    DrawCheckBox(aDC, *aRect, aState);
    return true;
  }
  if (style == DFCS_BUTTONPUSH) {
    RECT r = *aRect;
    DrawEdge(aDC, &r, (aState & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    return true;
  }
  return false;
}

BOOL GetStandardBitmapSize(int aId, SIZE* aSize) {
  if (aId != OBM_CHECKBOXES || !aSize)
    return false;
  *aSize = {4 * 13, 3 * 13};
  return true;
}

} // namespace platform
