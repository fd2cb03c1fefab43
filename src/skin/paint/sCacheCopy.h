#pragma once
// Copying a control's cache bitmap to a device context, leaving out what the
// control's children cover.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/win/WinDefs.h"

class TControl;
class TsCommonData;

// Copies aBmp from aSrc to aDst of aDC (aDst's size).
void CopyBitmapToDC(platform::HDC aDC, const TRect& aDst, const platform::Bitmap& aBmp,
                    TPoint aSrc);

// Copies the cache from aSrcRect's top-left to aDstRect of aDC, clipped to
// aDstRect and leaving out the visible children of aControl (moved by aOffset)
// that are opaque, windowless or being designed. Nothing happens without a
// filled cache.
void CopyCacheToDC(TControl* aControl, const TsCommonData& aData, const TRect& aSrcRect,
                   TPoint aOffset, platform::HDC aDC, const TRect& aDstRect);
// The same for a window: every visible child window is left out.
void CopyCacheToDCExcludingWindows(platform::HWND aWnd, const TsCommonData& aData,
                                   const TRect& aSrcRect, TPoint aOffset, platform::HDC aDC,
                                   const TRect& aDstRect);
