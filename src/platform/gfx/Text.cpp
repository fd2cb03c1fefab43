#include "platform/gfx/Text.h"

#include "platform/gfx/Raster.h"

#include <algorithm>
#include <optional>

namespace platform {

namespace {

class StrikeMeasure : public TextMeasure {
public:
  explicit StrikeMeasure(GlyphStrike& aStrike) : fStrike(aStrike) {}
  int Advance(char32_t aChar) override { return fStrike.GlyphFor(aChar).Advance; }

private:
  GlyphStrike& fStrike;
};

// Draws into a DC's bitmap, taking device coordinates, inside the DC's
// effective clip and an optional further rectangle.
class TextPainter {
public:
  TextPainter(HDC aDC, std::optional<TRect> aClip) : fDC(aDC), fClip(aClip) {}

  bool CanDraw() const { return fDC->SelectedBitmap() && !fDC->Clip().IsEmpty(); }

  void Fill(const TRect& aRect, COLORREF aColor) {
    ForEachPart(aRect, [&](const TRect& aPart, Bitmap& aBitmap) {
      raster::Fill(aBitmap, aPart, raster::PixelOf(aColor));
    });
  }

  // The glyph with its pen position at aX and its baseline at aBaseline.
  void Blend(const Glyph& aGlyph, int aX, int aBaseline, COLORREF aColor) {
    if (aGlyph.Width == 0 || aGlyph.Height == 0)
      return;
    const TPoint origin = fDC->DeviceOrigin();
    const TPoint at{aX + aGlyph.Left + origin.X, aBaseline - aGlyph.Top + origin.Y};
    ForEachPart(Bounds(aX + aGlyph.Left, aBaseline - aGlyph.Top, aGlyph.Width, aGlyph.Height),
                [&](const TRect& aPart, Bitmap& aBitmap) {
                  raster::BlendMask(aBitmap, aPart, at, aGlyph.Coverage.data(), aGlyph.Width,
                                    aGlyph.Height, aGlyph.Width, aColor);
                });
  }

private:
  template <typename Action>
  void ForEachPart(const TRect& aRect, Action aAction) {
    Bitmap* bitmap = fDC->SelectedBitmap();
    if (!bitmap)
      return;
    TRect target = fClip ? aRect.Intersect(*fClip) : aRect;
    if (target.IsEmpty())
      return;
    const TPoint origin = fDC->DeviceOrigin();
    for (const TRect& clip : fDC->Clip().Rects()) {
      const TRect part = target.Intersect(clip);
      if (!part.IsEmpty())
        aAction(part.Offset(origin.X, origin.Y), *bitmap);
    }
  }

  HDC fDC;
  std::optional<TRect> fClip;
};

// Everything needed to draw runs of text in one call.
struct TextContext {
  Font* TheFont;
  TPoint Offset; // logical to device
};

std::optional<TextContext> ContextOf(HDC aDC) {
  if (!aDC)
    return std::nullopt;
  Font* font = FontInUse(aDC->SelectedFont());
  if (!font)
    return std::nullopt;
  return TextContext{font, aDC->ViewportOrigin()};
}

TRect ToDevice(const TRect& aRect, TPoint aOffset) {
  return aRect.Offset(aOffset.X, aOffset.Y);
}

// Draws placed characters with the line's top-left at (aX, aY) in device
// coordinates: the cell background in OPAQUE mode, the glyphs, prefix
// underlines and the font's underline and strike-out.
void DrawLine(HDC aDC, TextPainter& aPainter, const Font& aFont, const TextLine& aLine, int aX,
              int aY, int aLineHeight) {
  if (aDC->BkMode() == OPAQUE && aLine.Width > 0)
    aPainter.Fill(Bounds(aX, aY, aLine.Width, aLineHeight), aDC->BkColor());
  GlyphStrike& strike = aFont.Strike();
  const StrikeMetrics& metrics = strike.Metrics();
  const int baseline = aY + metrics.Ascent;
  const COLORREF color = aDC->TextColor();
  const int underlineTop = baseline + metrics.UnderlineOffset;
  for (const PlacedChar& c : aLine.Chars) {
    aPainter.Blend(strike.GlyphFor(c.Char), aX + c.X, baseline, color);
    if (c.Underline)
      aPainter.Fill(Bounds(aX + c.X, underlineTop, c.Advance, metrics.UnderlineThickness), color);
  }
  if (aLine.Width <= 0)
    return;
  if (aFont.LogFont().lfUnderline)
    aPainter.Fill(Bounds(aX, underlineTop, aLine.Width, metrics.UnderlineThickness), color);
  if (aFont.LogFont().lfStrikeOut)
    aPainter.Fill(
        Bounds(aX, baseline - metrics.StrikeoutOffset, aLine.Width, metrics.StrikeoutThickness),
        color);
}

// One unformatted line: every character in order, control characters without
// room.
TextLine PlainLine(GlyphStrike& aStrike, std::string_view aText) {
  TextLine line;
  int x = 0;
  for (char32_t c : DecodeUtf8(aText)) {
    const int advance = aStrike.GlyphFor(c).Advance;
    if (advance != 0)
      line.Chars.push_back({c, x, advance, false});
    x += advance;
  }
  line.Width = x;
  return line;
}

} // namespace

BOOL GetTextMetricsW(HDC aDC, TEXTMETRICW* aMetrics) {
  auto context = ContextOf(aDC);
  if (!context || !aMetrics)
    return false;
  *aMetrics = context->TheFont->Metrics();
  return true;
}

BOOL GetTextExtentPoint32W(HDC aDC, std::string_view aText, SIZE* aSize) {
  auto context = ContextOf(aDC);
  if (!context || !aSize)
    return false;
  *aSize = {PlainLine(context->TheFont->Strike(), aText).Width,
            context->TheFont->Metrics().tmHeight};
  return true;
}

BOOL TextOutW(HDC aDC, int aX, int aY, std::string_view aText) {
  return ExtTextOutW(aDC, aX, aY, 0, nullptr, aText);
}

BOOL ExtTextOutW(HDC aDC, int aX, int aY, UINT aOptions, const RECT* aRect,
                 std::string_view aText) {
  auto context = ContextOf(aDC);
  if (!context)
    return false;
  std::optional<TRect> clip;
  if (aRect && (aOptions & ETO_CLIPPED))
    clip = ToDevice(*aRect, context->Offset);
  TextPainter painter(aDC, clip);
  if (!painter.CanDraw())
    return true;
  if (aRect && (aOptions & ETO_OPAQUE))
    TextPainter(aDC, std::nullopt).Fill(ToDevice(*aRect, context->Offset), aDC->BkColor());
  const TextLine line = PlainLine(context->TheFont->Strike(), aText);
  DrawLine(aDC, painter, *context->TheFont, line, aX + context->Offset.X, aY + context->Offset.Y,
           context->TheFont->Metrics().tmHeight);
  return true;
}

int DrawTextW(HDC aDC, std::string_view aText, RECT* aRect, UINT aFormat) {
  auto context = ContextOf(aDC);
  if (!context || !aRect)
    return 0;
  const Font& font = *context->TheFont;
  const TEXTMETRICW& tm = font.Metrics();
  StrikeMeasure measure(font.Strike());
  const TextLayout layout =
      LayOutText(DecodeUtf8(aText), {*aRect, aFormat, tm.tmHeight, 8 * tm.tmAveCharWidth}, measure);
  if (aFormat & DT_CALCRECT) {
    aRect->Right = aRect->Left + layout.Width;
    aRect->Bottom = aRect->Top + layout.Height;
    return layout.Height;
  }
  std::optional<TRect> clip;
  if (!(aFormat & DT_NOCLIP))
    clip = ToDevice(*aRect, context->Offset);
  TextPainter painter(aDC, clip);
  if (painter.CanDraw())
    for (const TextLine& line : layout.Lines)
      DrawLine(aDC, painter, font, line, line.X + context->Offset.X, line.Y + context->Offset.Y,
               tm.tmHeight);
  return layout.Result;
}

} // namespace platform
