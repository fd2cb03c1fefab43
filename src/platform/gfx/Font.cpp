#include "platform/gfx/Font.h"

#include "platform/gfx/FontMatch.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <unordered_set>

namespace platform {

namespace {

// Fonts made and not yet deleted. A DC keeps only the handle of its font, so
// the text functions check the handle here before using it.
struct LiveFonts {
  std::mutex Mutex;
  std::unordered_set<const Font*> Fonts;
};

LiveFonts& Live() {
  static LiveFonts live;
  return live;
}

TEXTMETRICW MetricsOf(const LOGFONTW& aLogFont, const StrikeMetrics& aStrike) {
  TEXTMETRICW tm;
  tm.tmAscent = aStrike.Ascent;
  tm.tmDescent = aStrike.Descent;
  tm.tmHeight = aStrike.Ascent + aStrike.Descent;
  tm.tmInternalLeading = std::max(0, tm.tmHeight - aStrike.EmHeight);
  tm.tmExternalLeading = aStrike.ExternalLeading;
  tm.tmAveCharWidth = aStrike.AveCharWidth;
  tm.tmMaxCharWidth = aStrike.MaxCharWidth;
  tm.tmWeight = aLogFont.lfWeight == FW_DONTCARE ? FW_NORMAL : aLogFont.lfWeight;
  tm.tmItalic = aLogFont.lfItalic ? 1 : 0;
  tm.tmUnderlined = aLogFont.lfUnderline ? 1 : 0;
  tm.tmStruckOut = aLogFont.lfStrikeOut ? 1 : 0;
  tm.tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE | FF_SWISS;
  tm.tmCharSet = aLogFont.lfCharSet;
  return tm;
}

Font* Realise(const LOGFONTW& aLogFont, bool aStock) {
  LOGFONTW logFont = aLogFont;
  if (logFont.lfFaceName.empty())
    logFont.lfFaceName = DefaultGuiFaceName;
  const LONG height = logFont.lfHeight == 0
                          ? DefaultGuiFontHeight
                          : std::clamp(logFont.lfHeight, -MaxPixelHeight, MaxPixelHeight);
  const FontFileInfo file =
      MatchFontFile(logFont.lfFaceName, logFont.lfWeight, logFont.lfItalic != 0);
  if (file.Path.empty())
    return nullptr;
  const int weight = logFont.lfWeight == FW_DONTCARE ? FW_NORMAL : logFont.lfWeight;
  auto strike = GlyphStrike::Get(
      {file.Path, file.Index, height, file.Embolden, file.Oblique, weight, logFont.lfItalic != 0});
  if (!strike)
    return nullptr;
  return new (std::nothrow) Font(aLogFont, std::move(strike), file.Family, aStock);
}

} // namespace

Font::Font(const LOGFONTW& aLogFont, std::shared_ptr<GlyphStrike> aStrike, std::string aFamily,
           bool aStock)
    : fLogFont(aLogFont), fStrike(std::move(aStrike)), fFamily(std::move(aFamily)),
      fMetrics(MetricsOf(aLogFont, fStrike->Metrics())), fStock(aStock) {}

HFONT CreateFontIndirectW(const LOGFONTW* aLogFont) {
  if (!aLogFont)
    return nullptr;
  Font* font = Realise(*aLogFont, false);
  if (font) {
    std::lock_guard lock(Live().Mutex);
    Live().Fonts.insert(font);
  }
  return font;
}

BOOL DeleteObject(HFONT aFont) {
  if (!aFont)
    return false;
  {
    std::lock_guard lock(Live().Mutex);
    if (Live().Fonts.count(aFont) == 0)
      return false;
    if (aFont->Stock())
      return true;
    Live().Fonts.erase(aFont);
  }
  delete aFont;
  return true;
}

HFONT GetStockFont(int aIndex) {
  if (aIndex != DEFAULT_GUI_FONT)
    return nullptr;
  static Font* const stock = [] {
    LOGFONTW logFont;
    logFont.lfHeight = DefaultGuiFontHeight;
    logFont.lfFaceName = DefaultGuiFaceName;
    Font* font = Realise(logFont, true);
    if (font) {
      std::lock_guard lock(Live().Mutex);
      Live().Fonts.insert(font);
    }
    return font;
  }();
  return stock;
}

HFONT FontInUse(HFONT aSelected) {
  if (aSelected) {
    std::lock_guard lock(Live().Mutex);
    if (Live().Fonts.count(aSelected) != 0)
      return aSelected;
  }
  return GetStockFont(DEFAULT_GUI_FONT);
}

} // namespace platform
