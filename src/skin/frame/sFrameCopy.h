#pragma once
// Getting frame-cache pixels to the window: the four frame strips for the
// non-client paint, the client part for erasing and painting the client area.

#include "platform/gfx/DeviceContext.h"
#include "platform/win/WinDefs.h"
#include "skin/frame/sFrameCache.h"

#include <array>

class TsCommonData;

// The top band down to the client area and the left, right and bottom strips
// around it, in window coordinates.
std::array<TRect, 4> FrameStrips(const TsFrameView& aView);

// Rebuilds the cache when it is stale, then copies the frame strips to
// aWindowDC (a whole-window DC) at the same coordinates.
void CopyFrameToDC(TsCommonData& aData, TsTitleBarData& aTitle, const TsFrameView& aView,
                   TqcFrameLayout& aLayout, platform::HDC aWindowDC);

// The client background on aClientDC (client coordinates): a plain form fills
// it with its form colour; otherwise the cache is rebuilt when stale and its
// client part copied, leaving out the visible child windows of aWnd.
void PaintClientArea(TsCommonData& aData, TsTitleBarData& aTitle, const TsFrameView& aView,
                     TqcFrameLayout& aLayout, platform::HWND aWnd, platform::HDC aClientDC);
