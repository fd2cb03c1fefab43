#include "toolkit/Panel.h"

#include "platform/gfx/TextLayout.h"
#include "platform/win/WinDefs.h"

#include <algorithm>

using namespace platform;

UINT AlignmentFormat(TAlignment aAlignment) {
  switch (aAlignment) {
  case taRightJustify:
    return DT_RIGHT;
  case taCenter:
    return DT_CENTER;
  case taLeftJustify:
    break;
  }
  return DT_LEFT;
}

void Frame3D(TCanvas& aCanvas, TRect& aRect, TColor aTopColor, TColor aBottomColor, int aWidth) {
  const TColor brush = aCanvas.BrushColor();
  for (int i = 0; i < aWidth && !aRect.IsEmpty(); ++i) {
    const TRect& r = aRect;
    aCanvas.SetBrushColor(aTopColor);
    aCanvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1});
    aCanvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
    aCanvas.SetBrushColor(aBottomColor);
    aCanvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom});
    aCanvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom});
    aRect = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  aCanvas.SetBrushColor(brush);
}

TPanel::TPanel(TComponent* aOwner) : TCustomControl(aOwner) {
  ControlStyleRef() = {csAcceptsControls, csCaptureMouse, csClickEvents,
                       csSetCaption,      csOpaque,       csDoubleClicks};
  SetColor(clBtnFace);
  SetBounds(0, 0, 185, 41);
}

void TPanel::Changed() {
  Realign();
  Invalidate();
}

void TPanel::SetAlignment(TAlignment aValue) {
  fAlignment = aValue;
  Invalidate();
}

void TPanel::SetVerticalAlignment(TVerticalAlignment aValue) {
  fVerticalAlignment = aValue;
  Invalidate();
}

void TPanel::SetShowCaption(bool aValue) {
  fShowCaption = aValue;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut aValue) {
  fBevelInner = aValue;
  Changed();
}

void TPanel::SetBevelOuter(TBevelCut aValue) {
  fBevelOuter = aValue;
  Changed();
}

void TPanel::SetBevelWidth(int aValue) {
  fBevelWidth = std::max(aValue, 1);
  Changed();
}

void TPanel::SetBorderWidth(int aValue) {
  fBorderWidth = std::max(aValue, 0);
  Changed();
}

TRect TPanel::InnerRect() const {
  TRect r = ClientRect();
  AdjustClientRect(r);
  return r;
}

void TPanel::AdjustClientRect(TRect& aRect) const {
  int inset = fBorderWidth;
  if (fBevelOuter != bvNone)
    inset += fBevelWidth;
  if (fBevelInner != bvNone)
    inset += fBevelWidth;
  aRect = {aRect.Left + inset, aRect.Top + inset, aRect.Right - inset, aRect.Bottom - inset};
}

void TPanel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  // A bevel ring pair: raised is light over dark, lowered dark over light,
  // space is an empty ring in the panel's colour.
  auto bevel = [&](TBevelCut aCut) {
    switch (aCut) {
    case bvRaised:
      Frame3D(c, r, clBtnHighlight, clBtnShadow, fBevelWidth);
      break;
    case bvLowered:
      Frame3D(c, r, clBtnShadow, clBtnHighlight, fBevelWidth);
      break;
    case bvSpace:
      Frame3D(c, r, Color(), Color(), fBevelWidth);
      break;
    case bvNone:
      break;
    }
  };
  bevel(fBevelOuter);
  Frame3D(c, r, Color(), Color(), fBorderWidth);
  bevel(fBevelInner);
  c.SetBrushColor(Color());
  c.FillRect(r);
  if (fShowCaption && !Caption().empty()) {
    UINT format = DT_EXPANDTABS | DT_SINGLELINE | AlignmentFormat(fAlignment);
    switch (fVerticalAlignment) {
    case taAlignTop:
      format |= DT_TOP;
      break;
    case taAlignBottom:
      format |= DT_BOTTOM;
      break;
    case taVerticalCenter:
      format |= DT_VCENTER;
      break;
    }
    c.TextRect(r, Caption(), format);
  }
}

void TPanel::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == WM_SIZE && fFullRepaint)
    Invalidate();
  TCustomControl::WndProc(aMessage);
}
