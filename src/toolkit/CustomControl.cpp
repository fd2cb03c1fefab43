#include "toolkit/CustomControl.h"

#include "platform/win/WinDefs.h"

TCustomControl::TCustomControl(TComponent* aOwner) : TWinControl(aOwner) {
  fControlState.Include(csCustomPaint);
}

void TCustomControl::PaintWindow(platform::HDC aDC) {
  fCanvas.SetHandle(aDC);
  fCanvas.Font().Assign(Font());
  fCanvas.SetBrushColor(Color());
  try {
    Paint();
  } catch (...) {
    fCanvas.SetHandle(nullptr);
    throw;
  }
  fCanvas.SetHandle(nullptr);
}

TGraphicControl::TGraphicControl(TComponent* aOwner) : TControl(aOwner) {}

void TGraphicControl::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == platform::WM_PAINT && aMessage.WParam != 0) {
    fCanvas.SetHandle(platform::HDC(aMessage.WParam));
    fCanvas.Font().Assign(Font());
    fCanvas.SetBrushColor(Color());
    try {
      Paint();
    } catch (...) {
      fCanvas.SetHandle(nullptr);
      throw;
    }
    fCanvas.SetHandle(nullptr);
    return;
  }
  TControl::WndProc(aMessage);
}
