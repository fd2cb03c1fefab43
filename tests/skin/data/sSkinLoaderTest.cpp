#include "skin/data/sSkinLoader.h"

#include "SkinTestUtil.h"
#include "platform/gfx/SystemColors.h"
#include "skin/data/sSkinManager.h"

#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kOpaqueMagenta = 0xFFFF00FF;
constexpr std::uint32_t kKey = 0x00FF00FF;

// Loads an options text with images into fresh tables, as a packed skin.
TsSkinTables Load(const std::string& aOptions,
                  const std::vector<std::pair<std::string, TBytes>>& aImages = {},
                  int aBrightness = 0) {
  TqcSkinConvertor conv;
  TBytes packed = PackSkin(aOptions, aImages);
  UnpackSkinData(packed.data(), packed.size(), conv);
  TsSkinOptions options = TsSkinOptions::FromBytes(*conv.Options);
  TsSkinSource source;
  source.Options = &options;
  source.Packed = &conv;
  source.Brightness = aBrightness;
  TsSkinTables tables;
  LoadSkinTables(source, tables);
  return tables;
}

std::string LoadError(const std::string& aOptions,
                      const std::vector<std::pair<std::string, TBytes>>& aImages = {}) {
  try {
    Load(aOptions, aImages);
  } catch (const ESkinError& e) {
    return e.what();
  }
  return "";
}

const TsGeneralData& Section(const TsSkinTables& t, const std::string& aName) {
  int i = t.GetSkinIndex(aName);
  EXPECT_GE(i, 0) << aName;
  return t.gd.at(std::size_t(i));
}

// A 24-bit master of w x h: magenta left half of row 0, grey elsewhere.
TBytes Master24(int aW, int aH, const std::function<std::uint32_t(int, int)>& aPixel) {
  return EncodeBmp(MakeBitmap(aW, aH, aPixel), 24);
}

TEST(SkinLoader, SectionTableInFileOrderWithTransparentAppended) {
  auto t = Load("[GLOBALINFO]\n[B]\n[A]\n[B]\nCOLOR=1\n");
  std::vector<std::string> names;
  for (const auto& g : t.gd)
    names.push_back(g.ClassName);
  EXPECT_EQ(names, (std::vector<std::string>{"GLOBALINFO", "B", "A", "B", "TRANSPARENT"}));
  EXPECT_EQ(t.GetSkinIndex("B"), 1);
  EXPECT_EQ(t.GetSkinIndex("b"), -1);
  EXPECT_EQ(t.GetSkinIndex(""), -1);
  // The second [B] reads the first [B]'s keys.
  EXPECT_EQ(t.gd[3].Props[0].Color, 0xFFFFFF);
  auto withTransparent = Load("[TRANSPARENT]\nCOLOR=5\n");
  EXPECT_EQ(withTransparent.gd.size(), 1u);
}

// Images are read by lookup too: a repeated section contributes the keys and
// values of its first occurrence, a repeated key its first value.
TEST(SkinLoader, RepeatedSectionsAndKeysGiveTheFirstOccurrencesImages) {
  auto t = Load("[GLOBALINFO]\n[B]\nG=@0001@0000@0002@0001@1@0\nG=@0009@0000@0010@0001@1@0\n"
                "[B]\nG=@0005@0000@0006@0001@1@0\nONLYSECOND=@0007@0000@0008@0001@1@0\n");
  std::vector<std::pair<std::string, int>> images;
  for (const auto& m : t.ma)
    if (m.ClassName == "B")
      images.push_back({m.PropertyName, m.R.Left});
  EXPECT_EQ(images,
            (std::vector<std::pair<std::string, int>>{{"G", 1}, {"G", 1}, {"G", 1}, {"G", 1}}));
  EXPECT_EQ(t.GetMaskIndex("B", "ONLYSECOND"), -1);
}

TEST(SkinLoader, SectionKeysDefaultsAndLimits) {
  auto t = Load("[GLOBALINFO]\n"
                "[DEF]\n"
                "[LIM]\nSTATES=300\nGRADIENTPERCENT=150\nGLOW=999\nOUTOFFSL=300\n"
                "TRANSPARENCY=101\nIMAGEPERCENT=-5\nGRADIENTDATA=1;2;3;0;0\n"
                "[SHORTGRAD]\nSTATES=2\nGRADIENTPERCENT=50\nGRADIENTDATA=0\n"
                "HOTGRADIENTPERCENT=60\nHOTGRADIENTDATA=0;0;0\n"
                "[ONESTATE]\nSTATES=1\nCOLOR=5\nFONTCOLOR=6\nTCLEFT=7\nGRADIENTPERCENT=40\n"
                "GRADIENTDATA=1;2;50;1;0\nHOTCOLOR=99\n"
                "[TWOSTATE]\nSTATES=2\nCOLOR=5\nHOTCOLOR=9\nHOTFONTCOLOR=8\nHGSIZE=300\n"
                "RESERVEDBOOLEAN=TRUE\nGIVEOWNFONT=1\n"
                "[CHILD]\nPARENTCLASS=TWOSTATE\nTCLEFT=-1\n");
  const auto& d = Section(t, "DEF");
  EXPECT_EQ(d.States, 3);
  EXPECT_EQ(d.OuterMode, 2);
  EXPECT_EQ(d.OuterOpacity, 200);
  EXPECT_EQ(d.Props[0].Color, 0xFFFFFF);
  EXPECT_EQ(d.Props[0].FontColor, (TsFontColor{0, -1, -1, -1, -1}));
  EXPECT_EQ(d.Props[0].GlowColor, 0xFFFFFF);
  EXPECT_EQ(d.Props[0].GradientData, " ");
  EXPECT_EQ(d.ImgTL, -1);
  EXPECT_EQ(d.BorderIndex, -1);
  EXPECT_FALSE(d.FadingEnabled);
  const auto& l = Section(t, "LIM");
  EXPECT_EQ(l.States, 255);
  EXPECT_EQ(l.Props[0].GradientPercent, 100);
  EXPECT_EQ(l.GlowCount, 255);
  EXPECT_EQ(l.OuterOffset.Left, 255);
  EXPECT_EQ(l.Props[0].Transparency, 100);
  EXPECT_EQ(l.Props[0].ImagePercent, 0) << "percents are not negative";
  ASSERT_EQ(l.Props[0].GradientArray.size(), 1u);
  EXPECT_EQ(l.Props[0].GradientArray[0].Percent, 3);
  const auto& s = Section(t, "SHORTGRAD");
  EXPECT_EQ(s.Props[0].GradientPercent, 0);
  EXPECT_EQ(s.Props[1].GradientPercent, 0);
  EXPECT_TRUE(s.Props[1].GradientArray.empty());
  const auto& one = Section(t, "ONESTATE");
  EXPECT_EQ(one.Props[1].Color, 5) << "HOT keys are not read below two states";
  EXPECT_EQ(one.Props[1].FontColor, (TsFontColor{6, 7, -1, -1, -1}));
  EXPECT_EQ(one.Props[1].GradientPercent, 40);
  EXPECT_EQ(one.Props[1].GradientArray.size(), 1u) << "parsed again from the copied data";
  EXPECT_EQ(one.Props[1].TextureIndex, 0);
  const auto& two = Section(t, "TWOSTATE");
  EXPECT_EQ(two.Props[1].Color, 9);
  EXPECT_EQ(two.Props[1].FontColor.Color, 8);
  EXPECT_EQ(two.Props[1].GlowSize, 255);
  EXPECT_TRUE(two.ReservedBoolean);
  EXPECT_TRUE(two.GiveOwnFont);
  const auto& child = Section(t, "CHILD");
  EXPECT_EQ(child.ParentClass, "TWOSTATE");
  EXPECT_EQ(child.States, 2);
  EXPECT_EQ(child.Props[1].Color, 9);
  EXPECT_TRUE(child.ReservedBoolean);
}

// Loads aSections as the application's sections of a skin that has only
// GLOBALINFO.
TsSkinTables LoadCommon(const std::string& aSections) {
  auto options = TsSkinOptions::FromText("[GLOBALINFO]\n");
  auto common = TsSkinOptions::FromText(aSections);
  TsSkinSource source;
  source.Options = &options;
  source.CommonSections = &common;
  TsSkinTables tables;
  LoadSkinTables(source, tables);
  return tables;
}

// The two ways a section's states are read: as a section of the skin and as
// an application section. Each gives the loaded section S of an options text.
struct TStateReader {
  const char* Name;
  std::function<TsGeneralData(const std::string&)> LoadSection;
  int DefaultFontColor;
};

const TStateReader kStateReaders[] = {
    {"skin section",
     [](const std::string& aText) { return Section(Load("[GLOBALINFO]\n" + aText), "S"); }, 0},
    {"application section",
     [](const std::string& aText) { return Section(LoadCommon(aText), "S"); }, -1},
};

// A damaged skin's values below what a field can mean count as the lowest it
// keeps, in both readers: a section has one state at least, counts, sizes and
// percents are not negative. The painters then never compute with them.
TEST(SkinLoader, ValuesBelowTheirRangeCountAsItsLowestEnd) {
  using TGet = int (*)(const TsGeneralData&);
  const struct {
    const char* Text;
    TGet Get;
    int Expected;
  } cases[] = {
      {"STATES=-2147483648", [](const TsGeneralData& g) { return g.States; }, 1},
      {"STATES=0", [](const TsGeneralData& g) { return g.States; }, 1},
      {"STATES=1", [](const TsGeneralData& g) { return g.States; }, 1},
      {"GLOW=-3", [](const TsGeneralData& g) { return g.GlowCount; }, 0},
      {"GLOWMARGIN=-2147483648", [](const TsGeneralData& g) { return g.GlowMargin; }, 0},
      {"GSIZE=-4", [](const TsGeneralData& g) { return g.Props[0].GlowSize; }, 0},
      {"STATES=2\nHGSIZE=-9", [](const TsGeneralData& g) { return g.Props[1].GlowSize; }, 0},
      {"TRANSPARENCY=-20", [](const TsGeneralData& g) { return g.Props[0].Transparency; }, 0},
      {"STATES=2\nHOTTRANSPARENCY=-2147483648",
       [](const TsGeneralData& g) { return g.Props[1].Transparency; }, 0},
      {"GRADIENTPERCENT=-2147483648\nGRADIENTDATA=1;2;100;0;0",
       [](const TsGeneralData& g) { return g.Props[0].GradientPercent; }, 0},
      {"IMAGEPERCENT=-7", [](const TsGeneralData& g) { return g.Props[0].ImagePercent; }, 0},
      {"STATES=1\nIMAGEPERCENT=-7", [](const TsGeneralData& g) { return g.Props[1].ImagePercent; },
       0},
  };
  for (const TStateReader& reader : kStateReaders)
    for (const auto& c : cases)
      EXPECT_EQ(c.Get(reader.LoadSection(std::string("[S]\n") + c.Text + "\n")), c.Expected)
          << reader.Name << ": " << c.Text;
  // The skin's own sections keep their upper limits too; outer effects and
  // GLOBALINFO's measures are bounded alike.
  auto t = Load("[GLOBALINFO]\nBICONCLOSEGLOWMARGIN=-5\nTABSCOVERING=-99999\n"
                "BILEFT=2147483647\nFORMOFFSET=-3\nSHADOW1BLUR=-8\n"
                "[S]\nOUTOFFSL=-1000\nOUTOPACITY=-2\n");
  EXPECT_EQ(Section(t, "S").OuterOffset.Left, 0);
  EXPECT_EQ(Section(t, "S").OuterOpacity, 0);
  EXPECT_EQ(t.CommonSkinData.BICloseGlowMargin, 0);
  EXPECT_EQ(t.CommonSkinData.TabsCovering, -1000);
  EXPECT_EQ(t.CommonSkinData.BILeftMargin, 1000);
  EXPECT_EQ(t.CommonSkinData.ExContentOffs, 0);
  EXPECT_EQ(t.CommonSkinData.Shadow1Blur, -1);
  EXPECT_EQ(Section(LoadCommon("[S]\nSTATES=300\n"), "S").States, 300)
      << "application sections have no upper limits";
}

// Image entries written in the external and legacy notations keep counts,
// measures and draw modes within what the fixed-position notations can
// write: a count or width below 0 counts as 0, one above as the largest.
TEST(SkinLoader, ImageEntryValuesStayWithinTheirNotationsReach) {
  auto png = EncodePngBytes(MakeBitmap(30, 20, [](int, int) { return 0xFF102030u; }));
  auto t = Load("[GLOBALINFO]\n[S]\nNEG=!G.PNG!-1!-2!3!-50!-50!-50!-50!-7\n"
                "BIG=!G.PNG!65536!2147483647!3!2147483647!30000!10000!9999!2147483647\n"
                "LEG=#x (0,0,4,4) (2147483647,2147483647,2147483647,2147483647)\n",
                {{"G.PNG", png}});
  const TsMaskData& neg = t.ma[std::size_t(t.GetMaskIndex("S", "NEG"))];
  EXPECT_EQ(std::vector<int>(
                {neg.ImageCount, neg.MaskType, neg.WL, neg.WT, neg.WR, neg.WB, neg.DrawMode}),
            std::vector<int>({0, 0, 0, 0, 0, 0, 0}));
  const TsMaskData& big = t.ma[std::size_t(t.GetMaskIndex("S", "BIG"))];
  EXPECT_EQ(std::vector<int>(
                {big.ImageCount, big.MaskType, big.WL, big.WT, big.WR, big.WB, big.DrawMode}),
            std::vector<int>({255, 255, 9999, 9999, 9999, 9999, 99}));
  const TsMaskData& leg = t.ma[std::size_t(t.GetMaskIndex("S", "LEG"))];
  EXPECT_EQ(std::vector<int>({leg.ImageCount, leg.MaskType, leg.BorderWidth, leg.DrawMode}),
            std::vector<int>({255, 255, 9999, 99}));
}

// Every state key lands in its own field of its own state, in both readers: a
// key read into another field or into the other state changes a value that the
// comparison with the whole expected state catches.
TEST(SkinLoader, EachStateKeyFillsItsFieldOfItsState) {
  using TField = int& (*)(TsGenState&);
  const struct {
    const char* Key;
    int State;
    TField Field;
  } cases[] = {
      {"COLOR", 0, [](TsGenState& s) -> int& { return s.Color; }},
      {"HOTCOLOR", 1, [](TsGenState& s) -> int& { return s.Color; }},
      {"FONTCOLOR", 0, [](TsGenState& s) -> int& { return s.FontColor.Color; }},
      {"HOTFONTCOLOR", 1, [](TsGenState& s) -> int& { return s.FontColor.Color; }},
      {"TCLEFT", 0, [](TsGenState& s) -> int& { return s.FontColor.Left; }},
      {"HOTTCLEFT", 1, [](TsGenState& s) -> int& { return s.FontColor.Left; }},
      {"TCTOP", 0, [](TsGenState& s) -> int& { return s.FontColor.Top; }},
      {"HOTTCTOP", 1, [](TsGenState& s) -> int& { return s.FontColor.Top; }},
      {"TCRIGHT", 0, [](TsGenState& s) -> int& { return s.FontColor.Right; }},
      {"HOTTCRIGHT", 1, [](TsGenState& s) -> int& { return s.FontColor.Right; }},
      {"TCBOTTOM", 0, [](TsGenState& s) -> int& { return s.FontColor.Bottom; }},
      {"HOTTCBOTTOM", 1, [](TsGenState& s) -> int& { return s.FontColor.Bottom; }},
      {"GCOL", 0, [](TsGenState& s) -> int& { return s.GlowColor; }},
      {"HGCOL", 1, [](TsGenState& s) -> int& { return s.GlowColor; }},
      {"GSIZE", 0, [](TsGenState& s) -> int& { return s.GlowSize; }},
      {"HGSIZE", 1, [](TsGenState& s) -> int& { return s.GlowSize; }},
      {"GRADIENTPERCENT", 0, [](TsGenState& s) -> int& { return s.GradientPercent; }},
      {"HOTGRADIENTPERCENT", 1, [](TsGenState& s) -> int& { return s.GradientPercent; }},
      {"IMAGEPERCENT", 0, [](TsGenState& s) -> int& { return s.ImagePercent; }},
      {"HOTIMAGEPERCENT", 1, [](TsGenState& s) -> int& { return s.ImagePercent; }},
      {"TRANSPARENCY", 0, [](TsGenState& s) -> int& { return s.Transparency; }},
      {"HOTTRANSPARENCY", 1, [](TsGenState& s) -> int& { return s.Transparency; }},
  };
  // Both gradient texts are given, so that the gradient percents are kept.
  const std::string base = "[S]\nSTATES=2\nGRADIENTDATA=1;2;3;0;0\nHOTGRADIENTDATA=4;5;6;1;0\n";
  for (const auto& reader : kStateReaders) {
    std::array<TsGenState, 2> defaults;
    for (auto& state : defaults) {
      state.Color = 0xFFFFFF;
      state.FontColor = {reader.DefaultFontColor, -1, -1, -1, -1};
      state.GlowColor = 0xFFFFFF;
      state.TextureIndex = -1; // no PATTERN, no HOTPATTERN
    }
    defaults[0].GradientData = "1;2;3;0;0";
    defaults[0].GradientArray = {{1, 2, 3, 0, 0}};
    defaults[1].GradientData = "4;5;6;1;0";
    defaults[1].GradientArray = {{4, 5, 6, 1, 0}};
    EXPECT_EQ(reader.LoadSection(base).Props, defaults) << reader.Name;
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << reader.Name << ", " << c.Key);
      auto expected = defaults;
      c.Field(expected[std::size_t(c.State)]) = 77;
      EXPECT_EQ(reader.LoadSection(base + c.Key + "=77\n").Props, expected);
    }
  }
}

// A section of one state has no hot state of its own: the hot state repeats
// every value of the normal one, in both readers, and the HOT keys are not
// read. A gradient percent without a gradient text is dropped alike.
TEST(SkinLoader, OneStateSectionRepeatsItsNormalStateAsHot) {
  const std::string text = "[S]\nSTATES=1\nCOLOR=1\nFONTCOLOR=2\nTCLEFT=3\nTCTOP=4\nTCRIGHT=5\n"
                           "TCBOTTOM=6\nGCOL=7\nGSIZE=8\nGRADIENTPERCENT=9\n"
                           "GRADIENTDATA=10;11;12;1;0\nIMAGEPERCENT=13\nTRANSPARENCY=14\n"
                           "HOTCOLOR=21\nHOTFONTCOLOR=22\nHOTTCLEFT=23\nHOTTCTOP=24\n"
                           "HOTTCRIGHT=25\nHOTTCBOTTOM=26\nHGCOL=27\nHGSIZE=28\n"
                           "HOTGRADIENTPERCENT=29\nHOTGRADIENTDATA=30;31;32;0;0\n"
                           "HOTIMAGEPERCENT=33\nHOTTRANSPARENCY=34\n";
  TsGenState normal;
  normal.Color = 1;
  normal.FontColor = {2, 3, 4, 5, 6};
  normal.GlowColor = 7;
  normal.GlowSize = 8;
  normal.GradientPercent = 9;
  normal.GradientData = "10;11;12;1;0";
  normal.GradientArray = {{10, 11, 12, 1, 0}};
  normal.ImagePercent = 13;
  normal.Transparency = 14;
  normal.TextureIndex = -1;
  TsGenState hot = normal;
  hot.TextureIndex = 0; // a texture is looked up for the hot state of two states only
  for (const auto& reader : kStateReaders) {
    SCOPED_TRACE(reader.Name);
    const auto section = reader.LoadSection(text);
    EXPECT_EQ(section.Props[0], normal);
    EXPECT_EQ(section.Props[1], hot);
    const auto noText = reader.LoadSection("[S]\nSTATES=2\nGRADIENTPERCENT=50\n");
    EXPECT_EQ(noText.Props[0].GradientPercent, 0);
  }
}

TEST(SkinLoader, ImageNotationsBecomeEntriesInFileOrder) {
  auto master = Master24(64, 64, [](int, int) { return 0xFF808080u; });
  auto png = EncodePngBytes(MakeBitmap(30, 20, [](int, int) { return 0xFF102030u; }));
  auto plain = EncodeBmp(MakeBitmap(18, 12, [](int, int) { return 0xFF405060u; }), 24);
  auto t = Load("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nVERSION=8\n"
                "EXBORDER=!EXBORD.PNG!2!0!3!0028!0050!0028!0028!1\n"
                "[S]\nA=^0000^0000^0030^0020^0000^0000^0000^0000^1^0^1^2\n"
                "B=@0001@0002@0031@0012@3@1\n"
                "C=~0001~0002~0003~0004~07\n"
                "D=!EXBORD.PNG!1!0!9\n"
                "E=!lower.png!1!0!1\n"
                "F=x#9 (1,2,7,8) (2,0,0,3)\n"
                "G=plain.bmp\n"
                "H=N/A\n"
                "I=!MISSING.PNG!1!0!1\n",
                {{"Master.bmp", master}, {"ExBord.png", png}, {"PLAIN.BMP", plain}});
  ASSERT_GE(t.ma.size(), 7u);
  const auto& ex = t.ma[0];
  EXPECT_EQ(ex.ClassName, "GLOBALINFO");
  EXPECT_EQ(ex.PropertyName, "EXBORDER");
  EXPECT_EQ(ex.R, Rect(0, 0, 30, 20));
  EXPECT_EQ(ex.ImageCount, 2);
  EXPECT_EQ(ex.ImgType, TqcImgType::itisaGlow);
  EXPECT_TRUE(ex.Bmp);
  EXPECT_EQ(t.GetMaskIndex(0, "GLOBALINFO", "EXBORDER"), 0);
  const auto& a = t.ma[1];
  EXPECT_EQ(a.R, Rect(0, 0, 30, 20));
  EXPECT_EQ((std::array<int, 4>{a.WL, a.WT, a.WR, a.WB}), (std::array<int, 4>{2, 2, 2, 2}));
  EXPECT_FALSE(a.Bmp);
  EXPECT_EQ(t.ma[2].ImgType, TqcImgType::itisaGlyph);
  EXPECT_EQ(t.ma[3].ImgType, TqcImgType::itisaTexture);
  EXPECT_EQ(t.ma[3].DrawMode, 7);
  const auto& d = t.ma[4];
  EXPECT_EQ(d.PropertyName, "D");
  EXPECT_EQ(d.ImgType, TqcImgType::itisaPngGlyph);
  EXPECT_EQ((std::array<int, 4>{d.WL, d.WT, d.WR, d.WB}), (std::array<int, 4>{10, 6, 10, 6}));
  EXPECT_EQ(d.DrawMode, 1);
  const auto& f = t.ma[5];
  EXPECT_EQ(f.ClassName, "S");
  EXPECT_EQ(f.PropertyName, "F");
  EXPECT_EQ(f.R, Rect(1, 2, 7, 8));
  EXPECT_EQ(f.ImageCount, 2);
  EXPECT_EQ((std::array<int, 4>{f.WL, f.WT, f.WR, f.WB}), (std::array<int, 4>{3, 6, 3, 6}));
  const auto& g = t.ma[6];
  EXPECT_EQ(g.PropertyName, "G");
  EXPECT_EQ(g.R, Rect(0, 0, 18, 12));
  EXPECT_EQ(g.ImageCount, 3);
  EXPECT_EQ(g.MaskType, 1);
  EXPECT_EQ((std::array<int, 4>{g.WL, g.WT, g.WR, g.WB}), (std::array<int, 4>{2, 2, 2, 2}));
  EXPECT_EQ(t.ma.size(), 7u + 2u) << "plus the two generated outer-effect masks";
}

TEST(SkinLoader, NotationNamesAreUpperCasedForLegacyAndPlainBitmaps) {
  auto plain = EncodeBmp(MakeBitmap(9, 6, [](int, int) { return 0xFF405060u; }), 24);
  auto t = Load("[lower]\nkey=p.bmp\nleg=#x (0,0,3,3) (1,0,0,1)\ncaret=^0000^0000^0003^0003^"
                "0001^0001^0001^0001^1^0^1^0\n",
                {{"P.BMP", plain}});
  EXPECT_EQ(t.ma[0].ClassName, "LOWER");
  EXPECT_EQ(t.ma[0].PropertyName, "KEY");
  EXPECT_EQ(t.ma[1].PropertyName, "LEG");
  EXPECT_EQ(t.ma[2].ClassName, "lower");
  EXPECT_EQ(t.ma[2].PropertyName, "caret");
}

TEST(SkinLoader, MasterImageKeyingAndLookupCase) {
  auto pixel = [](int x, int) { return x == 0 ? kOpaqueMagenta : 0xFF112233u; };
  auto t24 =
      Load("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n", {{"Master.bmp", Master24(4, 2, pixel)}});
  EXPECT_EQ(t24.MasterBitmap->Pixel(0, 0), kKey);
  EXPECT_EQ(t24.MasterBitmap->Pixel(1, 0), 0xFF112233u);
  auto t32 = Load(
      "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n",
      {{"Master.bmp",
        EncodeBmp(MakeBitmap(4, 2, [](int x, int) { return x == 0 ? 0x10FF00FFu : 0x20112233u; }),
                  32)}});
  EXPECT_EQ(t32.MasterBitmap->Pixel(0, 0), 0x10FF00FFu) << "32-bit images are kept as they are";
  EXPECT_EQ(t32.MasterBitmap->Pixel(1, 1), 0x20112233u);
  auto lower =
      Load("[GLOBALINFO]\nMASTERBITMAP=master.bmp\n", {{"Master.bmp", Master24(4, 2, pixel)}});
  EXPECT_TRUE(lower.MasterBitmap->Empty());
}

// A missing image is skipped and the load goes on, but the tables name it so
// that a skin author can be told.
TEST(SkinLoader, MissingImagesAreSkippedAndNoted) {
  auto png = EncodePngBytes(MakeBitmap(2, 2, [](int, int) { return 0xFF000000u; }));
  auto t = Load("[GLOBALINFO]\nMASTERBITMAP=NOMASTER.BMP\n[S]\nA=!GONE.PNG!1!0!1\n"
                "B=gone.bmp\nC=gone.jpg\nD=!HERE.PNG!1!0!1\nE=!LOWER.PNG!1!0!1\n",
                {{"Here.png", png}, {"lower.png", png}});
  EXPECT_EQ(t.MissingImages,
            (std::vector<TsMissingImage>{{"GLOBALINFO", "MASTERBITMAP", "NOMASTER.BMP"},
                                         {"S", "A", "GONE.PNG"},
                                         {"S", "B", "GONE.BMP"},
                                         {"S", "C", "GONE.JPG"}}));
  EXPECT_GE(t.GetMaskIndex("S", "D"), 0);
  EXPECT_GE(t.GetMaskIndex("S", "E"), 0);
  EXPECT_TRUE(
      Load("[GLOBALINFO]\n[S]\nD=!HERE.PNG!1!0!1\n", {{"Here.png", png}}).MissingImages.empty());
}

TEST(SkinLoader, CornerTypes) {
  // 12 x 8 master; a 12 x 4 border with widths 2 and a mask row below.
  auto withKey = [](int aKeyX, int aKeyY) {
    return Master24(12, 8, [=](int x, int y) {
      return x == aKeyX && y == aKeyY ? kOpaqueMagenta : 0xFF808080u;
    });
  };
  const std::string value = "^0000^0000^0012^0008^0002^0002^0002^0002^1^1^1^0";
  struct {
    int X, Y;
    const char* Section;
    int Expected;
  } cases[] = {{0, 0, "S", 1}, {11, 0, "S", 0},          {10, 0, "S", 1},
               {0, 3, "S", 1}, {0, 4, "S", 0},           {0, 2, "S", 1},
               {5, 1, "S", 0}, {0, 0, "BUTTON_HUGE", 2}, {5, 5, "S", 0}};
  for (const auto& c : cases) {
    auto t = Load("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[" + std::string(c.Section) +
                      "]\nBORDERSMASK=" + value + "\n",
                  {{"Master.bmp", withKey(c.X, c.Y)}});
    EXPECT_EQ(t.ma.at(0).CornerType, c.Expected) << c.X << "," << c.Y << " " << c.Section;
  }
}

TEST(SkinLoader, PngPostProcessingByVersionAndBrightness) {
  // Pixels: exactly white with alpha 0, and 50 % alpha colour (200, 100, 40).
  auto png = EncodePngBytes(
      MakeBitmap(2, 1, [](int x, int) { return x == 0 ? 0x00FFFFFFu : 0x80C86428u; }));
  auto load = [&](const char* aVersion, int aBrightness) {
    auto t = Load(std::string("[GLOBALINFO]\nVERSION=") + aVersion + "\n[S]\nG=!G.PNG!1!0!4\n",
                  {{"g.png", png}}, aBrightness);
    return *t.ma.at(0).Bmp;
  };
  auto old = load("7.44", 0);
  EXPECT_EQ(old.Pixel(0, 0), 0u);
  EXPECT_EQ(old.Pixel(1, 0), 0x80C86428u);
  auto current = load("7.45", 0);
  EXPECT_EQ(current.Pixel(0, 0), 0u);
  EXPECT_EQ(current.Pixel(1, 0),
            0x80000000u | (200u * 128 >> 8) << 16 | (100u * 128 >> 8) << 8 | (40u * 128 >> 8));
  // With a positive brightness the image is post-processed only after the
  // brightness step has lifted it: (200, 100, 40) + 10, then premultiplied.
  auto bright = load("8", 10);
  EXPECT_EQ(bright.Pixel(0, 0), 0u);
  EXPECT_EQ(bright.Pixel(1, 0),
            0x80000000u | (210u * 128 >> 8) << 16 | (110u * 128 >> 8) << 8 | (50u * 128 >> 8));
}

TEST(SkinLoader, JpegPatternsByPixelCount) {
  auto t = Load("[S]\nPATTERN=big.jpg\nHOTPATTERN=small.JPEG\n",
                {{"BIG.JPG", EncodeJpeg(1000, 900)}, {"SMALL.JPEG", EncodeJpeg(1000, 899)}});
  ASSERT_EQ(t.pa.size(), 1u);
  EXPECT_EQ(t.pa[0].ClassName, "S");
  EXPECT_EQ(t.pa[0].PropertyName, "PATTERN");
  EXPECT_EQ(t.pa[0].Img->Width(), 1000);
  EXPECT_EQ(t.GetPatternIndex(0, "S", "PATTERN"), 0);
  ASSERT_GE(t.ma.size(), 1u);
  EXPECT_EQ(t.ma[0].PropertyName, "HOTPATTERN");
  EXPECT_EQ(t.ma[0].ImgType, TqcImgType::itisaTexture);
  EXPECT_EQ(t.ma[0].R, (TRect{0, 0, 1000, 899}));
  EXPECT_EQ(t.ma[0].Bmp->Height(), 899);
  EXPECT_EQ(t.GetTextureIndex(0, "S", "HOTPATTERN"), 0);
  EXPECT_EQ(t.gd[0].Props[1].TextureIndex, 0);
}

TEST(SkinLoader, ParentLookupsForImages) {
  auto master = Master24(16, 16, [](int, int) { return 0xFF808080u; });
  auto t = Load("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n"
                "[BUTTON]\nBORDERSMASK=^0000^0000^0008^0008^0001^0001^0001^0001^1^0^1^0\n"
                "PATTERN=~0000~0000~0004~0004~00\n"
                "[CHILD]\nPARENTCLASS=BUTTON\n"
                "[LOOP1]\nPARENTCLASS=LOOP2\n[LOOP2]\nPARENTCLASS=LOOP1\n",
                {{"Master.bmp", master}});
  int button = t.GetSkinIndex("BUTTON");
  int child = t.GetSkinIndex("CHILD");
  EXPECT_EQ(Section(t, "CHILD").BorderIndex, Section(t, "BUTTON").BorderIndex);
  EXPECT_EQ(Section(t, "CHILD").TextureNormal, 1);
  EXPECT_EQ(t.GetMaskIndex(child, "CHILD", "BORDERSMASK"), 0);
  EXPECT_EQ(t.GetMaskIndex("CHILD", "BORDERSMASK"), -1);
  EXPECT_EQ(t.GetMaskIndex(-1, "BUTTON", "BORDERSMASK"), -1);
  EXPECT_EQ(t.GetMaskIndex(button, "", "BORDERSMASK"), -1);
  EXPECT_EQ(t.GetTextureIndex(child, "CHILD", "BORDERSMASK"), -1);
  EXPECT_EQ(t.GetMaskIndex(t.GetSkinIndex("LOOP1"), "LOOP1", "BORDERSMASK"), -1);
}

TEST(SkinLoader, StateImageSizesAndMaskWidths) {
  auto t = Load("[S]\nA=^0065^0190^0221^0234^0025^0010^0025^0010^3^1^1^1\n"
                "G=@0000@0000@0030@0020@3@1\n"
                "B=^0000^0000^0030^0020^0000^0000^0000^0000^3^0^1^4\n");
  EXPECT_EQ(StateImageWidth(t.ma[0]), 52);
  EXPECT_EQ(StateImageHeight(t.ma[0]), 22);
  EXPECT_EQ(MaskWidthTop(t.ma[1]), 10);
  EXPECT_EQ(MaskWidthLeft(t.ma[1]), 10);
  EXPECT_EQ(MaskWidthRight(t.ma[2]), 4);
  TsMaskData m;
  m.R = Rect(0, 0, 30, 20);
  struct {
    int ImageCount, MaskType, Width, Height;
  } cases[] = {{0, -1, 0, 0}, {1, 0, 30, 20}, {3, 1, 10, 10}, {2, 3, 15, 5}};
  for (const auto& c : cases) {
    m.ImageCount = std::int16_t(c.ImageCount);
    m.MaskType = std::int16_t(c.MaskType);
    EXPECT_EQ(StateImageWidth(m), c.Width);
    EXPECT_EQ(StateImageHeight(m), c.Height);
  }
  m.ImageCount = 0;
  m.MaskType = 0;
  EXPECT_EQ(MaskWidthLeft(m), 30) << "an image count of 0 counts as 1";
}

TEST(SkinLoader, LoadErrors) {
  struct {
    const char* Options;
    const char* Error;
  } cases[] = {
      {"[S]\nA=^0000^0000^0030^0020^0000^0000^0000^0000^0^0^1^0\n", "Division by zero"},
      {"[S]\nA=^0000^0000^0030^0020^0000^0000^0000^0000^1^0^1\n",
       "'' is not a valid integer value"},
      {"[S]\nGRADIENTDATA=1;x;3;4;5\n", "'x' is not a valid integer value"},
      {"[S]\nA=!G.PNG!0!0!1\n", "Division by zero"},
      {"[S]\nA=!BAD.PNG!1!0!1\n", "Skin image \"BAD.PNG\" cannot be read: "},
      {"[GLOBALINFO]\nSH_SOURCE=1\nSH_MASK=^00x0\n", "'00x0' is not a valid integer value"},
  };
  auto png = EncodePngBytes(MakeBitmap(3, 3, [](int, int) { return 0xFF000000u; }));
  for (const auto& c : cases) {
    std::string error = LoadError(c.Options, {{"G.png", png}, {"BAD.PNG", TBytes{1, 2, 3}}});
    EXPECT_EQ(error.substr(0, std::string(c.Error).size()), c.Error) << c.Options;
  }
}

TEST(SkinLoader, SkinWideValues) {
  auto t = Load("[GLOBALINFO]\nTITLEHEIGHT=0\nALIGNOFFSET=4\nALIGNOFFSETT=1\nAEROBLUR=2\n"
                "VERSION=8.5\nAUTHOR=me\nFORMOFFSET=x\n");
  const auto& d = t.CommonSkinData;
  EXPECT_EQ(d.ExTitleHeight, 30);
  EXPECT_EQ(d.ExMaxHeight, 30);
  EXPECT_EQ(d.ExShadowOffsR, 4);
  EXPECT_EQ(d.ExShadowOffsT, 1);
  EXPECT_EQ(d.ExShadowOffsB, 4);
  EXPECT_TRUE(d.UseAeroBluring);
  EXPECT_EQ(d.Version, 8.5);
  EXPECT_EQ(d.Author, "me");
  EXPECT_EQ(d.ExContentOffs, platform::GetSystemMetrics(platform::SM_CXSIZEFRAME));
  EXPECT_EQ(d.ExBorderWidth, 4);
  EXPECT_EQ(d.Shadow1Blur, -1);
  EXPECT_EQ(d.BrightMin, -50);
  EXPECT_EQ(d.ComboBoxMargin, 2);
}

TEST(SkinLoader, OuterEffects) {
  auto t =
      Load("[GLOBALINFO]\nLO_SOURCE=1\nLO_MASK=^0192^0109^0205^0135^0006^0006^0006^0006^1^1^1^0\n"
           "SH_COLORL=255\nSH_WIDTHT=4\n");
  const auto& lo = t.oe[0];
  const auto& sh = t.oe[1];
  ASSERT_GE(lo.Mask, 0);
  ASSERT_GE(sh.Mask, 0);
  EXPECT_LT(sh.Mask, lo.Mask) << "the shadow is built first";
  const auto& loMask = t.ma[std::size_t(lo.Mask)];
  EXPECT_EQ(loMask.R, Rect(192, 109, 205, 135));
  EXPECT_EQ(loMask.WL, 6);
  EXPECT_EQ(loMask.CornerType, 0);
  EXPECT_EQ((std::array<int, 4>{lo.ColorL, lo.ColorT, lo.ColorR, lo.ColorB}),
            (std::array<int, 4>{0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF}));
  EXPECT_EQ((std::array<int, 4>{lo.OffsetL, lo.OffsetT, lo.OffsetR, lo.OffsetB}),
            (std::array<int, 4>{2, 2, 2, 4}));
  EXPECT_EQ(lo.Opacity, 200);
  EXPECT_EQ((std::array<int, 4>{sh.WidthL, sh.WidthT, sh.WidthR, sh.WidthB}),
            (std::array<int, 4>{9, 4, 9, 9}));
  EXPECT_EQ((std::array<int, 4>{sh.OffsetL, sh.OffsetT, sh.OffsetR, sh.OffsetB}),
            (std::array<int, 4>{3, 2, 3, 5}));
  EXPECT_EQ(sh.Opacity, 60);
  const auto& shMask = t.ma[std::size_t(sh.Mask)];
  EXPECT_EQ(shMask.PropertyName, "SH_MASK");
  EXPECT_EQ(shMask.R, Rect(0, 0, 19, 38));
  EXPECT_EQ(shMask.MaskType, 1);
  EXPECT_EQ(shMask.BorderWidth, 9);
  EXPECT_EQ(shMask.DrawMode, 1);
  auto none = Load("[GLOBALINFO]\nLO_SOURCE=0\nSH_SOURCE=1\n");
  EXPECT_EQ(none.oe[0].Mask, -1);
  EXPECT_EQ(none.oe[1].Mask, -1);
}

TEST(SkinLoader, GeneratedBlurMaskPixels) {
  TqcOutEffData e;
  e.ColorL = 0x0000FF; // red
  e.ColorT = 0x00FF00; // green
  e.ColorR = 0xFF0000; // blue
  e.ColorB = 0x808080;
  platform::Bitmap mask = MakeBlurMask(e);
  ASSERT_EQ(mask.Width(), 19);
  ASSERT_EQ(mask.Height(), 38);
  // Expected colours from the triangle corners: left (0, 1), (8, 9), (0, 17);
  // right (18, 1), (10, 9), (18, 17); above row 9 the top colour.
  auto inTriangle = [](int x, int y, int x0) {
    // Edges from (x0, 1) to the apex at row 9 and back to (x0, 17).
    int d = std::abs(x - x0);
    return d <= y - 1 && d <= 17 - y;
  };
  for (int y = 0; y < 19; ++y)
    for (int x = 0; x < 19; ++x) {
      std::uint32_t expected = y < 9 ? 0xFF00FF00u : 0xFF808080u;
      if (inTriangle(x, y, 0))
        expected = 0xFFFF0000u;
      if (inTriangle(x, y, 18))
        expected = 0xFF0000FFu;
      EXPECT_EQ(mask.Pixel(x, y), expected) << x << "," << y;
    }
  const int quarter[10][10] = {{255, 254, 253, 250, 247, 243, 238, 235, 233, 232},
                               {254, 251, 246, 237, 226, 214, 203, 195, 190, 188},
                               {253, 246, 234, 216, 194, 172, 155, 144, 137, 135},
                               {250, 237, 216, 187, 155, 128, 108, 96, 89, 87},
                               {247, 226, 194, 155, 115, 86, 69, 58, 52, 51},
                               {243, 214, 172, 128, 86, 61, 51, 51, 51, 51},
                               {238, 203, 155, 108, 69, 51, 51, 51, 51, 51},
                               {235, 195, 144, 96, 58, 51, 51, 51, 51, 51},
                               {233, 190, 137, 89, 52, 51, 51, 51, 51, 51},
                               {232, 188, 135, 87, 51, 51, 51, 51, 51, 51}};
  for (int r = 0; r < 10; ++r)
    for (int c = 0; c < 10; ++c) {
      std::uint32_t v = std::uint32_t(quarter[r][c]);
      std::uint32_t grey = 0xFF000000u | v << 16 | v << 8 | v;
      // The template is symmetric in both axes.
      for (auto [x, y] : {std::pair{c, r}, {18 - c, r}, {c, 18 - r}, {18 - c, 18 - r}})
        EXPECT_EQ(mask.Pixel(x, 19 + y), grey) << x << "," << y;
    }
}

TEST(SkinLoader, PaletteRules) {
  using namespace platform;
  auto noSections = Load("[GLOBALINFO]\n");
  const auto& p = noSections.Palette;
  EXPECT_EQ(p[pcMainColor], GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(p[pcWebText], 0xFF0000u);
  EXPECT_EQ(p[pcWebTextHot], 0x0000FFu);
  EXPECT_EQ(p[pcEditText], GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(p[pcEditBG], GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(p[pcSelectionText], GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(p[pcSelectionBG_Focused], GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(p[pcEditText_Ok], 0x008000u);
  EXPECT_EQ(p[pcEditText_Caution], 0x8597D9u);
  EXPECT_EQ(p[pcEditBG_Bypassed], 0x4AB28Fu);
  EXPECT_EQ(p[pcEditText_Inverted], p[pcEditBG]);
  EXPECT_EQ(p[pcEditBG_Inverted], p[pcEditText]);
  EXPECT_EQ(p[pcEditBG_OddRow], p[pcEditBG]);

  auto t = Load("[GLOBALINFO]\nEDITTEXT_ALERT=7\nEDITBG_ALERT=9\n"
                "[EDIT]\nCOLOR=$C8C8C8\nFONTCOLOR=$141414\n"
                "[SELECTION]\nCOLOR=2434341\nFONTCOLOR=0\nHOTCOLOR=4934475\nHOTFONTCOLOR=1\n");
  const auto& q = t.Palette;
  EXPECT_EQ(q[pcSelectionText], 0u);
  EXPECT_EQ(q[pcSelectionBG], 2434341u);
  EXPECT_EQ(q[pcSelectionText_Focused], 1u) << "three states: hot values are read";
  EXPECT_EQ(q[pcSelectionBG_Focused], 4934475u);
  EXPECT_EQ(q[pcEditText_Alert], 7u);
  EXPECT_EQ(q[pcEditText_Caution], 7u);
  EXPECT_EQ(q[pcEditBG_Bypassed], 9u);
  // round(0.05 * 0x14 + 0.95 * 0xC8) = round(191) per channel.
  EXPECT_EQ(q[pcEditBG_EvenRow], 0xBFBFBFu);

  auto twoStates = Load("[SELECTION]\nSTATES=2\nCOLOR=2434341\nFONTCOLOR=0\nHOTCOLOR=4934475\n"
                        "HOTFONTCOLOR=1\n");
  EXPECT_EQ(twoStates.Palette[pcSelectionText_Focused], 1u);
  EXPECT_EQ(twoStates.Palette[pcSelectionBG_Focused], 4934475u);
  auto oneState = Load("[SELECTION]\nSTATES=1\nCOLOR=5\nFONTCOLOR=6\nHOTCOLOR=7\n");
  EXPECT_EQ(oneState.Palette[pcSelectionBG_Focused], 5u);

  auto menu = Load("[SELECTION]\nFONTCOLOR=16711935\n[MENUITEM]\nSTATES=2\nHOTCOLOR=33\n"
                   "HOTFONTCOLOR=16711935\n");
  EXPECT_EQ(menu.Palette[pcSelectionText], 0xFF000000u | COLOR_HIGHLIGHTTEXT);
  EXPECT_EQ(menu.Palette[pcSelectionText_Focused], 0xFF000000u | COLOR_HIGHLIGHTTEXT);
  EXPECT_EQ(menu.Palette[pcSelectionBG], 33u);
  EXPECT_EQ(menu.Palette[pcSelectionBG_Focused], 33u);
  auto menuText = Load("[MENUITEM]\nSTATES=2\nHOTCOLOR=33\nHOTFONTCOLOR=44\n");
  EXPECT_EQ(menuText.Palette[pcSelectionText], 44u);
}

TEST(SkinLoader, TransparentSection) {
  auto t = Load("[GLOBALINFO]\nFONTCOLOR=1234\n");
  const auto& g = t.gd.back();
  EXPECT_EQ(g.ClassName, "TRANSPARENT");
  EXPECT_EQ(g.States, 1);
  for (const auto& s : g.Props) {
    EXPECT_EQ(s.Transparency, 100);
    EXPECT_EQ(s.Color, 0xFFFFFF);
    EXPECT_EQ(s.FontColor, (TsFontColor{1234, -1, -1, -1, -1}));
  }
  EXPECT_EQ(t.ConstData.Sections[ssTransparent], int(t.gd.size()) - 1);
}

TEST(SkinLoader, ConstantIndexes) {
  auto master = Master24(16, 16, [](int, int) { return 0xFF808080u; });
  const std::string border = "^0000^0000^0008^0008^0001^0001^0001^0001^1^0^1^0";
  const std::string glyph = "@0000@0000@0008@0008@1@0";
  auto t =
      Load("[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nBOXCHECKED=" + glyph + "\nGRIPIMAGE=" + glyph +
               "\nSICONCLOSE=" + glyph + "\n[TABTOP]\nBORDERSMASK=" + border +
               "\nGLYPHMASK=" + glyph + "\n[COMBOBOX]\nGLYPHMASK=" + glyph +
               "\n[COMBOBTN]\nPARENTCLASS=TABTOP\n"
               "[MENUITEM]\n",
           {{"Master.bmp", master}});
  const auto& c = t.ConstData;
  EXPECT_EQ(c.IndexGLobalInfo, 0);
  EXPECT_EQ(c.CheckBoxChecked, 0);
  EXPECT_EQ(c.GripRightBottom, 1);
  EXPECT_EQ(c.MaskCloseSmall, 2);
  EXPECT_EQ(c.CheckBoxUnChecked, -1);
  EXPECT_EQ(c.Tabs[asTop].SkinSection, "TABTOP");
  EXPECT_EQ(c.Tabs[asTop].SkinIndex, 1);
  EXPECT_EQ(c.Tabs[asTop].MaskIndex, 3);
  EXPECT_EQ(c.Tabs[asTop].GlyphIndex, 4);
  EXPECT_EQ(c.Tabs[asLeft].SkinIndex, -1);
  EXPECT_EQ(c.ComboBtn.MaskIndex, 3) << "through the parent";
  EXPECT_EQ(c.ComboBtn.GlyphIndex, 5) << "COMBOBOX's own glyph";
  EXPECT_EQ(c.Sections[ssMenuItem], 4);
  EXPECT_EQ(c.Sections[ssCheckBox], -1);
  auto noGlobal = Load("[S]\nBOXCHECKED=" + glyph + "\n");
  EXPECT_EQ(noGlobal.ConstData.IndexGLobalInfo, -1);
  EXPECT_EQ(noGlobal.ConstData.CheckBoxChecked, -1);
}

TEST(SkinLoader, CommonSectionsAddMissingSections) {
  auto options = TsSkinOptions::FromText("[GLOBALINFO]\n[BUTTON]\nCOLOR=1\nSTATES=2\nHOTCOLOR=2\n");
  auto common = TsSkinOptions::FromText("[globalinfo]\nX=#a (0,0,1,1) (1,0,0,1)\n"
                                        "[BUTTON]\nCOLOR=99\n"
                                        "[MYBTN]\nPARENTCLASS=button\nFONTCOLOR=5\n"
                                        "RESERVEDBOOLEAN=1\nGIVEOWNFONT=TRUE\n"
                                        "[PLAIN]\nSTATES=1\nCOLOR=7\nRESERVEDBOOLEAN=\n"
                                        "[OWNFONT]\nPARENTCLASS=MyBtn\nGIVEOWNFONT=yes\n"
                                        "[IMG]\nA=#a (0,0,4,4) (1,0,0,1)\nB=^0000^0000^0004^0004^"
                                        "0001^0001^0001^0001^1^0^1^0\n");
  TsSkinSource source;
  source.Options = &options;
  source.CommonSections = &common;
  TsSkinTables t;
  LoadSkinTables(source, t);
  std::vector<std::string> names;
  for (const auto& g : t.gd)
    names.push_back(g.ClassName);
  EXPECT_EQ(names, (std::vector<std::string>{"GLOBALINFO", "BUTTON", "MYBTN", "PLAIN", "OWNFONT",
                                             "IMG", "TRANSPARENT"}));
  EXPECT_EQ(Section(t, "BUTTON").Props[0].Color, 1);
  const auto& mine = Section(t, "MYBTN");
  EXPECT_EQ(mine.Props[0].Color, 1);
  EXPECT_EQ(mine.Props[1].Color, 2);
  EXPECT_EQ(mine.Props[0].FontColor.Color, 5);
  EXPECT_EQ(Section(t, "PLAIN").Props[0].FontColor.Color, -1);
  EXPECT_EQ(Section(t, "PLAIN").Props[1].Color, 7);
  // Booleans: "TRUE" or "1" is true, any other text given is false, and a
  // key not given takes the parent's value.
  EXPECT_TRUE(mine.ReservedBoolean);
  EXPECT_TRUE(mine.GiveOwnFont);
  EXPECT_FALSE(Section(t, "PLAIN").ReservedBoolean);
  EXPECT_TRUE(Section(t, "OWNFONT").ReservedBoolean) << "from MYBTN";
  EXPECT_FALSE(Section(t, "OWNFONT").GiveOwnFont);
  EXPECT_EQ(Section(t, "OWNFONT").Props[0].FontColor.Color, 5);
  // Only '#' and .BMP values of sections other than GLOBALINFO, then the two
  // generated outer-effect masks.
  ASSERT_EQ(t.ma.size(), 3u);
  EXPECT_EQ(t.ma[0].ClassName, "IMG");
  EXPECT_EQ(t.ma[0].PropertyName, "A");
  EXPECT_EQ(t.ma[1].PropertyName, "SH_MASK");
}

} // namespace
