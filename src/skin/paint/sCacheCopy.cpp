#include "skin/paint/sCacheCopy.h"

#include "platform/gfx/Drawing.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "skin/paint/sCommonData.h"
#include "toolkit/WinControl.h"

#include <functional>

using namespace platform;

namespace {

// Clips aDC to aDstRect minus the rectangles aExclude names, copies the cache
// and restores the DC.
void CopyClipped(const TsCommonData& aData, const TRect& aSrcRect, HDC aDC, const TRect& aDstRect,
                 const std::function<void()>& aExclude) {
  const Bitmap* cache = aData.CacheBmp();
  if (cache == nullptr || cache->Empty())
    return;
  const int saved = SaveDC(aDC);
  IntersectClipRect(aDC, aDstRect.Left, aDstRect.Top, aDstRect.Right, aDstRect.Bottom);
  aExclude();
  CopyBitmapToDC(aDC, aDstRect, *cache, {aSrcRect.Left, aSrcRect.Top});
  RestoreDC(aDC, saved);
}

void Exclude(HDC aDC, const TRect& aRect) {
  ExcludeClipRect(aDC, aRect.Left, aRect.Top, aRect.Right, aRect.Bottom);
}

} // namespace

void CopyBitmapToDC(HDC aDC, const TRect& aDst, const Bitmap& aBmp, TPoint aSrc) {
  HDC source = CreateCompatibleDC(nullptr);
  SelectObject(source, const_cast<Bitmap*>(&aBmp));
  BitBlt(aDC, aDst.Left, aDst.Top, aDst.Width(), aDst.Height(), source, aSrc.X, aSrc.Y, SRCCOPY);
  DeleteDC(source);
}

void CopyCacheToDC(TControl* aControl, const TsCommonData& aData, const TRect& aSrcRect,
                   TPoint aOffset, HDC aDC, const TRect& aDstRect) {
  CopyClipped(aData, aSrcRect, aDC, aDstRect, [&] {
    const TWinControl* parent = AsWindowed(aControl);
    if (parent == nullptr)
      return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
      TControl* child = parent->Controls(i);
      if (!child->Visible())
        continue;
      const TRect r = child->BoundsRect().Offset(aOffset.X, aOffset.Y);
      const bool covers = child->ControlStyle().Contains(csOpaque) ||
                          AsWindowed(child) == nullptr ||
                          child->ComponentState().Contains(csDesigning);
      if (covers && !r.Intersect(aDstRect).IsEmpty())
        Exclude(aDC, r);
    }
  });
}

void CopyCacheToDCExcludingWindows(HWND aWnd, const TsCommonData& aData, const TRect& aSrcRect,
                                   TPoint aOffset, HDC aDC, const TRect& aDstRect) {
  CopyClipped(aData, aSrcRect, aDC, aDstRect, [&] {
    for (HWND child = GetWindow(aWnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child))
        continue;
      RECT r;
      GetWindowRect(child, &r);
      POINT corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
      MapWindowPoints(nullptr, aWnd, corners, 2);
      Exclude(aDC, TRect{corners[0].X, corners[0].Y, corners[1].X, corners[1].Y}.Offset(aOffset.X,
                                                                                        aOffset.Y));
    }
  });
}
