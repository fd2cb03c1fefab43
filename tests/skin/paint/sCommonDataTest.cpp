#include "SkinDataFixture.h"
#include "platform/win/Paint.h"
#include "skin/paint/sSkinOwner.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlCodes, SetsAndDefaultSections) {
  struct Row {
    int COC;
    bool Container, NeverHot, SkinColor;
    TqcDefaultSection Kind;
    std::string Section;
  };
  using enum TqcDefaultSection;
  const Row rows[] = {
      {cocListBox, false, false, true, Named, "EDIT"},
      {cocPanel, true, true, false, Named, "PANEL"},
      {cocButton, false, false, false, Named, "BUTTON"},
      {cocPageControl, true, true, false, Named, "PAGECONTROL"},
      {cocStatusBar, true, true, false, Named, "STATUSBAR"},
      {cocFrameAdapter, true, false, false, Named, "GROUPBOX"},
      {cocForm, false, false, false, ClassName, ""},
      {19, false, true, false, Named, "BAR"},
      {34, false, false, false, SliderOrLow, ""},
      {231, false, false, true, ClassName, ""},
      {-1, false, false, false, ClassName, ""},
      {256, false, false, false, ClassName, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.COC);
    EXPECT_EQ(IsContainerCode(r.COC), r.Container);
    EXPECT_EQ(IsNeverHotCode(r.COC), r.NeverHot);
    EXPECT_EQ(IsSkinColorCode(r.COC), r.SkinColor);
    const TqcDefaultSectionRule rule = DefaultSectionOf(r.COC);
    EXPECT_EQ(rule.Kind, r.Kind);
    EXPECT_EQ(rule.Name ? std::string(rule.Name) : std::string(), r.Section);
  }
}

TEST_F(SkinDataTest, SkinSectionIsStoredUpperCaseAndTheSameNameChangesNothing) {
  TsTestPanel* p = Panel(fForm, "", {0, 0, 50, 50});
  EXPECT_EQ(p->SkinData.SkinSection(), "PANEL"); // the panel kind's default
  p->SkinData.SetSkinSection("half");
  EXPECT_EQ(p->SkinData.SkinSection(), "HALF");
  EXPECT_EQ(p->SkinData.SkinIndex, fManager->GetSkinIndex("HALF"));
  const int applied = p->Received[scApplySkin];
  EXPECT_GE(applied, 1);
  p->SkinData.SetSkinSection("HALF");
  p->SkinData.SetSkinSection("Half");
  EXPECT_EQ(p->Received[scApplySkin], applied);
  p->SkinData.SetSkinSection("NOSUCH");
  EXPECT_EQ(p->SkinData.SkinIndex, -1);
  EXPECT_EQ(p->Received[scRemoveSkin], 1);
}

TEST_F(SkinDataTest, DefaultSectionByKindAndFirstKnownSection) {
  struct Row {
    int COC;
    std::string Section;
  };
  const Row rows[] = {{cocListBox, "EDIT"}, {cocPanel, "PANEL"}, {999, "TSTESTPANEL"}, {34, ""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.COC);
    TsTestPanel* p = nullptr;
    {
      TLoadingBracket bracket;
      p = new TsTestPanel(fForm);
      p->SetParent(fForm);
      p->SkinData.COC = r.COC;
    }
    EXPECT_EQ(p->SkinData.SkinSection(), r.Section);
  }
  TsTestPanel* p = Panel(fForm, "", {0, 0, 10, 10});
  p->SkinData.FirstKnownSection({"SLIDER_OFF", "HALF", "PANEL"});
  EXPECT_EQ(p->SkinData.SkinSection(), "HALF");
  EXPECT_EQ(p->SkinData.SkinIndex, fManager->GetSkinIndex("HALF"));
}

TEST_F(SkinDataTest, PlainStateFollowsTheSectionAndTheParent) {
  struct Row {
    std::string Parent, Child;
    bool ChildPlain;
  };
  const Row rows[] = {
      {"PANEL", "TRANSP", true},  // 100 % transparent over a plain parent
      {"GRAD", "TRANSP", false},  // over a gradient
      {"PANEL", "HALF", false},   // 50 % transparent
      {"PANEL", "GRAD", false},   // gradient
      {"PANEL", "PANEL", true},   // one colour
      {"PANEL", "BORDERED", true} // a border without a painted centre
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Parent + "/" + r.Child);
    TsTestPanel* parent = Panel(fForm, r.Parent, {0, 0, 100, 100});
    TsTestPanel* child = Panel(parent, r.Child, {10, 10, 40, 40});
    child->SkinData.RefreshPlainState(false);
    EXPECT_EQ((child->SkinData.CtrlSkinState & cssPlain) != 0, r.ChildPlain);
    EXPECT_EQ(child->SkinData.CtrlSkinState & cssNotComputed, 0);
    TComponent::Free(parent);
  }
}

TEST_F(SkinDataTest, QuerySkinStateComputesAStateNotYetKnown) {
  TsTestPanel* p = Panel(fForm, "PANEL", {0, 0, 50, 50});
  p->SkinData.CtrlSkinState = cssNotComputed;
  EXPECT_EQ(SendSkinCommand(p, scQuerySkinState), cssPlain);
  EXPECT_EQ(p->SkinData.CtrlSkinState, cssPlain);
}

TEST_F(SkinDataTest, UpdateCountNestsButEndUpdateAlwaysClearsAndRepaintsAtOnce) {
  TsTestPanel* p = Panel(fForm, "PANEL", {0, 0, 50, 50});
  p->SkinData.BeginUpdate();
  p->SkinData.BeginUpdate();
  EXPECT_EQ(p->SkinData.UpdateCount(), 2);
  EXPECT_TRUE(p->SkinData.Updating());
  EXPECT_NE(p->SkinData.CtrlSkinState & cssInUpdate, 0);
  EXPECT_EQ(p->Received[scBeginUpdate], 2);
  const int paints = p->Paints;
  p->SkinData.EndUpdate(true);
  EXPECT_EQ(p->SkinData.UpdateCount(), 1);
  EXPECT_FALSE(p->SkinData.Updating());
  EXPECT_EQ(p->SkinData.CtrlSkinState & cssInUpdate, 0);
  EXPECT_EQ(p->Received[scEndUpdate], 1);
  EXPECT_GT(p->Paints, paints); // painted before the loop ran again
  EXPECT_TRUE(p->SkinData.BGChanged);
}

TEST_F(SkinDataTest, CustomColourSurvivesSkinChangesWhileTheFontFollowsTheSkin) {
  constexpr TColor edit2 = 0x00A0B0C0;
  AddSkin("S2", TestSkinOptions(edit2));
  TsTestPanel* p = nullptr;
  {
    TLoadingBracket bracket;
    p = new TsTestPanel(fForm);
    p->SetParent(fForm);
    p->SetBounds(0, 0, 50, 20);
    p->SkinData.COC = cocListBox;
  }
  EXPECT_EQ(p->SkinData.SkinSection(), "EDIT");
  EXPECT_EQ(p->Color(), kEditColor);
  EXPECT_EQ(p->Font().Color(), kEditFont);
  p->SkinData.SetCustomColor(true);
  p->SetColor(0x00112233);
  fManager->SetSkinName("S2");
  EXPECT_EQ(p->Color(), 0x00112233u);
  EXPECT_EQ(p->Font().Color(), kEditFont);
  p->SkinData.SetCustomColor(false);
  EXPECT_EQ(p->Color(), edit2);
}

TEST_F(SkinDataTest, MovingATransparentControlMarksItsCacheStaleAnOpaqueOneNot) {
  TsTestPanel* parent = Panel(fForm, "PANEL", {0, 0, 200, 150});
  for (const auto& [section, stale] : {std::pair{"HALF", true}, std::pair{"PANEL", false}}) {
    SCOPED_TRACE(section);
    TsTestPanel* p = Panel(parent, section, {10, 10, 60, 40});
    p->SkinData.BGChanged = false;
    p->SetBounds(20, 15, 50, 30);
    platform::PumpUntilIdle();
    EXPECT_EQ(p->SkinData.BGChanged, stale);
  }
}

TEST_F(SkinDataTest, StateBackgroundColourMixesWithTheParentByTransparency) {
  TsTestPanel* parent = Panel(fForm, "PANEL", {0, 0, 200, 150});
  TsTestPanel* half = Panel(parent, "HALF", {0, 0, 20, 20});
  TsTestPanel* clear = Panel(parent, "TRANSP", {0, 0, 20, 20});
  TsTestPanel* plain = Panel(parent, "PANEL", {0, 0, 20, 20});
  // Half of each channel of the parent's (0x60, 0x40, 0x20) and the section's
  // 0x80, truncated.
  EXPECT_EQ(half->SkinData.StateBackgroundColor(0), TColor(0x00506070));
  EXPECT_EQ(clear->SkinData.StateBackgroundColor(0), kPanelColor);
  EXPECT_EQ(plain->SkinData.StateBackgroundColor(1), kPanelColor);
  plain->SkinData.SetCustomColor(true);
  plain->SetColor(clBtnFace);
  EXPECT_EQ(plain->SkinData.StateBackgroundColor(0), ColorToRGB(clBtnFace));
}

TEST_F(SkinDataTest, WidestBorderAndBackgroundKindBits) {
  TsTestPanel* bordered = Panel(fForm, "BORDERED", {0, 0, 50, 50});
  EXPECT_EQ(bordered->SkinData.WidestBorder(), 5);
  TsTestPanel* grad = Panel(fForm, "GRAD", {0, 0, 50, 50});
  EXPECT_EQ(grad->SkinData.WidestBorder(), 0);
  EXPECT_EQ(grad->SkinData.BGType, 1); // first piece Mode1 1
}

TEST_F(SkinDataTest, InvalidateIsANoOpWhileLoadingAndRepaintsAfterwards) {
  TsTestPanel* p = Panel(fForm, "PANEL", {0, 0, 50, 50});
  p->SkinData.BGChanged = false;
  p->SkinData.Loading = true;
  p->SkinData.Invalidate(true);
  EXPECT_FALSE(p->SkinData.BGChanged);
  p->SkinData.Loading = false;
  const int paints = p->Paints;
  p->SkinData.Invalidate(true);
  EXPECT_TRUE(p->SkinData.BGChanged);
  EXPECT_GT(p->Paints, paints);
}

TEST_F(SkinDataTest, AWindowFrameOwnerIsInvalidatedThroughItsForm) {
  TTestFrame frame(fForm);
  TsCommonData data(&frame, true);
  data.Loaded();
  EXPECT_EQ(data.SkinSection(), "TTESTFRAME");
  platform::PumpUntilIdle();
  data.BGChanged = false;
  data.Invalidate(false);
  EXPECT_TRUE(data.BGChanged);
  TRect update;
  EXPECT_TRUE(platform::GetUpdateRect(fForm->Handle(), &update, platform::FALSE));
  EXPECT_FALSE(update.IsEmpty());
}

TEST_F(SkinDataTest, InitCacheBmpSizesTheCacheToTheOwner) {
  TsTestPanel* p = Panel(fForm, "PANEL", {0, 0, 30, 20}, false);
  EXPECT_EQ(p->SkinData.CacheBmp(), nullptr);
  p->SkinData.InitCacheBmp();
  ASSERT_NE(p->SkinData.CacheBmp(), nullptr);
  EXPECT_EQ(p->SkinData.CacheBmp()->Width(), 30);
  EXPECT_EQ(p->SkinData.CacheBmp()->Height(), 20);
  p->SkinData.EmptyCache();
  EXPECT_FALSE(p->SkinData.CacheFilled());
}

} // namespace
