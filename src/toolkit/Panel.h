#pragma once
// The panel: a container with an outer and an inner bevel, a border in its
// own colour between them, and a caption aligned horizontally and
// vertically in what is left.

#include "toolkit/CustomControl.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

enum class TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
using enum TVerticalAlignment;

// The DT_LEFT, DT_RIGHT or DT_CENTER text format of an alignment.
platform::UINT AlignmentFormat(TAlignment aAlignment);

// Draws aWidth rings inward from aRect's edge: each ring's left and top
// lines in aTopColor, then its right and bottom lines in aBottomColor (so
// the top-right and bottom-left corner pixels take aBottomColor). aRect
// shrinks by aWidth on every side.
void Frame3D(TCanvas& aCanvas, TRect& aRect, TColor aTopColor, TColor aBottomColor, int aWidth);

class TPanel : public TCustomControl {
public:
  explicit TPanel(TComponent* aOwner);
  std::string ClassName() const override { return "TPanel"; }

  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment aValue);
  TVerticalAlignment VerticalAlignment() const { return fVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment aValue);
  bool ShowCaption() const { return fShowCaption; }
  void SetShowCaption(bool aValue);
  TBevelCut BevelInner() const { return fBevelInner; }
  void SetBevelInner(TBevelCut aValue);
  TBevelCut BevelOuter() const { return fBevelOuter; }
  void SetBevelOuter(TBevelCut aValue);
  int BevelWidth() const { return fBevelWidth; }
  void SetBevelWidth(int aValue);
  int BorderWidth() const { return fBorderWidth; }
  void SetBorderWidth(int aValue);
  // Repaint the whole panel on a size change (else only what became visible).
  bool FullRepaint() const { return fFullRepaint; }
  void SetFullRepaint(bool aValue) { fFullRepaint = aValue; }

protected:
  // Bevels, border, face and caption. The paint seam: a descendant that
  // paints the panel its own way overrides it, and calls it to paint as a
  // plain panel.
  void Paint() override;
  void AdjustClientRect(TRect& aRect) const override;
  void WndProc(TMessage& aMessage) override;
  // The area inside the bevels and the border.
  TRect InnerRect() const;

private:
  void Changed();

  TAlignment fAlignment = taCenter;
  TVerticalAlignment fVerticalAlignment = taVerticalCenter;
  bool fShowCaption = true;
  TBevelCut fBevelInner = bvNone;
  TBevelCut fBevelOuter = bvRaised;
  int fBevelWidth = 1;
  int fBorderWidth = 0;
  bool fFullRepaint = true;
};
