#include "skin/frame/sFrameCopy.h"

#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonData.h"

using namespace platform;

std::array<TRect, 4> FrameStrips(const TsFrameView& aView) {
  const TqcFrameForm& form = aView.Form;
  const int width = CaptionWidth(form);
  const int height = form.Size.cy;
  const int border = FrameBorderWidth(form);
  const int top = CaptionHeight(form) == 0 ? border : HeaderHeight(aView);
  return {TRect{0, 0, width, top}, TRect{0, top, border, height},
          TRect{width - border, top, width, height},
          TRect{border, height - border, width - border, height}};
}

void CopyFrameToDC(TsCommonData& aData, TsTitleBarData& aTitle, const TsFrameView& aView,
                   TqcFrameLayout& aLayout, HDC aWindowDC) {
  PaintAll(aData, aTitle, aView, aLayout);
  const Bitmap* cache = aData.CacheBmp();
  if (cache == nullptr || cache->Empty())
    return;
  for (const TRect& strip : FrameStrips(aView)) {
    const TRect r = strip.Intersect(cache->BoundsRect());
    if (!r.IsEmpty())
      CopyBitmapToDC(aWindowDC, r, *cache, {r.Left, r.Top});
  }
}

void PaintClientArea(TsCommonData& aData, TsTitleBarData& aTitle, const TsFrameView& aView,
                     TqcFrameLayout& aLayout, HWND aWnd, HDC aClientDC) {
  const TRect client{0, 0, aView.ClientSize.cx, aView.ClientSize.cy};
  if (PlainForm(aData)) {
    FillRectOnDC(aClientDC, client, FormColor(aData, aView.Active));
    return;
  }
  PaintAll(aData, aTitle, aView, aLayout);
  const TPoint offset = ClientOffset(aView);
  CopyCacheToDCExcludingWindows(aWnd, aData, client.Offset(offset.X, offset.Y), {0, 0}, aClientDC,
                                client);
}
