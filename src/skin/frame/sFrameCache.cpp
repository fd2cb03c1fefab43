#include "skin/frame/sFrameCache.h"

#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/frame/sCaptionButtons.h"
#include "skin/frame/sCaptionText.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sCommonPaint.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sSectionPaint.h"

#include <algorithm>

using namespace platform;

namespace {

bool HasStyle(const TqcFrameForm& aForm, DWORD aBits) {
  return (aForm.Style & aBits) == aBits;
}

// A plain form: its colour over the caption rows, the FORM border
// mask around the window over the section colour, and the section colour
// between the mask's sides and a frame as wide as the form's borders.
void PaintPlainBackground(Bitmap& aCache, const TsCommonData& aData, const TsFrameView& aView,
                          int aState) {
  const TqcFrameForm& form = aView.Form;
  const TRect whole = aCache.BoundsRect();
  FillRect32(aCache, {0, 0, whole.Right, CaptionHeight(form) + FrameBorderWidth(form) + 1},
             FormColor(aData, aView.Active));
  const TColor sectionColor = aData.StateBackgroundColor(aState);
  const TsMaskData* mask = aData.BorderMask();
  if (mask == nullptr)
    return;
  const TCacheInfo behind{nullptr, 0, 0, sectionColor, TRect{}, false};
  PaintBorderMask(aCache, whole, behind, true, aState, *mask);
  const int bw = FrameBorderWidth(form);
  const int top = HeaderHeight(aView);
  const TRect inner{MaskWidthLeft(*mask), top, whole.Right - MaskWidthRight(*mask),
                    whole.Bottom - MaskWidthBottom(*mask)};
  const TRect client{bw, top, whole.Right - bw, whole.Bottom - bw};
  for (const TRect& band : {TRect{inner.Left, inner.Top, client.Left, inner.Bottom},
                            TRect{client.Right, inner.Top, inner.Right, inner.Bottom},
                            TRect{client.Left, client.Bottom, client.Right, inner.Bottom}})
    if (!band.IsEmpty())
      FillRect32(aCache, band, sectionColor);
}

// The window background over the whole cache.
void PaintWindowBackground(Bitmap& aCache, TsCommonData& aData, const TsFrameView& aView,
                           int aState) {
  const TRect whole = aCache.BoundsRect();
  if (PlainForm(aData))
    PaintPlainBackground(aCache, aData, aView, aState);
  else if (HasBorder(aView.Form) || HasStyle(aView.Form, WS_CHILD))
    PaintCommonSection(aData, aView.Background, aState, &aCache, aView.FormPos, whole, false);
  else
    PaintCommonBackground(aData, aView.Background, aState, &aCache, aView.FormPos, whole);
}

// The title section over the border and caption rows, and the FORM section's
// "TITLEBAR" strip behind the buttons.
void PaintTitle(Bitmap& aCache, const TsSkinManager& aSkin, TsCommonData& aData,
                TsTitleBarData& aTitle, const TsFrameView& aView, const TqcFrameLayout& aLayout,
                int aState) {
  const TqcFrameForm& form = aView.Form;
  const int band = SysBorderWidth(form) + CaptionHeight(form);
  const int width = aCache.Width();
  const int title = GetTitleSkinIndex(aSkin, aTitle);
  if (aSkin.IsValidSkinIndex(title)) {
    // A minimized form that is not the main form is all title.
    const bool iconic = HasStyle(form, WS_MINIMIZE) && !form.IsMainForm;
    const TRect r{0, 0, width, iconic ? aCache.Height() : band};
    PaintSectionByIndex(&aSkin, title, CacheInfoFromBitmap(&aCache, 0, 0), -1, -1, &aCache, {0, 0},
                        r, SectionState(aSkin, title, aView.Active));
  }
  if (aView.Icon != nullptr && !aLayout.IconRect.IsEmpty()) {
    const TRect r = aLayout.IconRect;
    raster::Stretch(aCache, r, r, *aView.Icon, aView.Icon->BoundsRect(), {true, 255, true});
  }
  const bool anyButton = form.SystemMenu.Exists && form.BorderIcons.Contains(biSystemMenu);
  const int titleBar = aSkin.GetMaskIndex(aData.SkinIndex, "FORM", "TITLEBAR");
  if (anyButton && aSkin.IsValidImgIndex(titleBar)) {
    const TsMaskData& mask = aSkin.ma[std::size_t(titleBar)];
    const int left = width - (StateImageWidth(mask) + TitleBtnsWidth(aSkin, form, aLayout.Buttons));
    PaintBorderMask(aCache, {left, 0, width, band}, EmptyCacheInfo(), false, aState, mask);
  }
}

// The caption items laid out anew; the button states of the previous layout
// stay.
void LayOut(const TsSkinManager& aSkin, const TsFrameView& aView, TqcFrameLayout& aLayout) {
  TqcCaptionButtons buttons = aLayout.Buttons;
  UpdateIconsIndexes(aSkin, aView.Form, buttons);
  std::vector<TqcCaptionButton> previous = std::move(aLayout.TitleButtons);
  aLayout = CalcItems(aSkin, aView.Form, buttons);
  for (std::size_t i = 0; i < std::min(previous.size(), aLayout.TitleButtons.size()); ++i)
    aLayout.TitleButtons[i].State = previous[i].State;
}

} // namespace

void TsTitleBarData::ResetForSkin() {
  TitleSkinIndex = -1;
  CaptionSkinIndex = -1;
  TempBmp = Bitmap();
  FreeGlows();
}

void TsTitleBarData::FreeGlows() {
  FGlow1.reset();
  FGlow2.reset();
}

int HeaderHeight(const TsFrameView& aView) {
  const TqcFrameForm& form = aView.Form;
  const int border =
      HasStyle(form, WS_BORDER) || CaptionHeight(form) > 0 ? FrameBorderWidth(form) : 0;
  int height = std::max(form.Size.cy - aView.ClientSize.cy - border, 0);
  if (HasStyle(form, WS_MINIMIZE))
    height += SysBorderWidth(form);
  return height - aView.HScrollHeight;
}

TPoint ClientOffset(const TsFrameView& aView) {
  const TqcFrameForm& form = aView.Form;
  const int x = (form.Size.cx - aView.ClientSize.cx - aView.VScrollWidth) / 2;
  const int border = HasStyle(form, WS_BORDER) ? FrameBorderWidth(form) : 0;
  return {x, form.Size.cy - aView.ClientSize.cy - border - aView.HScrollHeight};
}

int SectionState(const TsSkinManager& aSkin, int aSkinIndex, bool aActive) {
  if (!aSkin.IsValidSkinIndex(aSkinIndex))
    return 0;
  return std::max(std::min(aActive ? 1 : 0, aSkin.gd[std::size_t(aSkinIndex)].States - 1), 0);
}

int GetTitleSkinIndex(const TsSkinManager& aSkin, TsTitleBarData& aTitle) {
  if (aTitle.TitleSkinIndex < 0)
    aTitle.TitleSkinIndex =
        aSkin.GetSkinIndex(aTitle.TitleSkin.empty() ? "FORMTITLE" : aTitle.TitleSkin);
  return aTitle.TitleSkinIndex;
}

bool PlainForm(TsCommonData& aData) {
  if ((aData.CtrlSkinState & cssNotComputed) != 0)
    aData.RefreshPlainState(false);
  return (aData.CtrlSkinState & cssPlain) != 0;
}

TColor FormColor(const TsCommonData& aData, bool aActive) {
  return aData.StateBackgroundColor(aActive ? 1 : 0);
}

void PaintAll(TsCommonData& aData, TsTitleBarData& aTitle, const TsFrameView& aView,
              TqcFrameLayout& aLayout) {
  const TsSkinManager* skin = aData.SkinManager();
  if (!aData.BGChanged || skin == nullptr || !aData.Skinned())
    return;
  const TqcFrameForm& form = aView.Form;
  const int b = SysBorderWidth(form);
  const int ch = CaptionHeight(form);
  const int width = CaptionWidth(form);
  const int height = HasStyle(form, WS_MINIMIZE) && !form.IsMainForm ? b + ch + 2 : form.Size.cy;
  if (aData.CacheBmp() == nullptr)
    aData.InitCacheBmp();
  Bitmap& cache = *aData.CacheBmp();
  LayOut(*skin, aView, aLayout);
  if (cache.Width() != width || cache.Height() != height)
    cache.SetSize(width, height);
  if (cache.Empty())
    return;
  const int state = SectionState(*skin, aData.SkinIndex, aView.Active);
  PaintWindowBackground(cache, aData, aView, state);
  if (ch > 0 && aView.DrawNonClientArea) {
    PaintTitle(cache, *skin, aData, aTitle, aView, aLayout, state);
    PaintCaption(cache, *skin, aTitle, aView, aLayout);
    SaveButtonStrip(cache, *skin, aTitle, aView, aLayout);
    if (HasBorder(form))
      PaintBorderIcons(cache, *skin, aTitle, aView, aLayout);
  }
  aData.BGChanged = false;
  aData.SetUpdating(false);
}
