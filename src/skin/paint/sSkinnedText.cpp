#include "skin/paint/sSkinnedText.h"

#include "platform/gfx/Font.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/ColorFilters.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sTextGlow.h"

#include <algorithm>

namespace {

constexpr int NoContour = -1;

// A border mask that paints its centre covers the section's background.
constexpr int PaintedCentreBit = 4;

// The index into Props for a state (0 normal, 1 hot).
int StateSlot(int aState) {
  return std::clamp(aState, 0, 1);
}

void DrawAt(platform::HDC aCanvas, std::string_view aText, const TRect& aR,
            platform::UINT aFormat) {
  TRect r = aR;
  platform::DrawTextW(aCanvas, aText, &r, aFormat);
}

void DrawInColor(platform::HDC aCanvas, std::string_view aText, const TRect& aR,
                 platform::UINT aFormat, TColor aColor) {
  platform::SetTextColor(aCanvas, aColor);
  DrawAt(aCanvas, aText, aR, aFormat);
}

// The contour copies that have a colour, left, up, right, down, then the
// text itself in the main colour with aMainFormat.
void DrawContoured(platform::HDC aCanvas, std::string_view aText, const TRect& aR,
                   platform::UINT aFormat, const TsFontColor& aColors, platform::UINT aMainFormat) {
  const struct {
    int Color;
    int Dx, Dy;
  } contours[] = {
      {aColors.Left, -1, 0}, {aColors.Top, 0, -1}, {aColors.Right, 1, 0}, {aColors.Bottom, 0, 1}};
  for (const auto& contour : contours)
    if (contour.Color != NoContour)
      DrawInColor(aCanvas, aText, aR.Offset(contour.Dx, contour.Dy), aFormat,
                  TColor(contour.Color));
  DrawInColor(aCanvas, aText, aR, aMainFormat, TColor(aColors.Color));
}

TsFontColor Filtered(const TsFontColor& aColors, const TsColorFilters& aFilters) {
  auto filter = [&](int aColor) {
    return aColor == NoContour ? NoContour : int(FilteredColor(TColor(aColor), aFilters));
  };
  return {filter(aColors.Color), filter(aColors.Left), filter(aColors.Top), filter(aColors.Right),
          filter(aColors.Bottom)};
}

bool PaintsBorderCentre(const TsSkinTables& aSkin, const TsGeneralData& aSection) {
  return aSkin.IsValidImgIndex(aSection.BorderIndex) &&
         (aSkin.ma[std::size_t(aSection.BorderIndex)].DrawMode & PaintedCentreBit) != 0;
}

// The canvas font with the underline style, selected into the canvas; the
// caller deletes it after restoring the canvas.
platform::HFONT SelectUnderlinedFont(platform::HDC aCanvas) {
  const platform::HFONT current = platform::FontInUse(aCanvas->SelectedFont());
  if (!current)
    return nullptr;
  platform::LOGFONTW logFont = current->LogFont();
  logFont.lfUnderline = 1;
  const platform::HFONT underlined = platform::CreateFontIndirectW(&logFont);
  if (underlined)
    platform::SelectObject(aCanvas, underlined);
  return underlined;
}

} // namespace

TColor FilteredColor(TColor aColor, const TsColorFilters& aFilters) {
  // The filters work on pixels, which hold red and blue the other way round.
  TPixel pixel = platform::raster::PixelOf(ColorToRGB(aColor));
  if (aFilters.ColorTone != NoKey)
    pixel = ToneFilter(pixel, int(ColorToRGB(aFilters.ColorTone)));
  if (aFilters.HueOffset != 0)
    pixel = HueShift(pixel, aFilters.HueOffset);
  // trunc(Saturation * 2.55) in whole numbers, exact for every amount.
  pixel = SaturationShift(pixel, int(aFilters.Saturation * 255LL / 100));
  return platform::raster::ColorOf(pixel);
}

int TextColorSection(const TsSkinTables& aSkin, int aSkinIndex, int aState,
                     const TsParentSectionQuery& aParentSection) {
  if (!aSkin.IsValidSkinIndex(aSkinIndex))
    return aSkinIndex;
  const auto& special = aSkin.ConstData.Sections;
  if (std::find(special.begin(), special.end(), aSkinIndex) == special.end() ||
      aSkin.gd[std::size_t(aSkinIndex)].Props[std::size_t(StateSlot(aState))].Transparency <= 0)
    return aSkinIndex;
  for (int level = 1;; ++level) {
    const std::optional<int> parent = aParentSection(level);
    if (!parent || !aSkin.IsValidSkinIndex(*parent))
      return aSkinIndex;
    const TsGeneralData& section = aSkin.gd[std::size_t(*parent)];
    if (section.Props[0].Transparency >= 51 && !PaintsBorderCentre(aSkin, section))
      continue;
    return section.GiveOwnFont ? *parent : aSkinIndex;
  }
}

void WriteSkinnedText(platform::HDC aCanvas, std::string_view aText, bool aEnabled, int aState,
                      const TsTextSkinInfo& aInfo, platform::UINT aFormat, const TRect& aR) {
  if (aText.empty())
    return;
  platform::HFONT underlined = nullptr;
  {
    const platform::ScopedSaveDC saved(aCanvas);
    underlined = aState == 1 && aInfo.WebButton ? SelectUnderlinedFont(aCanvas) : nullptr;
    platform::IntersectClipRect(aCanvas, aR.Left, aR.Top, aR.Right, aR.Bottom);
    platform::SetBkMode(aCanvas, platform::TRANSPARENT);
    if (aInfo.UseSkinColors && aInfo.Skin) {
      if (!aInfo.Skin->IsValidSkinIndex(aInfo.Section)) {
        DrawAt(aCanvas, aText, aR, aFormat);
      } else {
        const TsGenState& state =
            aInfo.Skin->gd[std::size_t(aInfo.Section)].Props[std::size_t(StateSlot(aState))];
        if (aInfo.Cache && state.GlowSize != 0)
          DrawTextGlow(*aInfo.Cache, platform::FontInUse(aCanvas->SelectedFont()), aText, aR,
                       FilteredColor(TColor(state.GlowColor), aInfo.Filters), state.GlowSize,
                       aFormat);
        const TsFontColor colors = Filtered(state.FontColor, aInfo.Filters);
        if (aEnabled)
          DrawContoured(aCanvas, aText, aR, aFormat, colors, aFormat | platform::DT_NOCLIP);
        else
          DrawInColor(aCanvas, aText, aR, aFormat, TColor(colors.Color));
      }
    } else if (aEnabled) {
      DrawAt(aCanvas, aText, aR, aFormat);
    } else {
      // Engraved: a light copy one pixel down-right under the dark text.
      DrawInColor(aCanvas, aText, aR.Offset(1, 1), aFormat,
                  platform::GetSysColor(platform::COLOR_BTNHIGHLIGHT));
      DrawInColor(aCanvas, aText, aR, aFormat, platform::GetSysColor(platform::COLOR_BTNSHADOW));
    }
  }
  // The font is deleted once the saved state, which selects the previous
  // font again, is back.
  if (underlined)
    platform::DeleteObject(underlined);
}

void WriteSectionText(platform::HDC aCanvas, std::string_view aText, bool aEnabled,
                      const TsSkinManager* aManager, int aState, int aSkinIndex,
                      platform::UINT aFormat, const TRect& aR) {
  if (aText.empty())
    return;
  const TsSkinManager* manager = aManager ? aManager : DefaultManager;
  const platform::ScopedSaveDC saved(aCanvas);
  platform::SetBkMode(aCanvas, platform::TRANSPARENT);
  if (!manager || !manager->IsValidSkinIndex(aSkinIndex)) {
    DrawAt(aCanvas, aText, aR, aFormat);
  } else if (aEnabled) {
    const TsGenState& state =
        manager->gd[std::size_t(aSkinIndex)].Props[std::size_t(StateSlot(aState))];
    DrawContoured(aCanvas, aText, aR, aFormat, state.FontColor, aFormat);
  } else {
    const TsGenState& normal = manager->gd[std::size_t(aSkinIndex)].Props[0];
    DrawInColor(aCanvas, aText, aR, aFormat,
                ColorMix(ColorToRGB(TColor(normal.FontColor.Color)),
                         ColorToRGB(TColor(normal.Color)), 0.4));
  }
}
