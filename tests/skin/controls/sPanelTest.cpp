#include "skin/controls/sPanel.h"

#include "SkinDataFixture.h"
#include "SkinPaintFixture.h"
#include "platform/gfx/Text.h"
#include "platform/gfx/TextLayout.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowGeometry.h"
#include "skin/data/sVerdantSkin.h"
#include "support/PixelCheck.h"
#include "support/ScreenShot.h"
#include "toolkit/Label.h"

#include <gtest/gtest.h>

namespace {

using pixelcheck::Filled;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;

constexpr TColor kFontColor = 0x00102030;
constexpr TColor kLowColor = 0x00506070;
constexpr TColor kMineColor = 0x00A0B0C0;

// PANEL and PANEL_LOW: plain. BORDERED: plain with a black 2/3/4/5 border.
// HALF: 50 % transparent. TRANSPARENT: 100 %. MINE: a section of the user's.
std::string PanelSkinOptions() {
  const auto n = [](TColor aColor) { return std::to_string(aColor); };
  return "[GLOBALINFO]\nCOLOR=" + n(kMainColor) + "\n[PANEL]\nSTATES=1\nCOLOR=" + n(kPanelColor) +
         "\nFONTCOLOR=" + n(kFontColor) + "\n[PANEL_LOW]\nSTATES=1\nCOLOR=" + n(kLowColor) +
         "\n[TRANSPARENT]\nSTATES=1\nTRANSPARENCY=100\n[HALF]\nSTATES=1\nCOLOR=" + n(kHalfColor) +
         "\nTRANSPARENCY=50\n[BORDERED]\nSTATES=1\nCOLOR=" + n(kPanelColor) +
         "\nBORDERSMASK=!B.PNG!1!0!0!0002!0003!0004!0005!1\n[MINE]\nSTATES=1\nCOLOR=" +
         n(kMineColor) + "\n";
}

class PanelTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    AddSkin("P", PanelSkinOptions());
    fManager->SetSkinName("P");
    platform::PumpUntilIdle();
  }

  // A loaded panel on aParent; an empty section keeps the default one.
  TsPanel* SkinnedPanel(TWinControl* aParent, const std::string& aSection, TRect aBounds) {
    TsPanel* panel = nullptr;
    {
      TLoadingBracket bracket;
      panel = new TsPanel(aParent);
      panel->SetParent(aParent);
      panel->SetBoundsRect(aBounds);
      if (!aSection.empty())
        panel->SkinData().SetSkinSection(aSection);
    }
    platform::PumpUntilIdle();
    return panel;
  }

  // What the screen shows of aControl after the whole form repainted.
  platform::Bitmap Shot(TWinControl* aControl) {
    platform::RedrawWindow(fForm->Handle(), nullptr, nullptr,
                           platform::RDW_INVALIDATE | platform::RDW_ERASE | platform::RDW_FRAME |
                               platform::RDW_ALLCHILDREN | platform::RDW_UPDATENOW);
    platform::PumpUntilIdle();
    return pixelcheck::WindowShot(aControl->Handle());
  }
};

// The black 2/3/4/5 border of BORDERED over kPanelColor, at (x, y) of a
// panel of aWidth x aHeight.
std::uint32_t BorderedPixel(int aX, int aY, int aWidth, int aHeight) {
  const bool border = aX < 2 || aY < 3 || aX >= aWidth - 4 || aY >= aHeight - 5;
  return border ? 0xFF000000u : Opaque(kPanelColor);
}

TEST_F(PanelTest, WithoutASkinItPaintsLikeAToolkitPanel) {
  struct Case {
    const char* Caption;
    TBevelCut Outer;
    TBevelCut Inner;
    int BevelWidth;
    int BorderWidth;
    TAlignment Alignment;
    TVerticalAlignment Vertical;
  };
  const Case cases[] = {
      {"Abc", bvRaised, bvNone, 1, 0, taCenter, taVerticalCenter},
      {"Links", bvLowered, bvRaised, 2, 1, taLeftJustify, taAlignTop},
      {"R", bvSpace, bvLowered, 1, 2, taRightJustify, taAlignBottom},
      {"", bvNone, bvNone, 1, 0, taCenter, taVerticalCenter},
  };
  fManager->SetActive(false);
  platform::PumpUntilIdle();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Caption);
    auto* plain = new TPanel(fForm);
    TPanel* skinned = SkinnedPanel(fForm, "", {0, 0, 0, 0});
    for (TPanel* p : {plain, skinned}) {
      p->SetParent(fForm);
      p->SetBounds(p == plain ? 0 : 100, 0, 90, 40);
      p->SetCaption(c.Caption);
      p->SetBevelOuter(c.Outer);
      p->SetBevelInner(c.Inner);
      p->SetBevelWidth(c.BevelWidth);
      p->SetBorderWidth(c.BorderWidth);
      p->SetAlignment(c.Alignment);
      p->SetVerticalAlignment(c.Vertical);
      p->SetColor(0x00336699);
      p->Font().SetColor(0x00FFFFFF);
    }
    ASSERT_FALSE(static_cast<TsPanel*>(skinned)->SkinData().Skinned());
    EXPECT_TRUE(SameBitmap(Shot(skinned), Shot(plain), "panel-unskinned"));
    delete plain;
    delete skinned;
  }
}

TEST_F(PanelTest, PlainSectionsPaintTheirColourAndBorderAndNoEmptyCaption) {
  struct Case {
    const char* Section;
    const char* Caption;
    bool ShowCaption;
  };
  const Case cases[] = {
      {"PANEL", "", true},
      {"PANEL", "Hidden", false},
      {"BORDERED", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Section);
    TsPanel* panel = SkinnedPanel(fForm, c.Section, {5, 5, 45, 35});
    panel->SetCaption(c.Caption);
    panel->SetShowCaption(c.ShowCaption);
    platform::Bitmap expected(40, 30);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        expected.SetPixel(x, y,
                          std::string(c.Section) == "PANEL" ? Opaque(kPanelColor)
                                                            : BorderedPixel(x, y, 40, 30));
    EXPECT_TRUE(SameBitmap(Shot(panel), expected, std::string("panel-") + c.Section));
    delete panel;
  }
}

// The outer panel's look is its border and what its OnPaint handler drew;
// the middle panel is half transparent over it and has bevels; a fully
// transparent child of the middle one shows the middle's look at its own
// position, not moved by the bevels.
TEST_F(PanelTest, TransparentPanelsShowTheirParentsAtTheirOffset) {
  constexpr TRect kMark{0, 0, 5, 6};
  TsPanel* outer = SkinnedPanel(fForm, "BORDERED", {10, 10, 130, 90});
  outer->OnPaint = [&](TObject*, TCanvas& aCanvas) {
    aCanvas.SetBrushColor(0x000000FF);
    aCanvas.FillRect(kMark);
  };
  outer->SkinData().Invalidate(false);
  TsPanel* middle = SkinnedPanel(outer, "HALF", {0, 0, 80, 60});
  middle->SetBevelWidth(2);
  middle->SetBevelInner(bvRaised);
  TsPanel* inner = SkinnedPanel(middle, "TRANSPARENT", {1, 1, 31, 21});
  ASSERT_EQ(inner->SkinData().SkinSection(), "TRANSPARENT");
  platform::Bitmap expected(120, 80);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) {
      const std::uint32_t behind =
          kMark.Contains({x, y}) ? Opaque(0x000000FF) : BorderedPixel(x, y, 120, 80);
      expected.SetPixel(
          x, y, x < 80 && y < 60 ? paintfixture::Mixed(behind, Opaque(kHalfColor), 128) : behind);
    }
  EXPECT_TRUE(SameBitmap(Shot(outer), expected, "panel-transparent-nest"));
  // The child's own cache holds the same picture.
  const platform::Bitmap* cache = inner->SkinData().CacheBmp();
  ASSERT_TRUE(cache != nullptr && cache->Width() == 30 && cache->Height() == 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(cache->Pixel(x, y) | 0xFF000000u, expected.Pixel(x + 1, y + 1)) << x << "," << y;
}

TEST_F(PanelTest, TheSectionFollowsTheOuterBevelUnlessTheUserChoseOne) {
  TsPanel* panel = SkinnedPanel(fForm, "", {0, 0, 30, 20});
  ASSERT_EQ(panel->SkinData().SkinSection(), "PANEL");
  panel->SetBevelOuter(bvLowered);
  EXPECT_EQ(panel->SkinData().SkinSection(), "PANEL_LOW");
  EXPECT_TRUE(SameBitmap(Shot(panel), Filled(30, 20, Opaque(kLowColor)), "panel-low"));
  panel->SetBevelOuter(bvNone);
  EXPECT_EQ(panel->SkinData().SkinSection(), "TRANSPARENT");
  panel->SetBevelOuter(bvRaised);
  EXPECT_EQ(panel->SkinData().SkinSection(), "PANEL");

  TsPanel* mine = SkinnedPanel(fForm, "MINE", {40, 0, 70, 20});
  mine->SetBevelOuter(bvLowered);
  EXPECT_EQ(mine->SkinData().SkinSection(), "MINE");
  EXPECT_TRUE(SameBitmap(Shot(mine), Filled(30, 20, Opaque(kMineColor)), "panel-mine"));
}

// The caption goes inside the bevels and the border: centred as a block of
// word-wrapped lines, or a single line at the top or bottom, in the section's
// font colour. Expected pictures are drawn from the measured text height.
TEST_F(PanelTest, CaptionSitsInsideTheBevelsAndTheBorder) {
  struct Case {
    TVerticalAlignment Vertical;
    TAlignment Alignment;
    int BorderWidth;
  };
  const Case cases[] = {
      {taVerticalCenter, taCenter, 0},
      {taAlignTop, taLeftJustify, 0},
      {taAlignBottom, taRightJustify, 0},
      {taVerticalCenter, taCenter, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Vertical) * 10 + c.BorderWidth);
    TsPanel* panel = SkinnedPanel(fForm, "PANEL", {0, 0, 60, 20});
    panel->SetCaption("Hg");
    panel->SetVerticalAlignment(c.Vertical);
    panel->SetAlignment(c.Alignment);
    panel->SetBorderWidth(c.BorderWidth);
    const platform::Bitmap shot = Shot(panel);
    // One raised bevel of width 1: the text rectangle is 18 pixels high.
    const int inset = 1 + c.BorderWidth;
    const TRect area{inset, inset, 60 - inset, 20 - inset};
    ASSERT_EQ(area.Height() + 2 * c.BorderWidth, 18);
    const TRect inked = pixelcheck::ChangedBox(shot, Opaque(kPanelColor));
    ASSERT_FALSE(inked.IsEmpty());
    EXPECT_EQ(inked.Intersect(area), inked);

    platform::Bitmap expected = Filled(60, 20, Opaque(kPanelColor));
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), &expected);
    platform::SelectObject(dc.get(), panel->Font().Handle());
    platform::SetBkMode(dc.get(), platform::TRANSPARENT);
    platform::SetTextColor(dc.get(), kFontColor);
    platform::UINT format = AlignmentFormat(c.Alignment) | platform::DT_EXPANDTABS;
    TRect r = area;
    if (c.Vertical == taVerticalCenter) {
      format |= platform::DT_WORDBREAK;
      platform::RECT measured = area;
      const int height =
          platform::DrawTextW(dc.get(), "Hg", &measured, format | platform::DT_CALCRECT);
      r.Top = area.Top + (area.Height() - height) / 2;
      r.Bottom = r.Top + height;
    } else {
      format |= platform::DT_SINGLELINE |
                (c.Vertical == taAlignTop ? platform::DT_TOP : platform::DT_BOTTOM);
    }
    platform::IntersectClipRect(dc.get(), r.Left, r.Top, r.Right, r.Bottom);
    platform::DrawTextW(dc.get(), "Hg", &r, format);
    EXPECT_TRUE(SameBitmap(shot, expected, "panel-caption"));
    delete panel;
  }
}

// A label on a plain panel (with and without a border) paints over the
// panel: transparent, its text lies on the section colour; opaque, on its own
// colour. The expected label is the label painted alone over that background.
TEST_F(PanelTest, LabelsOnPlainPanelsArePainted) {
  struct Case {
    const char* Section;
    bool Transparent;
  };
  for (const Case& c : {Case{"PANEL", true}, Case{"BORDERED", false}}) {
    SCOPED_TRACE(c.Section);
    TsPanel* panel = SkinnedPanel(fForm, c.Section, {0, 0, 60, 40});
    ASSERT_FALSE(panel->SkinData().HasOwnBackground()) << "the plain path paints it";
    auto* label = new TLabel(panel);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(10, 12, 30, 16);
    label->SetCaption("Ab");
    label->Font().SetColor(0x000000FF);
    label->SetTransparent(c.Transparent);
    label->SetParentColor(false);
    label->SetColor(kMineColor);
    platform::Bitmap expected(60, 40);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x)
        expected.SetPixel(x, y, c.Transparent ? Opaque(kPanelColor) : BorderedPixel(x, y, 60, 40));
    platform::Bitmap alone = Filled(30, 16, Opaque(kPanelColor));
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), &alone);
    label->Perform(platform::WM_PAINT, platform::WPARAM(dc.get()), 0);
    ASSERT_FALSE(pixelcheck::ChangedBox(alone, Opaque(kPanelColor)).IsEmpty());
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 30; ++x)
        expected.SetPixel(10 + x, 12 + y, alone.Pixel(x, y) | 0xFF000000u);
    EXPECT_TRUE(SameBitmap(Shot(panel), expected, std::string("panel-label-") + c.Section));
    delete panel;
  }
}

TEST_F(PanelTest, OnPaintDrawsOnTheCacheCanvas) {
  TsPanel* panel = SkinnedPanel(fForm, "PANEL", {0, 0, 30, 20});
  int calls = 0;
  panel->OnPaint = [&](TObject* aSender, TCanvas& aCanvas) {
    EXPECT_EQ(aSender, panel);
    ++calls;
    aCanvas.SetBrushColor(0x000000FF);
    aCanvas.FillRect({2, 3, 8, 9});
  };
  panel->SkinData().Invalidate(false);
  platform::Bitmap expected = Filled(30, 20, Opaque(kPanelColor));
  pixelcheck::Paint(expected, {2, 3, 8, 9}, Opaque(0x000000FF));
  EXPECT_TRUE(SameBitmap(Shot(panel), expected, "panel-onpaint"));
  EXPECT_GT(calls, 0);
  // With a handler the panel is never a plain background: children copy
  // what the handler drew from its cache.
  TsPanel* child = SkinnedPanel(panel, "TRANSPARENT", {0, 0, 10, 10});
  platform::Bitmap childExpected = Filled(10, 10, Opaque(kPanelColor));
  pixelcheck::Paint(childExpected, {2, 3, 8, 9}, Opaque(0x000000FF));
  EXPECT_TRUE(SameBitmap(Shot(child), childExpected, "panel-onpaint-child"));
  EXPECT_TRUE(SameBitmap(*panel->SkinData().CacheBmp(), expected, "panel-onpaint-cache",
                         pixelcheck::TPixelMatch::ColorOnly));
}

// The built-in skin: a raised panel carrying a lowered one, each in its
// section's colour.
TEST_F(PanelTest, TheBuiltInSkinPaintsPanelsInItsColours) {
  auto& skin = fManager->InternalSkins.Add();
  skin.SetName(VerdantSkinName);
  const auto data = VerdantSkinData();
  skin.ReadData(data.data(), data.size());
  fManager->SetSkinName(VerdantSkinName);
  platform::PumpUntilIdle();
  TsPanel* port = SkinnedPanel(fForm, "", {0, 0, 280, 150});
  TsPanel* low = SkinnedPanel(port, "", {10, 10, 270, 60});
  low->SetBevelOuter(bvLowered);
  const platform::Bitmap shot = Shot(port);
  EXPECT_EQ(low->SkinData().SkinSection(), "PANEL_LOW");
  const TsGeneralData& panel = fManager->gd[std::size_t(fManager->GetSkinIndex("PANEL"))];
  const TsGeneralData& lowered = fManager->gd[std::size_t(fManager->GetSkinIndex("PANEL_LOW"))];
  EXPECT_EQ(shot.Pixel(140, 100), Opaque(TColor(panel.Props[0].Color)));
  EXPECT_EQ(shot.Pixel(14, 30), Opaque(TColor(lowered.Props[0].Color)));
}

} // namespace
