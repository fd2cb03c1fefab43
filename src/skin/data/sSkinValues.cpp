#include "skin/data/sSkinValues.h"

#include "skin/data/sSkinOptions.h"
#include "skin/data/sSkinText.h"

#include <algorithm>

namespace {

// The digits at 1-based positions aPos .. aPos + aLength - 1, as far as the
// text reaches; only decimal digits are accepted, and at least one.
int Field(const std::string& aValue, std::size_t aPos, std::size_t aLength) {
  std::string text = aPos - 1 < aValue.size() ? aValue.substr(aPos - 1, aLength) : "";
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    throw EConvertError("'" + text + "' is not a valid integer value");
  return std::stoi(text);
}

// The rectangle the fixed-column notations start with: four fields of four
// digits from the second character on.
TRect RectField(const std::string& aValue) {
  return {Field(aValue, 2, 4), Field(aValue, 7, 4), Field(aValue, 12, 4), Field(aValue, 17, 4)};
}

std::vector<std::string> SplitWords(const std::string& aText, const std::string& aSeparators) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (pos < aText.size()) {
    std::size_t start = aText.find_first_not_of(aSeparators, pos);
    if (start == std::string::npos)
      break;
    std::size_t end = aText.find_first_of(aSeparators, start);
    if (end == std::string::npos)
      end = aText.size();
    words.push_back(aText.substr(start, end - start));
    pos = end;
  }
  return words;
}

TqcImgType ImgTypeOfCode(int aCode) {
  switch (aCode) {
  case 1:
    return TqcImgType::itisaTexture;
  case 2:
    return TqcImgType::itisaGlyph;
  case 3:
    return TqcImgType::itisaGlow;
  default:
    // Codes above 4 are PNG glyphs; negative codes count as borders.
    return aCode >= 4 ? TqcImgType::itisaPngGlyph : TqcImgType::itisaBorder;
  }
}

TsImageNotation ParseExternal(const std::string& aValue) {
  TsImageNotation n;
  auto words = SplitWords(aValue, "!");
  if (words.empty())
    return n;
  auto word = [&](std::size_t i) { return i < words.size() ? StrToIntDef(words[i], 0) : 0; };
  n.FileName = words[0];
  if (n.FileName.find(".BMP") == std::string::npos && n.FileName.find(".PNG") == std::string::npos)
    return n;
  n.Kind = TsNotationKind::External;
  n.ImageCount = word(1);
  n.MaskType = word(2);
  n.ImgType = ImgTypeOfCode(word(3));
  n.WidthsGiven = words.size() >= 5;
  n.WL = word(4);
  n.WT = word(5);
  n.WR = word(6);
  n.WB = word(7);
  n.DrawMode = words.size() >= 9 ? word(8) : 1;
  return n;
}

TsImageNotation ParseLegacy(const std::string& aValue) {
  TsImageNotation n;
  n.Kind = TsNotationKind::Legacy;
  auto words = SplitWords(aValue, " ()");
  auto list = [&](std::size_t i) {
    return i < words.size() ? SplitWords(words[i], ",") : std::vector<std::string>{};
  };
  auto coords = list(1);
  auto counts = list(2);
  auto at = [](const std::vector<std::string>& aList, std::size_t i) {
    return i < aList.size() ? StrToIntDef(aList[i], 0) : 0;
  };
  // Coordinates of the master image, within what the fixed-position
  // notations can write (four digits); a damaged value counts as the nearer
  // end.
  auto coord = [&](std::size_t i) { return std::clamp(at(coords, i), 0, 9999); };
  n.R = {coord(0), coord(1), coord(2), coord(3)};
  n.ImageCount = std::max(1, at(counts, 0));
  n.MaskType = std::max(0, at(counts, 1));
  n.BorderWidth = counts.size() > 2 ? std::max(0, StrToInt(counts[2])) : 0;
  n.DrawMode = counts.size() > 3 ? StrToInt(counts[3]) : 1;
  return n;
}

} // namespace

TsNotationKind ClassifyImageValue(const std::string& aValue) {
  if (aValue.empty())
    return TsNotationKind::None;
  switch (aValue[0]) {
  case '^':
    return TsNotationKind::Border;
  case '@':
    return TsNotationKind::Glyph;
  case '~':
    return TsNotationKind::Texture;
  case '!':
    return TsNotationKind::External;
  default:
    break;
  }
  if (aValue.find('#') != std::string::npos && aValue != "#")
    return TsNotationKind::Legacy;
  std::string upper = UpperCase(aValue);
  if (upper.find(".BMP") != std::string::npos)
    return TsNotationKind::PlainBmp;
  if (upper.find(".JPG") != std::string::npos || upper.find(".JPEG") != std::string::npos)
    return TsNotationKind::Jpeg;
  return TsNotationKind::None;
}

TsImageNotation ParseImageValue(const std::string& aValue) {
  TsImageNotation n;
  n.Kind = ClassifyImageValue(aValue);
  switch (n.Kind) {
  case TsNotationKind::Border:
    n.R = RectField(aValue);
    n.WL = Field(aValue, 22, 4);
    n.WT = Field(aValue, 27, 4);
    n.WR = Field(aValue, 32, 4);
    n.WB = Field(aValue, 37, 4);
    n.ImageCount = Field(aValue, 42, 1);
    n.MaskType = Field(aValue, 44, 1);
    n.DrawMode = Field(aValue, 46, 1);
    n.BorderWidth = Field(aValue, 48, 1);
    n.ImgType = TqcImgType::itisaBorder;
    break;
  case TsNotationKind::Glyph:
    n.R = RectField(aValue);
    n.ImageCount = Field(aValue, 22, 1);
    n.MaskType = Field(aValue, 24, 1);
    n.ImgType = TqcImgType::itisaGlyph;
    break;
  case TsNotationKind::Texture:
    n.R = RectField(aValue);
    n.DrawMode = Field(aValue, 22, 2);
    n.MaskType = aValue.size() > 24 ? Field(aValue, 25, 1) : 0;
    n.ImageCount = 1;
    n.ImgType = TqcImgType::itisaTexture;
    break;
  case TsNotationKind::External:
    return ParseExternal(aValue);
  case TsNotationKind::Legacy:
    return ParseLegacy(aValue);
  case TsNotationKind::PlainBmp:
  case TsNotationKind::Jpeg:
    n.FileName = UpperCase(aValue);
    n.ImageCount = n.Kind == TsNotationKind::PlainBmp ? 3 : 1;
    n.MaskType = n.Kind == TsNotationKind::PlainBmp ? 1 : 0;
    n.ImgType =
        n.Kind == TsNotationKind::PlainBmp ? TqcImgType::itisaBorder : TqcImgType::itisaTexture;
    break;
  case TsNotationKind::None:
    break;
  }
  return n;
}

int SkinDiv(long long aValue, long long aDivisor) {
  if (aDivisor == 0)
    throw ESkinError("Division by zero");
  return int(aValue / aDivisor);
}

void ApplyBorderWidthRule(TsImageNotation& aNotation) {
  if (aNotation.WL + aNotation.WT + aNotation.WR + aNotation.WB != 0)
    return;
  if (aNotation.BorderWidth != 0) {
    aNotation.WL = aNotation.WT = aNotation.WR = aNotation.WB = aNotation.BorderWidth;
    return;
  }
  aNotation.WL = aNotation.WR = SkinDiv(aNotation.R.Width(), aNotation.ImageCount * 3LL);
  aNotation.WT = aNotation.WB = SkinDiv(aNotation.R.Height(), (aNotation.MaskType + 1LL) * 3);
}

TsGradArray ParseGradientData(const std::string& aText) {
  auto words = SplitWords(aText, ";");
  TsGradArray result;
  for (std::size_t i = 0; i + 5 <= words.size(); i += 5) {
    TsGradPie pie;
    pie.Color1 = TColor(ResolveSkinColor(StrToInt(words[i])));
    pie.Color2 = TColor(ResolveSkinColor(StrToInt(words[i + 1])));
    pie.Percent = std::uint8_t(std::clamp(StrToInt(words[i + 2]), 0, 100));
    pie.Mode1 = StrToInt(words[i + 3]);
    result.push_back(pie);
  }
  return result;
}
