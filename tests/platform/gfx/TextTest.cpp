#include "platform/gfx/Text.h"

#include "support/PixelCheck.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace platform {
namespace {

using pixelcheck::Opaque;
using pixelcheck::SameBitmap;

const std::uint32_t White = Opaque(RGB(255, 255, 255));

// A white bitmap with a DC drawing black text on a transparent background in
// the given font.
class Canvas {
public:
  Canvas(HFONT aFont, int aWidth = 160, int aHeight = 60)
      : fBitmap(pixelcheck::Filled(aWidth, aHeight, White)), fDC(CreateCompatibleDC(nullptr)) {
    SelectObject(fDC, &fBitmap);
    SelectObject(fDC, aFont);
    SetBkMode(fDC, TRANSPARENT);
    SetTextColor(fDC, RGB(0, 0, 0));
  }
  ~Canvas() { DeleteDC(fDC); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC DC() const { return fDC; }
  Bitmap& Image() { return fBitmap; }

private:
  Bitmap fBitmap;
  HDC fDC;
};

class FontHandle {
public:
  explicit FontHandle(LONG aHeight, LONG aWeight = FW_NORMAL, bool aUnderline = false,
                      bool aStrikeOut = false) {
    LOGFONTW logFont;
    logFont.lfHeight = aHeight;
    logFont.lfWeight = aWeight;
    logFont.lfUnderline = aUnderline ? 1 : 0;
    logFont.lfStrikeOut = aStrikeOut ? 1 : 0;
    logFont.lfFaceName = "Tahoma";
    fFont = CreateFontIndirectW(&logFont);
  }
  ~FontHandle() { DeleteObject(fFont); }
  FontHandle(const FontHandle&) = delete;
  FontHandle& operator=(const FontHandle&) = delete;
  operator HFONT() const { return fFont; }

private:
  HFONT fFont;
};

class TextTest : public ::testing::Test {
protected:
  FontHandle fFont{-11};

  SIZE Extent(std::string_view aText) {
    Canvas canvas(fFont);
    SIZE size;
    EXPECT_TRUE(GetTextExtentPoint32W(canvas.DC(), aText, &size));
    return size;
  }
  TEXTMETRICW Metrics() {
    Canvas canvas(fFont);
    TEXTMETRICW tm;
    EXPECT_TRUE(GetTextMetricsW(canvas.DC(), &tm));
    return tm;
  }
  // Where TextOutW draws it: the reference every formatted placement is
  // checked against.
  Bitmap PlainAt(std::vector<std::pair<TPoint, std::string>> aRuns, const TRect* aClip = nullptr) {
    Canvas canvas(fFont);
    if (aClip)
      IntersectClipRect(canvas.DC(), aClip->Left, aClip->Top, aClip->Right, aClip->Bottom);
    for (const auto& [at, text] : aRuns)
      EXPECT_TRUE(TextOutW(canvas.DC(), at.X, at.Y, text));
    return canvas.Image();
  }
  Bitmap Formatted(std::string_view aText, TRect aRect, UINT aFormat, int* aResult = nullptr) {
    Canvas canvas(fFont);
    const int result = DrawTextW(canvas.DC(), aText, &aRect, aFormat);
    if (aResult)
      *aResult = result;
    return canvas.Image();
  }
};

TEST_F(TextTest, ExtentsAddUp) {
  const TEXTMETRICW tm = Metrics();
  EXPECT_EQ(Extent("Liste Reset").cx, Extent("Liste").cx + Extent(" ").cx + Extent("Reset").cx);
  EXPECT_EQ(Extent("Liste Reset").cy, tm.tmHeight);
  EXPECT_EQ(Extent("Ger\xC3\xA4t").cx, Extent("Ger").cx + Extent("\xC3\xA4").cx + Extent("t").cx);
  EXPECT_GT(Extent("\xC3\xA4").cx, 0);
  EXPECT_EQ(Extent("").cx, 0);
  EXPECT_EQ(Extent("").cy, tm.tmHeight);
  // Control characters take no room.
  EXPECT_EQ(Extent("a\tb\r\n").cx, Extent("ab").cx);
  // A wider font is wider.
  FontHandle bold(-11, FW_BOLD);
  Canvas canvas(bold);
  SIZE boldSize;
  ASSERT_TRUE(GetTextExtentPoint32W(canvas.DC(), "Kanal 0", &boldSize));
  EXPECT_GT(boldSize.cx, Extent("Kanal 0").cx);
}

TEST_F(TextTest, FailuresAreReported) {
  SIZE size;
  TEXTMETRICW tm;
  RECT r{0, 0, 10, 10};
  EXPECT_FALSE(GetTextExtentPoint32W(nullptr, "a", &size));
  EXPECT_FALSE(GetTextMetricsW(nullptr, &tm));
  EXPECT_FALSE(TextOutW(nullptr, 0, 0, "a"));
  EXPECT_FALSE(ExtTextOutW(nullptr, 0, 0, ETO_OPAQUE, &r, "a"));
  EXPECT_EQ(DrawTextW(nullptr, "a", &r, 0), 0);
  Canvas canvas(fFont);
  EXPECT_FALSE(GetTextExtentPoint32W(canvas.DC(), "a", nullptr));
  EXPECT_FALSE(GetTextMetricsW(canvas.DC(), nullptr));
  EXPECT_EQ(DrawTextW(canvas.DC(), "a", nullptr, 0), 0);
  // A DC without a bitmap draws nothing and does not fail.
  HDC empty = CreateCompatibleDC(nullptr);
  EXPECT_TRUE(TextOutW(empty, 0, 0, "a"));
  EXPECT_EQ(DrawTextW(empty, "a", &r, 0), Metrics().tmHeight);
  DeleteDC(empty);
}

TEST_F(TextTest, TextOutDrawsInsideItsCell) {
  const TEXTMETRICW tm = Metrics();
  const Bitmap drawn = PlainAt({{{20, 10}, "Kanal 0"}});
  const int width = Extent("Kanal 0").cx;
  bool inked = false;
  for (int y = 0; y < drawn.Height(); ++y)
    for (int x = 0; x < drawn.Width(); ++x)
      if (drawn.Pixel(x, y) != White) {
        inked = true;
        EXPECT_TRUE(Bounds(20, 10, width + 1, tm.tmHeight).Contains({x, y})) << x << ", " << y;
        // Text pixels are grey levels of black and opaque.
        const std::uint32_t p = drawn.Pixel(x, y);
        EXPECT_EQ(p >> 24, 0xFFu);
        EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
      }
  EXPECT_TRUE(inked);
}

TEST_F(TextTest, FormatFlagsPlaceTheLine) {
  const TEXTMETRICW tm = Metrics();
  const std::string text = "Kanal 0";
  const int w = Extent(text).cx;
  const int h = tm.tmHeight;
  const TRect r{10, 5, 140, 45};
  struct Case {
    UINT Format;
    TPoint At;
    int Result;
  };
  const std::vector<Case> cases = {
      {DT_LEFT, {10, 5}, h},
      {DT_CENTER, {10 + (130 - w) / 2, 5}, h},
      {DT_RIGHT, {140 - w, 5}, h},
      {DT_SINGLELINE, {10, 5}, h},
      {DT_SINGLELINE | DT_VCENTER, {10, 5 + (40 - h) / 2}, (40 - h) / 2 + h},
      {DT_SINGLELINE | DT_BOTTOM, {10, 45 - h}, 40},
      {DT_SINGLELINE | DT_VCENTER | DT_CENTER,
       {10 + (130 - w) / 2, 5 + (40 - h) / 2},
       (40 - h) / 2 + h},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, {140 - w, 45 - h}, 40},
      {DT_VCENTER | DT_CENTER, {10 + (130 - w) / 2, 5}, h},
      {DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP, {10, 5}, h},
  };
  for (const Case& c : cases) {
    int result = 0;
    const Bitmap actual = Formatted(text, r, c.Format, &result);
    EXPECT_TRUE(SameBitmap(actual, PlainAt({{c.At, text}}), "format-" + std::to_string(c.Format)));
    EXPECT_EQ(result, c.Result) << "format " << c.Format;
  }
}

TEST_F(TextTest, ClippingToTheRectangle) {
  const std::string text = "Statusbyte und Midikanal";
  const TRect r{10, 5, 60, 25};
  ASSERT_GT(Extent(text).cx, r.Width());
  EXPECT_TRUE(
      SameBitmap(Formatted(text, r, DT_SINGLELINE), PlainAt({{{10, 5}, text}}, &r), "clipped"));
  EXPECT_TRUE(SameBitmap(Formatted(text, r, DT_SINGLELINE | DT_NOCLIP), PlainAt({{{10, 5}, text}}),
                         "noclip"));
  // Centred text wider than the rectangle starts left of it and is cut on both sides.
  const int left = 10 + (50 - Extent(text).cx) / 2;
  EXPECT_TRUE(SameBitmap(Formatted(text, r, DT_SINGLELINE | DT_CENTER),
                         PlainAt({{{left, 5}, text}}, &r), "centred-clipped"));
}

TEST_F(TextTest, TheDCsClipAndOriginApply) {
  const std::string text = "Liste Reset";
  // Drawing through a viewport origin equals drawing at the moved place.
  Canvas moved(fFont);
  SetViewportOrgEx(moved.DC(), 7, 5, nullptr);
  RECT r{3, 4, 120, 30};
  DrawTextW(moved.DC(), text, &r, DT_SINGLELINE | DT_CENTER);
  EXPECT_TRUE(SameBitmap(moved.Image(),
                         Formatted(text, {10, 9, 127, 35}, DT_SINGLELINE | DT_CENTER), "origin"));
  // A clip with a hole: nothing is drawn inside it, the rest as usual.
  Canvas holed(fFont);
  ExcludeClipRect(holed.DC(), 30, 0, 40, 60);
  TextOutW(holed.DC(), 20, 10, text);
  Bitmap expected = PlainAt({{{20, 10}, text}});
  pixelcheck::Paint(expected, {30, 0, 40, 60}, White);
  EXPECT_TRUE(SameBitmap(holed.Image(), expected, "clip-hole"));
  // A bitmap placed at a DC origin.
  Canvas shifted(fFont);
  shifted.DC()->SetDeviceOrigin({4, 3});
  TextOutW(shifted.DC(), 10, 10, text);
  EXPECT_TRUE(SameBitmap(shifted.Image(), PlainAt({{{14, 13}, text}}), "device-origin"));
}

TEST_F(TextTest, OpaqueBackgroundFillsTheCells) {
  const TEXTMETRICW tm = Metrics();
  const std::uint32_t red = Opaque(RGB(255, 0, 0));
  const std::string text = "Kanal 0";
  const int w = Extent(text).cx;
  // Expected: the cell painted red, then the text drawn transparently over it.
  Canvas expected(fFont);
  pixelcheck::Paint(expected.Image(), Bounds(20, 10, w, tm.tmHeight), red);
  TextOutW(expected.DC(), 20, 10, text);

  Canvas opaque(fFont);
  SetBkMode(opaque.DC(), OPAQUE);
  SetBkColor(opaque.DC(), RGB(255, 0, 0));
  TextOutW(opaque.DC(), 20, 10, text);
  EXPECT_TRUE(SameBitmap(opaque.Image(), expected.Image(), "opaque-textout"));

  Canvas formatted(fFont);
  SetBkMode(formatted.DC(), OPAQUE);
  SetBkColor(formatted.DC(), RGB(255, 0, 0));
  RECT r{20 - 30, 10, 20 + w + 30, 10 + tm.tmHeight};
  DrawTextW(formatted.DC(), text, &r, DT_CENTER | DT_SINGLELINE);
  EXPECT_TRUE(SameBitmap(formatted.Image(), expected.Image(), "opaque-drawtext"));
}

TEST_F(TextTest, ExtTextOutOptions) {
  const std::uint32_t blue = Opaque(RGB(0, 0, 255));
  const std::string text = "Datenbyte 1";
  const RECT r{15, 8, 50, 22};
  // ETO_OPAQUE fills the rectangle, also without text.
  Canvas filled(fFont);
  SetBkColor(filled.DC(), RGB(0, 0, 255));
  EXPECT_TRUE(ExtTextOutW(filled.DC(), 0, 0, ETO_OPAQUE, &r, ""));
  Bitmap expected = pixelcheck::Filled(160, 60, White);
  pixelcheck::Paint(expected, r, blue);
  EXPECT_TRUE(SameBitmap(filled.Image(), expected, "eto-opaque-empty"));
  // ETO_CLIPPED keeps the text inside the rectangle.
  Canvas clipped(fFont);
  ExtTextOutW(clipped.DC(), 10, 10, ETO_CLIPPED, &r, text);
  EXPECT_TRUE(SameBitmap(clipped.Image(), PlainAt({{{10, 10}, text}}, &r), "eto-clipped"));
  // Both: the filled rectangle with the clipped text on it.
  Canvas both(fFont);
  SetBkColor(both.DC(), RGB(0, 0, 255));
  ExtTextOutW(both.DC(), 10, 10, ETO_CLIPPED | ETO_OPAQUE, &r, text);
  Canvas bothExpected(fFont);
  pixelcheck::Paint(bothExpected.Image(), r, blue);
  IntersectClipRect(bothExpected.DC(), r.Left, r.Top, r.Right, r.Bottom);
  TextOutW(bothExpected.DC(), 10, 10, text);
  EXPECT_TRUE(SameBitmap(both.Image(), bothExpected.Image(), "eto-both"));
}

TEST_F(TextTest, CalcRect) {
  const TEXTMETRICW tm = Metrics();
  struct Case {
    std::string Text;
    UINT Format;
    int Width;
    int Lines;
    int RectWidth;
  };
  const int statusWidth = Extent("Statusbyte und").cx;
  const std::vector<Case> cases = {
      {"Liste Reset", DT_SINGLELINE, Extent("Liste Reset").cx, 1, 200},
      {"Liste Reset", DT_SINGLELINE | DT_CENTER | DT_VCENTER, Extent("Liste Reset").cx, 1, 200},
      {"Liste\nReset", 0, std::max(Extent("Liste").cx, Extent("Reset").cx), 2, 200},
      {"Statusbyte und Midikanal", DT_WORDBREAK, std::max(statusWidth, Extent("Midikanal").cx), 2,
       statusWidth},
      {"Statusbyte und Midikanal", DT_WORDBREAK, Extent("Statusbyte und Midikanal").cx, 1, 500},
      {"", DT_SINGLELINE, 0, 0, 200},
  };
  for (const Case& c : cases) {
    Canvas canvas(fFont);
    RECT r{7, 9, 7 + c.RectWidth, 10};
    EXPECT_EQ(DrawTextW(canvas.DC(), c.Text, &r, c.Format | DT_CALCRECT), c.Lines * tm.tmHeight)
        << c.Text;
    EXPECT_EQ(r, (RECT{7, 9, 7 + c.Width, 9 + c.Lines * tm.tmHeight})) << c.Text;
    // Nothing is drawn.
    EXPECT_TRUE(SameBitmap(canvas.Image(), pixelcheck::Filled(160, 60, White), "calcrect"));
  }
}

TEST_F(TextTest, WordBreakAndLineEndsStackLines) {
  const TEXTMETRICW tm = Metrics();
  // Glyphs may reach past their advance: the right-aligned lines below are cut at
  // the rectangle like any formatted text.
  const int width = Extent("Datenbyte 1").cx + 2;
  const TRect r{5, 2, 5 + width, 58};
  EXPECT_TRUE(SameBitmap(Formatted("Datenbyte 1 Datenbyte 2", r, DT_WORDBREAK),
                         PlainAt({{{5, 2}, "Datenbyte 1"}, {{5, 2 + tm.tmHeight}, "Datenbyte 2"}}),
                         "wordbreak"));
  const int right1 = 5 + width - Extent("Liste").cx;
  const int right2 = 5 + width - Extent("Reset").cx;
  EXPECT_TRUE(SameBitmap(
      Formatted("Liste\r\nReset", r, DT_RIGHT),
      PlainAt({{{right1, 2}, "Liste"}, {{right2, 2 + tm.tmHeight}, "Reset"}}, &r), "lineends"));
}

TEST_F(TextTest, TabsExpandToEightAverageCharacters) {
  const TEXTMETRICW tm = Metrics();
  const int stop = 8 * tm.tmAveCharWidth;
  ASSERT_GT(stop, Extent("CC").cx);
  EXPECT_TRUE(SameBitmap(Formatted("CC\t90", {4, 4, 150, 30}, DT_EXPANDTABS | DT_SINGLELINE),
                         PlainAt({{{4, 4}, "CC"}, {{4 + stop, 4}, "90"}}), "tabs"));
  // Without expansion a tab takes no room.
  EXPECT_TRUE(SameBitmap(Formatted("CC\t90", {4, 4, 150, 30}, DT_SINGLELINE),
                         PlainAt({{{4, 4}, "CC90"}}), "no-tabs"));
}

TEST_F(TextTest, EndEllipsisShortensToWhatFits) {
  const std::string text = "Statusbyte und Midikanal";
  const int ellipsis = Extent("...").cx;
  for (int width : {40, 60, 90}) {
    // The longest start of the text that fits together with "...".
    std::string kept;
    for (std::size_t n = 1; n <= text.size(); ++n)
      if (Extent(text.substr(0, n)).cx + ellipsis <= width)
        kept = text.substr(0, n);
    const TRect r{10, 5, 10 + width, 30};
    EXPECT_TRUE(SameBitmap(Formatted(text, r, DT_SINGLELINE | DT_END_ELLIPSIS),
                           PlainAt({{{10, 5}, kept + "..."}}, &r),
                           "ellipsis-" + std::to_string(width)));
  }
  // Text that fits is left alone.
  EXPECT_TRUE(SameBitmap(Formatted("Kanal 0", {10, 5, 150, 30}, DT_SINGLELINE | DT_END_ELLIPSIS),
                         PlainAt({{{10, 5}, "Kanal 0"}}), "ellipsis-fits"));
}

TEST_F(TextTest, PrefixesUnderlineTheirCharacter) {
  const TEXTMETRICW tm = Metrics();
  const StrikeMetrics& sm = static_cast<HFONT>(fFont)->Strike().Metrics();
  Bitmap expected = PlainAt({{{10, 5}, "Datei"}});
  pixelcheck::Paint(
      expected,
      Bounds(10, 5 + tm.tmAscent + sm.UnderlineOffset, Extent("D").cx, sm.UnderlineThickness),
      Opaque(RGB(0, 0, 0)));
  EXPECT_TRUE(SameBitmap(Formatted("&Datei", {10, 5, 150, 30}, DT_SINGLELINE), expected, "prefix"));
  EXPECT_TRUE(SameBitmap(Formatted("&Datei", {10, 5, 150, 30}, DT_SINGLELINE | DT_NOPREFIX),
                         PlainAt({{{10, 5}, "&Datei"}}), "noprefix"));
  EXPECT_TRUE(SameBitmap(Formatted("A&&B", {10, 5, 150, 30}, DT_SINGLELINE),
                         PlainAt({{{10, 5}, "A&B"}}), "double-ampersand"));
}

TEST_F(TextTest, UnderlinedFontUnderlinesTheWholeRun) {
  FontHandle underlined(-11, FW_NORMAL, true);
  const StrikeMetrics& sm = static_cast<HFONT>(underlined)->Strike().Metrics();
  const TEXTMETRICW tm = Metrics();
  Canvas actual(underlined);
  TextOutW(actual.DC(), 10, 5, "Kanal 0");
  Bitmap expected = PlainAt({{{10, 5}, "Kanal 0"}});
  pixelcheck::Paint(
      expected,
      Bounds(10, 5 + tm.tmAscent + sm.UnderlineOffset, Extent("Kanal 0").cx, sm.UnderlineThickness),
      Opaque(RGB(0, 0, 0)));
  EXPECT_TRUE(SameBitmap(actual.Image(), expected, "underlined-font"));
  // The underline lies inside the cell.
  EXPECT_LE(tm.tmAscent + sm.UnderlineOffset + sm.UnderlineThickness, tm.tmHeight);
}

TEST_F(TextTest, StruckOutFontCrossesTheWholeRun) {
  FontHandle struck(-11, FW_NORMAL, false, true);
  const StrikeMetrics& sm = static_cast<HFONT>(struck)->Strike().Metrics();
  const TEXTMETRICW tm = Metrics();
  Canvas actual(struck);
  TextOutW(actual.DC(), 10, 5, "Kanal 0");
  Bitmap expected = PlainAt({{{10, 5}, "Kanal 0"}});
  pixelcheck::Paint(
      expected,
      Bounds(10, 5 + tm.tmAscent - sm.StrikeoutOffset, Extent("Kanal 0").cx, sm.StrikeoutThickness),
      Opaque(RGB(0, 0, 0)));
  EXPECT_TRUE(SameBitmap(actual.Image(), expected, "struck-out-font"));
  // The line crosses the lower-case letters: above the baseline, below the ascent.
  EXPECT_GT(sm.StrikeoutOffset, 0);
  EXPECT_LT(sm.StrikeoutOffset, tm.tmAscent);
}

TEST_F(TextTest, RightToLeftReadingOrdersTheLine) {
  EXPECT_TRUE(SameBitmap(Formatted("Kanal 0!", {10, 5, 150, 30}, DT_SINGLELINE | DT_RTLREADING),
                         PlainAt({{{10, 5}, "!Kanal 0"}}), "rtl"));
  const int w = Extent("!Kanal 0").cx;
  EXPECT_TRUE(
      SameBitmap(Formatted("Kanal 0!", {10, 5, 150, 30}, DT_SINGLELINE | DT_RTLREADING | DT_RIGHT),
                 PlainAt({{{150 - w, 5}, "!Kanal 0"}}), "rtl-right"));
}

TEST_F(TextTest, DrawsWithTheDefaultFontWithoutAValidSelection) {
  Canvas reference(GetStockFont(DEFAULT_GUI_FONT));
  TextOutW(reference.DC(), 10, 10, "Midi In (Reset)");
  // No font selected.
  Canvas none(nullptr);
  TextOutW(none.DC(), 10, 10, "Midi In (Reset)");
  EXPECT_TRUE(SameBitmap(none.Image(), reference.Image(), "no-font"));
  // A font deleted while still selected.
  LOGFONTW logFont;
  logFont.lfHeight = -20;
  logFont.lfFaceName = "Tahoma";
  HFONT doomed = CreateFontIndirectW(&logFont);
  Canvas deleted(doomed);
  DeleteObject(doomed);
  TextOutW(deleted.DC(), 10, 10, "Midi In (Reset)");
  EXPECT_TRUE(SameBitmap(deleted.Image(), reference.Image(), "deleted-font"));
}

TEST_F(TextTest, SecondDrawUsesTheGlyphCache) {
  // A size no other test uses, so the strike starts cold.
  FontHandle font(-31);
  FontHandle twin(-31);
  GlyphStrike& strike = static_cast<HFONT>(font)->Strike();
  ASSERT_EQ(&strike, &static_cast<HFONT>(twin)->Strike());
  const std::size_t cold = strike.RasterisedCount();
  Canvas first(font, 400, 60);
  RECT r{0, 0, 400, 60};
  DrawTextW(first.DC(), "Statusbyte und Midikanal", &r, DT_SINGLELINE);
  const std::size_t warm = strike.RasterisedCount();
  // One rasterising per distinct character: "Statusbyte und Midikanal" has 15.
  EXPECT_EQ(warm - cold, 15u);
  Canvas second(twin, 400, 60);
  DrawTextW(second.DC(), "Statusbyte und Midikanal", &r, DT_SINGLELINE);
  TextOutW(second.DC(), 0, 30, "Midikanal Status");
  EXPECT_EQ(strike.RasterisedCount(), warm);
  // The cached glyphs draw the same pixels.
  EXPECT_TRUE(SameBitmap(
      second.Image(),
      [&] {
        Canvas expected(font, 400, 60);
        DrawTextW(expected.DC(), "Statusbyte und Midikanal", &r, DT_SINGLELINE);
        TextOutW(expected.DC(), 0, 30, "Midikanal Status");
        return expected.Image();
      }(),
      "cached"));
}

} // namespace
} // namespace platform
