#include "skin/data/sSkinBroadcast.h"

#include "SkinTestUtil.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/MessageLoop.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "toolkit/Panel.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using platform::HIWORD;
using platform::LPARAM;
using platform::WPARAM;

// Every skin command a recorded control or window receives, as "name:command".
class SkinBroadcast : public ::testing::Test {
protected:
  void SetUp() override {
    SetSkinCommandLine({});
    fApp = std::make_unique<TApplication>();
    fApp->Initialize();
  }
  void TearDown() override {
    SkinEngineHooks() = {};
    FramedForms.clear();
    for (platform::HWND window : fWindows)
      DeallocateHWnd(window);
    fManagers.clear();
    fApp.reset();
    platform::PumpUntilIdle();
  }

  template <class T>
  T* Recorded(T* aControl, const std::string& aName) {
    auto inherited = aControl->WindowProc;
    aControl->WindowProc = [this, aName, inherited](TMessage& aMessage) {
      if (aMessage.Msg == SkinCommandMessage)
        fLog.push_back(aName + ":" + std::to_string(HIWORD(aMessage.WParam)));
      inherited(aMessage);
    };
    return aControl;
  }
  TForm* Form(const std::string& aName) { return Recorded(fApp->CreateForm<TForm>(), aName); }
  TPanel* Panel(TWinControl* aParent, const std::string& aName) {
    auto* panel = Recorded(new TPanel(aParent), aName);
    panel->SetParent(aParent);
    return panel;
  }
  platform::HWND Window(const std::string& aName) {
    platform::HWND window = AllocateHWnd(
        [this, aName](platform::HWND aWnd, platform::UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
          if (aMsg == SkinCommandMessage)
            fLog.push_back(aName + ":" + std::to_string(HIWORD(aWParam)));
          return platform::DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
        });
    fWindows.push_back(window);
    return window;
  }
  TsSkinManager* Manager(bool aWithSkin = true) {
    fManagers.push_back(std::make_unique<TsSkinManager>());
    TsSkinManager* m = fManagers.back().get();
    if (aWithSkin) {
      auto& skin = m->InternalSkins.Add();
      skin.SetName("S");
      skin.ReadData(PackSkin("[GLOBALINFO]\n[PANEL]\n"));
    }
    return m;
  }
  void RecordHooks() {
    auto& h = SkinEngineHooks();
    h.DiscardGlows = [this] { fLog.push_back("glows"); };
    h.FreezeForms = [this] { fLog.push_back("freeze"); };
    h.UnfreezeForms = [this](bool aShow, bool aAnimate) {
      fLog.push_back(std::string("unfreeze show=") + (aShow ? "1" : "0") +
                     " anim=" + (aAnimate ? "1" : "0"));
    };
    h.InstallHook = [this](TsSkinManager*) { fLog.push_back("hook"); };
    h.RemoveHook = [this](TsSkinManager*) { fLog.push_back("unhook"); };
  }

  std::unique_ptr<TApplication> fApp;
  std::vector<std::unique_ptr<TsSkinManager>> fManagers;
  std::vector<platform::HWND> fWindows;
  std::vector<std::string> fLog;
  TMessageRecorder fMessages;
};

TEST_F(SkinBroadcast, ReachesFormsLastCreatedFirstThenChildrenThenFramedFormsThenAdoptedWindows) {
  TForm* a = Form("A");
  TPanel* p = Panel(a, "P");
  Panel(p, "Q");
  Panel(a, "P2");
  TForm* b = Form("B");
  Panel(b, "R");
  TForm* hidden = Form("H");
  SetFormSkinned(hidden, false);
  FramedForms.push_back(a);
  platform::HWND visible = Window("W");
  platform::ShowWindow(visible, platform::SW_SHOWNOACTIVATE);
  platform::HWND invisible = Window("I");
  SkinEngineHooks().AdoptedWindows = [&] {
    return std::vector<platform::HWND>{visible, invisible};
  };
  BroadcastSkinCommand(scApplySkin, 0);
  EXPECT_EQ(fLog, (std::vector<std::string>{"B:3", "R:3", "A:3", "P:3", "Q:3", "P2:3", "A:3", "P:3",
                                            "Q:3", "P2:3", "W:3"}));
  SetFormSkinned(hidden, true);
}

// A panel the test marks as being destroyed.
class TDyingPanel : public TPanel {
public:
  using TPanel::Destroying;
  using TPanel::TPanel;
};

TEST_F(SkinBroadcast, ChildHelpersReachDirectChildrenInListOrder) {
  TForm* a = Form("A");
  TPanel* p = Panel(a, "P");
  Panel(p, "Q");
  auto* dying = Recorded(new TDyingPanel(a), "D");
  dying->SetParent(a);
  Panel(a, "P2");
  dying->Destroying();
  SendSkinCommandToChildren(a, scInvalidate);
  SendSkinCommandToLiveChildren(a, scMoved);
  EXPECT_EQ(fLog, (std::vector<std::string>{"P:18", "D:18", "P2:18", "P:20", "P2:20"}));
}

TEST_F(SkinBroadcast, SkipsFormsStillLoading) {
  Form("A");
  {
    TLoadingBracket bracket;
    Form("L");
    BroadcastSkinCommand(scStopFading, 0);
  }
  BroadcastSkinCommand(scApplySkin, 0);
  EXPECT_EQ(fLog, (std::vector<std::string>{"A:16", "L:3", "A:3"}));
}

TEST_F(SkinBroadcast, ApplyingASkinPreparesRepaintsAndInstallsTheHook) {
  Form("A");
  RecordHooks();
  TsSkinManager* m = Manager();
  m->SetSkinName("S");
  EXPECT_EQ(fLog, (std::vector<std::string>{"glows", "freeze", "A:1", "hook", "A:16", "A:3",
                                            "unfreeze show=1 anim=1"}));
  EXPECT_TRUE(m->CommonSkinData.Active);
  EXPECT_FALSE(SkinUpdating);
  EXPECT_FALSE(WindowAnimationRunning);
}

TEST_F(SkinBroadcast, UpdatesWaitForEndUpdate) {
  Form("A");
  RecordHooks();
  TsSkinManager* m = Manager();
  m->BeginUpdate();
  m->SetSkinName("S");
  EXPECT_EQ(fLog, std::vector<std::string>{}) << "no apply while updating";
  m->EndUpdate(true, false);
  EXPECT_EQ(fLog, (std::vector<std::string>{"glows", "freeze", "A:1", "hook", "A:16", "A:3",
                                            "unfreeze show=1 anim=0"}));
  EXPECT_TRUE(m->AnimEffects.SkinChanging.Active) << "restored after the call";
  fLog.clear();
  m->EndUpdate(false);
  EXPECT_EQ(fLog, (std::vector<std::string>{"glows", "A:1", "hook"}));
}

TEST_F(SkinBroadcast, RemovingTheSkinBroadcastsAndEmptiesTheTables) {
  Form("A");
  TsSkinManager* m = Manager();
  m->SetSkinName("S");
  RecordHooks();
  fLog.clear();
  m->SetActive(false);
  EXPECT_EQ(fLog, (std::vector<std::string>{"glows", "unhook", "A:2"}));
  EXPECT_TRUE(m->gd.empty());
  EXPECT_FALSE(m->CommonSkinData.Active);
  EXPECT_FALSE(StdDialogsSkinned);
  fLog.clear();
  m->SetActive(true);
  EXPECT_EQ(fLog.at(2), "A:1");
  EXPECT_TRUE(StdDialogsSkinned);
}

TEST_F(SkinBroadcast, SectionChangeCarriesTheUpperCasedName) {
  TForm* a = fApp->CreateForm<TForm>();
  std::string seen;
  auto inherited = a->WindowProc;
  a->WindowProc = [&](TMessage& aMessage) {
    if (aMessage.Msg == SkinCommandMessage && HIWORD(aMessage.WParam) == scSectionChanged)
      seen = *reinterpret_cast<const std::string*>(aMessage.LParam);
    inherited(aMessage);
  };
  Manager()->UpdateSkinSection("Button");
  EXPECT_EQ(seen, "BUTTON");
}

TEST_F(SkinBroadcast, DefaultManagerRules) {
  TsSkinManager* first = Manager();
  TsSkinManager* second = Manager();
  EXPECT_EQ(DefaultManager, first);
  EXPECT_TRUE(first->IsDefault());
  EXPECT_FALSE(second->IsDefault());
  second->SetIsDefault(false);
  EXPECT_EQ(DefaultManager, first) << "false does nothing while a default exists";
  second->SetIsDefault(true);
  EXPECT_EQ(DefaultManager, second);
  fManagers.pop_back();
  EXPECT_EQ(DefaultManager, nullptr);
  first->SetIsDefault(false);
  EXPECT_EQ(DefaultManager, first) << "false with no default makes it the default";
}

TEST_F(SkinBroadcast, StandardDialogsFollowTheRulesOfTheDefaultManager) {
  TsSkinManager* m = Manager();
  EXPECT_TRUE(StdDialogsSkinned);
  m->SetSkinningRules({TqcSkinningRule::srStdForms});
  EXPECT_FALSE(StdDialogsSkinned);
  m->SetSkinningRules({TqcSkinningRule::srStdForms, TqcSkinningRule::srStdDialogs});
  EXPECT_TRUE(StdDialogsSkinned);
}

TEST_F(SkinBroadcast, HoverTracking) {
  TsSkinManager* m = Manager(false);
  platform::HWND one = Window("one");
  platform::HWND two = Window("two");
  TForm* form = Form("F");
  TPanel* c = Panel(form, "c");
  TPanel* d = Panel(form, "d");
  fLog.clear();
  m->SetActiveControl(one);
  m->SetActiveControl(two);
  EXPECT_EQ(fLog, (std::vector<std::string>{"one:29", "one:30", "two:29"}));
  fLog.clear();
  m->SetActiveGraphControl(c);
  EXPECT_EQ(m->ActiveControl(), nullptr) << "cleared without a command";
  m->SetActiveGraphControl(d);
  EXPECT_EQ(fLog, (std::vector<std::string>{"c:30"}));
  // A graphic control that is still hot keeps its place.
  bool stillHot = true;
  SkinEngineHooks().ControlStillHot = [&](TControl*) { return stillHot; };
  fLog.clear();
  m->SetActiveGraphControl(nullptr);
  EXPECT_EQ(m->ActiveGraphControl(), d);
  m->SetActiveControl(one);
  m->SetActiveControl(two);
  EXPECT_EQ(m->ActiveControl(), one) << "nothing changes while the graphic control is hot";
  EXPECT_EQ(m->ActiveGraphControl(), d);
  EXPECT_EQ(fLog, (std::vector<std::string>{"one:29"}));
  stillHot = false;
  fLog.clear();
  m->SetActiveControl(two);
  EXPECT_EQ(m->ActiveGraphControl(), nullptr);
  EXPECT_EQ(m->ActiveControl(), two);
  EXPECT_EQ(fLog, (std::vector<std::string>{"d:30", "one:30", "two:29"}));
}

} // namespace
