#pragma once
// A control's client area as its erase and paint handlers draw it, and what
// the screen shows of a control.

#include "platform/win/WinDefs.h"
#include "support/PixelCheck.h"
#include "support/ScreenShot.h"
#include "toolkit/Control.h"
#include "toolkit/WinControl.h"

inline platform::Bitmap PaintClient(TControl* aControl) {
  platform::Bitmap bitmap = pixelcheck::Filled(aControl->Width(), aControl->Height(), 0);
  pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
  platform::SelectObject(dc.get(), &bitmap);
  aControl->Perform(platform::WM_ERASEBKGND, platform::WPARAM(dc.get()));
  aControl->Perform(platform::WM_PRINTCLIENT, platform::WPARAM(dc.get()), platform::PRF_CLIENT);
  return bitmap;
}

// What the screen shows of a control now.
inline platform::Bitmap OnScreen(TWinControl* aControl) {
  return pixelcheck::WindowShot(aControl->Handle());
}

// What the screen shows of a control's client area now.
inline platform::Bitmap ClientOnScreen(TWinControl* aControl) {
  return pixelcheck::ClientShot(aControl->Handle());
}
