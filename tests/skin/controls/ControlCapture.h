#pragma once
// A control's client area as its erase and paint handlers draw it.

#include "platform/win/WinDefs.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowHost.h"
#include "support/PixelCheck.h"
#include "toolkit/Control.h"
#include "toolkit/Forms.h"

inline platform::Bitmap PaintClient(TControl* aControl) {
  platform::Bitmap bitmap = pixelcheck::Filled(aControl->Width(), aControl->Height(), 0);
  pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
  platform::SelectObject(dc.get(), &bitmap);
  aControl->Perform(platform::WM_ERASEBKGND, platform::WPARAM(dc.get()));
  aControl->Perform(platform::WM_PRINTCLIENT, platform::WPARAM(dc.get()), platform::PRF_CLIENT);
  return bitmap;
}

// What the screen shows, aWidth x aHeight from a control's client origin.
inline platform::Bitmap ScreenAtClient(TWinControl* aControl, int aWidth, int aHeight) {
  TForm* form = GetParentForm(aControl);
  const platform::Bitmap* frame = platform::TopLevelFrame(form->Handle());
  platform::RECT window;
  platform::GetWindowRect(form->Handle(), &window);
  const TPoint origin = aControl->ClientToScreen({0, 0});
  platform::Bitmap b(aWidth, aHeight);
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      b.SetPixel(x, y, frame->Pixel(origin.X - window.Left + x, origin.Y - window.Top + y));
  return b;
}

// What the screen shows of a control now.
inline platform::Bitmap OnScreen(TWinControl* aControl) {
  return ScreenAtClient(aControl, aControl->Width(), aControl->Height());
}

// What the screen shows of a control's client area now.
inline platform::Bitmap ClientOnScreen(TWinControl* aControl) {
  return ScreenAtClient(aControl, aControl->ClientWidth(), aControl->ClientHeight());
}
