#include "skin/controls/sPageControl.h"

#include "ControlCapture.h"
#include "FadeRule.h"
#include "SkinDataFixture.h"
#include "platform/gfx/Text.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "skin/controls/sBitmapSectionText.h"
#include "skin/paint/sParentBg.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>

namespace {

using pixelcheck::Opaque;
using pixelcheck::SameBitmap;

constexpr TColor kBodyColor = 0x00405060;
constexpr TColor kTabColor = 0x00A0B0C0;
constexpr TColor kTabHotColor = 0x00C0D0E0;
constexpr TColor kTabFont = 0x00102030;
constexpr TColor kTabHotFont = 0x00302010;

std::string TabSection(const std::string& aName) {
  return "[" + aName + "]\nSTATES=3\nCOLOR=" + std::to_string(kTabColor) +
         "\nHOTCOLOR=" + std::to_string(kTabHotColor) + "\nFONTCOLOR=" + std::to_string(kTabFont) +
         "\nHOTFONTCOLOR=" + std::to_string(kTabHotFont) + "\n";
}

class PageControlTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    AddSkin("PAGES", TestSkinOptions() +
                         "[PAGECONTROL]\nSTATES=1\nCOLOR=" + std::to_string(kBodyColor) + "\n" +
                         TabSection("TABTOP") + TabSection("BUTTON"));
    fManager->SetSkinName("PAGES");
    platform::PumpUntilIdle();
  }

  // A page control on the form with pages of the given captions, page 0 active.
  template <class Control, class Sheet>
  Control* MakePages(TTabStyle aStyle, std::initializer_list<const char*> aCaptions) {
    Control* pages = nullptr;
    {
      TLoadingBracket bracket;
      pages = new Control(fForm);
      pages->SetParent(fForm);
      pages->SetBounds(10, 10, 200, 120);
      pages->SetStyle(aStyle);
      pages->SetHotTrack(true);
      for (const char* caption : aCaptions) {
        auto* sheet = new Sheet(fForm);
        sheet->SetPageControl(pages);
        sheet->SetCaption(caption);
      }
      pages->SetActivePageIndex(0);
    }
    platform::PumpUntilIdle();
    return pages;
  }

  // The tab layout of the platform's page control, for tabs without
  // captions: 12 wide (caption + 6 on each side), the font's line height + 5
  // high from (2, 2) side by side in the tabs style, + 10 high from (0, 0)
  // and 3 apart in the button styles. The body starts at the row's bottom
  // (4 above a page area that lies 4 below the row).
  static TRect TabAt(TsPageControl* aPages, int aIndex) {
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), aPages->Font().Handle());
    platform::TEXTMETRICW metrics{};
    platform::GetTextMetricsW(dc.get(), &metrics);
    const int line = int(metrics.tmHeight);
    if (aPages->Style() == tsTabs)
      return Bounds(2 + 12 * aIndex, 2, 12, line + 5);
    return Bounds(15 * aIndex, 0, 12, line + 10);
  }
  static TRect TabRow(TsPageControl* aPages) { return {0, 0, 200, TabAt(aPages, 0).Bottom}; }

  // The rules' picture of a control whose tabs have no captions: the tab row
  // in the form's colour, the body below it, every tab in its state's
  // colour, the active one last (grown by 2 in the tabs style).
  platform::Bitmap Expected(TsPageControl* aPages, int aHotTab) {
    platform::Bitmap expected = pixelcheck::Filled(200, 120, Opaque(kBodyColor));
    pixelcheck::Paint(expected, TabRow(aPages), Opaque(ColorToRGB(fForm->Color())));
    const int active = aPages->ActivePageIndex();
    for (int i = 0; i < aPages->TabCount(); ++i)
      if (i != active)
        pixelcheck::Paint(expected, TabAt(aPages, i),
                          Opaque(i == aHotTab ? kTabHotColor : kTabColor));
    TRect r = TabAt(aPages, active);
    if (aPages->Style() == tsTabs)
      r = {r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2};
    pixelcheck::Paint(expected, r, Opaque(kTabHotColor)); // state 2 paints the hot background
    return expected;
  }

  void MoveMouseTo(TControl* aControl, TPoint aAt) {
    platform::InputMouseMove(aControl->ClientToScreen(aAt));
    platform::PumpUntilIdle();
  }
};

TEST_F(PageControlTest, WithoutSkinItPaintsAsTheToolkitControl) {
  fManager->SetActive(false);
  auto* plain = MakePages<TPageControl, TTabSheet>(tsButtons, {"In/Out", "Log"});
  auto* skinned = MakePages<TsPageControl, TsTabSheet>(tsButtons, {"In/Out", "Log"});
  EXPECT_TRUE(SameBitmap(PaintClient(skinned), PaintClient(plain), "pages-unskinned"));
  EXPECT_TRUE(
      SameBitmap(PaintClient(skinned->Pages(0)), PaintClient(plain->Pages(0)), "sheet-unskinned"));
  skinned->SetStyle(tsTabs);
  plain->SetStyle(tsTabs);
  EXPECT_TRUE(SameBitmap(PaintClient(skinned), PaintClient(plain), "pages-unskinned-tabs"));
}

// Normal, hot (through the platform's mouse input) and active tabs, in the
// tabs style (the active tab grows by 2) and the buttons style.
TEST_F(PageControlTest, TabStatesArePaintedFromTheTabSection) {
  for (TTabStyle style : {tsTabs, tsButtons}) {
    auto* pages = MakePages<TsPageControl, TsTabSheet>(style, {"", "", ""});
    ASSERT_TRUE(pages->SkinPaints());
    int entered = 0;
    int enteredIndex = -1;
    pages->OnTabMouseEnter = [&](TsPageControl*, int aIndex) {
      ++entered;
      enteredIndex = aIndex;
    };
    EXPECT_TRUE(SameBitmap(PaintClient(pages), Expected(pages, -1), "pages-normal"));
    // Onto the active tab: nothing changes.
    const TRect active = TabAt(pages, 0);
    MoveMouseTo(pages, {active.Left + 3, active.Top + 3});
    EXPECT_EQ(pages->CurItem(), -1);
    EXPECT_EQ(entered, 0);
    // Onto another tab: it becomes hot, once.
    const TRect second = TabAt(pages, 1);
    MoveMouseTo(pages, {second.Left + 3, second.Top + 3});
    MoveMouseTo(pages, {second.Left + 4, second.Top + 3});
    EXPECT_EQ(pages->CurItem(), 1);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(enteredIndex, 1);
    EXPECT_TRUE(SameBitmap(PaintClient(pages), Expected(pages, 1), "pages-hot"));
    // Leaving the control makes it normal again.
    MoveMouseTo(fForm, {2, 190});
    EXPECT_EQ(pages->CurItem(), -1);
    EXPECT_TRUE(SameBitmap(PaintClient(pages), Expected(pages, -1), "pages-left"));
    // Selecting another page makes its tab the active one.
    pages->SetActivePageIndex(2);
    platform::PumpUntilIdle();
    EXPECT_TRUE(SameBitmap(PaintClient(pages), Expected(pages, -1), "pages-selected"));
    delete pages;
  }
}

// The page shows the control's body through itself, and answers its
// children with the control's cache.
TEST_F(PageControlTest, ThePageShowsTheBodyAndLendsItToItsChildren) {
  auto* pages = MakePages<TsPageControl, TsTabSheet>(tsButtons, {"In/Out"});
  TTabSheet* sheet = pages->Pages(0);
  const platform::Bitmap shown = PaintClient(sheet);
  EXPECT_TRUE(SameBitmap(shown,
                         pixelcheck::Filled(sheet->Width(), sheet->Height(), Opaque(kBodyColor)),
                         "sheet-body"));
  ParentBgInfo info;
  RequestParentBackground(sheet, info, false);
  EXPECT_EQ(info.BgType, btCache);
  EXPECT_EQ(info.Bmp, pages->SkinData.CacheBmp());
  EXPECT_EQ(info.X, sheet->Left());
  EXPECT_EQ(info.Y, sheet->Top());
  EXPECT_EQ(SendSkinCommand(sheet, scIsSkinned), 1);
  int index = -2;
  SendSkinCommand(sheet, scGetSkinIndex, platform::LPARAM(&index));
  EXPECT_EQ(index, pages->SkinData.SkinIndex);
}

// A sheet's own section paints its page area in the control's cache.
TEST_F(PageControlTest, ASheetSectionPaintsThePageArea) {
  auto* pages = MakePages<TsPageControl, TsTabSheet>(tsButtons, {"In/Out"});
  auto* sheet = static_cast<TsTabSheet*>(pages->Pages(0));
  sheet->SkinData.SetSkinSection("black");
  pages->Invalidate();
  ASSERT_TRUE(pages->PrepareCache());
  const platform::Bitmap& cache = *pages->SkinData.CacheBmp();
  const TRect page = sheet->BoundsRect();
  EXPECT_EQ(cache.Pixel(page.Left, page.Top), Opaque(0));
  EXPECT_EQ(cache.Pixel(page.Right - 1, page.Bottom - 1), Opaque(0));
  EXPECT_EQ(cache.Pixel(page.Left - 1, page.Top), Opaque(kBodyColor));
}

// Covered pixels take the section's colour and become opaque; others keep
// their value; contours go first, one pixel off, the main colour over them.
TEST_F(PageControlTest, SectionTextOnABitmapKeepsItsAlphaValid) {
  const int section = fManager->GetSkinIndex("TABTOP");
  TFont font;
  font.SetHeight(-24);
  platform::Bitmap target = pixelcheck::Filled(40, 30, 0x00000000u);
  WriteSectionTextOnBitmap(target, {font.Handle(), 0}, "I", true, fManager.get(), false, section,
                           platform::DT_SINGLELINE, {5, 0, 40, 30});
  int full = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const std::uint32_t p = target.Pixel(x, y);
      if (p == 0)
        continue;
      EXPECT_EQ(p >> 24, 255u) << x << "," << y;
      EXPECT_GE(x, 5) << "nothing left of the rectangle";
      if (p == Opaque(kTabFont))
        ++full;
    }
  EXPECT_GT(full, 10) << "fully covered pixels are the font colour";
  platform::Bitmap hot = pixelcheck::Filled(40, 30, 0x00000000u);
  WriteSectionTextOnBitmap(hot, {font.Handle(), 0}, "I", true, fManager.get(), true, section,
                           platform::DT_SINGLELINE, {5, 0, 40, 30});
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      if (target.Pixel(x, y) == Opaque(kTabFont))
        EXPECT_EQ(hot.Pixel(x, y), Opaque(kTabHotFont));
  platform::Bitmap untouched = pixelcheck::Filled(40, 30, 0x00000000u);
  WriteSectionTextOnBitmap(untouched, {font.Handle(), 0}, "", true, fManager.get(), false, section,
                           platform::DT_SINGLELINE, {5, 0, 40, 30});
  EXPECT_TRUE(SameBitmap(untouched, pixelcheck::Filled(40, 30, 0), "text-empty"));
}

// A new hot tab fades the row of tabs into its new look, one frame per timer
// period: the first, a middle and the last frame on screen follow the rule
// between the rules' pictures before and after; the rest of the control
// stays as it is.
TEST_F(PageControlTest, TheHotTabFadesTheRowOfTabs) {
  platform::ManualTimerClock clock;
  auto* pages = MakePages<TsPageControl, TsTabSheet>(tsButtons, {"", "", ""});
  const TRect row = TabRow(pages);
  const platform::Bitmap before = Expected(pages, -1), after = Expected(pages, 1);
  ASSERT_TRUE(
      SameBitmap(OnScreen(pages), before, "tabfade-before", pixelcheck::TPixelMatch::ColorOnly));
  const TRect second = TabAt(pages, 1);
  MoveMouseTo(pages, {second.Left + 3, second.Top + 3});
  ASSERT_TRUE(pages->TabFadeRunning());
  const std::size_t last = kFullFadeAlphas.size() - 1;
  for (std::size_t i = 0; i <= last; ++i) {
    clock.Advance(TsFadeTimer::IntervalMs);
    platform::PumpUntilIdle();
    if (i != 0 && i != last / 2 && i != last)
      continue;
    platform::Bitmap expected = before;
    const platform::Bitmap frame = FadeRuleFrame(pixelcheck::Cropped(before, row), after,
                                                 {row.Left, row.Top}, kFullFadeAlphas[i]);
    for (int y = 0; y < frame.Height(); ++y)
      for (int x = 0; x < frame.Width(); ++x)
        expected.SetPixel(row.Left + x, row.Top + y, frame.Pixel(x, y));
    EXPECT_TRUE(
        SameBitmap(OnScreen(pages), expected, "tabfade-frame", pixelcheck::TPixelMatch::ColorOnly))
        << "frame " << i;
  }
  clock.Advance(TsFadeTimer::IntervalMs);
  platform::PumpUntilIdle();
  EXPECT_FALSE(pages->TabFadeRunning());
  EXPECT_TRUE(
      SameBitmap(OnScreen(pages), after, "tabfade-after", pixelcheck::TPixelMatch::ColorOnly));
}

} // namespace
