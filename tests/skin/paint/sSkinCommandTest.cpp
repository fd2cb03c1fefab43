#include "SkinDataFixture.h"
#include "skin/paint/sCacheInfo.h"
#include "toolkit/CustomControl.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using platform::LPARAM;
using platform::LRESULT;

TEST(SkinCommand, DecodesCommandArgumentAndValue) {
  const TMessage m{SkinCommandMessage, SkinCommandParam(scMoved, 1), LPARAM(-5), 0};
  const TSkinCommand c(m);
  EXPECT_EQ(c.Command, scMoved);
  EXPECT_EQ(c.Argument, 1);
  EXPECT_EQ(c.Value, -5);
  const TSkinCommand high(TMessage{SkinCommandMessage, SkinCommandParam(0xFFFF, 0xFFFF), 0, 0});
  EXPECT_EQ(high.Command, 0xFFFF);
  EXPECT_EQ(high.Argument, 0xFFFF);
}

TEST(SkinCommand, BackgroundColourAnswersAreToldApartFromNoAnswer) {
  EXPECT_EQ(DecodeBgColor(0), std::nullopt);
  EXPECT_EQ(DecodeBgColor(EncodeBgColor(0)), TColor(0));
  EXPECT_EQ(DecodeBgColor(EncodeBgColor(0x00FFFFFF)), TColor(0x00FFFFFF));
  EXPECT_NE(EncodeBgColor(0), 0);
}

// What a command can change, for comparing one delivery with two.
struct TSnapshot {
  std::string Section;
  int SkinIndex, BorderIndex, Texture, HotTexture;
  int CtrlSkinState, BGType;
  bool BGChanged, Updating, Focused, MouseAbove, HalfVisible;
  int CacheW, CacheH;
  TColor Color, FontColor;
  const void* PrintDC;
  LRESULT Result;
  bool operator==(const TSnapshot&) const = default;
};

TSnapshot Snap(TsTestPanel* aPanel, LRESULT aResult) {
  const TsCommonData& d = aPanel->SkinData;
  const platform::Bitmap* c = d.CacheBmp();
  return {d.SkinSection(),
          d.SkinIndex,
          d.BorderIndex,
          d.Texture,
          d.HotTexture,
          d.CtrlSkinState,
          d.BGType,
          d.BGChanged,
          d.Updating(),
          d.Focused(),
          d.MouseAbove(),
          d.HalfVisible,
          c ? c->Width() : -1,
          c ? c->Height() : -1,
          aPanel->Color(),
          aPanel->Font().Color(),
          d.PrintDC,
          aResult};
}

TEST_F(SkinDataTest, EveryCommandLeavesTheSameStateWhenItArrivesTwice) {
  platform::Bitmap printBitmap(4, 4);
  platform::DeviceContext printDC;
  TsSetSectionInfo setSection{0, "half"};
  int index = 0;
  TRect bounds;
  ParentBgInfo bg;
  const std::string changed = "EDIT";
  struct Row {
    platform::WORD Command;
    platform::WORD Argument;
    std::function<LPARAM()> Value;
  };
  const auto manager = [this] { return LPARAM(fManager.get()); };
  const auto none = [] { return LPARAM(0); };
  const Row rows[] = {
      {scPrepareSkin, 0, manager},
      {scRemoveSkin, 0, manager},
      {scApplySkin, 0, manager},
      {scRepaintChildren, 0, none},
      {scIsSkinned, 0, none},
      {scSetUpdating, 1, none},
      {scSetUpdating, 2, none},
      {scQueryUpdating, 0, none},
      {scQueryHalfVisible, 0, none},
      {scSectionChanged, 0, [&] { return LPARAM(&changed); }},
      {scSetSection, 0, [&] { return LPARAM(&setSection); }},
      {scBgChanged, 0, none},
      {scInvalidate, 0, none},
      {scQueryRepaintOnMove, 0, none},
      {scMoved, 1, none},
      {scGetBgColor, 0, none},
      {scSetHalfVisible, 0, none},
      {scPrepareCache, 0, none},
      {scGetSkinIndex, 0, [&] { return LPARAM(&index); }},
      {scClearCache, 0, none},
      {scGetParentBg, 0,
       [&] {
         bg = ParentBgInfo{};
         return LPARAM(&bg);
       }},
      {scQuerySkinState, 1, none},
      {scQuerySkinState, 0, none},
      {scSetPrintDC, 0, [&] { return LPARAM(&printDC); }},
      {scSetPrintDC, 0, none},
      {scFrameChanged, 0, none},
      {scGetBounds, 0, [&] { return LPARAM(&bounds); }},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Command);
    TsTestPanel* parent = Panel(fForm, "PANEL", {0, 0, 200, 150});
    TsTestPanel* p = Panel(parent, "EDIT", {10, 10, 60, 40});
    p->SkinData.COC = cocListBox;
    SendSkinCommand(p, scPrepareCache);
    platform::PumpUntilIdle();
    LRESULT once = SendSkinCommand(p, r.Command, r.Value(), r.Argument);
    platform::PumpUntilIdle();
    const TSnapshot first = Snap(p, once);
    LRESULT twice = SendSkinCommand(p, r.Command, r.Value(), r.Argument);
    platform::PumpUntilIdle();
    EXPECT_TRUE(Snap(p, twice) == first);
    TComponent::Free(parent);
  }
}

TEST_F(SkinDataTest, SimpleCommandsAnswerFromTheData) {
  TsTestPanel* p = Panel(fForm, "HALF", {5, 6, 30, 20});
  SendSkinCommand(p, scSetUpdating, 0, 1);
  EXPECT_TRUE(p->SkinData.Updating());
  SendSkinCommand(p, scSetUpdating, 0, 2);
  EXPECT_FALSE(p->SkinData.Updating());
  int index = -7;
  SendSkinCommand(p, scGetSkinIndex, LPARAM(&index));
  EXPECT_EQ(index, fManager->GetSkinIndex("HALF"));
  TRect bounds;
  SendSkinCommand(p, scGetBounds, LPARAM(&bounds));
  EXPECT_EQ(bounds, (TRect{5, 6, 30, 20}));
  EXPECT_EQ(SendSkinCommand(p, scGetCommonData), LRESULT(&p->SkinData));
  EXPECT_EQ(SendSkinCommand(p, scIsSkinned), 1);
  EXPECT_EQ(SendSkinCommand(p, scSetSection), 0);
  TsSetSectionInfo info{0, "grad"};
  EXPECT_EQ(SendSkinCommand(p, scSetSection, LPARAM(&info)), 1);
  EXPECT_EQ(p->SkinData.SkinSection(), "GRAD");
  EXPECT_EQ(SendSkinCommand(p, scGetProvider), 0); // not handled here
}

// A windowless control owning skin data.
class TsTestGraphic : public TGraphicControl {
public:
  explicit TsTestGraphic(TComponent* aOwner)
      : TGraphicControl(aOwner), SkinData(static_cast<TControl*>(this), false) {}
  TsCommonData SkinData;

protected:
  void WndProc(TMessage& aMessage) override {
    if (!HandleControlMessage(SkinData, aMessage))
      TGraphicControl::WndProc(aMessage);
  }
};

TEST_F(SkinDataTest, CommandsReachControlsWithAndWithoutAWindow) {
  TsTestPanel* p = Panel(fForm, "PANEL", {0, 0, 30, 20});
  EXPECT_EQ(SendSkinCommand(p->Handle(), scGetCommonData), LRESULT(&p->SkinData));
  auto* g = new TsTestGraphic(p);
  g->SetParent(p);
  g->SetBounds(3, 4, 5, 6);
  EXPECT_EQ(SendSkinCommand(g, scGetCommonData), LRESULT(&g->SkinData));
  TRect bounds;
  SendSkinCommand(g, scGetBounds, LPARAM(&bounds));
  EXPECT_EQ(bounds, (TRect{3, 4, 8, 10}));
}

TEST_F(SkinDataTest, CommandsOfAnotherManagerAreIgnored) {
  TsTestPanel* p = Panel(fForm, "PANEL", {0, 0, 30, 20});
  TsSkinManager other;
  SendSkinCommand(p, scRemoveSkin, LPARAM(&other));
  EXPECT_EQ(p->SkinData.SkinIndex, fManager->GetSkinIndex("PANEL"));
  SendSkinCommand(p, scRemoveSkin, LPARAM(fManager.get()));
  EXPECT_EQ(p->SkinData.SkinIndex, -1);
  EXPECT_TRUE(p->SkinData.Updating());
  SendSkinCommand(p, scPrepareSkin, LPARAM(fManager.get()));
  SendSkinCommand(p, scApplySkin, LPARAM(fManager.get()));
  EXPECT_EQ(p->SkinData.SkinIndex, fManager->GetSkinIndex("PANEL"));
  EXPECT_FALSE(p->SkinData.Updating());
}

// A child sees its container's skin data before or after the container took
// the change, as the order says; a change of another manager passes through.
TEST_F(SkinDataTest, SkinChangeReachesChildrenInTheOrderGiven) {
  TsTestPanel* p = Panel(fForm, "PANEL", {0, 0, 30, 20});
  auto* g = new TsTestGraphic(p);
  g->SetParent(p);
  std::vector<int> containerIndexSeen;
  g->WindowProc = [&, inherited = g->WindowProc](TMessage& aMessage) {
    if (aMessage.Msg == SkinCommandMessage)
      containerIndexSeen.push_back(p->SkinData.SkinIndex);
    inherited(aMessage);
  };
  const int skinned = fManager->GetSkinIndex("PANEL");
  auto change = [&](platform::WORD aCommand, const TsSkinManager* aManager, TsChildOrder aOrder) {
    TMessage m{SkinCommandMessage, SkinCommandParam(aCommand), LPARAM(aManager), 0};
    return HandleSkinChange(p->SkinData, *p, m, aOrder);
  };
  TsSkinManager other;
  EXPECT_FALSE(change(scRemoveSkin, &other, TsChildOrder::ChildrenAfter));
  EXPECT_TRUE(change(scRemoveSkin, fManager.get(), TsChildOrder::ChildrenFirst));
  EXPECT_TRUE(change(scPrepareSkin, fManager.get(), TsChildOrder::ChildrenAfter));
  EXPECT_EQ(containerIndexSeen, (std::vector<int>{skinned, skinned, skinned}));
}

TEST_F(SkinDataTest, HotColoursFollowFocusAndMouse) {
  TsTestPanel* p = nullptr;
  {
    TLoadingBracket bracket;
    p = new TsTestPanel(fForm);
    p->SetParent(fForm);
    p->SetBounds(0, 0, 50, 20);
    p->SetTabStop(true);
    p->SkinData.COC = cocListBox;
  }
  platform::PumpUntilIdle();
  p->SetFocus();
  platform::PumpUntilIdle();
  EXPECT_TRUE(p->SkinData.Focused());
  EXPECT_EQ(p->Color(), kEditHotColor);
  EXPECT_EQ(p->Font().Color(), kEditHotFont);
  fForm->SetFocus();
  platform::PumpUntilIdle();
  EXPECT_FALSE(p->SkinData.Focused());
  EXPECT_EQ(p->Color(), kEditColor);
  p->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(p->SkinData.MouseAbove());
  EXPECT_EQ(p->Color(), kEditHotColor);
  EXPECT_EQ(fManager->ActiveControl(), p->Handle());
  p->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(p->SkinData.MouseAbove());
  EXPECT_EQ(p->Color(), kEditColor);
}

TEST_F(SkinDataTest, PanelsNeverBecomeHot) {
  TsTestPanel* p = Panel(fForm, "EDIT", {0, 0, 50, 20});
  p->Perform(CM_MOUSEENTER);
  EXPECT_FALSE(p->SkinData.MouseAbove());
  EXPECT_FALSE(p->SkinData.ShowsHotState());
}

} // namespace
