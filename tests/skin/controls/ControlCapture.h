#pragma once
// A control's client area as its erase and paint handlers draw it.

#include "platform/win/WinDefs.h"
#include "support/PixelCheck.h"
#include "toolkit/Control.h"

inline platform::Bitmap PaintClient(TControl* aControl) {
  platform::Bitmap bitmap = pixelcheck::Filled(aControl->Width(), aControl->Height(), 0);
  pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
  platform::SelectObject(dc.get(), &bitmap);
  aControl->Perform(platform::WM_ERASEBKGND, platform::WPARAM(dc.get()));
  aControl->Perform(platform::WM_PRINTCLIENT, platform::WPARAM(dc.get()), platform::PRF_CLIENT);
  return bitmap;
}
