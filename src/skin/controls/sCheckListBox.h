#pragma once
// TsCheckListBox: the check list box drawn from a skin section, with the
// skin's small check glyphs. Skinned, the check area is the glyph's width
// plus 2 (w) plus 2 more pixels, and a click less than w pixels from the
// line's start toggles it; without an active skin it is the toolkit check
// list in look and behaviour.

#include "skin/controls/sListBoxSkin.h"
#include "toolkit/CheckListBox.h"

class TsCheckListBox : public TCheckListBox, public TsListEvents, private TsLinePainter {
public:
  explicit TsCheckListBox(TComponent* aOwner);
  std::string ClassName() const override { return "TsCheckListBox"; }

  TsScrollWndData SkinData;

  // The adapter that paints the frame and the scroll bars (skinned only).
  TqcEditWnd* ListSW() const { return fSkin.ListSW(); }
  // Width of the area at the line's start where a click toggles the box.
  int CheckHitWidth() const override;

  void AfterConstruction() override;

protected:
  void Loaded() override;
  void WndProc(TMessage& aMessage) override;
  // The toggled box is on screen before OnClickCheck runs.
  void ClickCheck() override;

private:
  void PaintSkinnedLine(platform::HDC aDC, int aIndex, const TRect& aRect,
                        TOwnerDrawState aState) override;

  TsListBoxSkin fSkin;
};
