#pragma once
// TsListBox: the list box drawn from a skin section ("EDIT" by default). It
// is made owner-drawn so that every line passes through the skinned line
// drawing; without an active skin it draws its lines as the toolkit list does
// and its lines keep the toolkit list's height rule.

#include "skin/controls/sListBoxSkin.h"
#include "toolkit/ListBox.h"

class TsListBox : public TListBox, public TsListEvents, private TsLinePainter {
public:
  explicit TsListBox(TComponent* aOwner);
  std::string ClassName() const override { return "TsListBox"; }

  TsScrollWndData SkinData;

  // The adapter that paints the frame and the scroll bars (skinned only).
  TqcEditWnd* ListSW() const { return fSkin.ListSW(); }

  void AfterConstruction() override;

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& aParams) override;
  void WndProc(TMessage& aMessage) override;

private:
  void PaintSkinnedLine(platform::HDC aDC, int aIndex, const TRect& aRect,
                        TOwnerDrawState aState) override;

  TsListBoxSkin fSkin;
};
