#include "skin/paint/sCheckGlyph.h"

#include "platform/gfx/FrameControls.h"
#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sMaskPaint.h"
#include "toolkit/CheckListBox.h"

namespace {

// The checked entry that sizes the glyphs, or -1.
int CheckedEntry(const TsSkinManager* aManager, bool aSmall) {
  if (!aManager || !aManager->Active())
    return -1;
  const int index =
      aSmall ? aManager->ConstData.SmallCheckBoxChecked : aManager->ConstData.CheckBoxChecked;
  return aManager->IsValidImgIndex(index) ? index : -1;
}

int EntryFor(const TConstantSkinData& aData, TqcCheckState aState, bool aSmall) {
  switch (aState) {
  case TqcCheckState::cbChecked:
    return aSmall ? aData.SmallCheckBoxChecked : aData.CheckBoxChecked;
  case TqcCheckState::cbGrayed:
    return aSmall ? aData.SmallCheckBoxGrayed : aData.CheckBoxGrayed;
  default:
    return aSmall ? aData.SmallCheckBoxUnChecked : aData.CheckBoxUnChecked;
  }
}

} // namespace

int CheckGlyphWidth(const TsSkinManager* aManager, bool aSmall) {
  const int entry = CheckedEntry(aManager, aSmall);
  return entry >= 0 ? StateImageWidth(aManager->ma[std::size_t(entry)]) + 2
                    : TCheckListBox::CheckBoxSize().cx;
}

int CheckGlyphHeight(const TsSkinManager* aManager, bool aSmall) {
  const int entry = CheckedEntry(aManager, aSmall);
  return entry >= 0 ? StateImageHeight(aManager->ma[std::size_t(entry)])
                    : TCheckListBox::CheckBoxSize().cy;
}

void DrawCheckGlyph(const TRect& aR, TqcCheckState aCheckState, bool aEnabled, bool aSmall,
                    const TsSkinManager* aManager, const TCacheInfo& aParent,
                    platform::Bitmap& aBmp) {
  const int cw = CheckGlyphWidth(aManager, aSmall), ch = CheckGlyphHeight(aManager, aSmall);
  const bool skinned = aManager && aManager->Active() &&
                       aManager->IsValidImgIndex(EntryFor(aManager->ConstData, aCheckState, true));
  if (skinned) {
    const int entry = EntryFor(aManager->ConstData, aCheckState, aSmall);
    if (aManager->IsValidImgIndex(entry))
      PaintMaskGlyph(aBmp, {aR.Left + (aR.Width() - cw) / 2, (aR.Height() - ch) / 2}, 0, aParent,
                     aManager->ma[std::size_t(entry)], aEnabled ? 1 : 2);
    return;
  }
  const TRect strip{0, 0, cw + 2, aR.Height()};
  if (aParent.Ready) {
    if (aParent.Bmp)
      platform::raster::Copy(aBmp, strip, *aParent.Bmp,
                             {aParent.X + aR.Left + 1, aParent.Y + aR.Top + 1});
  } else if (aParent.FillColor != KeyColor) {
    FillRect32(aBmp, strip, aParent.FillColor);
  }
  platform::HDC dc = platform::CreateCompatibleDC(nullptr);
  platform::SelectObject(dc, &aBmp);
  platform::RECT box = Bounds((aR.Width() - cw) / 2, (aR.Height() - ch) / 2, cw, ch);
  platform::UINT state = platform::DFCS_BUTTONCHECK;
  if (aCheckState == TqcCheckState::cbChecked)
    state |= platform::DFCS_CHECKED;
  else if (aCheckState == TqcCheckState::cbGrayed)
    state = platform::DFCS_BUTTON3STATE | platform::DFCS_CHECKED;
  if (!aEnabled)
    state |= platform::DFCS_INACTIVE;
  platform::DrawFrameControl(dc, &box, platform::DFC_BUTTON, state);
  platform::DeleteDC(dc);
}
