#include "platform/gfx/TextLayout.h"

#include <algorithm>
#include <fribidi.h>

namespace platform {

namespace {

constexpr char32_t Replacement = 0xFFFD;
constexpr std::u32string_view Ellipsis = U"...";

// A character of the text with its prefix mark, before it is placed.
struct MarkedChar {
  char32_t Char;
  bool Underline;
};
using MarkedText = std::vector<MarkedChar>;

bool IsBlank(char32_t aChar) {
  return aChar == U' ' || aChar == U'\t';
}

bool IsControl(char32_t aChar) {
  return aChar < 0x20 || (aChar >= 0x7F && aChar < 0xA0);
}

bool IsLineEnd(char32_t aChar) {
  return aChar == U'\r' || aChar == U'\n';
}

MarkedText ApplyPrefixes(std::u32string_view aText, bool aPrefixes) {
  MarkedText marked;
  marked.reserve(aText.size());
  for (std::size_t i = 0; i < aText.size(); ++i) {
    if (aPrefixes && aText[i] == U'&') {
      if (++i == aText.size())
        break;
      marked.push_back({aText[i], aText[i] != U'&'});
    } else {
      marked.push_back({aText[i], false});
    }
  }
  return marked;
}

class LineBuilder {
public:
  LineBuilder(const TextLayoutParams& aParams, TextMeasure& aMeasure)
      : fParams(aParams), fMeasure(aMeasure), fTabs((aParams.Format & DT_EXPANDTABS) != 0) {}

  // The room aChar takes when it starts at aX.
  int AdvanceAt(char32_t aChar, int aX) {
    if (aChar == U'\t') {
      if (!fTabs || fParams.TabWidth <= 0)
        return 0;
      return (aX / fParams.TabWidth + 1) * fParams.TabWidth - aX;
    }
    return IsControl(aChar) ? 0 : fMeasure.Advance(aChar);
  }

  TextLine Place(const MarkedChar* aBegin, const MarkedChar* aEnd) {
    TextLine line;
    int x = 0;
    for (const MarkedChar* c = aBegin; c != aEnd; ++c) {
      const int advance = AdvanceAt(c->Char, x);
      if (!IsControl(c->Char))
        line.Chars.push_back({c->Char, x, advance, c->Underline});
      x += advance;
    }
    line.Width = x;
    return line;
  }

  // The characters of one paragraph as lines no wider than the rectangle,
  // where the words allow.
  void BreakParagraph(const MarkedText& aText, std::size_t aBegin, std::size_t aEnd,
                      std::vector<TextLine>& aLines) {
    if (!(fParams.Format & DT_WORDBREAK) || aBegin == aEnd) {
      aLines.push_back(Place(aText.data() + aBegin, aText.data() + aEnd));
      return;
    }
    const int width = fParams.Rect.Width();
    std::size_t start = aBegin;
    while (start < aEnd) {
      int x = 0;
      std::size_t wordStart = start;  // where the next line starts when breaking here
      std::size_t blankStart = start; // where this line's text ends when breaking here
      std::size_t end = aEnd;
      std::size_t next = aEnd;
      for (std::size_t i = start; i < aEnd; ++i) {
        const char32_t c = aText[i].Char;
        const int advance = AdvanceAt(c, x);
        if (!IsBlank(c)) {
          if (i > start && IsBlank(aText[i - 1].Char)) {
            wordStart = i;
            blankStart = i;
            while (blankStart > start && IsBlank(aText[blankStart - 1].Char))
              --blankStart;
          }
          if (x + advance > width && wordStart > start) {
            end = blankStart;
            next = wordStart;
            break;
          }
        }
        x += advance;
      }
      aLines.push_back(Place(aText.data() + start, aText.data() + end));
      start = next;
    }
  }

  void AddEllipsis(TextLine& aLine) {
    const int width = fParams.Rect.Width();
    if (aLine.Width <= width)
      return;
    int ellipsis = 0;
    for (char32_t c : Ellipsis)
      ellipsis += fMeasure.Advance(c);
    while (!aLine.Chars.empty() &&
           aLine.Chars.back().X + aLine.Chars.back().Advance + ellipsis > width)
      aLine.Chars.pop_back();
    int x = aLine.Chars.empty() ? 0 : aLine.Chars.back().X + aLine.Chars.back().Advance;
    for (char32_t c : Ellipsis) {
      const int advance = fMeasure.Advance(c);
      aLine.Chars.push_back({c, x, advance, false});
      x += advance;
    }
    aLine.Width = x;
  }

private:
  const TextLayoutParams& fParams;
  TextMeasure& fMeasure;
  bool fTabs;
};

// Puts a line's characters in right-to-left reading order and places them
// again from the left; tabs have already become gaps and keep their width.
void ReorderRightToLeft(TextLine& aLine) {
  const std::size_t count = aLine.Chars.size();
  if (count == 0)
    return;
  std::vector<FriBidiChar> logical(count);
  for (std::size_t i = 0; i < count; ++i)
    logical[i] = aLine.Chars[i].Char;
  std::vector<FriBidiChar> visual(count);
  std::vector<FriBidiStrIndex> visualToLogical(count);
  FriBidiParType direction = FRIBIDI_PAR_RTL;
  if (!fribidi_log2vis(logical.data(), FriBidiStrIndex(count), &direction, visual.data(), nullptr,
                       visualToLogical.data(), nullptr))
    return;
  // The gap before each character (a tab's room) travels with it.
  std::vector<int> gapBefore(count);
  for (std::size_t i = 0; i < count; ++i) {
    const int previousEnd = i == 0 ? 0 : aLine.Chars[i - 1].X + aLine.Chars[i - 1].Advance;
    gapBefore[i] = aLine.Chars[i].X - previousEnd;
  }
  std::vector<PlacedChar> ordered;
  ordered.reserve(count);
  int x = 0;
  for (std::size_t v = 0; v < count; ++v) {
    PlacedChar c = aLine.Chars[std::size_t(visualToLogical[v])];
    c.Char = visual[v]; // mirrored brackets
    x += gapBefore[std::size_t(visualToLogical[v])];
    c.X = x;
    x += c.Advance;
    ordered.push_back(c);
  }
  aLine.Chars = std::move(ordered);
}

// The lines of a text with several: each paragraph (ended by CR, LF or
// CR LF) broken on its own.
void BreakParagraphs(const MarkedText& aText, LineBuilder& aBuilder,
                     std::vector<TextLine>& aLines) {
  std::size_t start = 0;
  while (true) {
    std::size_t end = start;
    while (end < aText.size() && !IsLineEnd(aText[end].Char))
      ++end;
    aBuilder.BreakParagraph(aText, start, end, aLines);
    if (end == aText.size())
      return;
    start = end + 1;
    if (aText[end].Char == U'\r' && start < aText.size() && aText[start].Char == U'\n')
      ++start;
    // A line break at the very end starts no further line.
    if (start == aText.size())
      return;
  }
}

// The lines' places in the rectangle, as the format aligns them, and the
// height DrawText reports.
void PlaceLines(TextLayout& aLayout, const TextLayoutParams& aParams) {
  const UINT format = aParams.Format;
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  const TRect& r = aParams.Rect;
  int y = r.Top;
  if (singleLine && (format & DT_VCENTER))
    y = r.Top + (r.Height() - aParams.LineHeight) / 2;
  else if (singleLine && (format & DT_BOTTOM))
    y = r.Bottom - aParams.LineHeight;
  aLayout.Result = aLayout.Lines.empty() ? 0
                   : singleLine && (format & (DT_VCENTER | DT_BOTTOM)) != 0
                       ? y + aLayout.Height - r.Top
                       : aLayout.Height;
  for (TextLine& line : aLayout.Lines) {
    if (format & DT_CENTER)
      line.X = r.Left + (r.Width() - line.Width) / 2;
    else if (format & DT_RIGHT)
      line.X = r.Right - line.Width;
    else
      line.X = r.Left;
    line.Y = y;
    y += aParams.LineHeight;
  }
}

} // namespace

std::u32string DecodeUtf8(std::string_view aText) {
  std::u32string out;
  out.reserve(aText.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(aText.data());
  const std::size_t size = aText.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned char lead = bytes[i];
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, value = lead & 0x07, minimum = 0x10000;
    }
    bool valid = length > 0 && i + std::size_t(length) <= size;
    for (int k = 1; valid && k < length; ++k) {
      const unsigned char next = bytes[i + std::size_t(k)];
      valid = (next & 0xC0) == 0x80;
      value = (value << 6) | (next & 0x3F);
    }
    valid = valid && value >= minimum && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
    out.push_back(valid ? value : Replacement);
    i += valid ? std::size_t(length) : 1;
  }
  return out;
}

TextLayout LayOutText(std::u32string_view aText, const TextLayoutParams& aParams,
                      TextMeasure& aMeasure) {
  const UINT format = aParams.Format;
  const MarkedText text = ApplyPrefixes(aText, !(format & DT_NOPREFIX));
  LineBuilder builder(aParams, aMeasure);

  TextLayout layout;
  if (format & DT_SINGLELINE)
    layout.Lines.push_back(builder.Place(text.data(), text.data() + text.size()));
  else
    BreakParagraphs(text, builder, layout.Lines);
  if (text.empty())
    layout.Lines.clear();
  for (TextLine& line : layout.Lines) {
    if (format & DT_END_ELLIPSIS)
      builder.AddEllipsis(line);
    if (format & DT_RTLREADING)
      ReorderRightToLeft(line);
    layout.Width = std::max(layout.Width, line.Width);
  }
  layout.Height = int(layout.Lines.size()) * aParams.LineHeight;
  PlaceLines(layout, aParams);
  return layout;
}

} // namespace platform
