#include "skin/controls/sListBox.h"

#include "platform/gfx/Font.h"
#include "skin/paint/sControlCodes.h"

using namespace platform;

TsListBox::TsListBox(TComponent* aOwner)
    : TListBox(aOwner), SkinData(static_cast<TControl*>(this), true),
      fSkin(*this, SkinData, *this, *this) {
  SkinData.COC = cocListBox;
}

void TsListBox::AfterConstruction() {
  TListBox::AfterConstruction();
  if (!ComponentState().Contains(csLoading))
    SkinData.Loaded();
}

void TsListBox::Loaded() {
  TListBox::Loaded();
  SkinData.Loaded();
  fSkin.UpdateAdapter();
}

void TsListBox::CreateParams(TCreateParams& aParams) {
  TListBox::CreateParams(aParams);
  aParams.Style |= LBS_OWNERDRAWFIXED;
}

void TsListBox::PaintSkinnedLine(HDC aDC, int aIndex, const TRect& aRect, TOwnerDrawState aState) {
  fSkin.DrawLine(aDC, aIndex, aRect, aState);
}

void TsListBox::WndProc(TMessage& aMessage) {
  if (fSkin.Before(aMessage))
    return;
  TListBox::WndProc(aMessage);
  if (ComponentState().Contains(csDestroying))
    return;
  // The owner-drawn window keeps its line height through font changes; a
  // standard list's lines take the font's height as the toolkit list's do.
  if (aMessage.Msg == WM_SETFONT && Style() == lbStandard && !KeepsItemHeight())
    if (HFONT font = FontInUse(HFONT(aMessage.WParam)))
      SendList(LB_SETITEMHEIGHT, 0, LPARAM(std::max(1, int(font->Metrics().tmHeight))));
  fSkin.After(aMessage);
}
