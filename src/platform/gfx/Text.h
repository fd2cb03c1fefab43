#pragma once
// Text on device contexts: metrics, extents, plain and formatted text output.
// All text is UTF-8. The DC's selected font is used, or the default GUI font
// when none (or a deleted one) is selected. Positions are logical coordinates;
// the DC's origins, clip, text colour, background colour and mode apply.
// Text pixels are the text colour laid over the target by the glyph's
// grey-scale coverage m (0..255); alpha rises to m + alpha * (255 - m) / 255,
// so fully covered pixels are opaque.

#include "platform/Types.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/TextLayout.h"

#include <string_view>

namespace platform {

// ExtTextOutW options.
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

BOOL GetTextMetricsW(HDC aDC, TEXTMETRICW* aMetrics);
// The width of the text (the sum of its characters' advances; control
// characters take no room) and the font's line height.
BOOL GetTextExtentPoint32W(HDC aDC, std::string_view aText, SIZE* aSize);
// Draws the text with the top-left of its first cell at (aX, aY); in OPAQUE
// background mode the text's cells are filled in the background colour first.
BOOL TextOutW(HDC aDC, int aX, int aY, std::string_view aText);
// TextOutW with a rectangle: ETO_OPAQUE fills it in the background colour (also
// when the text is empty), ETO_CLIPPED keeps the text inside it.
BOOL ExtTextOutW(HDC aDC, int aX, int aY, UINT aOptions, const RECT* aRect, std::string_view aText);
// Formatted text in aRect laid out as LayOutText describes, clipped to aRect
// unless DT_NOCLIP; in OPAQUE background mode each line's cells are filled
// first. With DT_CALCRECT nothing is drawn; aRect keeps its left and top and
// gets the width of the widest line and the height of all lines. Returns the
// text's height (see TextLayout::Result), 0 on failure or for empty text.
int DrawTextW(HDC aDC, std::string_view aText, RECT* aRect, UINT aFormat);

} // namespace platform
