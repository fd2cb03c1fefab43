#include "skin/paint/sParentBg.h"

#include "SkinDataFixture.h"
#include "platform/win/DefWindowProc.h"
#include "skin/paint/sCacheCopy.h"
#include "support/PixelCheck.h"
#include "toolkit/Label.h"

#include <gtest/gtest.h>

namespace {

using pixelcheck::DCHolder;
using pixelcheck::Filled;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;
using platform::LPARAM;
using platform::LRESULT;

// A memory DC drawing into aTarget.
DCHolder DCOn(platform::Bitmap& aTarget) {
  DCHolder dc(platform::CreateCompatibleDC(nullptr));
  platform::SelectObject(dc.get(), &aTarget);
  return dc;
}

class ParentBgTest : public SkinDataTest {
protected:
  void TearDown() override {
    for (platform::HWND window : fWindows)
      DeallocateHWnd(window);
    SkinDataTest::TearDown();
  }
  ParentBgInfo Ask(TControl* aParent) {
    ParentBgInfo info;
    RequestParentBackground(aParent, info, false);
    return info;
  }
  // A bare window answering scGetBgColor with aAnswer and nothing else.
  platform::HWND Window(LRESULT aAnswer) {
    platform::HWND window = AllocateHWnd([aAnswer](platform::HWND aWnd, platform::UINT aMsg,
                                                   platform::WPARAM aWParam,
                                                   LPARAM aLParam) -> LRESULT {
      if (aMsg == SkinCommandMessage && platform::HIWORD(platform::DWORD(aWParam)) == scGetBgColor)
        return aAnswer;
      return platform::DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
    });
    fWindows.push_back(window);
    return window;
  }
  TPanel* PlainPanel(TColor aColor) {
    auto* panel = new TPanel(fForm);
    panel->SetParent(fForm);
    panel->SetBounds(0, 0, 150, 100);
    panel->SetColor(aColor);
    platform::PumpUntilIdle();
    return panel;
  }
  std::vector<platform::HWND> fWindows;
};

TEST_F(ParentBgTest, ChildOfATransparentPlainPanelGetsTheGrandparentsBackgroundWithOffset) {
  TsTestPanel* grand = Panel(fForm, "BORDERED", {0, 0, 200, 150});
  TsTestPanel* clear = Panel(grand, "TRANSP", {10, 20, 100, 80});
  ASSERT_NE(clear->SkinData.CtrlSkinState & cssPlain, 0);
  const ParentBgInfo info = Ask(clear);
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, kPanelColor);
  EXPECT_EQ(info.Bmp, grand->SkinData.CacheBmp());
  EXPECT_EQ(info.X, 10);
  EXPECT_EQ(info.Y, 20);
  EXPECT_EQ(info.FillRect, (TRect{2 - 10, 3 - 20, 4, 5}));
}

TEST_F(ParentBgTest, TransparentPanelWithoutCacheForwardsToACachedGrandparent) {
  TsTestPanel* grand = Panel(fForm, "GRAD", {0, 0, 200, 150});
  TsTestPanel* clear = Panel(grand, "TRANSP", {7, 9, 100, 80}, false);
  const ParentBgInfo info = Ask(clear);
  EXPECT_EQ(info.BgType, btCache);
  EXPECT_EQ(info.Bmp, grand->SkinData.CacheBmp());
  EXPECT_EQ(grand->SkinData.CacheBmp()->Width(), 200);
  EXPECT_EQ(info.X, 7);
  EXPECT_EQ(info.Y, 9);
}

TEST_F(ParentBgTest, PlainParentsFillAndHandOutTheCacheOnlyForBorderStrips) {
  struct Row {
    std::string Section;
    TColor Color;
    bool Strips;
  };
  const Row rows[] = {
      {"PANEL", kPanelColor, false}, {"BORDERED", kPanelColor, true}, {"BLACK", 0, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Section);
    TsTestPanel* parent = Panel(fForm, r.Section, {0, 0, 100, 100});
    const ParentBgInfo info = Ask(parent);
    EXPECT_EQ(info.BgType, btFill);
    EXPECT_EQ(info.Color, r.Color);
    EXPECT_EQ(info.Bmp, r.Strips ? parent->SkinData.CacheBmp() : nullptr);
    EXPECT_EQ(info.FillRect, r.Strips ? (TRect{2, 3, 4, 5}) : TRect{});
  }
}

TEST_F(ParentBgTest, ParentsWhoseCacheIsNotReadyAnswerNotReady) {
  TsTestPanel* half = Panel(fForm, "HALF", {0, 0, 100, 100});
  half->SkinData.EmptyCache();
  EXPECT_EQ(Ask(half).BgType, btNotReady);
  EXPECT_TRUE(half->SkinData.Updating());

  TsTestPanel* grad = Panel(fForm, "GRAD", {0, 0, 100, 100});
  grad->CanPaint = false;
  EXPECT_EQ(Ask(grad).BgType, btNotReady);
  TsTestPanel* child = Panel(grad, "PANEL", {0, 0, 10, 10});
  const TCacheInfo cache = QueryParentCache(child->SkinData);
  EXPECT_FALSE(cache.Ready);
  EXPECT_EQ(cache.FillColor, KeyColor);

  grad->CanPaint = true;
  const TCacheInfo ready = QueryParentCache(child->SkinData);
  EXPECT_TRUE(ready.Ready);
  EXPECT_EQ(ready.Bmp, grad->SkinData.CacheBmp());
}

TEST_F(ParentBgTest, HalfTransparentParentWithoutCacheAnswersTheKeyColour) {
  TsTestPanel* half = Panel(fForm, "HALF", {0, 0, 100, 100}, false);
  const ParentBgInfo info = Ask(half);
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, KeyColor);
}

// Over an unskinned parent the mix uses the parent's own colour, not the 0
// that parent answers.
TEST_F(ParentBgTest, BgColourOverAnUnskinnedParentMixesWithTheParentsColour) {
  TPanel* plain = PlainPanel(0x000000FF);
  TsTestPanel* half = Panel(plain, "HALF", {0, 0, 50, 50});
  // Each channel (P * 128 + C * 128) >> 8, P = (255, 0, 0), C = (128, 128, 128).
  EXPECT_EQ(DecodeBgColor(SendSkinCommand(half, scGetBgColor)), TColor(0x004040BF));
  // Half of each channel, truncated: red (255 + 128) / 2 = 191.
  EXPECT_EQ(half->SkinData.StateBackgroundColor(0), TColor(0x004040BF));
}

TEST_F(ParentBgTest, BgColourResolvesSystemColours) {
  TPanel* plain = PlainPanel(clBtnFace);
  TsTestPanel* unskinned = Panel(fForm, "NOSUCH", {0, 0, 50, 50});
  unskinned->SetColor(clBtnFace);
  TsTestPanel* clear = Panel(plain, "TRANSP", {0, 0, 50, 50});
  const TColor face = ColorToRGB(clBtnFace);
  ASSERT_NE(face, clBtnFace);
  EXPECT_EQ(DecodeBgColor(SendSkinCommand(unskinned, scGetBgColor)), face);
  EXPECT_EQ(DecodeBgColor(SendSkinCommand(clear, scGetBgColor)), face);
  EXPECT_EQ(Ask(plain).Color, face);
}

TEST_F(ParentBgTest, BlackIsAnAnswer) {
  TsTestPanel* black = Panel(fForm, "BLACK", {0, 0, 100, 100});
  black->SetColor(0x00FFFFFF); // the toolkit colour must not win over the skin's black
  TsTestPanel* clear = Panel(black, "TRANSP", {0, 0, 50, 50});
  EXPECT_EQ(DecodeBgColor(SendSkinCommand(clear, scGetBgColor)), TColor(0));
  EXPECT_EQ(clear->SkinData.StateBackgroundColor(0), TColor(0));

  ParentBgInfo info;
  RequestParentBackground(Window(EncodeBgColor(0)), info, false);
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, TColor(0));
  RequestParentBackground(Window(0), info, false);
  EXPECT_EQ(info.Color, kMainColor); // no answer: the manager's main colour
}

TEST_F(ParentBgTest, UnansweredRequestsFallBackToTheParentsColour) {
  TPanel* plain = PlainPanel(0x00112233);
  const ParentBgInfo info = Ask(plain);
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, TColor(0x00112233));
}

TEST_F(ParentBgTest, PleaseDrawPaintsTheParentsBackgroundIntoTheDC) {
  struct Row {
    std::string Section;
    TqcBgType Type;
    TColor Expected;
  };
  const Row rows[] = {{"PANEL", btFill, kPanelColor}, {"GRAD", btCache, 0x00336699}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Section);
    TsTestPanel* parent = Panel(fForm, r.Section, {0, 0, 100, 100});
    platform::Bitmap target = Filled(8, 8, 0);
    DCHolder dc = DCOn(target);
    ParentBgInfo info;
    info.DC = dc.get();
    info.R = {2, 2, 6, 6};
    info.X = 10;
    info.Y = 10;
    RequestParentBackground(parent, info, true);
    EXPECT_EQ(info.BgType, r.Type);
    platform::Bitmap expected = Filled(8, 8, 0);
    pixelcheck::Paint(expected, {2, 2, 6, 6}, Opaque(r.Expected));
    EXPECT_TRUE(SameBitmap(target, expected, "please-draw-" + r.Section));
  }
}

TEST_F(ParentBgTest, AnUnskinnedParentPaintsItselfWhenAskedToDraw) {
  TPanel* plain = PlainPanel(0x00445566);
  plain->SetBevelOuter(bvNone);
  plain->SetCaption("");
  platform::Bitmap target = Filled(8, 8, 0);
  DCHolder dc = DCOn(target);
  ParentBgInfo info;
  info.DC = dc.get();
  info.R = {1, 1, 7, 7};
  RequestParentBackground(plain, info, true);
  platform::Bitmap expected = Filled(8, 8, 0);
  pixelcheck::Paint(expected, {1, 1, 7, 7}, Opaque(0x00445566));
  EXPECT_TRUE(SameBitmap(target, expected, "parent-paints-itself"));
}

TEST_F(ParentBgTest, CopyCacheToDCLeavesOutWindowlessChildren) {
  TsTestPanel* p = Panel(fForm, "GRAD", {0, 0, 12, 10});
  SendSkinCommand(p, scPrepareCache);
  auto* label = new TLabel(p);
  label->SetParent(p);
  label->SetBounds(3, 2, 4, 3);
  platform::Bitmap target = Filled(12, 10, Opaque(0x00FFFFFF));
  DCHolder dc = DCOn(target);
  CopyCacheToDC(p, p->SkinData, {0, 0, 12, 10}, {0, 0}, dc.get(), {1, 1, 11, 9});
  platform::Bitmap expected = Filled(12, 10, Opaque(0x00FFFFFF));
  pixelcheck::Paint(expected, {1, 1, 11, 9}, Opaque(0x00336699));
  pixelcheck::Paint(expected, {3, 2, 7, 5}, Opaque(0x00FFFFFF));
  EXPECT_TRUE(SameBitmap(target, expected, "copy-cache-to-dc"));
}

} // namespace
