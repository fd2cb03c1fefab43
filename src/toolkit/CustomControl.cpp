#include "toolkit/CustomControl.h"

#include "platform/win/WinDefs.h"

namespace {

// Runs aPaint with aCanvas on aDC, in the control's font and colour; the
// canvas lets go of the device context whatever happens.
template <class F>
void PaintOnCanvas(TCanvas& aCanvas, platform::HDC aDC, const TControl& aControl, F aPaint) {
  aCanvas.SetHandle(aDC);
  aCanvas.Font().Assign(aControl.Font());
  aCanvas.SetBrushColor(aControl.Color());
  try {
    aPaint();
  } catch (...) {
    aCanvas.SetHandle(nullptr);
    throw;
  }
  aCanvas.SetHandle(nullptr);
}

} // namespace

TCustomControl::TCustomControl(TComponent* aOwner) : TWinControl(aOwner) {
  ControlStateRef().Include(csCustomPaint);
}

void TCustomControl::PaintWindow(platform::HDC aDC) {
  PaintOnCanvas(fCanvas, aDC, *this, [this] { Paint(); });
}

TGraphicControl::TGraphicControl(TComponent* aOwner) : TControl(aOwner) {}

void TGraphicControl::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == platform::WM_PAINT && aMessage.WParam != 0) {
    PaintOnCanvas(fCanvas, platform::HDC(aMessage.WParam), *this, [this] { Paint(); });
    return;
  }
  TControl::WndProc(aMessage);
}
