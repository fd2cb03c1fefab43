// The window hook: which windows it adopts, in which order, and what an
// adopted form looks like to the platform afterwards.

#include "FrameFixture.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "toolkit/MessageForm.h"

#include <algorithm>

using namespace platform;

namespace {

std::vector<HWND> AdoptedHandles() {
  std::vector<HWND> handles;
  for (TqcProvider* holder : AdoptedWindows)
    if (holder != nullptr)
      handles.push_back(holder->CtrlHandle);
  return handles;
}

bool Framed(TForm* aForm) {
  return std::find(FramedForms.begin(), FramedForms.end(), aForm) != FramedForms.end();
}

class HookTest : public FrameTest {};

TEST_F(HookTest, FormsAreAdoptedWhenFirstActivatedInThatOrder) {
  ASSERT_TRUE(GlobalHookInstalled());
  TForm* first = fApp->CreateForm<TForm>();
  TForm* second = fApp->CreateForm<TForm>();
  first->HandleNeeded();
  second->HandleNeeded();
  // Made but never activated: nothing adopted yet.
  EXPECT_TRUE(AdoptedHandles().empty());
  EXPECT_EQ(TsSkinProvider::Of(first), nullptr);

  second->Show();
  PumpUntilIdle();
  first->Show();
  PumpUntilIdle();
  EXPECT_EQ(AdoptedHandles(), (std::vector<HWND>{second->Handle(), first->Handle()}));
  ASSERT_NE(TsSkinProvider::Of(first), nullptr);
  ASSERT_NE(TsSkinProvider::Of(second), nullptr);
  EXPECT_TRUE(Framed(first));
  EXPECT_TRUE(Framed(second));

  // Activating again adopts nothing twice.
  SetActiveWindow(second->Handle());
  PumpUntilIdle();
  EXPECT_EQ(AdoptedHandles().size(), 2u);
  EXPECT_EQ(std::count(FramedForms.begin(), FramedForms.end(), second), 1);
}

TEST_F(HookTest, AnAdoptedFormKeepsItsColourAndLosesThePlatformsCaptionButtons) {
  TForm* form = fApp->CreateForm<TForm>();
  form->SetColor(0x00123456);
  form->Show();
  PumpUntilIdle();
  TsSkinProvider* provider = TsSkinProvider::Of(form);
  ASSERT_NE(provider, nullptr);
  EXPECT_FALSE(provider->UseGlobalColor());
  EXPECT_EQ(form->Color(), TColor(0x00123456));
  EXPECT_EQ(Style(form) & WS_SYSMENU, 0u);
  EXPECT_TRUE(provider->Skinned());
  EXPECT_FALSE(provider->RunState().InitPending()) << "the first paint or hit test initialised it";
}

TEST_F(HookTest, WindowsTheHookLeavesAlone) {
  struct Case {
    const char* Name;
    std::function<void(TForm*)> Setup;
  };
  const Case cases[] = {
      {"tag bit 0x100", [](TForm* f) { f->SetTag(0x100); }},
      {"popup without border", [](TForm* f) { f->SetBorderStyle(bsNone); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TForm* form = fApp->CreateForm<TForm>();
    c.Setup(form);
    form->Show();
    PumpUntilIdle();
    EXPECT_EQ(TsSkinProvider::Of(form), nullptr);
    EXPECT_FALSE(Framed(form));
    TComponent::Free(form);
  }
  EXPECT_TRUE(std::binary_search(ExcludedFormClasses().begin(), ExcludedFormClasses().end(),
                                 std::string("TApplication")));
}

TEST_F(HookTest, AFormActivatedWhileLoadingIsAdoptedAtALaterActivation) {
  TForm* form = nullptr;
  {
    TLoadingBracket bracket;
    form = fApp->CreateForm<TForm>();
    form->HandleNeeded();
    EXPECT_EQ(AdoptWindow(form->Handle()), 1) << "left for a later activation";
    EXPECT_EQ(TsSkinProvider::Of(form), nullptr);
  }
  form->Show();
  PumpUntilIdle();
  EXPECT_NE(TsSkinProvider::Of(form), nullptr);
}

TEST_F(HookTest, MessageBoxesAreFramedOnlyWhenTheManagerSkinsStandardDialogs) {
  for (bool dialogs : {true, false}) {
    SCOPED_TRACE(dialogs ? "srStdDialogs" : "srStdForms only");
    TqcSkinningRules rules{TqcSkinningRule::srStdForms};
    if (dialogs)
      rules.Include(TqcSkinningRule::srStdDialogs);
    fManager->SetSkinningRules(rules);
    static TsSkinProvider* seen;
    static bool boxShown;
    seen = nullptr;
    boxShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) {
      for (int i = Application->FormCount() - 1; i >= 0; --i)
        if (auto* box = dynamic_cast<TMessageForm*>(Application->Forms(i)); box && box->Showing()) {
          boxShown = true;
          seen = TsSkinProvider::Of(box);
          SendMessageW(box->Buttons(0)->Handle(), BM_CLICK, 0, 0);
        }
    });
    ShowMessageForm("Das Gerät steht nicht zur Verfügung! Bitte prüfen", "Monitor", MB_OK);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(seen != nullptr, dialogs);
  }
}

TEST_F(HookTest, TheDialogLimitLetsAThirdDialogInOnlyWithAToolbar) {
  fManager->SetSkinningRules({TqcSkinningRule::srStdForms, TqcSkinningRule::srStdDialogs});
  auto dialog = [] {
    HWND wnd = CreateWindowExW(WS_EX_DLGMODALFRAME, DialogClassName, "Dialog",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU, 10, 10, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    return wnd;
  };
  HWND one = dialog();
  HWND two = dialog();
  EXPECT_EQ(AdoptedHandles(), (std::vector<HWND>{one, two}));
  HWND third = dialog();
  EXPECT_EQ(AdoptWindow(third), 0);
  ASSERT_EQ(AdoptedHandles().size(), 2u);
  // A dialog with a toolbar at any depth passes the limit.
  HWND withToolbar = CreateWindowExW(0, DialogClassName, "Files", WS_POPUP | WS_CAPTION, 10, 10,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
  HWND inner = CreateWindowExW(0, DialogClassName, "", WS_CHILD, 0, 0, 50, 50, withToolbar, nullptr,
                               nullptr, nullptr);
  WNDCLASSEXW toolbar{};
  toolbar.lpfnWndProc = &DefWindowProcW;
  toolbar.lpszClassName = "ToolbarWindow32";
  RegisterClassExW(&toolbar);
  CreateWindowExW(0, "ToolbarWindow32", "", WS_CHILD, 0, 0, 20, 20, inner, nullptr, nullptr,
                  nullptr);
  EXPECT_EQ(AdoptWindow(withToolbar), 1);
  EXPECT_EQ(AdoptedHandles().back(), withToolbar);
  // A destroyed dialog's holder goes with it.
  DestroyWindow(one);
  const std::vector<HWND> left = AdoptedHandles();
  EXPECT_EQ(std::count(left.begin(), left.end(), one), 0);
  for (HWND w : {two, third, withToolbar})
    DestroyWindow(w);
  UnregisterClassW("ToolbarWindow32", nullptr);
}

TEST_F(HookTest, RemovingTheHookFreesTheHoldersButFormsKeepTheirProviders) {
  TForm* form = fApp->CreateForm<TForm>();
  form->Show();
  PumpUntilIdle();
  TsSkinProvider* provider = TsSkinProvider::Of(form);
  ASSERT_NE(provider, nullptr);
  UnInstallHook(fManager.get());
  EXPECT_FALSE(GlobalHookInstalled());
  EXPECT_TRUE(AdoptedWindows.empty());
  EXPECT_EQ(TsSkinProvider::Of(form), provider);
  EXPECT_EQ(SendSkinCommand(form, scIsSkinned), 1) << "so it is never adopted twice";
}

} // namespace
