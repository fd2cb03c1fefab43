#include "skin/controls/sStatusBar.h"

#include "ControlCapture.h"
#include "SkinDataFixture.h"
#include "platform/gfx/Text.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>

namespace {

using pixelcheck::Opaque;
using pixelcheck::SameBitmap;

constexpr TColor kBarColor = 0x00305070;
constexpr TColor kBarFont = 0x00E0F0D0;
constexpr platform::UINT kTextFormat = platform::DT_SINGLELINE | platform::DT_VCENTER |
                                       platform::DT_EXPANDTABS | platform::DT_END_ELLIPSIS |
                                       platform::DT_NOPREFIX;

class StatusBarTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    AddSkin("BAR", TestSkinOptions() + "[STATUSBAR]\nSTATES=1\nCOLOR=" + std::to_string(kBarColor) +
                       "\nFONTCOLOR=" + std::to_string(kBarFont) + "\n");
    fManager->SetSkinName("BAR");
    fForm->SetBounds(0, 0, 800, 200);
    platform::PumpUntilIdle();
  }

  template <class Bar>
  Bar* MakeBar(int aPanelWidth, bool aSizeGrip) {
    Bar* bar = nullptr;
    {
      TLoadingBracket bracket;
      bar = new Bar(fForm);
      bar->SetParent(fForm);
      bar->SetAlign(alNone);
      bar->SetBounds(0, 20, 724, 19);
      bar->SetSizeGrip(aSizeGrip);
      if (aPanelWidth > 0)
        bar->Panels().Add().SetWidth(aPanelWidth);
    }
    platform::PumpUntilIdle();
    return bar;
  }

  // The bar's section colour with aText written as the rules say, in aTextRect.
  platform::Bitmap Expected(TControl* aBar, const std::string& aText, const TRect& aTextRect) {
    platform::Bitmap expected = pixelcheck::Filled(724, 19, Opaque(kBarColor));
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), &expected);
    platform::SelectObject(dc.get(), aBar->Font().Handle());
    platform::SetBkMode(dc.get(), platform::TRANSPARENT);
    platform::SetTextColor(dc.get(), kBarFont);
    platform::RECT r = aTextRect;
    platform::DrawTextW(dc.get(), aText, &r, kTextFormat);
    return expected;
  }

  int TextWidth(TControl* aBar, const std::string& aText) {
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), aBar->Font().Handle());
    platform::SIZE s{0, 0};
    platform::GetTextExtentPoint32W(dc.get(), aText, &s);
    return s.cx;
  }
};

TEST_F(StatusBarTest, WithoutSkinItPaintsAsTheToolkitBar) {
  fManager->SetActive(false);
  auto* plain = MakeBar<TStatusBar>(50, true);
  auto* skinned = MakeBar<TsStatusBar>(50, true);
  plain->Panels()[0].SetText("Note on  C4  100");
  skinned->Panels()[0].SetText("Note on  C4  100");
  EXPECT_TRUE(SameBitmap(PaintClient(skinned), PaintClient(plain), "statusbar-unskinned"));
  skinned->SetSimplePanel(true);
  skinned->SetSimpleText("simple");
  plain->SetSimplePanel(true);
  plain->SetSimpleText("simple");
  EXPECT_TRUE(SameBitmap(PaintClient(skinned), PaintClient(plain), "statusbar-unskinned-simple"));
}

// One panel of width 50 with the size grip: the panel reaches x = 706 and
// its text is laid out in x = 4 to 700, cut with an ellipsis when longer.
TEST_F(StatusBarTest, TheLastPanelsTextFillsTheBarUpToTheGrip) {
  auto* bar = MakeBar<TsStatusBar>(50, true);
  ASSERT_TRUE(bar->SkinData.Skinned());
  EXPECT_EQ(bar->PanelRect(0), (TRect{0, 0, 706, 19}));
  const std::string shortText = "Note on  C4  100";
  std::string longText;
  while (TextWidth(bar, longText) < 800)
    longText += "Control change 7 ";
  for (const std::string& text : {shortText, longText}) {
    bar->Panels()[0].SetText(text);
    const platform::Bitmap actual = PaintClient(bar);
    EXPECT_TRUE(SameBitmap(actual, Expected(bar, text, {4, 2, 700, 16}), "statusbar-panel"));
    const TRect ink = pixelcheck::ChangedBox(actual, Opaque(kBarColor));
    EXPECT_GE(ink.Left, 4);
    EXPECT_LE(ink.Right, 700);
    if (text == longText) {
      // Cut text ends with the ellipsis close to the right edge.
      EXPECT_GT(ink.Right, 700 - TextWidth(bar, "W...")) << "the text is cut, not dropped";
    }
  }
}

// The grip image (GLOBALINFO's GRIPIMAGE) sits in the bar's bottom-right
// corner, its keyed pixels showing the bar; without the grip it is not drawn.
TEST_F(StatusBarTest, TheSizeGripImageIsDrawnAtTheBarsRightEnd) {
  constexpr int kGripW = 6;
  constexpr int kGripH = 8;
  constexpr std::uint32_t kGripPixel = 0xFF102030u;
  auto gripPixel = [](int x, int y) { return (x + y) % 2 ? kGripPixel : 0xFFFF00FFu; };
  std::string options =
      TestSkinOptions() + "[STATUSBAR]\nSTATES=1\nCOLOR=" + std::to_string(kBarColor) + "\n";
  options.insert(options.find('\n') + 1, "GRIPIMAGE=!G.BMP!1!0!2\n");
  auto& skin = fManager->InternalSkins.Add();
  skin.SetName("GRIP");
  skin.ReadData(
      PackSkin(options, {{"G.BMP", EncodeBmp(MakeBitmap(kGripW, kGripH, gripPixel), 24)}}));
  fManager->SetSkinName("GRIP");
  for (bool sizeGrip : {true, false}) {
    auto* bar = MakeBar<TsStatusBar>(50, sizeGrip);
    ASSERT_TRUE(bar->SkinData.Skinned());
    platform::Bitmap expected = pixelcheck::Filled(724, 19, Opaque(kBarColor));
    if (sizeGrip)
      for (int y = 0; y < kGripH; ++y)
        for (int x = 0; x < kGripW; ++x)
          if (gripPixel(x, y) == kGripPixel)
            expected.SetPixel(724 - kGripW + x, 19 - kGripH + y, kGripPixel);
    EXPECT_TRUE(SameBitmap(PaintClient(bar), expected, "statusbar-grip")) << sizeGrip;
  }
}

TEST_F(StatusBarTest, ABarWithoutPanelsShowsItsSimpleTextOverTheFullWidth) {
  auto* bar = MakeBar<TsStatusBar>(0, false);
  std::string text;
  while (TextWidth(bar, text) < 800)
    text += "Sysex ";
  bar->SetSimpleText(text);
  // Simple panel (0, 1, 723, 18); its text one more pixel in, then 2 / 4 / 1.
  EXPECT_TRUE(
      SameBitmap(PaintClient(bar), Expected(bar, text, {3, 2, 718, 16}), "statusbar-simple"));
}

TEST_F(StatusBarTest, ChangingThePanelTextRepaintsThroughTheCache) {
  auto* bar = MakeBar<TsStatusBar>(50, false);
  for (const std::string text : {"WWWWWWWWWWWWWWWWWWWW", "i", "Pitch bend 8192"}) {
    bar->Panels()[0].SetText(text);
    EXPECT_TRUE(bar->SkinData.BGChanged) << "a new text makes the cache stale";
    platform::PumpUntilIdle();
    EXPECT_FALSE(bar->SkinData.BGChanged) << "the loop's paint rebuilt it";
    // The cache holds exactly the new text over the section: nothing of the old one.
    platform::Bitmap cache = *bar->SkinData.CacheBmp();
    EXPECT_TRUE(SameBitmap(cache, Expected(bar, text, {4, 2, 718, 16}), "statusbar-cache"));
    EXPECT_TRUE(SameBitmap(PaintClient(bar), cache, "statusbar-copy"));
  }
}

TEST_F(StatusBarTest, OwnerDrawnPanelsPaintOnTheCacheInTheirRectangle) {
  auto* bar = MakeBar<TsStatusBar>(50, false);
  bar->Panels()[0].SetStyle(psOwnerDraw);
  TRect drawn;
  bar->OnDrawPanel = [&](TStatusBar* aBar, TStatusPanel&, const TRect& aRect) {
    drawn = aRect;
    FillRectOnDC(static_cast<TsStatusBar*>(aBar)->Canvas().Handle(), aRect, 0x000000FF);
  };
  bar->Panels()[0].SetText("not written");
  platform::Bitmap expected = pixelcheck::Filled(724, 19, Opaque(kBarColor));
  pixelcheck::Paint(expected, {1, 1, 723, 18}, Opaque(0x000000FF));
  EXPECT_TRUE(SameBitmap(PaintClient(bar), expected, "statusbar-ownerdraw"));
  EXPECT_EQ(drawn, (TRect{1, 1, 723, 18}));
}

TEST_F(StatusBarTest, RemovingTheSkinGivesTheToolkitLookBack) {
  auto* plain = MakeBar<TStatusBar>(50, true);
  auto* skinned = MakeBar<TsStatusBar>(50, true);
  EXPECT_EQ(SendSkinCommand(skinned, scIsSkinned), 1);
  fManager->SetActive(false);
  platform::PumpUntilIdle();
  EXPECT_FALSE(skinned->SkinData.Skinned());
  EXPECT_TRUE(SameBitmap(PaintClient(skinned), PaintClient(plain), "statusbar-removed"));
}

} // namespace
