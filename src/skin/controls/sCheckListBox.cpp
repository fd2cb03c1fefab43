#include "skin/controls/sCheckListBox.h"

#include "platform/win/Paint.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCheckGlyph.h"
#include "skin/paint/sControlCodes.h"

using namespace platform;

namespace {

TqcCheckState GlyphState(TCheckBoxState aState) {
  switch (aState) {
  case cbChecked:
    return TqcCheckState::cbChecked;
  case cbGrayed:
    return TqcCheckState::cbGrayed;
  default:
    return TqcCheckState::cbUnchecked;
  }
}

} // namespace

TsCheckListBox::TsCheckListBox(TComponent* aOwner)
    : TCheckListBox(aOwner), SkinData(static_cast<TControl*>(this), true),
      fSkin(*this, SkinData, *this, *this) {
  SkinData.COC = cocListBox;
}

void TsCheckListBox::AfterConstruction() {
  TCheckListBox::AfterConstruction();
  if (!ComponentState().Contains(csLoading))
    SkinData.Loaded();
}

void TsCheckListBox::Loaded() {
  TCheckListBox::Loaded();
  SkinData.Loaded();
  fSkin.UpdateAdapter();
}

int TsCheckListBox::CheckHitWidth() const {
  if (!fSkin.Skinned())
    return TCheckListBox::CheckHitWidth();
  return CheckGlyphWidth(SkinData.SkinManager(), true);
}

void TsCheckListBox::ClickCheck() {
  if (HandleAllocated())
    Update();
  TCheckListBox::ClickCheck();
}

void TsCheckListBox::PaintSkinnedLine(HDC aDC, int aIndex, const TRect& aRect,
                                      TOwnerDrawState aState) {
  // The check area: w + 2 pixels at the line's start.
  const TRect box{aRect.Left, aRect.Top, aRect.Left + CheckHitWidth() + 2, aRect.Bottom};
  Bitmap glyph(box.Width(), box.Height());
  fSkin.CopyBackground(glyph, box);
  const TPoint offset = fSkin.CacheOffset();
  const TCacheInfo behind =
      CacheInfoFromBitmap(SkinData.CacheBmp(), offset.X + box.Left, offset.Y + box.Top);
  DrawCheckGlyph(glyph.BoundsRect(), GlyphState(State(aIndex)), Enabled() && ItemEnabled(aIndex),
                 true, SkinData.SkinManager(), behind, glyph);
  CopyBitmapToDC(aDC, box, glyph, {0, 0});
  fSkin.DrawLine(aDC, aIndex, {box.Right, aRect.Top, aRect.Right, aRect.Bottom}, aState);
}

void TsCheckListBox::WndProc(TMessage& aMessage) {
  if (fSkin.Before(aMessage))
    return;
  TCheckListBox::WndProc(aMessage);
  if (ComponentState().Contains(csDestroying))
    return;
  fSkin.After(aMessage);
}
