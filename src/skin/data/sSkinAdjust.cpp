#include "skin/data/sSkinAdjust.h"

#include "platform/gfx/Raster.h"
#include "skin/data/sSkinLoader.h"
#include "skin/paint/pixels/ColorFilters.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

constexpr TPixel kKey = 0x00FF00FF;

// A colour value 0x00BBGGRR changed through a pixel filter; the high byte is
// kept. "None" (-1) and system colour references are left alone.
int FilterColor(int aColor, TPixelFilter aFilter, int aValue) {
  TColor c = TColor(aColor);
  if (aColor == -1 || IsSystemColor(c))
    return aColor;
  TPixel p = aFilter(platform::raster::PixelOf(c, 0), aValue);
  return int((c & 0xFF000000u) | platform::raster::ColorOf(p));
}

void FilterState(TsGenState& aState, TPixelFilter aFilter, int aValue, bool aAllGradients) {
  for (int* color :
       {&aState.Color, &aState.FontColor.Color, &aState.FontColor.Left, &aState.FontColor.Top,
        &aState.FontColor.Right, &aState.FontColor.Bottom, &aState.GlowColor})
    *color = FilterColor(*color, aFilter, aValue);
  if (aAllGradients || aState.GradientPercent > 0)
    for (auto& pie : aState.GradientArray) {
      pie.Color1 = TColor(FilterColor(int(pie.Color1), aFilter, aValue));
      pie.Color2 = TColor(FilterColor(int(pie.Color2), aFilter, aValue));
    }
}

void FilterSections(TsSkinTables& aTables, TPixelFilter aFilter, int aValue, bool aAllGradients) {
  for (auto& g : aTables.gd)
    for (auto& state : g.Props)
      FilterState(state, aFilter, aValue, aAllGradients);
}

void FilterPalette(TsSkinTables& aTables, TPixelFilter aFilter, int aValue) {
  for (auto entry :
       {pcMainColor, pcLabelText, pcWebText, pcEditText, pcEditBG, pcSelectionBG, pcSelectionText,
        pcSelectionBG_Focused, pcSelectionText_Focused, pcEditBG_Inverted, pcEditText_Inverted,
        pcEditBG_OddRow, pcEditBG_EvenRow, pcBorder})
    aTables.Palette[entry] = TColor(FilterColor(int(aTables.Palette[entry]), aFilter, aValue));
}

// The caption-button images that keep their hue (BIKEEPHUE).
std::set<std::string> HueKeptKeys(int aKeepHue) {
  if (aKeepHue <= 0)
    return {};
  if (aKeepHue >= 2)
    return {"BICONCLOSE", "BICLOSEALONE", "SICONCLOSE"};
  return {"BICONCLOSE", "BICLOSEALONE", "SICONCLOSE", "BICONMAX", "BICONMIN",
          "BICONNORM",  "BICONHELP",    "SICONMAX",   "SICONMIN", "SICONNORM"};
}

void CopyRect(const platform::Bitmap& aFrom, platform::Bitmap& aTo, TRect aRect) {
  aRect = aRect.Intersect(aTo.BoundsRect()).Intersect(aFrom.BoundsRect());
  for (int y = aRect.Top; y < aRect.Bottom; ++y)
    for (int x = aRect.Left; x < aRect.Right; ++x)
      aTo.SetPixel(x, y, aFrom.Pixel(x, y));
}

// The lower half of a rectangle: the mask row of a one-mask entry.
TRect LowerHalf(const TRect& aRect) {
  return {aRect.Left, aRect.Top + aRect.Height() / 2, aRect.Right, aRect.Bottom};
}

void ShiftHue(TsSkinTables& aTables, int aDegrees) {
  std::set<std::string> kept = HueKeptKeys(aTables.CommonSkinData.BIKeepHUE);
  // A kept button's glow keeps its pixels too when the button is an image of
  // its own.
  auto ownFile = [&](const std::string& aKey) {
    int index = aTables.GetMaskIndex("GLOBALINFO", aKey);
    return index >= 0 && aTables.ma[std::size_t(index)].Bmp != nullptr;
  };
  auto isKept = [&](const TsMaskData& aMask) {
    if (aMask.ClassName != "GLOBALINFO")
      return false;
    for (const auto& key : kept)
      if (aMask.PropertyName == key || (aMask.PropertyName == key + "GLOW0" && ownFile(key)))
        return true;
    return false;
  };
  platform::Bitmap original = *aTables.MasterBitmap;
  ApplyPixelFilter(*aTables.MasterBitmap, HueShift, aDegrees, kKey);
  for (auto& m : aTables.ma) {
    if (!isKept(m)) {
      if (m.Bmp)
        ApplyPixelFilter(*m.Bmp, HueShift, aDegrees, kKey);
    } else if (!m.Bmp) {
      CopyRect(original, *aTables.MasterBitmap, m.R);
    }
  }
  FilterSections(aTables, HueShift, aDegrees, false);
  aTables.CommonSkinData.Shadow1Color =
      FilterColor(aTables.CommonSkinData.Shadow1Color, HueShift, aDegrees);
  FilterPalette(aTables, HueShift, aDegrees);
}

void ShiftSaturation(TsSkinTables& aTables, int aAmount) {
  ApplyPixelFilter(*aTables.MasterBitmap, SaturationShift, aAmount, kKey);
  for (auto& m : aTables.ma)
    if (m.Bmp)
      ApplyPixelFilter(*m.Bmp, SaturationShift, aAmount, kKey);
  FilterSections(aTables, SaturationShift, aAmount, true);
  aTables.CommonSkinData.Shadow1Color =
      FilterColor(aTables.CommonSkinData.Shadow1Color, SaturationShift, aAmount);
  FilterPalette(aTables, SaturationShift, aAmount);
}

void ShiftBrightness(TsSkinTables& aTables, int aAmount) {
  platform::Bitmap original = *aTables.MasterBitmap;
  ApplyPixelFilter(*aTables.MasterBitmap, BrightnessShift, aAmount, kKey);
  for (const auto& m : aTables.ma)
    if (!m.Bmp && m.MaskType == 1)
      CopyRect(original, *aTables.MasterBitmap, LowerHalf(m.R));
  for (auto& m : aTables.ma) {
    if (!m.Bmp)
      continue;
    platform::Bitmap before = *m.Bmp;
    ApplyPixelFilter(*m.Bmp, BrightnessShift, aAmount, kKey);
    if (m.MaskType == 0) {
      if (aAmount > 0)
        PostProcessPng(*m.Bmp, aTables.CommonSkinData.Version);
    } else {
      CopyRect(before, *m.Bmp, LowerHalf(m.R));
    }
  }
  FilterSections(aTables, BrightnessShift, aAmount, true);
}

} // namespace

int SaturationAmount(int aSaturation) {
  // Exact decimal arithmetic: 2.55 has no exact binary form, and ties
  // (x.5) must go to the even neighbour.
  long long scaled = static_cast<long long>(aSaturation) * 255;
  long long quotient = scaled / 100;
  long long remainder = scaled % 100;
  long long sign = scaled < 0 ? -1 : 1;
  long long twice = remainder < 0 ? -remainder * 2 : remainder * 2;
  if (twice > 100 || (twice == 100 && quotient % 2 != 0))
    quotient += sign;
  return int(std::clamp<long long>(quotient, -255, 255));
}

void AdjustSkinColors(TsSkinTables& aTables, int aHueOffset, int aSaturation, int aBrightness) {
  if (aHueOffset != 0)
    ShiftHue(aTables, aHueOffset);
  if (aSaturation != 0)
    ShiftSaturation(aTables, SaturationAmount(aSaturation));
  if (aBrightness != 0)
    ShiftBrightness(aTables, aBrightness);
}
