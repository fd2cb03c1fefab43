#pragma once
// Value notations of the options file: image references and gradients.

#include "platform/Types.h"
#include "skin/data/sSkinTypes.h"

#include <string>

enum class TsNotationKind {
  None,     // not an image value ("N/A")
  Border,   // "^" rectangle of the master image
  Glyph,    // "@"
  Texture,  // "~"
  External, // "!" image file
  Legacy,   // "#" rectangle of the master image
  PlainBmp, // a ".BMP" file name
  Jpeg,     // a ".JPG"/".JPEG" file name
};

// A parsed image value. Fields not given by the notation keep their defaults.
struct TsImageNotation {
  TsNotationKind Kind = TsNotationKind::None;
  std::string FileName; // External, PlainBmp (upper-cased), Jpeg (upper-cased)
  TRect R;
  int ImageCount = 1;
  int MaskType = 0;
  int DrawMode = 0;
  int BorderWidth = 0;
  int WL = 0, WT = 0, WR = 0, WB = 0;
  TqcImgType ImgType = TqcImgType::itisaBorder;
  bool WidthsGiven = false; // External: five words or more
};

// Classifies by the first character, then by content.
TsNotationKind ClassifyImageValue(const std::string& aValue);
// Parses a value; EConvertError for a non-digit or missing character in a
// fixed-position field, or for a bad border width or draw mode in the "#"
// notation. An External value whose name lacks ".BMP"/".PNG" gives None.
TsImageNotation ParseImageValue(const std::string& aValue);

// The widths of a "^" value when all four are zero: BorderWidth on every side
// if that is not 0, else thirds of one state image. ESkinError when the image
// count is zero and thirds are needed.
void ApplyBorderWidthRule(TsImageNotation& aNotation);

// GRADIENTDATA: groups of five ";"-separated words; EConvertError for a word
// that is not an integer.
TsGradArray ParseGradientData(const std::string& aText);

// The division by an image count or row count of a skin value; ESkinError
// ("Division by zero") instead of a crash.
int SkinDiv(long long aValue, long long aDivisor);
