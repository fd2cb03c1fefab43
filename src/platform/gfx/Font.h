#pragma once
// Fonts: the logical font record, font creation and deletion, the text
// metrics, and the default GUI font used by DCs that have no font selected.

#include "platform/Types.h"
#include "platform/gfx/GdiObjects.h"
#include "platform/gfx/GlyphCache.h"

#include <memory>
#include <string>

namespace platform {

// Weights.
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_HEAVY = 900;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;

// tmPitchAndFamily bits.
constexpr BYTE TMPF_FIXED_PITCH = 0x01; // set for a variable-pitch font
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE FF_SWISS = 0x20;

// Stock font index.
constexpr int DEFAULT_GUI_FONT = 17;

// The face and character height of the default GUI font (8 points at 96 dpi).
inline constexpr const char* DefaultGuiFaceName = "Tahoma";
constexpr LONG DefaultGuiFontHeight = -11;

// A logical font. lfHeight < 0 asks for that character height (em size) in
// pixels, lfHeight > 0 for that cell height (ascent + descent), 0 for the
// default GUI font's height. The face name is UTF-8; empty means the default
// GUI face. Width, escapement, orientation and the precision fields are kept
// for the record's shape; glyphs are drawn upright at their natural width.
struct LOGFONTW {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = FW_DONTCARE;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = DEFAULT_CHARSET;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  std::string lfFaceName;
};

struct TEXTMETRICW {
  LONG tmHeight = 0; // ascent + descent: the height of a text line
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0; // tmHeight minus the em size
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  char32_t tmFirstChar = 0x20;
  char32_t tmLastChar = 0xFFFC;
  char32_t tmDefaultChar = 0x1F;
  char32_t tmBreakChar = 0x20;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};

// A realised font: the logical record and the strike it draws with. Created by
// CreateFontIndirectW, freed by DeleteObject.
class Font {
public:
  Font(const LOGFONTW& aLogFont, std::shared_ptr<GlyphStrike> aStrike, std::string aFamily,
       bool aStock);

  const LOGFONTW& LogFont() const { return fLogFont; }
  GlyphStrike& Strike() const { return *fStrike; }
  const TEXTMETRICW& Metrics() const { return fMetrics; }
  // The family name of the face actually used.
  const std::string& Family() const { return fFamily; }
  bool Stock() const { return fStock; }

private:
  LOGFONTW fLogFont;
  std::shared_ptr<GlyphStrike> fStrike;
  std::string fFamily;
  TEXTMETRICW fMetrics;
  bool fStock;
};

// A font for the record; nullptr for a null record or when no face at all can
// be loaded.
HFONT CreateFontIndirectW(const LOGFONTW* aLogFont);
// Frees a font made by CreateFontIndirectW; the stock font is left alone. A DC
// that still has the deleted font selected draws with the default GUI font.
BOOL DeleteObject(HFONT aFont);
// The stock font for DEFAULT_GUI_FONT ("Tahoma", 11 pixels character height);
// nullptr for other indexes or when no face can be loaded.
HFONT GetStockFont(int aIndex);
// The font a DC draws with: its selected font while that exists, else the
// default GUI font. nullptr only when no face can be loaded at all.
HFONT FontInUse(HFONT aSelected);

} // namespace platform
