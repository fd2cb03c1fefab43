#include "skin/paint/sSkinnedText.h"

#include "platform/gfx/Font.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "skin/data/sSkinManager.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using pixelcheck::ChangedBox;
using pixelcheck::Filled;
using pixelcheck::Px;
using pixelcheck::SameBitmap;
using platform::Bitmap;
using platform::UINT;

namespace {

constexpr int Width = 90;
constexpr int Height = 36;
constexpr std::uint32_t Background = Px(128, 128, 128);
constexpr TRect R{10, 8, 80, 28};
constexpr UINT Format = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE;
constexpr const char* Text = "Hg";

// A grey bitmap with a DC over it.
struct Canvas {
  Bitmap Bmp = Filled(Width, Height, Background);
  pixelcheck::DCHolder DC{platform::CreateCompatibleDC(nullptr)};
  Canvas() { platform::SelectObject(DC.get(), &Bmp); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
};

// One copy of the text: where (relative to R), in which colour and flags.
struct Copy {
  int Dx = 0;
  int Dy = 0;
  TColor Color = 0;
  UINT Format = ::Format;
};

// The copies drawn one after the other with the platform's text on a
// transparent background, clipped to R when aClip.
Bitmap Drawn(const std::vector<Copy>& aCopies, bool aClip, platform::HFONT aFont = nullptr) {
  Canvas c;
  if (aClip)
    platform::IntersectClipRect(c.DC.get(), R.Left, R.Top, R.Right, R.Bottom);
  platform::SetBkMode(c.DC.get(), platform::TRANSPARENT);
  platform::SelectObject(c.DC.get(), aFont);
  for (const Copy& copy : aCopies) {
    platform::SetTextColor(c.DC.get(), copy.Color);
    TRect r = R.Offset(copy.Dx, copy.Dy);
    platform::DrawTextW(c.DC.get(), Text, &r, copy.Format);
  }
  return c.Bmp;
}

// The contour copies that have a colour, in drawing order, then the main one.
std::vector<Copy> ContourCopies(const TsFontColor& aColors, UINT aMainFormat) {
  std::vector<Copy> copies;
  if (aColors.Left != -1)
    copies.push_back({-1, 0, TColor(aColors.Left)});
  if (aColors.Top != -1)
    copies.push_back({0, -1, TColor(aColors.Top)});
  if (aColors.Right != -1)
    copies.push_back({1, 0, TColor(aColors.Right)});
  if (aColors.Bottom != -1)
    copies.push_back({0, 1, TColor(aColors.Bottom)});
  copies.push_back({0, 0, TColor(aColors.Color), aMainFormat});
  return copies;
}

TsGenState StateWithFont(const TsFontColor& aFont) {
  TsGenState state;
  state.FontColor = aFont;
  return state;
}

TsSkinTables OneSection(const TsGenState& aNormal, const TsGenState& aHot = {}) {
  TsSkinTables skin;
  skin.gd.resize(1);
  skin.gd[0].Props = {aNormal, aHot};
  return skin;
}

TsTextSkinInfo SkinnedInfo(const TsSkinTables& aSkin) {
  TsTextSkinInfo info;
  info.Skin = &aSkin;
  info.Section = 0;
  info.UseSkinColors = true;
  return info;
}

const TColor White = RGB(255, 255, 255);
const TColor Black = RGB(0, 0, 0);

TEST(SkinnedText, ContoursLeftTopRightBottomThenTheMainColour) {
  const TsFontColor cases[] = {
      {int(White), int(RGB(255, 0, 0)), int(RGB(0, 255, 0)), int(RGB(0, 0, 255)),
       int(RGB(255, 255, 0))},
      {int(White), -1, -1, -1, int(Black)},
      {int(White), -1, -1, -1, -1},
      {int(RGB(0, 0, 90)), int(RGB(200, 0, 0)), -1, int(RGB(0, 200, 0)), -1},
  };
  for (const TsFontColor& colors : cases) {
    SCOPED_TRACE(testing::Message() << colors.Left << " " << colors.Top << " " << colors.Right
                                    << " " << colors.Bottom);
    // The section's colours of the asked state are used.
    TsSkinManager manager;
    manager.gd.resize(1);
    manager.gd[0].Props = {StateWithFont({int(Black), -1, -1, -1, -1}), StateWithFont(colors)};
    Canvas section;
    WriteSectionText(section.DC.get(), Text, true, &manager, 1, 0, Format, R);
    EXPECT_TRUE(SameBitmap(section.Bmp, Drawn(ContourCopies(colors, Format), false),
                           "section-text-contours"));

    const TsSkinTables skin = OneSection(StateWithFont(colors));
    Canvas skinned;
    WriteSkinnedText(skinned.DC.get(), Text, true, 0, SkinnedInfo(skin), Format, R);
    EXPECT_TRUE(SameBitmap(skinned.Bmp,
                           Drawn(ContourCopies(colors, Format | platform::DT_NOCLIP), true),
                           "skinned-text-contours"));
  }
  // The comparison sees the order: the four contours drawn the other way
  // round give another picture.
  std::vector<Copy> reversed = ContourCopies(cases[0], Format);
  std::reverse(reversed.begin(), reversed.end() - 1);
  EXPECT_FALSE(Drawn(reversed, false) == Drawn(ContourCopies(cases[0], Format), false));
}

TEST(SkinnedText, OnlyABlackBottomContourIsADropShadowOnePixelBelow) {
  Canvas plain;
  platform::SetTextColor(plain.DC.get(), White);
  platform::SetBkMode(plain.DC.get(), platform::TRANSPARENT);
  TRect r = R;
  platform::DrawTextW(plain.DC.get(), Text, &r, Format);
  const TRect ink = ChangedBox(plain.Bmp, Background);
  ASSERT_FALSE(ink.IsEmpty());

  TsSkinManager manager;
  manager.gd.resize(1);
  manager.gd[0].Props[0] = StateWithFont({int(White), -1, -1, -1, int(Black)});
  Canvas shadowed;
  WriteSectionText(shadowed.DC.get(), Text, true, &manager, 0, 0, Format, R);
  EXPECT_EQ(ChangedBox(shadowed.Bmp, Background),
            (TRect{ink.Left, ink.Top, ink.Right, ink.Bottom + 1}));
  // The row below the text holds only the shadow: nothing lighter than grey.
  for (int x = ink.Left; x < ink.Right; ++x)
    EXPECT_LE(shadowed.Bmp.Pixel(x, ink.Bottom) & 0xFF, 128u) << x;
}

TEST(SkinnedText, DisabledSectionTextMixesFontAndSectionColour) {
  TsSkinManager manager;
  ASSERT_EQ(DefaultManager, &manager);
  manager.gd.resize(1);
  TsGenState normal = StateWithFont({int(White), int(RGB(255, 0, 0)), -1, -1, int(Black)});
  normal.Color = int(Black);
  manager.gd[0].Props = {normal, StateWithFont({int(RGB(0, 0, 255)), -1, -1, -1, -1})};
  // 255 * 0.4 + 0 * 0.6 = 102, in either state, contours left out; no
  // manager given means the default one.
  for (int state : {0, 1}) {
    Canvas c;
    WriteSectionText(c.DC.get(), Text, false, nullptr, state, 0, Format, R);
    EXPECT_TRUE(
        SameBitmap(c.Bmp, Drawn({{0, 0, RGB(102, 102, 102)}}, false), "section-text-disabled"));
    bool fullyCovered = false;
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x)
        fullyCovered = fullyCovered || c.Bmp.Pixel(x, y) == Px(102, 102, 102);
    EXPECT_TRUE(fullyCovered);
  }
}

TEST(SkinnedText, WithoutSectionTheCanvasColourIsUsed) {
  const TColor current = RGB(10, 200, 30);
  TsSkinManager manager;
  manager.gd.resize(1);
  for (int index : {-1, 1}) {
    Canvas c;
    platform::SetTextColor(c.DC.get(), current);
    WriteSectionText(c.DC.get(), Text, true, &manager, 0, index, Format, R);
    EXPECT_TRUE(SameBitmap(c.Bmp, Drawn({{0, 0, current}}, false), "section-text-no-section"));
  }
  const TsSkinTables skin = OneSection(StateWithFont({int(White), -1, -1, -1, -1}));
  TsTextSkinInfo info = SkinnedInfo(skin);
  info.Section = 5;
  Canvas c;
  platform::SetTextColor(c.DC.get(), current);
  WriteSkinnedText(c.DC.get(), Text, true, 0, info, Format, R);
  EXPECT_TRUE(SameBitmap(c.Bmp, Drawn({{0, 0, current}}, true), "skinned-text-no-section"));
}

TEST(SkinnedText, UnskinnedOrCustomFontTextIsPlainOrEngraved) {
  const TColor current = RGB(40, 50, 60);
  const TsSkinTables skin = OneSection(StateWithFont({int(White), int(Black), -1, -1, -1}));
  TsTextSkinInfo customFont = SkinnedInfo(skin);
  customFont.UseSkinColors = false;
  for (const TsTextSkinInfo& info : {TsTextSkinInfo{}, customFont}) {
    Canvas enabled;
    platform::SetTextColor(enabled.DC.get(), current);
    WriteSkinnedText(enabled.DC.get(), Text, true, 0, info, Format, R);
    EXPECT_TRUE(SameBitmap(enabled.Bmp, Drawn({{0, 0, current}}, true), "skinned-text-plain"));

    Canvas disabled;
    WriteSkinnedText(disabled.DC.get(), Text, false, 0, info, Format, R);
    const std::vector<Copy> engraved{{1, 1, platform::GetSysColor(platform::COLOR_BTNHIGHLIGHT)},
                                     {0, 0, platform::GetSysColor(platform::COLOR_BTNSHADOW)}};
    EXPECT_TRUE(SameBitmap(disabled.Bmp, Drawn(engraved, true), "skinned-text-engraved"));
  }
}

TEST(SkinnedText, DisabledSkinnedTextTakesTheFilteredFontColour) {
  const TsSkinTables skin =
      OneSection(StateWithFont({int(RGB(255, 0, 0)), int(Black), -1, -1, -1}));
  TsTextSkinInfo info = SkinnedInfo(skin);
  info.Filters.HueOffset = 120;
  Canvas c;
  WriteSkinnedText(c.DC.get(), Text, false, 0, info, Format, R);
  EXPECT_TRUE(SameBitmap(c.Bmp, Drawn({{0, 0, RGB(0, 255, 0)}}, true), "skinned-text-disabled"));
}

TEST(SkinnedText, HotWebButtonIsUnderlinedAndTheCanvasIsLeftAsItWas) {
  const TsFontColor colors{int(White), -1, -1, -1, int(Black)};
  const TsSkinTables skin = OneSection(StateWithFont(colors), StateWithFont(colors));
  TsTextSkinInfo info = SkinnedInfo(skin);
  info.WebButton = true;
  platform::LOGFONTW logFont = platform::FontInUse(nullptr)->LogFont();
  logFont.lfUnderline = 1;
  const platform::HFONT underlined = platform::CreateFontIndirectW(&logFont);
  ASSERT_NE(underlined, nullptr);
  const std::vector<Copy> copies = ContourCopies(colors, Format | platform::DT_NOCLIP);
  const Bitmap withLine = Drawn(copies, true, underlined);
  const Bitmap withoutLine = Drawn(copies, true);
  ASSERT_FALSE(withLine == withoutLine);
  for (auto [state, webButton, expected] :
       {std::tuple{1, true, &withLine}, {0, true, &withoutLine}, {1, false, &withoutLine}}) {
    info.WebButton = webButton;
    Canvas c;
    platform::SetTextColor(c.DC.get(), RGB(1, 2, 3));
    WriteSkinnedText(c.DC.get(), Text, true, state, info, Format, R);
    EXPECT_TRUE(SameBitmap(c.Bmp, *expected, "skinned-text-web-button")) << state << webButton;
    EXPECT_EQ(c.DC->SelectedFont(), nullptr);
    EXPECT_EQ(platform::GetTextColor(c.DC.get()), RGB(1, 2, 3));
    EXPECT_EQ(platform::GetBkMode(c.DC.get()), platform::OPAQUE);
    TRect clip;
    platform::GetClipBox(c.DC.get(), &clip);
    EXPECT_EQ(clip, (TRect{0, 0, Width, Height}));
  }
  platform::DeleteObject(underlined);
}

TEST(SkinnedText, GlowGoesIntoTheCacheInTheFilteredColourOnlyWithASize) {
  TsGenState state = StateWithFont({int(White), -1, -1, -1, -1});
  state.GlowColor = int(RGB(255, 0, 0));
  for (int size : {0, 2}) {
    state.GlowSize = size;
    const TsSkinTables skin = OneSection(state);
    TsTextSkinInfo info = SkinnedInfo(skin);
    info.Filters.HueOffset = 120;
    Bitmap cache = Filled(Width, Height, Px(0, 0, 0));
    info.Cache = &cache;
    Canvas c;
    WriteSkinnedText(c.DC.get(), Text, true, 0, info, Format, R);
    bool glowing = false;
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        const std::uint32_t p = cache.Pixel(x, y);
        ASSERT_EQ(p & 0xFFFF00FF, 0xFF000000u) << x << "," << y; // green only
        glowing = glowing || p != Px(0, 0, 0);
      }
    EXPECT_EQ(glowing, size != 0) << size;
    // The canvas holds only the text.
    EXPECT_TRUE(SameBitmap(c.Bmp, Drawn({{0, 0, White, Format | platform::DT_NOCLIP}}, true),
                           "skinned-text-glow-canvas"));
  }
}

TEST(SkinnedText, FilteredColourTonesShiftsAndSaturatesInThatOrder) {
  struct Case {
    TColor Color;
    TsColorFilters Filters;
    TColor Expected;
  };
  const Case cases[] = {
      // No filter leaves a colour exactly as it is.
      {RGB(255, 100, 50), {}, RGB(255, 100, 50)},
      // Tone: each channel = tone channel * max >> 8.
      {RGB(0, 0, 128), {RGB(255, 255, 255), 0, 0}, RGB(127, 127, 127)},
      {RGB(200, 200, 200), {RGB(255, 0, 0), 0, 0}, RGB(199, 0, 0)},
      {RGB(0, 0, 255), {RGB(255, 0, 0), 0, 0}, RGB(254, 0, 0)},
      // Hue in the colour form: red + 120 degrees is green.
      {RGB(255, 0, 0), {0x1FFFFFFF, 120, 0}, RGB(0, 255, 0)},
      // Tone first, then hue.
      {RGB(255, 255, 255), {RGB(255, 0, 0), 120, 0}, RGB(0, 254, 0)},
      // Saturation amount trunc(s * 2.55): 100 -> 255, 20 -> 51, -100 -> -255.
      {RGB(200, 100, 0), {0x1FFFFFFF, 0, 100}, RGB(255, 100, 0)},
      {RGB(200, 100, 0), {0x1FFFFFFF, 0, 20}, RGB(220, 100, 0)},
      {RGB(200, 100, 0), {0x1FFFFFFF, 0, -100}, RGB(100, 100, 100)},
      // System colours are resolved before filtering; so is the tone.
      {0x8000000F, {}, platform::GetSysColor(platform::COLOR_BTNFACE)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FilteredColor(c.Color, c.Filters), c.Expected)
        << std::hex << c.Color << " tone " << c.Filters.ColorTone << " hue " << std::dec
        << c.Filters.HueOffset << " sat " << c.Filters.Saturation;
}

TEST(SkinnedText, TextColourSectionWalksTransparentParents) {
  enum { CheckBox, Panel, Glass, PanelNoFont, FramedGlass, Plain, Glass51, Glass50, Count };
  TsSkinTables skin;
  skin.gd.resize(Count);
  auto set = [&](int aIndex, int aNormal, int aHot, bool aGivesFont) {
    skin.gd[std::size_t(aIndex)].Props[0].Transparency = aNormal;
    skin.gd[std::size_t(aIndex)].Props[1].Transparency = aHot;
    skin.gd[std::size_t(aIndex)].GiveOwnFont = aGivesFont;
    skin.gd[std::size_t(aIndex)].BorderIndex = -1;
  };
  set(CheckBox, 0, 100, false);
  set(Panel, 0, 0, true);
  set(Glass, 60, 0, true);
  set(PanelNoFont, 0, 0, false);
  set(FramedGlass, 100, 100, true); // its border mask paints the centre
  set(Plain, 100, 100, false);
  set(Glass51, 51, 51, true);
  set(Glass50, 50, 50, true);
  skin.ma.resize(1);
  skin.ma[0].DrawMode = 4 | 1;
  skin.gd[FramedGlass].BorderIndex = 0;
  skin.ConstData.Sections[ssCheckBox] = CheckBox;

  struct Case {
    int Own;
    int State;
    std::vector<int> Parents; // nearest first
    int Expected;
  };
  const Case cases[] = {
      {CheckBox, 1, {Panel}, Panel},                    // the panel gives its font
      {CheckBox, 0, {Panel}, CheckBox},                 // opaque in this state
      {CheckBox, 1, {Glass, Panel}, Panel},             // through a transparent parent
      {CheckBox, 1, {Glass51, Panel}, Panel},           // 51 % passes the question on
      {CheckBox, 1, {Glass50, Panel}, Glass50},         // 50 % answers
      {CheckBox, 1, {PanelNoFont, Panel}, CheckBox},    // the first opaque one decides
      {CheckBox, 1, {FramedGlass, Panel}, FramedGlass}, // a painted centre is opaque
      {CheckBox, 1, {Glass}, CheckBox},                 // nobody above the glass
      {CheckBox, 1, {}, CheckBox},                      // no parent at all
      {CheckBox, 1, {-1, Panel}, CheckBox},             // an unskinned parent
      {Plain, 1, {Panel}, Plain},                       // not a special section
      {-1, 1, {Panel}, -1},
  };
  for (const Case& c : cases) {
    int asked = 0;
    const int section =
        TextColorSection(skin, c.Own, c.State, [&](int aLevel) -> std::optional<int> {
          EXPECT_EQ(aLevel, ++asked);
          if (aLevel > int(c.Parents.size()))
            return std::nullopt;
          return c.Parents[std::size_t(aLevel - 1)];
        });
    EXPECT_EQ(section, c.Expected)
        << "own " << c.Own << " state " << c.State << " parents " << c.Parents.size();
  }
}

} // namespace
