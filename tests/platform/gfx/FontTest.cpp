#include "platform/gfx/Font.h"

#include "platform/gfx/FontMatch.h"
#include "platform/gfx/GlyphCache.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace platform {
namespace {

TEST(FontMatchTest, FindsAFileForEveryRequest) {
  for (const char* face : {"Tahoma", "tahoma", "DejaVu Sans", "No Such Face 1234", ""}) {
    const FontFileInfo info = MatchFontFile(face, FW_NORMAL, false);
    EXPECT_FALSE(info.Path.empty()) << face;
    EXPECT_TRUE(std::filesystem::exists(info.Path)) << face;
  }
}

TEST(FontMatchTest, UnknownFacesFallBackToDejaVuSans) {
  const FontFileInfo info = MatchFontFile("No Such Face 1234", FW_NORMAL, false);
  EXPECT_EQ(info.Family, "DejaVu Sans");
  EXPECT_FALSE(info.Exact);
}

TEST(FontMatchTest, TahomaOrItsStandIn) {
  const FontFileInfo info = MatchFontFile("Tahoma", FW_NORMAL, false);
  if (info.Exact)
    EXPECT_EQ(info.Family, "Tahoma");
  else
    EXPECT_FALSE(info.Family.empty());
  // Face names are not case-sensitive.
  EXPECT_EQ(MatchFontFile("TAHOMA", FW_NORMAL, false).Path, info.Path);
}

// fonts-wine's faces lie in a folder fontconfig does not index; the program
// adds it, so Tahoma and Tahoma Bold come from their own files.
TEST(FontMatchTest, TahomaComesFromTheWineFontFolder) {
  const std::filesystem::path folder = "/usr/share/wine/fonts";
  if (!std::filesystem::exists(folder / "tahoma.ttf"))
    GTEST_SKIP() << "fonts-wine is not installed";
  const struct {
    LONG Weight;
    const char* File;
  } rows[] = {{FW_NORMAL, "tahoma.ttf"}, {FW_BOLD, "tahomabd.ttf"}};
  for (const auto& r : rows) {
    const FontFileInfo info = MatchFontFile("Tahoma", r.Weight, false);
    EXPECT_TRUE(info.Exact) << r.File;
    EXPECT_EQ(std::filesystem::path(info.Path), folder / r.File);
    EXPECT_FALSE(info.Embolden) << r.File;
  }
}

TEST(FontMatchTest, MetricCompatibleFacesStandIn) {
  // fontconfig's configuration names Nimbus Sans as metric-compatible with
  // Helvetica; DejaVu Sans is only a generic fallback for it.
  if (!MatchFontFile("Nimbus Sans", FW_NORMAL, false).Exact)
    GTEST_SKIP() << "Nimbus Sans is not installed";
  const FontFileInfo info = MatchFontFile("Helvetica", FW_NORMAL, false);
  EXPECT_EQ(info.Family, "Nimbus Sans");
  EXPECT_FALSE(info.Exact);
}

TEST(FontMatchTest, ExactFamilyIsKept) {
  const FontFileInfo info = MatchFontFile("DejaVu Sans", FW_NORMAL, false);
  EXPECT_TRUE(info.Exact);
  EXPECT_EQ(info.Family, "DejaVu Sans");
  EXPECT_FALSE(info.Embolden);
  EXPECT_FALSE(info.Oblique);
}

TEST(FontMatchTest, BoldAndItalicComeFromOtherFilesOrSynthesis) {
  const FontFileInfo regular = MatchFontFile("DejaVu Sans", FW_NORMAL, false);
  const FontFileInfo bold = MatchFontFile("DejaVu Sans", FW_BOLD, false);
  const FontFileInfo italic = MatchFontFile("DejaVu Sans", FW_NORMAL, true);
  EXPECT_TRUE(bold.Path != regular.Path || bold.Embolden);
  EXPECT_TRUE(italic.Path != regular.Path || italic.Oblique);
  EXPECT_FALSE(bold.Oblique);
  EXPECT_FALSE(italic.Embolden);
}

LOGFONTW LogFont(LONG aHeight, LONG aWeight = FW_NORMAL, const char* aFace = "Tahoma") {
  LOGFONTW logFont;
  logFont.lfHeight = aHeight;
  logFont.lfWeight = aWeight;
  logFont.lfFaceName = aFace;
  return logFont;
}

TEST(FontTest, MetricsFollowTheHeightRule) {
  for (LONG height : {-8, -11, -13, -20, -64, 8, 11, 13, 20, 64}) {
    const LOGFONTW logFont = LogFont(height);
    HFONT font = CreateFontIndirectW(&logFont);
    ASSERT_NE(font, nullptr) << height;
    const TEXTMETRICW& tm = font->Metrics();
    if (height < 0)
      EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -height) << height;
    else
      EXPECT_EQ(tm.tmHeight, height) << height;
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight) << height;
    EXPECT_GT(tm.tmAscent, tm.tmDescent) << height;
    EXPECT_GT(tm.tmAveCharWidth, 0) << height;
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth) << height;
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_TRUE(DeleteObject(font));
  }
}

TEST(FontTest, RecordFieldsReachTheMetrics) {
  LOGFONTW logFont = LogFont(-13, FW_BOLD);
  logFont.lfItalic = 1;
  logFont.lfUnderline = 1;
  HFONT font = CreateFontIndirectW(&logFont);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Metrics().tmWeight, FW_BOLD);
  EXPECT_EQ(font->Metrics().tmItalic, 1);
  EXPECT_EQ(font->Metrics().tmUnderlined, 1);
  EXPECT_EQ(font->LogFont().lfFaceName, "Tahoma");
  DeleteObject(font);
}

TEST(FontTest, ZeroHeightAndEmptyFaceAreTheDefaultGuiFont) {
  HFONT stock = GetStockFont(DEFAULT_GUI_FONT);
  ASSERT_NE(stock, nullptr);
  const LOGFONTW empty;
  HFONT font = CreateFontIndirectW(&empty);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(&font->Strike(), &stock->Strike());
  EXPECT_EQ(font->Metrics().tmHeight, stock->Metrics().tmHeight);
  EXPECT_EQ(stock->Metrics().tmHeight - stock->Metrics().tmInternalLeading, 11);
  DeleteObject(font);
}

TEST(FontTest, HandlesAndTheStockFont) {
  EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
  EXPECT_EQ(GetStockFont(0), nullptr);
  EXPECT_FALSE(DeleteObject(static_cast<HFONT>(nullptr)));
  HFONT stock = GetStockFont(DEFAULT_GUI_FONT);
  EXPECT_EQ(GetStockFont(DEFAULT_GUI_FONT), stock);
  // Deleting the stock font is harmless and leaves it usable.
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_EQ(FontInUse(stock), stock);
  const LOGFONTW logFont = LogFont(-12);
  HFONT font = CreateFontIndirectW(&logFont);
  EXPECT_EQ(FontInUse(font), font);
  EXPECT_TRUE(DeleteObject(font));
  // A deleted handle is refused a second time and no longer used for drawing.
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_EQ(FontInUse(font), stock);
  EXPECT_EQ(FontInUse(nullptr), stock);
}

TEST(GlyphCacheTest, StrikesAreSharedPerFaceAndSize) {
  const FontFileInfo file = MatchFontFile("Tahoma", FW_NORMAL, false);
  auto a = GlyphStrike::Get({file.Path, file.Index, -23, false, false});
  auto b = GlyphStrike::Get({file.Path, file.Index, -23, false, false});
  auto c = GlyphStrike::Get({file.Path, file.Index, -24, false, false});
  ASSERT_TRUE(a && c);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(GlyphStrike::Get({"/no/such/font.ttf", 0, -11, false, false}), nullptr);
}

TEST(GlyphCacheTest, GlyphsAreRasterisedOnce) {
  const FontFileInfo file = MatchFontFile("Tahoma", FW_NORMAL, false);
  auto strike = GlyphStrike::Get({file.Path, file.Index, -29, false, false});
  ASSERT_TRUE(strike);
  const std::size_t before = strike->RasterisedCount();
  const Glyph& k = strike->GlyphFor(U'K');
  EXPECT_EQ(strike->RasterisedCount(), before + 1);
  EXPECT_EQ(&strike->GlyphFor(U'K'), &k);
  EXPECT_EQ(strike->RasterisedCount(), before + 1);
  // A glyph's coverage fits its box and has ink.
  EXPECT_EQ(k.Coverage.size(), std::size_t(k.Width) * k.Height);
  EXPECT_GT(k.Advance, 0);
  EXPECT_GT(k.Top, 0);
  bool inked = false;
  for (auto value : k.Coverage)
    inked = inked || value == 255;
  EXPECT_TRUE(inked);
  // Spaces advance without ink; control characters neither.
  EXPECT_GT(strike->GlyphFor(U' ').Advance, 0);
  EXPECT_EQ(strike->GlyphFor(U' ').Coverage.size(), 0u);
  EXPECT_EQ(strike->GlyphFor(U'\n').Advance, 0);
  EXPECT_EQ(strike->GlyphFor(U'\n').Coverage.size(), 0u);
}

TEST(GlyphCacheTest, MissingCharactersShareOneGlyph) {
  const FontFileInfo file = MatchFontFile("Tahoma", FW_NORMAL, false);
  auto strike = GlyphStrike::Get({file.Path, file.Index, -33, false, false});
  ASSERT_TRUE(strike);
  // Private-use code points that no installed face maps, below and above the
  // index table.
  const std::vector<char32_t> missing = {U'\uE000', U'\uE001', U'\uE123', U'\U0010FFFD',
                                         U'\U000F0000'};
  for (char32_t c : missing)
    if (!MatchFallbackFile(c, FW_NORMAL, false).Path.empty())
      GTEST_SKIP() << "a face here has U+" << std::hex << unsigned(c);
  const Glyph& first = strike->GlyphFor(missing[0]);
  const std::size_t count = strike->RasterisedCount();
  for (char32_t c : missing)
    EXPECT_EQ(&strike->GlyphFor(c), &first);
  EXPECT_EQ(strike->RasterisedCount(), count);
  // Letters beyond the index table are cached like the others.
  const Glyph& euro = strike->GlyphFor(U'\u20AC');
  EXPECT_EQ(&strike->GlyphFor(U'\u20AC'), &euro);
  EXPECT_NE(&euro, &first);
}

TEST(GlyphCacheTest, MissingCharactersAreBorrowedFromAFaceThatHasThem) {
  // Katakana "A": not in the sans faces this program asks for, in the CJK
  // faces many machines have.
  const char32_t katakana = U'\u30A2';
  const FontFileInfo donor = MatchFallbackFile(katakana, FW_NORMAL, false);
  if (donor.Path.empty())
    GTEST_SKIP() << "no installed face has U+30A2";
  const FontFileInfo file = MatchFontFile("Tahoma", FW_NORMAL, false);
  ASSERT_NE(donor.Path, file.Path);
  auto strike = GlyphStrike::Get({file.Path, file.Index, -15, false, false});
  auto donorStrike =
      GlyphStrike::Get({donor.Path, donor.Index, -15, donor.Embolden, donor.Oblique});
  ASSERT_TRUE(strike && donorStrike);
  const Glyph& borrowed = strike->GlyphFor(katakana);
  const Glyph& original = donorStrike->GlyphFor(katakana);
  EXPECT_EQ(borrowed.Advance, original.Advance);
  EXPECT_EQ(borrowed.Width, original.Width);
  EXPECT_EQ(borrowed.Top, original.Top);
  EXPECT_EQ(borrowed.Coverage, original.Coverage);
  EXPECT_GT(borrowed.Width, 0);
  // Cached like the face's own glyphs.
  EXPECT_EQ(&strike->GlyphFor(katakana), &borrowed);
}

// fonts-wine's Tahoma Bold carries the regular outlines with bold advances;
// drawn as they are its text looks regular and loosely spaced. Its stems are
// widened: the ink of a letter grows by more than 30 %, the advance stays.
TEST(GlyphCacheTest, ABoldFaceWithRegularStemsIsDrawnBold) {
  const FontFileInfo regular = MatchFontFile("Tahoma", FW_NORMAL, false);
  const FontFileInfo bold = MatchFontFile("Tahoma", FW_BOLD, false);
  if (!bold.Exact || bold.Path.find("/wine/") == std::string::npos)
    GTEST_SKIP() << "fonts-wine's Tahoma Bold is not installed";
  auto regularStrike = GlyphStrike::Get({regular.Path, regular.Index, -13, false, false});
  auto boldStrike = GlyphStrike::Get({bold.Path, bold.Index, -13, false, false, FW_BOLD});
  ASSERT_TRUE(regularStrike && boldStrike);
  const auto ink = [](const Glyph& aGlyph) {
    int sum = 0;
    for (auto value : aGlyph.Coverage)
      sum += value;
    return sum;
  };
  for (char32_t c : {U'l', U'I', U'H'}) {
    const Glyph& thin = regularStrike->GlyphFor(c);
    const Glyph& widened = boldStrike->GlyphFor(c);
    EXPECT_GT(ink(widened) * 10, ink(thin) * 13) << char(c);
  }
  // The advances stay the file's: its outlines' advances add up to 165
  // pixels for the heading at 13 pixels (141 in the regular face).
  int advance = 0;
  for (char c : std::string("Statusbyte und Midikanal"))
    advance += boldStrike->GlyphFor(char32_t(c)).Advance;
  EXPECT_EQ(advance, 165);
}

TEST(GlyphCacheTest, HugeRequestsAreLimited) {
  for (LONG height :
       {LONG(-2000000000), std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()}) {
    const LOGFONTW logFont = LogFont(height);
    HFONT font = CreateFontIndirectW(&logFont);
    ASSERT_NE(font, nullptr) << height;
    EXPECT_LE(font->Metrics().tmHeight - font->Metrics().tmInternalLeading, MaxPixelHeight);
    EXPECT_GT(font->Metrics().tmHeight, MaxPixelHeight / 2);
    DeleteObject(font);
  }
  // Requests beyond the limit share the limit's strike.
  const LOGFONTW a = LogFont(-5000), b = LogFont(-MaxPixelHeight);
  HFONT fa = CreateFontIndirectW(&a), fb = CreateFontIndirectW(&b);
  EXPECT_EQ(&fa->Strike(), &fb->Strike());
  DeleteObject(fa);
  DeleteObject(fb);
}

} // namespace
} // namespace platform
