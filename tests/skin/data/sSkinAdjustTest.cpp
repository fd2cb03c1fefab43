#include "skin/data/sSkinAdjust.h"

#include "SkinTestUtil.h"
#include "skin/data/sSkinLoader.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kKey = 0x00FF00FF;

// A skin with a 24-bit master (key pixels in column 0), a masked border on
// the master, a masked own bitmap, an unmasked PNG and coloured sections.
const std::string kOptions = "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\nVERSION=8\nBIKEEPHUE=1\n"
                             "SHADOW1COLOR=255\nCOLOR=255\nTCTOP=255\n"
                             "BICONCLOSE=@0000@0004@0004@0008@1@1\n"
                             "[S]\nSTATES=2\nCOLOR=255\nFONTCOLOR=65280\nHOTCOLOR=16711680\n"
                             "GRADIENTPERCENT=0\nGRADIENTDATA=255;255;100;0;0\n"
                             "HOTGRADIENTPERCENT=50\nHOTGRADIENTDATA=255;255;100;0;0\n"
                             "BORDERSMASK=^0000^0000^0004^0004^0001^0001^0001^0001^1^1^1^0\n"
                             "OWN=own.bmp\nPNG=!P.PNG!1!0!1\n";

TsSkinTables Load(int aHue, int aSaturation, int aBrightness) {
  auto master = EncodeBmp(MakeBitmap(8, 8,
                                     [](int x, int y) {
                                       return x == 0 ? 0xFFFF00FFu
                                                     : 0xFF000000u | std::uint32_t(40 * y) << 16 |
                                                           std::uint32_t(20 * x) << 8 | 90u;
                                     }),
                          24);
  auto own =
      EncodeBmp(MakeBitmap(9, 6, [](int, int y) { return y < 3 ? 0xFF804020u : 0xFF7F7F7Fu; }), 24);
  auto png = EncodePngBytes(MakeBitmap(2, 2, [](int, int) { return 0xFF306090u; }));
  TqcSkinConvertor conv;
  TBytes packed = PackSkin(kOptions, {{"Master.bmp", master}, {"OWN.BMP", own}, {"p.png", png}});
  UnpackSkinData(packed.data(), packed.size(), conv);
  TsSkinOptions options = TsSkinOptions::FromBytes(*conv.Options);
  TsSkinSource source;
  source.Options = &options;
  source.Packed = &conv;
  source.HueOffset = aHue;
  source.Saturation = aSaturation;
  source.Brightness = aBrightness;
  TsSkinTables tables;
  LoadSkinTables(source, tables);
  return tables;
}

// Colours of the options above (0x00BBGGRR).
constexpr int kRed = 255, kGreen = 65280, kBlue = 16711680;

// The channels of a pixel, without its alpha.
constexpr std::uint32_t Rgb(std::uint32_t aPixel) {
  return aPixel & 0x00FFFFFFu;
}

// The brightness rule: each channel raised by aAmount, at most 255; alpha kept.
constexpr std::uint32_t Lifted(std::uint32_t aPixel, std::uint32_t aAmount) {
  std::uint32_t out = aPixel & 0xFF000000u;
  for (int shift : {0, 8, 16})
    out |= std::min(((aPixel >> shift) & 0xFFu) + aAmount, 255u) << shift;
  return out;
}

const TsMaskData& Mask(const TsSkinTables& t, const char* aKey) {
  int i = t.GetMaskIndex(t.GetSkinIndex("S") < 0 ? -1 : 0, "S", aKey);
  if (i < 0)
    i = t.GetMaskIndex("GLOBALINFO", aKey);
  return t.ma.at(std::size_t(i));
}

TEST(SkinAdjust, SaturationAmountRoundsHalfToEven) {
  struct {
    int In, Out;
  } cases[] = {{0, 0},     {10, 26},   {30, 76},   {50, 128},
               {100, 255}, {150, 255}, {-30, -76}, {-100, -255}};
  for (const auto& c : cases)
    EXPECT_EQ(SaturationAmount(c.In), c.Out) << c.In;
}

TEST(SkinAdjust, ZeroValuesChangeNothing) {
  auto plain = Load(0, 0, 0);
  auto again = Load(0, 0, 0);
  AdjustSkinColors(again, 0, 0, 0);
  EXPECT_EQ(*plain.MasterBitmap, *again.MasterBitmap);
  EXPECT_EQ(plain.Palette, again.Palette);
}

TEST(SkinAdjust, HueShiftsPixelsAndColoursButKeepsKeyPixelsAndCaptionButtons) {
  auto plain = Load(0, 0, 0);
  auto t = Load(120, 0, 0);
  const auto& master = *t.MasterBitmap;
  const auto& before = *plain.MasterBitmap;
  // No master pixel is grey, so each shifted one changes.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool kept = before.Pixel(x, y) == kKey || (x < 4 && y >= 4);
      EXPECT_EQ(master.Pixel(x, y) == before.Pixel(x, y), kept) << x << "," << y;
    }
  // (0, 20, 90): hue 226 -> 346, so (90, 0, 21); (240, 100, 90): hue 4 ->
  // 124, so (90, 240, 100).
  EXPECT_EQ(Rgb(master.Pixel(1, 0)), 0x5A0015u);
  EXPECT_EQ(Rgb(master.Pixel(5, 6)), 0x5AF064u);
  // Red, green and blue turn by a third of the circle.
  const auto& s = t.gd.at(1);
  EXPECT_EQ(s.Props[0].Color, kGreen);
  EXPECT_EQ(s.Props[1].Color, kRed);
  EXPECT_EQ(s.Props[0].FontColor.Color, kBlue);
  EXPECT_EQ(s.Props[0].FontColor.Left, -1);
  EXPECT_EQ(s.Props[0].GradientArray[0].Color1, TColor(kRed)) << "gradient percent 0";
  EXPECT_EQ(s.Props[1].GradientArray[0].Color1, TColor(kGreen));
  EXPECT_EQ(t.CommonSkinData.Shadow1Color, kGreen);
  EXPECT_EQ(t.Palette[pcMainColor], TColor(kGreen));
  EXPECT_EQ(t.Palette[pcWebTextHot], TColor(kRed)) << "not shifted";
  EXPECT_EQ(t.Palette[pcEditText_Ok], plain.Palette[pcEditText_Ok]);
  // (128, 64, 32): hue 20 -> 140, saturation 3/4, value 128.
  EXPECT_EQ(Rgb(Mask(t, "OWN").Bmp->Pixel(0, 0)), 0x208040u);
}

// BIKEEPHUE 1 keeps a glow image only for a caption button that is an image
// of its own; the glow of a button on the master image is shifted.
TEST(SkinAdjust, HueKeepsTheGlowsOfOwnFileCaptionButtonsOnly) {
  auto png = [](std::uint32_t aPixel) {
    return EncodePngBytes(MakeBitmap(2, 2, [aPixel](int, int) { return aPixel; }));
  };
  std::string options = "[GLOBALINFO]\nVERSION=8\nBIKEEPHUE=1\n"
                        "BICONCLOSE=@0000@0000@0001@0001@1@0\nBICONCLOSEGLOW0=!G.PNG!1!0!3\n"
                        "BICONMAX=!B.PNG!1!0!2\nBICONMAXGLOW0=!G.PNG!1!0!3\n"
                        "OTHERGLOW0=!G.PNG!1!0!3\n";
  TBytes packed = PackSkin(options, {{"G.PNG", png(0xFF306090u)}, {"B.PNG", png(0xFF903060u)}});
  auto load = [&](int aHue) {
    TqcSkinConvertor conv;
    UnpackSkinData(packed.data(), packed.size(), conv);
    TsSkinOptions parsed = TsSkinOptions::FromBytes(*conv.Options);
    TsSkinSource source;
    source.Options = &parsed;
    source.Packed = &conv;
    source.HueOffset = aHue;
    TsSkinTables t;
    LoadSkinTables(source, t);
    return t;
  };
  auto plain = load(0);
  auto shifted = load(90);
  auto pixel = [](const TsSkinTables& t, const char* aKey) {
    return t.ma.at(std::size_t(t.GetMaskIndex("GLOBALINFO", aKey))).Bmp->Pixel(0, 0);
  };
  for (const char* kept : {"BICONMAX", "BICONMAXGLOW0"})
    EXPECT_EQ(pixel(shifted, kept), pixel(plain, kept)) << kept;
  // The glow as loaded, premultiplied: (47, 95, 143), hue 210 -> 300, so
  // (143, 47, 143).
  for (const char* changed : {"BICONCLOSEGLOW0", "OTHERGLOW0"})
    EXPECT_EQ(Rgb(pixel(shifted, changed)), 0x8F2F8Fu) << changed;
}

// "None" (-1) and system colour references are not colours to shift: a
// filter would turn them into other references.
TEST(SkinAdjust, NoneAndSystemColoursStayAsTheyAre) {
  auto options = TsSkinOptions::FromText("[GLOBALINFO]\nCOLOR=$8000000F\n"
                                         "[S]\nSTATES=1\nCOLOR=$80000005\n");
  for (auto adjust : {std::array{90, 0, 0}, std::array{0, 50, 0}, std::array{0, 0, -40}}) {
    TsSkinSource source;
    source.Options = &options;
    source.HueOffset = adjust[0];
    source.Saturation = adjust[1];
    source.Brightness = adjust[2];
    TsSkinTables t;
    LoadSkinTables(source, t);
    const auto& s = t.gd.at(1);
    for (const auto& state : s.Props) {
      EXPECT_EQ(TColor(state.Color), 0x80000005u);
      EXPECT_EQ(state.FontColor.Left, -1);
      EXPECT_EQ(state.FontColor.Bottom, -1);
    }
    EXPECT_EQ(t.Palette[pcMainColor], 0x8000000Fu);
  }
}

// Every colour field of the tables, from a hand-built skin: each holds "no
// colour" (-1) or a system colour reference, and none may change under any
// adjustment. A plain grey-blue section proves that the adjustment ran.
TEST(SkinAdjust, EveryColourFieldKeepsNoneAndSystemColours) {
  for (int kept : {-1, int(0x80000005u), int(0x8000000Fu)}) {
    for (auto adjust : {std::array{90, 0, 0}, std::array{0, 50, 0}, std::array{0, 0, -40},
                        std::array{0, 0, 40}, std::array{200, -70, 30}}) {
      TsSkinTables t;
      TsGenState keptState;
      keptState.Color = keptState.GlowColor = kept;
      keptState.FontColor = {kept, kept, kept, kept, kept};
      keptState.GradientPercent = 50;
      keptState.GradientArray = {{TColor(kept), TColor(kept), 100, 0, 0}};
      TsGeneralData keptSection;
      keptSection.ClassName = "KEPT";
      keptSection.Props = {keptState, keptState};
      TsGeneralData plain;
      plain.ClassName = "PLAIN";
      plain.Props[0].Color = plain.Props[1].Color = 0x806040;
      t.gd = {keptSection, plain};
      t.CommonSkinData.Shadow1Color = kept;
      t.Palette.fill(TColor(kept));
      AdjustSkinColors(t, adjust[0], adjust[1], adjust[2]);
      SCOPED_TRACE(testing::Message()
                   << kept << " " << adjust[0] << "/" << adjust[1] << "/" << adjust[2]);
      for (const auto& state : t.gd[0].Props)
        EXPECT_EQ(state, keptState);
      EXPECT_NE(t.gd[1].Props[0].Color, 0x806040);
      EXPECT_EQ(t.CommonSkinData.Shadow1Color, kept);
      for (int i = 0; i < pcCount; ++i)
        EXPECT_EQ(t.Palette[std::size_t(i)], TColor(kept)) << PaletteColorNames[std::size_t(i)];
    }
  }
}

// Towards grey by 102 (-40 %): red (255, 0, 0) with mean 85 becomes
// (255 - 68, 34, 34), also in the gradient of percent 0.
TEST(SkinAdjust, SaturationCoversAllGradients) {
  auto t = Load(0, -40, 0);
  const auto& s = t.gd.at(1);
  EXPECT_EQ(s.Props[0].GradientArray[0].Color1, TColor(RGB(187, 34, 34)));
  EXPECT_EQ(t.Palette[pcMainColor], TColor(RGB(187, 34, 34)));
}

TEST(SkinAdjust, BrightnessKeepsMaskRowsAndPalette) {
  auto plain = Load(0, 0, 0);
  auto t = Load(0, 0, 30);
  const auto& master = *t.MasterBitmap;
  const auto& before = *plain.MasterBitmap;
  // The border S.BORDERSMASK (0, 0, 4, 4) has one mask row: rows 2-3 keep
  // their values, as does the caption glyph's mask (rows 6-7, columns 0-3).
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      bool maskRow = (x < 4 && (y == 2 || y == 3)) || (x < 4 && y >= 6);
      std::uint32_t expected = before.Pixel(x, y) == kKey || maskRow
                                   ? before.Pixel(x, y)
                                   : Lifted(before.Pixel(x, y), 30);
      EXPECT_EQ(master.Pixel(x, y), expected) << x << "," << y;
    }
  const auto& own = *Mask(t, "OWN").Bmp;
  EXPECT_EQ(own.Pixel(0, 0), 0xFF9E5E3Eu);
  EXPECT_EQ(own.Pixel(0, 5), 0xFF7F7F7Fu) << "mask row restored";
  // The PNG (no mask rows) is filtered, then premultiplied (alpha 255).
  std::uint32_t lifted = Lifted(0xFF306090u, 30);
  std::uint32_t a = 255;
  std::uint32_t expected = a << 24 | (((lifted >> 16) & 0xFF) * a >> 8) << 16 |
                           (((lifted >> 8) & 0xFF) * a >> 8) << 8 | ((lifted & 0xFF) * a >> 8);
  EXPECT_EQ(Mask(t, "PNG").Bmp->Pixel(0, 0), expected);
  EXPECT_EQ(t.Palette, plain.Palette);
  EXPECT_EQ(t.CommonSkinData.Shadow1Color, 255);
  EXPECT_EQ(t.gd.at(1).Props[0].Color, int(RGB(255, 30, 30)));
}

} // namespace
