#include "skin/data/sSkinValues.h"

#include <gtest/gtest.h>

namespace {

std::string ErrorOf(const std::string& aValue) {
  try {
    TsImageNotation n = ParseImageValue(aValue);
    if (n.Kind == TsNotationKind::Border)
      ApplyBorderWidthRule(n);
  } catch (const ESkinError& e) {
    return e.what();
  }
  return "";
}

TEST(SkinValues, Classification) {
  struct {
    const char* Value;
    TsNotationKind Kind;
  } cases[] = {{"^0001", TsNotationKind::Border},
               {"@0001", TsNotationKind::Glyph},
               {"~0001", TsNotationKind::Texture},
               {"!A.PNG", TsNotationKind::External},
               {"!a.png", TsNotationKind::None},
               {"!A.JPG", TsNotationKind::None},
               {"x#1 (1,2,3,4) (1,0,0,1)", TsNotationKind::Legacy},
               {"#", TsNotationKind::None},
               {"button.bmp", TsNotationKind::PlainBmp},
               {"a#b.bmp", TsNotationKind::Legacy},
               {"tex.jpeg", TsNotationKind::Jpeg},
               {"tex.Jpg", TsNotationKind::Jpeg},
               {"N/A", TsNotationKind::None},
               {"", TsNotationKind::None},
               {"106241", TsNotationKind::None}};
  for (const auto& c : cases) {
    // External values are classified by their first character, then kept
    // only when the file name holds ".BMP" or ".PNG".
    TsNotationKind kind = ClassifyImageValue(c.Value);
    if (kind == TsNotationKind::External)
      kind = ParseImageValue(c.Value).Kind;
    EXPECT_EQ(kind, c.Kind) << c.Value;
  }
}

TEST(SkinValues, BorderNotationFieldByField) {
  auto n = ParseImageValue("^0001^0075^0056^0094^0002^0003^0004^0005^1^0^1^1");
  EXPECT_EQ(n.R, Rect(1, 75, 56, 94));
  EXPECT_EQ(n.WL, 2);
  EXPECT_EQ(n.WT, 3);
  EXPECT_EQ(n.WR, 4);
  EXPECT_EQ(n.WB, 5);
  EXPECT_EQ(n.ImageCount, 1);
  EXPECT_EQ(n.MaskType, 0);
  EXPECT_EQ(n.DrawMode, 1);
  EXPECT_EQ(n.BorderWidth, 1);
  EXPECT_EQ(n.ImgType, TqcImgType::itisaBorder);
  // Separator positions are not examined; trailing characters are ignored.
  auto loose = ParseImageValue("^0001x0075x0056x0094x0002x0003x0004x0005x1x0x1x1tail");
  EXPECT_EQ(loose.R, n.R);
  EXPECT_EQ(loose.BorderWidth, 1);
}

TEST(SkinValues, BorderWidthRule) {
  struct {
    const char* Value;
    int WL, WT, WR, WB;
  } cases[] = {
      {"^0000^0000^0060^0040^0000^0000^0000^0000^2^1^1^0", 10, 6, 10, 6},
      {"^0000^0000^0060^0040^0000^0000^0000^0000^2^1^1^3", 3, 3, 3, 3},
      {"^0000^0000^0060^0040^0001^0000^0000^0000^2^1^1^3", 1, 0, 0, 0},
      {"^0065^0190^0221^0234^0025^0010^0025^0010^3^1^1^1", 25, 10, 25, 10},
  };
  for (const auto& c : cases) {
    auto n = ParseImageValue(c.Value);
    ApplyBorderWidthRule(n);
    EXPECT_EQ((std::array<int, 4>{n.WL, n.WT, n.WR, n.WB}),
              (std::array<int, 4>{c.WL, c.WT, c.WR, c.WB}))
        << c.Value;
  }
}

TEST(SkinValues, GlyphAndTextureNotations) {
  auto g = ParseImageValue("@0225@0137@0273@0153@3@0");
  EXPECT_EQ(g.R, Rect(225, 137, 273, 153));
  EXPECT_EQ(g.ImageCount, 3);
  EXPECT_EQ(g.MaskType, 0);
  EXPECT_EQ(g.ImgType, TqcImgType::itisaGlyph);
  auto t = ParseImageValue("~0058~0119~0070~0131~07~1");
  EXPECT_EQ(t.R, Rect(58, 119, 70, 131));
  EXPECT_EQ(t.DrawMode, 7);
  EXPECT_EQ(t.MaskType, 1);
  EXPECT_EQ(t.ImageCount, 1);
  EXPECT_EQ(t.ImgType, TqcImgType::itisaTexture);
  // 23 characters: the mask type is not read.
  EXPECT_EQ(ParseImageValue("~0058~0119~0070~0131~00").MaskType, 0);
}

TEST(SkinValues, FixedPositionErrors) {
  struct {
    const char* Value;
    const char* Error;
  } cases[] = {
      {"^0001^0075^0056^0094^0002^0002^0002^0002^1^0^1^", "'' is not a valid integer value"},
      {"^0001^0075^0056^0094^0002^0002^0002^0002^1^0^1", "'' is not a valid integer value"},
      {"^00a1^0075^0056^0094^0002^0002^0002^0002^1^0^1^1", "'00a1' is not a valid integer value"},
      {"^-001^0075^0056^0094^0002^0002^0002^0002^1^0^1^1", "'-001' is not a valid integer value"},
      {"^0000^0000^0060^0040^0000^0000^0000^0000^0^1^1^0", "Division by zero"},
      {"@0225@0137@0273@0153@3@", "'' is not a valid integer value"},
      {"~0058~0119~0070~0131~", "'' is not a valid integer value"},
      {"~0058~0119~0070~0131~00~X", "'X' is not a valid integer value"},
      {"@0225@0137@0273@0153@3@0", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorOf(c.Value), c.Error) << c.Value;
}

TEST(SkinValues, ExternalNotation) {
  auto e = ParseImageValue("!EXBORD.PNG!2!0!3!0028!0050!0028!0028!1");
  EXPECT_EQ(e.Kind, TsNotationKind::External);
  EXPECT_EQ(e.FileName, "EXBORD.PNG");
  EXPECT_EQ(e.ImageCount, 2);
  EXPECT_EQ(e.ImgType, TqcImgType::itisaGlow);
  EXPECT_EQ((std::array<int, 4>{e.WL, e.WT, e.WR, e.WB}), (std::array<int, 4>{28, 50, 28, 28}));
  EXPECT_EQ(e.DrawMode, 1);
  EXPECT_TRUE(e.WidthsGiven);
  auto shortForm = ParseImageValue("!!GLOW.BMP!!3!x!2");
  EXPECT_EQ(shortForm.FileName, "GLOW.BMP");
  EXPECT_EQ(shortForm.ImageCount, 3);
  EXPECT_EQ(shortForm.MaskType, 0);
  EXPECT_EQ(shortForm.ImgType, TqcImgType::itisaGlyph);
  EXPECT_FALSE(shortForm.WidthsGiven);
  EXPECT_EQ(shortForm.DrawMode, 1);
  struct {
    int Code;
    TqcImgType Type;
  } codes[] = {{0, TqcImgType::itisaBorder},   {1, TqcImgType::itisaTexture},
               {2, TqcImgType::itisaGlyph},    {3, TqcImgType::itisaGlow},
               {4, TqcImgType::itisaPngGlyph}, {9, TqcImgType::itisaPngGlyph},
               {-3, TqcImgType::itisaBorder}};
  for (const auto& c : codes)
    EXPECT_EQ(ParseImageValue("!A.PNG!1!0!" + std::to_string(c.Code)).ImgType, c.Type) << c.Code;
}

TEST(SkinValues, LegacyNotation) {
  auto n = ParseImageValue("#x (1,75,56,94) (2,1,3,0)");
  EXPECT_EQ(n.Kind, TsNotationKind::Legacy);
  EXPECT_EQ(n.R, Rect(1, 75, 56, 94));
  EXPECT_EQ(n.ImageCount, 2);
  EXPECT_EQ(n.MaskType, 1);
  EXPECT_EQ(n.BorderWidth, 3);
  EXPECT_EQ(n.DrawMode, 0);
  auto defaults = ParseImageValue("#x (a,75,56,94) (0,-2)");
  EXPECT_EQ(defaults.R, Rect(0, 75, 56, 94));
  EXPECT_EQ(defaults.ImageCount, 1);
  EXPECT_EQ(defaults.MaskType, 0);
  EXPECT_EQ(defaults.BorderWidth, 0);
  EXPECT_EQ(defaults.DrawMode, 1);
  EXPECT_EQ(ParseImageValue("#x (1,2,3,4) (1,0,-4,1)").BorderWidth, 0);
  // Coordinates stay within what four digits can write.
  EXPECT_EQ(ParseImageValue("#x (-2147483648,-5,2147483647,12000) (1,0,0,1)").R,
            Rect(0, 0, 9999, 9999));
  EXPECT_EQ(ErrorOf("#x (1,2,3,4) (1,0,b,1)"), "'b' is not a valid integer value");
  EXPECT_EQ(ErrorOf("#x (1,2,3,4) (1,0,1,d)"), "'d' is not a valid integer value");
}

TEST(SkinValues, PlainBitmapAndJpegNamesAreUpperCased) {
  auto b = ParseImageValue("Button.bmp");
  EXPECT_EQ(b.FileName, "BUTTON.BMP");
  EXPECT_EQ(b.ImageCount, 3);
  EXPECT_EQ(b.MaskType, 1);
  EXPECT_EQ(ParseImageValue("wood.jpg").FileName, "WOOD.JPG");
}

TEST(SkinValues, GradientData) {
  auto two = ParseGradientData("0;0;97;0;0;0;0;0;0;0");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].Percent, 97);
  auto clamped = ParseGradientData(";;255;;65280;;150;;1;;9;;1;2");
  ASSERT_EQ(clamped.size(), 1u);
  EXPECT_EQ(clamped[0], (TsGradPie{255, 65280, 100, 1, 0}));
  EXPECT_EQ(ParseGradientData("1;2;-5;0;0")[0].Percent, 0);
  // A system colour is resolved (button face).
  EXPECT_EQ(ParseGradientData("-2147483633;0;0;0;0")[0].Color1, 0xC8D0D4u);
  EXPECT_TRUE(ParseGradientData("1;2;3").empty());
  EXPECT_THROW(ParseGradientData("1;x;3;0;0"), EConvertError);
}

} // namespace
