#include "skin/frame/sCaptionButtons.h"

#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sMaskPaint.h"

#include <algorithm>

using namespace platform;

namespace {

constexpr int NormalMode = 1;
constexpr int FadedMode = 2;

bool HasStyle(const TqcFrameForm& aForm, DWORD aBits) {
  return (aForm.Style & aBits) == aBits;
}

void DrawImage(Bitmap& aCache, const TsSkinManager& aSkin, int aImage, const TRect& aRect,
               int aState, int aMode) {
  if (!aSkin.IsValidImgIndex(aImage))
    return;
  PaintMaskGlyph(aCache, {aRect.Left, aRect.Top}, aState, CacheInfoFromBitmap(&aCache, 0, 0),
                 aSkin.ma[std::size_t(aImage)], aMode);
}

// An extra button's glyph centred in its rectangle, one pixel right and down
// while pressed.
void DrawTitleGlyph(Bitmap& aCache, const TsSkinManager& aSkin, const TsFrameView& aView,
                    const TqcFrameLayout& aLayout, std::size_t aIndex) {
  if (aIndex >= aView.TitleButtonGlyphs.size() || aView.TitleButtonGlyphs[aIndex] == nullptr)
    return;
  const Bitmap& glyph = *aView.TitleButtonGlyphs[aIndex];
  const TqcCaptionButton& button = aLayout.TitleButtons[aIndex];
  const int shift = button.State == cbsPressed ? 1 : 0;
  const int x = button.Rect.Left + (button.Rect.Width() - glyph.Width()) / 2 + shift;
  const int y =
      button.Rect.Top + (ButtonHeight(aSkin, aLayout.Buttons) - glyph.Height()) / 2 + shift;
  const TRect r = Bounds(x, y, glyph.Width(), glyph.Height());
  raster::Stretch(aCache, r, r, glyph, glyph.BoundsRect(), {true, 255, true});
}

// Whether caption item aHitCode can be used; extra buttons by their index.
bool ButtonEnabled(const TsFrameView& aView, int aHitCode) {
  const TqcSystemMenuState& menu = aView.Form.SystemMenu;
  switch (aHitCode) {
  case HTCLOSE:
    return menu.EnabledClose;
  case HTMAXBUTTON:
    return menu.EnabledMax;
  case HTMINBUTTON:
    return menu.EnabledMin;
  case HTHELP:
    return true;
  default:
    return aView.Form.TitleButtons[std::size_t(aHitCode - HTTITLEBUTTON)].Enabled;
  }
}

} // namespace

int ImageInWindowState(const TsSkinManager& aSkin, const TsFrameView& aView,
                       const TqcCaptionButton& aButton) {
  const TConstantSkinData& c = aSkin.ConstData;
  if (HasStyle(aView.Form, WS_MINIMIZE)) {
    if (aButton.HitCode == int(HTMINBUTTON))
      return c.MaskNormBtn;
    if (aButton.HitCode == int(HTMAXBUTTON))
      return c.MaskMaxBtn;
  } else if (HasStyle(aView.Form, WS_MAXIMIZE) && aButton.HitCode == int(HTMAXBUTTON)) {
    return c.MaskNormBtn;
  }
  return aButton.ImageIndex;
}

void SaveButtonStrip(const Bitmap& aCache, const TsSkinManager& aSkin, TsTitleBarData& aTitle,
                     const TsFrameView& aView, const TqcFrameLayout& aLayout) {
  const TqcFrameForm& form = aView.Form;
  const int b = SysBorderWidth(form);
  const int wanted = b + TitleBtnsWidth(aSkin, form, aLayout.Buttons) + 10;
  const int left = std::max(aCache.Width() - wanted - 1, 0);
  const int width = std::min(wanted, aCache.Width() - left);
  const int height = std::min(b + CaptionHeight(form) + b, aCache.Height());
  aTitle.TempBmpOrigin = {left, 0};
  aTitle.TempBmp.SetSize(width, height);
  raster::Copy(aTitle.TempBmp, aTitle.TempBmp.BoundsRect(), aCache, aTitle.TempBmpOrigin);
}

void RestoreButtonStrip(Bitmap& aCache, const TsTitleBarData& aTitle) {
  const TPoint o = aTitle.TempBmpOrigin;
  raster::Copy(aCache, Bounds(o.X, o.Y, aTitle.TempBmp.Width(), aTitle.TempBmp.Height()),
               aTitle.TempBmp, {0, 0});
}

void PaintButton(Bitmap& aCache, const TsSkinManager& aSkin, const TsFrameView& aView,
                 const TqcCaptionButton& aButton, bool aEnabled) {
  const bool faded = !(aView.Active && aEnabled && aView.Enabled);
  DrawImage(aCache, aSkin, aButton.ImageIndex, aButton.Rect, aButton.State,
            aButton.State == cbsNormal && faded ? FadedMode : NormalMode);
}

void PaintBorderIcons(Bitmap& aCache, const TsSkinManager& aSkin, const TsTitleBarData& aTitle,
                      const TsFrameView& aView, const TqcFrameLayout& aLayout) {
  RestoreButtonStrip(aCache, aTitle);
  const TqcFrameForm& form = aView.Form;
  const TqcSystemMenuState& menu = form.SystemMenu;
  const TqcCaptionButtons& b = aLayout.Buttons;
  if (menu.Exists && form.BorderIcons.Contains(biSystemMenu)) {
    PaintButton(aCache, aSkin, aView, b.Close, menu.EnabledClose);
    if (menu.VisibleMax)
      PaintButton(aCache, aSkin, aView, b.Max, menu.EnabledMax);
    if (menu.VisibleMin)
      PaintButton(aCache, aSkin, aView, b.Min, menu.EnabledMin);
    if (form.BorderIcons.Contains(biHelp))
      PaintButton(aCache, aSkin, aView, b.Help, true);
  }
  for (std::size_t i = 0; i < aLayout.TitleButtons.size(); ++i) {
    if (!form.TitleButtons[i].Visible)
      continue;
    PaintButton(aCache, aSkin, aView, aLayout.TitleButtons[i], form.TitleButtons[i].Enabled);
    DrawTitleGlyph(aCache, aSkin, aView, aLayout, i);
  }
}

TqcCaptionButton* CaptionButtonOf(TqcFrameLayout& aLayout, int aHitCode) {
  TqcCaptionButtons& b = aLayout.Buttons;
  switch (aHitCode) {
  case HTMINBUTTON:
    return &b.Min;
  case HTMAXBUTTON:
    return &b.Max;
  case HTCLOSE:
    return &b.Close;
  case HTHELP:
    return &b.Help;
  default:
    break;
  }
  const int index = aHitCode - HTTITLEBUTTON;
  if (index >= 0 && index < int(aLayout.TitleButtons.size()))
    return &aLayout.TitleButtons[std::size_t(index)];
  return nullptr;
}

void RepaintButton(TsCommonData& aData, const TsTitleBarData& aTitle, const TsFrameView& aView,
                   TqcFrameLayout& aLayout, int aHitCode, HDC aWindowDC) {
  const TsSkinManager* skin = aData.SkinManager();
  Bitmap* cache = aData.CacheBmp();
  const TqcCaptionButton* button = CaptionButtonOf(aLayout, aHitCode);
  if (skin == nullptr || cache == nullptr || cache->Empty() || aData.BGChanged ||
      button == nullptr || button->Rect.IsEmpty() || aTitle.TempBmp.Empty() ||
      button->Rect.Left < aLayout.IconRect.Right)
    return;
  const TRect r = button->Rect;
  const TPoint o = aTitle.TempBmpOrigin;
  raster::Copy(*cache, r, aTitle.TempBmp, {r.Left - o.X, r.Top - o.Y});
  const bool disabled = !ButtonEnabled(aView, aHitCode) || !aView.Enabled;
  if (aHitCode >= HTTITLEBUTTON) {
    const int mode = button->State == cbsNormal && !aView.Active ? FadedMode : NormalMode;
    DrawImage(*cache, *skin, button->ImageIndex, r, button->State, mode);
    DrawTitleGlyph(*cache, *skin, aView, aLayout, std::size_t(aHitCode - HTTITLEBUTTON));
  } else {
    const bool faded = (disabled || button->State == cbsNormal) && (disabled || !aView.Active);
    DrawImage(*cache, *skin, ImageInWindowState(*skin, aView, *button), r, button->State,
              faded ? FadedMode : NormalMode);
  }
  if (aWindowDC != nullptr)
    CopyBitmapToDC(aWindowDC, r, *cache, {r.Left, r.Top});
}
