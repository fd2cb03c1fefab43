#pragma once
// Controls that paint themselves on a canvas: TCustomControl has its own
// window, TGraphicControl is windowless and painted by its parent's window
// with the origin moved to the control and the clip limited to it.

#include "toolkit/Canvas.h"
#include "toolkit/WinControl.h"

class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* aOwner);
  std::string ClassName() const override { return "TCustomControl"; }

  TCanvas& Canvas() { return fCanvas; }

protected:
  // Draws the client area on Canvas.
  virtual void Paint() {}
  void PaintWindow(platform::HDC aDC) override;

private:
  TCanvas fCanvas;
};

class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* aOwner);
  std::string ClassName() const override { return "TGraphicControl"; }

  TCanvas& Canvas() { return fCanvas; }

protected:
  void WndProc(TMessage& aMessage) override;
  // Draws the control on Canvas, whose origin is the control's top-left.
  virtual void Paint() {}

private:
  TCanvas fCanvas;
};
