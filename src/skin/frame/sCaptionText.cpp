#include "skin/frame/sCaptionText.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/Text.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sSectionPaint.h"
#include "skin/paint/sSkinnedText.h"
#include "toolkit/Font.h"

#include <algorithm>
#include <memory>

using namespace platform;

namespace {

// Skins up to this version draw no caption glow.
constexpr double LastVersionWithoutGlow = 7.5;

struct DCDeleter {
  void operator()(HDC aDC) const { DeleteDC(aDC); }
};
using DCHolder = std::unique_ptr<DeviceContext, DCDeleter>;

SIZE Extent(HDC aDC, HFONT aFont, std::string_view aText) {
  if (aFont != nullptr)
    SelectObject(aDC, aFont);
  SIZE size{};
  GetTextExtentPoint32W(aDC, aText, &size);
  return size;
}

// The "CAPTION" plate around the measured caption, over the title band as it
// is before the plate.
void PaintCaptionPlate(Bitmap& aCache, const TsSkinManager& aSkin, int aSection,
                       const TsFrameView& aView, const TRect& aMeasured) {
  const TqcFrameForm& form = aView.Form;
  Bitmap band(aCache.Width(), SysBorderWidth(form) + CaptionHeight(form));
  raster::Copy(band, band.BoundsRect(), aCache, {0, 0});
  const TRect plate{aMeasured.Left - 2, aMeasured.Top - 1, aMeasured.Right + 2,
                    aMeasured.Bottom + 1};
  Bitmap piece(plate.Width(), plate.Height());
  PaintSectionByIndex(&aSkin, aSection, CacheInfoFromBitmap(&band, plate.Left, plate.Top), -1, -1,
                      &piece, {0, 0}, piece.BoundsRect(),
                      SectionState(aSkin, aSection, aView.Active));
  raster::Copy(aCache, plate, piece, {0, 0});
}

// The caption's glow from the slot of the frame state, made again when what
// it was made from changed.
void PaintCaptionGlow(Bitmap& aCache, const TsSkinManager& aSkin, int aSection,
                      TsTitleBarData& aTitle, const TsFrameView& aView, const TRect& aArea,
                      UINT aFormat) {
  if (aSkin.CommonSkinData.Version <= LastVersionWithoutGlow || !aSkin.IsValidSkinIndex(aSection))
    return;
  const TsGenState& state = aSkin.gd[std::size_t(aSection)].Props[aView.Active ? 1 : 0];
  if (state.GlowSize == 0)
    return;
  std::optional<TqcCaptionGlow>& slot = aView.Active ? aTitle.FGlow1 : aTitle.FGlow2;
  if (!slot || slot->Text != aView.Caption || slot->Area != aArea ||
      slot->Font != aView.CaptionFont || slot->Size != state.GlowSize || slot->Format != aFormat)
    slot = TqcCaptionGlow{
        aView.Caption,
        aArea,
        aView.CaptionFont,
        state.GlowSize,
        aFormat,
        MakeTextGlow(aView.CaptionFont, aView.Caption, aArea, state.GlowSize, aFormat)};
  if (!slot->Glow.Work.Pixels.empty())
    CompositeGlow(aCache, slot->Glow.Work, slot->Glow.Origin, ColorToRGB(TColor(state.GlowColor)));
}

// The added title's colour: the title section's when the font asks for no
// colour of its own; on an inactive frame half way to the section's.
TColor AddedTitleColor(const TsSkinManager& aSkin, int aTitle, const TqcAddedTitle& aAdded,
                       bool aActive) {
  const TsGeneralData& section = aSkin.gd[std::size_t(aTitle)];
  if (aAdded.FontColor == TqcAddedTitle::NoColor || aAdded.FontColor == clWindowText)
    return ColorToRGB(TColor(section.Props[aActive ? 1 : 0].FontColor.Color));
  if (!aActive)
    return ColorMix(ColorToRGB(TColor(section.Props[0].FontColor.Color)),
                    ColorToRGB(aAdded.FontColor), 0.5);
  return ColorToRGB(aAdded.FontColor);
}

} // namespace

TqcCaptionRoom CaptionRoom(const TsSkinManager& aSkin, const TsFrameView& aView,
                           const TqcFrameLayout& aLayout, bool aHasCaptionSection) {
  const TqcFrameForm& form = aView.Form;
  return {SysBorderWidth(form) + aLayout.IconRect.Width() + aSkin.CommonSkinData.BILeftMargin +
              (aHasCaptionSection ? 2 : 0) + 4,
          CaptionWidth(form) - TitleBtnsWidth(aSkin, form, aLayout.Buttons) - 12};
}

TRect PlaceCaption(const TqcCaptionRoom& aRoom, const TqcCaptionExtents& aExtents, int aVCenter,
                   TAlignment aAlignment, bool aRightToLeft) {
  TRect r{aRoom.Left, aVCenter - aExtents.TextHeight / 2, aRoom.Right, 0};
  r.Bottom = r.Top + aExtents.TextHeight;
  TAlignment alignment = aAlignment;
  if (aRightToLeft && alignment != taCenter)
    alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
  const int needed = aExtents.CaptionWidth + aExtents.AddedWidth + 4;
  const int room = r.Right - r.Left;
  if (alignment == taRightJustify) {
    if (needed < room)
      r.Left = r.Right - needed;
  } else if (alignment == taCenter) {
    r.Left = std::max(r.Left, r.Left + (room - needed) / 2);
    r.Right = std::min(r.Left + aExtents.CaptionWidth, r.Right);
  }
  return r;
}

UINT CaptionFormat(bool aRightToLeft) {
  return DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
         (aRightToLeft ? DT_RTLREADING : 0);
}

void PaintCaption(Bitmap& aCache, const TsSkinManager& aSkin, TsTitleBarData& aTitle,
                  const TsFrameView& aView, const TqcFrameLayout& aLayout) {
  aTitle.CaptionSkinIndex = aSkin.GetSkinIndex("CAPTION");
  const bool plate = aSkin.IsValidSkinIndex(aTitle.CaptionSkinIndex);
  const TqcCaptionRoom room = CaptionRoom(aSkin, aView, aLayout, plate);
  if (room.Left >= room.Right)
    return;
  const DCHolder dc(CreateCompatibleDC(nullptr));
  SelectObject(dc.get(), &aCache);
  const TqcAddedTitle& added = aTitle.AddedTitle;
  TqcCaptionExtents extents;
  if (!added.Text.empty()) {
    const SIZE size = Extent(dc.get(), added.Font, added.Text);
    extents.AddedWidth = size.cx;
    extents.TextHeight = size.cy;
  }
  if (added.ShowMainCaption) {
    const SIZE size = Extent(dc.get(), aView.CaptionFont, aView.Caption);
    extents.CaptionWidth = size.cx;
    extents.TextHeight = size.cy;
  }
  const TRect area =
      PlaceCaption(room, extents, aLayout.VCenter, aTitle.CaptionAlignment, aView.RightToLeft);
  const UINT format = CaptionFormat(aView.RightToLeft);
  const int title = GetTitleSkinIndex(aSkin, aTitle);
  int addedLeft = area.Left;
  if (added.ShowMainCaption) {
    TRect measured = area;
    DrawTextW(dc.get(), aView.Caption, &measured, format | DT_CALCRECT);
    if (plate)
      PaintCaptionPlate(aCache, aSkin, aTitle.CaptionSkinIndex, aView, measured);
    const int colors = plate ? aTitle.CaptionSkinIndex : title;
    PaintCaptionGlow(aCache, aSkin, colors, aTitle, aView, area, format);
    WriteSectionText(dc.get(), aView.Caption, aView.Enabled, &aSkin, aView.Active ? 1 : 0, colors,
                     format, area);
    addedLeft = measured.Right;
  }
  if (added.Text.empty())
    return;
  TRect r{addedLeft + 4, area.Top, 0, area.Bottom};
  r.Right = r.Left + extents.AddedWidth + 4;
  if (r.Width() <= 8 || !aSkin.IsValidSkinIndex(title))
    return;
  if (added.Font != nullptr)
    SelectObject(dc.get(), added.Font);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), AddedTitleColor(aSkin, title, added, aView.Active));
  DrawTextW(dc.get(), added.Text, &r, format);
}
