#include "platform/gfx/TextLayout.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace platform {
namespace {

// Advances chosen so that every width below can be worked out by hand:
// '.' 2, 'i' 3, 'W' 10, anything else 6.
class FixedMeasure : public TextMeasure {
public:
  int Advance(char32_t aChar) override {
    switch (aChar) {
    case U'.':
      return 2;
    case U'i':
      return 3;
    case U'W':
      return 10;
    default:
      return 6;
    }
  }
};

constexpr int LineHeight = 12;
constexpr int TabWidth = 48;

TextLayout Lay(std::u32string_view aText, TRect aRect, UINT aFormat) {
  FixedMeasure measure;
  return LayOutText(aText, {aRect, aFormat, LineHeight, TabWidth}, measure);
}

std::u32string Chars(const TextLine& aLine) {
  std::u32string text;
  for (const PlacedChar& c : aLine.Chars)
    text.push_back(c.Char);
  return text;
}

std::vector<std::u32string> LineTexts(const TextLayout& aLayout) {
  std::vector<std::u32string> lines;
  for (const TextLine& line : aLayout.Lines)
    lines.push_back(Chars(line));
  return lines;
}

TEST(DecodeUtf8Test, WellFormedAndDamagedSequences) {
  struct Case {
    std::string Bytes;
    std::u32string Expected;
  };
  const std::vector<Case> cases = {
      {"Kanal 0", U"Kanal 0"},
      {"Ger\xC3\xA4t", U"Ger\u00E4t"},
      {"\xE2\x82\xAC", U"\u20AC"},
      {"\xF0\x9F\x8E\xB9", U"\U0001F3B9"},
      {"", U""},
      {"a\x80"
       "b",
       U"a\uFFFDb"},             // lone continuation byte
      {"Ger\xC3", U"Ger\uFFFD"}, // cut off at the end
      {"\xC3"
       "a",
       U"\uFFFDa"},                                      // lead without continuation
      {"\xC0\x80", U"\uFFFD\uFFFD"},                     // overlong zero
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},           // overlong slash
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},           // surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above U+10FFFF
      {"\xFF", U"\uFFFD"},
      {std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodeUtf8(c.Bytes), c.Expected) << "bytes: " << c.Bytes;
}

TEST(TextLayoutTest, AlignmentAndVerticalPlacement) {
  // "abc" is 18 wide; the rectangle is 100 x 40 at (10, 20).
  const TRect r{10, 20, 110, 60};
  struct Case {
    UINT Format;
    int X;
    int Y;
    int Result;
  };
  const std::vector<Case> cases = {
      {DT_LEFT, 10, 20, 12},
      {DT_CENTER, 10 + (100 - 18) / 2, 20, 12},
      {DT_RIGHT, 110 - 18, 20, 12},
      {DT_SINGLELINE, 10, 20, 12},
      {DT_SINGLELINE | DT_VCENTER, 10, 20 + (40 - 12) / 2, (40 - 12) / 2 + 12},
      {DT_SINGLELINE | DT_BOTTOM, 10, 60 - 12, 40},
      {DT_SINGLELINE | DT_VCENTER | DT_CENTER, 51, 34, 26},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 92, 48, 40},
      // Vertical placement needs a single line.
      {DT_VCENTER, 10, 20, 12},
      {DT_BOTTOM, 10, 20, 12},
  };
  for (const Case& c : cases) {
    const TextLayout layout = Lay(U"abc", r, c.Format);
    ASSERT_EQ(layout.Lines.size(), 1u) << "format " << c.Format;
    EXPECT_EQ(layout.Lines[0].X, c.X) << "format " << c.Format;
    EXPECT_EQ(layout.Lines[0].Y, c.Y) << "format " << c.Format;
    EXPECT_EQ(layout.Lines[0].Width, 18);
    EXPECT_EQ(layout.Result, c.Result) << "format " << c.Format;
  }
}

TEST(TextLayoutTest, CentringTruncatesAndMayStartLeftOfTheRectangle) {
  // Odd free room: (101 - 18) / 2 = 41. Text wider than the rectangle:
  // (10 - 18) / 2 = -4, truncated towards zero.
  EXPECT_EQ(Lay(U"abc", {0, 0, 101, 12}, DT_CENTER).Lines[0].X, 41);
  EXPECT_EQ(Lay(U"abc", {0, 0, 10, 12}, DT_CENTER).Lines[0].X, -4);
  EXPECT_EQ(Lay(U"abc", {0, 0, 10, 12}, DT_RIGHT).Lines[0].X, 10 - 18);
  // A line taller than the rectangle: (5 - 12) / 2 = -3.
  EXPECT_EQ(Lay(U"abc", {0, 0, 50, 5}, DT_SINGLELINE | DT_VCENTER).Lines[0].Y, -3);
}

TEST(TextLayoutTest, LineEndsAndSingleLine) {
  struct Case {
    std::u32string Text;
    UINT Format;
    std::vector<std::u32string> Lines;
  };
  const std::vector<Case> cases = {
      {U"ab\ncd", 0, {U"ab", U"cd"}},
      {U"ab\r\ncd", 0, {U"ab", U"cd"}},
      {U"ab\rcd", 0, {U"ab", U"cd"}},
      {U"ab\n\ncd", 0, {U"ab", U"", U"cd"}},
      {U"ab\n\r\ncd", 0, {U"ab", U"", U"cd"}},
      {U"ab\n", 0, {U"ab"}},
      {U"\n", 0, {U""}},
      {U"", 0, {}},
      {U"ab\ncd", DT_SINGLELINE, {U"abcd"}},
      {U"ab\r\ncd", DT_SINGLELINE | DT_WORDBREAK, {U"abcd"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LineTexts(Lay(c.Text, {0, 0, 200, 100}, c.Format)), c.Lines);
  // Line ends take no room on a single line.
  EXPECT_EQ(Lay(U"ab\r\ncd", {0, 0, 200, 100}, DT_SINGLELINE).Lines[0].Width, 24);
  // Lines stack by the line height; the result is the height of all of them.
  const TextLayout three = Lay(U"a\nb\nc", {5, 7, 200, 100}, 0);
  ASSERT_EQ(three.Lines.size(), 3u);
  EXPECT_EQ(three.Lines[2].Y, 7 + 2 * LineHeight);
  EXPECT_EQ(three.Height, 3 * LineHeight);
  EXPECT_EQ(three.Result, 3 * LineHeight);
}

TEST(TextLayoutTest, WordBreaking) {
  struct Case {
    std::u32string Text;
    int Width;
    std::vector<std::u32string> Lines;
  };
  const std::vector<Case> cases = {
      // "aa bb" is exactly 30 wide and fits; "cc" goes to the next line.
      {U"aa bb cc", 30, {U"aa bb", U"cc"}},
      {U"aa bb cc", 29, {U"aa", U"bb", U"cc"}},
      {U"aa bb cc", 48, {U"aa bb cc"}},
      // The spaces at a break belong to neither line.
      {U"aa    bb", 20, {U"aa", U"bb"}},
      // Spaces at the start of the text are kept, trailing ones too.
      {U"  aa", 100, {U"  aa"}},
      {U"aa  ", 100, {U"aa  "}},
      // A word wider than the rectangle keeps a line of its own.
      {U"aaaaaaaa bb", 20, {U"aaaaaaaa", U"bb"}},
      {U"bb aaaaaaaa bb", 20, {U"bb", U"aaaaaaaa", U"bb"}},
      {U"aaaaaaaa", 20, {U"aaaaaaaa"}},
      // Paragraphs break on their own.
      {U"aa bb\ncc dd", 20, {U"aa", U"bb", U"cc", U"dd"}},
      // "Statusbyte und Midikanal": 10 + 3 + 8 characters of 6 ('i' 3).
      {U"Statusbyte und Midikanal", 100, {U"Statusbyte und", U"Midikanal"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LineTexts(Lay(c.Text, {0, 0, c.Width, 100}, DT_WORDBREAK)), c.Lines)
        << "width " << c.Width;
  const TextLayout broken = Lay(U"aa    bb", {0, 0, 20, 100}, DT_WORDBREAK);
  EXPECT_EQ(broken.Lines[0].Width, 12);
  EXPECT_EQ(broken.Lines[1].Width, 12);
  EXPECT_EQ(broken.Width, 12);
  // Each broken line is aligned on its own.
  const TextLayout centred = Lay(U"aa bbbb", {0, 0, 30, 100}, DT_WORDBREAK | DT_CENTER);
  EXPECT_EQ(centred.Lines[0].X, (30 - 12) / 2);
  EXPECT_EQ(centred.Lines[1].X, (30 - 24) / 2);
}

TEST(TextLayoutTest, Tabs) {
  const TRect r{0, 0, 300, 20};
  struct Case {
    std::u32string Text;
    UINT Format;
    int XOfB;
    int Width;
  };
  const std::vector<Case> cases = {
      {U"a\tb", DT_EXPANDTABS, TabWidth, TabWidth + 6},
      {U"\tb", DT_EXPANDTABS, TabWidth, TabWidth + 6},
      // Exactly at a stop: on to the next one.
      {U"aaaaaaaa\tb", DT_EXPANDTABS, 2 * TabWidth, 2 * TabWidth + 6},
      {U"a\t\tb", DT_EXPANDTABS, 2 * TabWidth, 2 * TabWidth + 6},
      // Without expansion a tab takes no room.
      {U"a\tb", 0, 6, 12},
  };
  for (const Case& c : cases) {
    const TextLayout layout = Lay(c.Text, r, c.Format);
    ASSERT_EQ(layout.Lines.size(), 1u);
    const TextLine& line = layout.Lines[0];
    ASSERT_FALSE(line.Chars.empty());
    EXPECT_EQ(line.Chars.back().Char, U'b');
    EXPECT_EQ(line.Chars.back().X, c.XOfB) << "format " << c.Format;
    EXPECT_EQ(line.Width, c.Width);
    for (const PlacedChar& placed : line.Chars)
      EXPECT_NE(placed.Char, U'\t');
  }
  // Tab stops count from each line's own start.
  const TextLayout two = Lay(U"aaa\n\tb", r, DT_EXPANDTABS);
  EXPECT_EQ(two.Lines[1].Chars[0].X, TabWidth);
}

TEST(TextLayoutTest, Prefixes) {
  struct Case {
    std::u32string Text;
    UINT Format;
    std::u32string Shown;
    std::vector<bool> Underlined;
  };
  const std::vector<Case> cases = {
      {U"&Datei", 0, U"Datei", {true, false, false, false, false}},
      {U"Da&tei", 0, U"Datei", {false, false, true, false, false}},
      {U"a&&b", 0, U"a&b", {false, false, false}},
      {U"ab&", 0, U"ab", {false, false}},
      {U"&&&a", 0, U"&a", {false, true}},
      {U"&Datei", DT_NOPREFIX, U"&Datei", {false, false, false, false, false, false}},
  };
  for (const Case& c : cases) {
    const TextLayout layout = Lay(c.Text, {0, 0, 200, 20}, c.Format);
    ASSERT_EQ(layout.Lines.size(), 1u);
    EXPECT_EQ(Chars(layout.Lines[0]), c.Shown);
    std::vector<bool> underlined;
    for (const PlacedChar& placed : layout.Lines[0].Chars)
      underlined.push_back(placed.Underline);
    EXPECT_EQ(underlined, c.Underlined);
  }
  EXPECT_TRUE(Lay(U"&", {0, 0, 200, 20}, 0).Lines.empty());
}

TEST(TextLayoutTest, EndEllipsis) {
  struct Case {
    std::u32string Text;
    int Width;
    std::u32string Shown;
    int LineWidth;
  };
  const std::vector<Case> cases = {
      // 48 wide in 30: four characters (24) and "..." (6) fit exactly.
      {U"abcdefgh", 30, U"abcd...", 30},
      {U"abcdefgh", 29, U"abc...", 24},
      // A line that fits stays as it is.
      {U"abcde", 30, U"abcde", 30},
      // Nothing but the ellipsis fits.
      {U"abcdefgh", 7, U"...", 6},
      {U"abcdefgh", 2, U"...", 6},
  };
  for (const Case& c : cases) {
    const TextLayout layout = Lay(c.Text, {0, 0, c.Width, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
    ASSERT_EQ(layout.Lines.size(), 1u);
    EXPECT_EQ(Chars(layout.Lines[0]), c.Shown) << "width " << c.Width;
    EXPECT_EQ(layout.Lines[0].Width, c.LineWidth) << "width " << c.Width;
  }
  // Right alignment places the shortened line against the right edge.
  EXPECT_EQ(Lay(U"abcdefgh", {0, 0, 29, 20}, DT_END_ELLIPSIS | DT_RIGHT).Lines[0].X, 29 - 24);
  // A broken word too wide for its line ends in an ellipsis; other lines stay.
  EXPECT_EQ(LineTexts(Lay(U"aa aaaaaaaa", {0, 0, 30, 100}, DT_WORDBREAK | DT_END_ELLIPSIS)),
            (std::vector<std::u32string>{U"aa", U"aaaa..."}));
}

TEST(TextLayoutTest, RightToLeftReading) {
  struct Case {
    std::u32string Text;
    std::u32string Visual;
  };
  const std::vector<Case> cases = {
      // Left-to-right words keep their order, neutral marks at the paragraph
      // ends go to the right-to-left side.
      {U"abc", U"abc"},
      {U"abc!", U"!abc"},
      // Hebrew letters read from the right.
      {U"\u05D0\u05D1\u05D2", U"\u05D2\u05D1\u05D0"},
      {U"\u05D0\u05D1 ab", U"ab \u05D1\u05D0"},
  };
  for (const Case& c : cases) {
    const TextLayout layout = Lay(c.Text, {0, 0, 200, 20}, DT_RTLREADING);
    ASSERT_EQ(layout.Lines.size(), 1u);
    EXPECT_EQ(Chars(layout.Lines[0]), c.Visual);
    // Placed from the left without gaps.
    int x = 0;
    for (const PlacedChar& placed : layout.Lines[0].Chars) {
      EXPECT_EQ(placed.X, x);
      x += placed.Advance;
    }
    EXPECT_EQ(layout.Lines[0].Width, x);
  }
  // The ellipsis ends the text in reading order: on the left.
  const TextLayout shortened =
      Lay(U"\u05D0\u05D1\u05D2\u05D3\u05D4\u05D5", {0, 0, 30, 20}, DT_RTLREADING | DT_END_ELLIPSIS);
  EXPECT_EQ(Chars(shortened.Lines[0]), U"...\u05D3\u05D2\u05D1\u05D0");
}

TEST(TextLayoutTest, ControlCharactersTakeNoRoom) {
  const TextLayout layout = Lay(U"a\x01"
                                U"b\x7F",
                                {0, 0, 200, 20}, DT_SINGLELINE);
  EXPECT_EQ(Chars(layout.Lines[0]), U"ab");
  EXPECT_EQ(layout.Lines[0].Width, 12);
}

} // namespace
} // namespace platform
