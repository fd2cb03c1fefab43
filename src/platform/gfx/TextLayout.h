#pragma once
// Formatted text layout: UTF-8 decoding, '&' prefixes, line breaking, tab
// expansion, end ellipsis, alignment and reading direction, worked out on
// character advances alone so that it can be checked without rasterising.

#include "platform/Types.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Format flags of DrawTextW.
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_RTLREADING = 0x00020000;

// The code points of UTF-8 text; every byte that does not start a well-formed
// sequence (overlong forms, surrogates and values above U+10FFFF included)
// becomes one U+FFFD.
std::u32string DecodeUtf8(std::string_view aText);

// How wide each character is drawn, in pixels.
class TextMeasure {
public:
  virtual ~TextMeasure() = default;
  virtual int Advance(char32_t aChar) = 0;
};

// One character placed on a line. X is relative to the line's left edge.
struct PlacedChar {
  char32_t Char = 0;
  int X = 0;
  int Advance = 0;
  bool Underline = false; // marked by an '&' prefix
};

// One line in logical coordinates: its left edge and top, and its width.
struct TextLine {
  std::vector<PlacedChar> Chars;
  int X = 0;
  int Y = 0;
  int Width = 0;
};

struct TextLayoutParams {
  TRect Rect;
  UINT Format = 0;
  int LineHeight = 0;
  // The distance between tab stops (eight average character widths).
  int TabWidth = 0;
};

struct TextLayout {
  std::vector<TextLine> Lines;
  int Width = 0;  // of the widest line
  int Height = 0; // of all lines
  // What DrawTextW returns: the text's height, or with vertical placement of a
  // single line the distance from the rectangle's top to the text's bottom.
  int Result = 0;
};

// Lays out aText in aParams.Rect as DrawTextW does:
// - Lines end at CR, LF and CR LF, unless DT_SINGLELINE, where those (like all
//   other control characters) take no room.
// - DT_WORDBREAK breaks before a word that would cross the right edge; the
//   spaces at a break belong to neither line. A word wider than the rectangle
//   keeps a line of its own.
// - DT_EXPANDTABS moves a tab to the next multiple of TabWidth from the line's
//   start; otherwise tabs take no room.
// - Unless DT_NOPREFIX, '&' marks the next character for underlining, "&&"
//   stands for one '&', and a last lone '&' is dropped.
// - DT_END_ELLIPSIS shortens a line that is wider than the rectangle to the
//   characters that fit together with "...", which then ends it.
// - Lines are aligned left, centred ((width - line width) / 2, truncated) or
//   right; a single line is placed at the top, centred vertically or at the
//   bottom (DT_VCENTER and DT_BOTTOM act only with DT_SINGLELINE).
// - DT_RTLREADING lays each line out right to left: the Unicode bidirectional
//   algorithm with a right-to-left paragraph direction orders its characters.
TextLayout LayOutText(std::u32string_view aText, const TextLayoutParams& aParams,
                      TextMeasure& aMeasure);

} // namespace platform
