#include "toolkit/StatusBar.h"

#include "platform/gfx/FrameControls.h"
#include "platform/gfx/TextLayout.h"

#include <algorithm>

using namespace platform;

void TStatusPanel::SetText(const std::string& aText) {
  if (aText == fText)
    return;
  fText = aText;
  fBar.PanelsChanged();
}

void TStatusPanel::SetWidth(int aValue) {
  fWidth = std::max(aValue, 0);
  fBar.PanelsChanged();
}

void TStatusPanel::SetAlignment(TAlignment aValue) {
  fAlignment = aValue;
  fBar.PanelsChanged();
}

void TStatusPanel::SetBevel(TStatusPanelBevel aValue) {
  fBevel = aValue;
  fBar.PanelsChanged();
}

void TStatusPanel::SetStyle(TStatusPanelStyle aValue) {
  fStyle = aValue;
  fBar.PanelsChanged();
}

int TStatusPanel::Index() const {
  return fBar.Panels().IndexOf(this);
}

int TStatusPanels::IndexOf(const TStatusPanel* aPanel) const {
  for (std::size_t i = 0; i < fPanels.size(); ++i)
    if (fPanels[i].get() == aPanel)
      return int(i);
  return -1;
}

TStatusPanel& TStatusPanels::Items(int aIndex) {
  if (aIndex < 0 || aIndex >= Count())
    throw EComponentError("List index out of bounds (" + std::to_string(aIndex) + ")");
  return *fPanels[std::size_t(aIndex)];
}

TStatusPanel& TStatusPanels::Add() {
  fPanels.push_back(std::make_unique<TStatusPanel>(fBar));
  fBar.PanelsChanged();
  return *fPanels.back();
}

void TStatusPanels::Delete(int aIndex) {
  Items(aIndex);
  fPanels.erase(fPanels.begin() + aIndex);
  fBar.PanelsChanged();
}

void TStatusPanels::Clear() {
  fPanels.clear();
  fBar.PanelsChanged();
}

TStatusBar::TStatusBar(TComponent* aOwner) : TCustomControl(aOwner), fPanels(*this) {
  ControlStyleRef() = {csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks};
  SetColor(clBtnFace);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

void TStatusBar::PanelsChanged() {
  Invalidate();
}

void TStatusBar::SetSimplePanel(bool aValue) {
  fSimplePanel = aValue;
  PanelsChanged();
}

void TStatusBar::SetSimpleText(const std::string& aText) {
  if (aText == fSimpleText)
    return;
  fSimpleText = aText;
  PanelsChanged();
}

void TStatusBar::SetSizeGrip(bool aValue) {
  fSizeGrip = aValue;
  PanelsChanged();
}

TRect TStatusBar::PanelRect(int aIndex) const {
  const TRect client = ClientRect();
  const int n = const_cast<TStatusPanels&>(fPanels).Count();
  if (aIndex < 0 || aIndex >= n)
    return {};
  int left = 0;
  for (int i = 0; i < aIndex; ++i)
    left += const_cast<TStatusPanels&>(fPanels).Items(i).Width();
  int right = left + const_cast<TStatusPanels&>(fPanels).Items(aIndex).Width();
  if (aIndex == n - 1)
    right = client.Right - (fSizeGrip ? SizeGripWidth : 0);
  return {left, client.Top, std::max(left, right), client.Bottom};
}

TRect TStatusBar::SizeGripRect() const {
  if (!fSizeGrip)
    return {};
  const TRect client = ClientRect();
  const int size = std::min(client.Height(), SizeGripWidth);
  return {client.Right - size, client.Bottom - size, client.Right, client.Bottom};
}

void TStatusBar::Paint() {
  TCanvas& c = Canvas();
  const TRect client = ClientRect();
  c.SetBrushColor(Color());
  c.FillRect(client);
  if (fSimplePanel) {
    TRect r{client.Left, client.Top, client.Right - (fSizeGrip ? SizeGripWidth : 0) + 2,
            client.Bottom};
    PaintPanel(r, nullptr);
  } else {
    for (int i = 0; i < fPanels.Count(); ++i) {
      TRect r = PanelRect(i);
      if (i == fPanels.Count() - 1)
        r.Right += 2;
      PaintPanel(r, &fPanels.Items(i));
    }
  }
  if (fSizeGrip)
    PaintSizeGrip();
}

void TStatusBar::PaintPanel(const TRect& aRect, TStatusPanel* aPanel) {
  // A panel's bevel ring stands 2 pixels below the top and leaves 2 pixels
  // free on its right; its text starts 3 pixels inside the ring.
  TCanvas& c = Canvas();
  TRect ring{aRect.Left, aRect.Top + 2, aRect.Right - 2, aRect.Bottom};
  if (ring.IsEmpty())
    return;
  const TStatusPanelBevel bevel = aPanel != nullptr ? aPanel->Bevel() : pbNone;
  if (bevel == pbLowered)
    Frame3D(c, ring, clBtnShadow, clBtnHighlight, 1);
  else if (bevel == pbRaised)
    Frame3D(c, ring, clBtnHighlight, clBtnShadow, 1);
  else
    ring = {ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1};
  const ScopedSaveDC saved(c.Handle());
  IntersectClipRect(c.Handle(), ring.Left, ring.Top, ring.Right, ring.Bottom);
  if (aPanel != nullptr && aPanel->Style() == psOwnerDraw) {
    DrawPanel(*aPanel, ring);
    // The event may have changed the canvas; the next panel starts afresh.
    c.Font().Assign(Font());
    c.SetBrushColor(Color());
  } else {
    TRect text{ring.Left + 2, ring.Top, ring.Right - 2, ring.Bottom};
    const TAlignment alignment = aPanel != nullptr ? aPanel->Alignment() : taLeftJustify;
    c.TextRect(text, aPanel != nullptr ? aPanel->Text() : fSimpleText,
               DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                   AlignmentFormat(alignment));
  }
}

void TStatusBar::PaintSizeGrip() {
  // Three pairs of diagonal grooves: a light line, then two dark ones.
  TCanvas& c = Canvas();
  const TRect g = SizeGripRect();
  const int size = g.Width();
  for (int d = 0; d < size - 1; ++d) {
    const int phase = d % 4;
    if (phase == 3)
      continue;
    c.SetBrushColor(phase == 0 ? clBtnHighlight : clBtnShadow);
    for (int k = 0; k <= d; ++k) {
      const int x = g.Right - 1 - d + k;
      const int y = g.Bottom - 1 - k;
      c.FillRect({x, y, x + 1, y + 1});
    }
  }
}

void TStatusBar::DrawPanel(TStatusPanel& aPanel, const TRect& aRect) {
  if (OnDrawPanel)
    OnDrawPanel(this, aPanel, aRect);
}
