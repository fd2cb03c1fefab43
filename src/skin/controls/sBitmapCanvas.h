#pragma once
// A memory DC drawing into a bitmap with a font, released with it.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"

class TBitmapCanvas {
public:
  // Without a bitmap the DC only measures.
  TBitmapCanvas(platform::Bitmap* aBitmap, platform::HFONT aFont)
      : fDC(platform::CreateCompatibleDC(nullptr)) {
    if (aBitmap != nullptr)
      platform::SelectObject(fDC, aBitmap);
    platform::SelectObject(fDC, aFont);
  }
  ~TBitmapCanvas() { platform::DeleteDC(fDC); }
  TBitmapCanvas(const TBitmapCanvas&) = delete;
  TBitmapCanvas& operator=(const TBitmapCanvas&) = delete;
  platform::HDC DC() const { return fDC; }

private:
  platform::HDC fDC;
};
