// Forms and the application object: window styles from the border style,
// client size, creation and destruction events, closing, modal forms, the
// message loop, and a form built inside a loading bracket.

#include "ToolkitFixture.h"
#include "platform/win/WindowHost.h"
#include "toolkit/Button.h"
#include "toolkit/Panel.h"

#include <stdexcept>

using namespace platform;

namespace {

// A form that builds its controls in its constructor, as a window
// definition does, and records the order of events.
class TDefinedForm : public TForm {
public:
  TDefinedForm(TComponent* aOwner, std::vector<std::string>& aLog) : TForm(aOwner), fLog(aLog) {
    TLoadingBracket bracket;
    bracket.Add(this);
    SetName("frmDefined");
    SetBorderStyle(bsToolWindow);
    SetClientSize(732, 351);
    SetVisible(true);
    fLog.push_back(std::string("form loading ") +
                   (ComponentState().Contains(csLoading) ? "yes" : "no"));
    fPanel = new TPanel(this);
    fPanel->SetName("PanelPort");
    fPanel->SetParent(this);
    fPanel->SetAlign(alClient);
    fButton = new TButton(this);
    fButton->SetName("btnResetIn");
    fButton->SetParent(fPanel);
    fButton->SetCaption("Midi In (Reset)");
    OnCreate = [this](TObject*) {
      fLog.push_back(std::string("OnCreate, panel ") + std::to_string(fPanel->Width()) + " wide, " +
                     (HandleAllocated() && IsWindowVisible(Handle()) ? "shown" : "not shown"));
      if (fFailOnCreate)
        throw std::runtime_error("enumeration failed");
    };
    OnDestroy = [this](TObject*) { fLog.push_back("OnDestroy " + Name()); };
    bracket.Close();
    fLog.push_back("constructed");
  }
  std::string ClassName() const override { return "TfrmDefined"; }
  void Loaded() override {
    TForm::Loaded();
    fLog.push_back("Loaded " + Name());
  }

  std::vector<std::string>& fLog;
  TPanel* fPanel;
  TButton* fButton;
  static inline bool fFailOnCreate = false;
};

} // namespace

TEST_F(ToolkitTest, BorderStyleAndIconsGiveTheWindowStyles) {
  struct Case {
    TFormBorderStyle Border;
    TBorderIcons Icons;
    DWORD Style;
    DWORD ExStyle;
  };
  constexpr DWORD kStyleMask = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX |
                               WS_MAXIMIZEBOX | WS_CHILD;
  constexpr DWORD kExMask = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP;
  const TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
  const std::vector<Case> cases = {
      {bsNone, all, WS_POPUP, 0},
      {bsSingle, all, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0},
      {bsSizeable, all, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
       0},
      {bsSizeable, {biSystemMenu}, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0},
      {bsDialog, all, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME},
      {bsDialog,
       {biSystemMenu, biHelp},
       WS_POPUP | WS_CAPTION | WS_SYSMENU,
       WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP},
      {bsToolWindow, all, WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW},
      {bsSizeToolWin, all, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, WS_EX_TOOLWINDOW},
      {bsSingle, {}, WS_CAPTION, 0},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    auto* form = fApp->CreateForm<TProbeForm>();
    form->SetBorderStyle(cases[i].Border);
    form->SetBorderIcons(cases[i].Icons);
    HWND h = form->Handle();
    EXPECT_EQ(DWORD(GetWindowLongW(h, GWL_STYLE)) & kStyleMask, cases[i].Style) << "case " << i;
    EXPECT_EQ(DWORD(GetWindowLongW(h, GWL_EXSTYLE)) & kExMask, cases[i].ExStyle) << "case " << i;
    // A change of border style makes the window again.
    form->SetBorderStyle(bsNone);
    EXPECT_EQ(DWORD(GetWindowLongW(form->Handle(), GWL_STYLE)) & kStyleMask, WS_POPUP);
    TComponent::Free(form);
  }
}

TEST_F(ToolkitTest, ClientSizeHoldsBeforeAndAfterTheWindowExists) {
  auto* form = fApp->CreateForm<TProbeForm>();
  form->SetBorderStyle(bsToolWindow);
  form->SetClientSize(732, 351);
  EXPECT_EQ(form->ClientWidth(), 732);
  EXPECT_EQ(form->ClientHeight(), 351);
  EXPECT_GT(form->Width(), 732);
  form->Show();
  PumpUntilIdle();
  RECT r;
  GetClientRect(form->Handle(), &r);
  EXPECT_EQ(r, Rect(0, 0, 732, 351));
  EXPECT_EQ(form->ClientRect(), Rect(0, 0, 732, 351));
}

TEST_F(ToolkitTest, AFormBuiltInALoadingBracketIsShownAfterOnCreate) {
  std::vector<std::string> log;
  fApp->SetMainFormOnTaskBar(true);
  TDefinedForm::fFailOnCreate = false;
  auto* form = fApp->CreateForm<TDefinedForm>(log);
  EXPECT_EQ(fApp->MainForm(), form);
  EXPECT_EQ(log, (std::vector<std::string>{"form loading yes", "Loaded frmDefined", "constructed",
                                           "OnCreate, panel 732 wide, not shown"}));
  EXPECT_TRUE(form->Showing());
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(form->FormState().Contains(fsCreating));
  EXPECT_EQ(GetClassNameW(form->Handle()), "TfrmDefined");
  EXPECT_TRUE(DWORD(GetWindowLongW(form->Handle(), GWL_EXSTYLE)) & WS_EX_APPWINDOW);
  // The focus went to the first control in tab order.
  PumpUntilIdle();
  EXPECT_TRUE(form->fButton->Focused());
  log.clear();
  fApp.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"OnDestroy frmDefined"}));
}

TEST_F(ToolkitTest, AFailureInOnCreateReachesTheTopLevelHandlerAndTheFormStillOpens) {
  std::vector<std::string> log;
  std::vector<std::string> errors;
  fApp->OnException = [&](TObject*, const std::exception_ptr& aError) {
    try {
      std::rethrow_exception(aError);
    } catch (const std::exception& e) {
      errors.push_back(e.what());
    }
  };
  TDefinedForm::fFailOnCreate = true;
  auto* form = fApp->CreateForm<TDefinedForm>(log);
  TDefinedForm::fFailOnCreate = false;
  EXPECT_EQ(errors, (std::vector<std::string>{"enumeration failed"}));
  EXPECT_TRUE(form->Showing());
  fApp.reset(); // while the log still exists
}

TEST_F(ToolkitTest, FormsAreListedInCreationOrderAndFreedLastFirst) {
  std::vector<std::string> log;
  auto* first = fApp->CreateForm<TProbeForm>();
  auto* second = fApp->CreateForm<TProbeForm>();
  first->SetTag(1);
  second->SetTag(2);
  first->OnDestroy = [&](TObject*) { log.push_back("first"); };
  second->OnDestroy = [&](TObject*) { log.push_back("second"); };
  ASSERT_EQ(fApp->FormCount(), 2);
  EXPECT_EQ(fApp->Forms(0), first);
  EXPECT_EQ(fApp->Forms(1), second);
  EXPECT_EQ(fApp->MainForm(), first);
  fApp.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"second", "first"}));
}

TEST_F(ToolkitTest, ClosingTheMainFormEndsTheLoop) {
  auto* main = fApp->CreateForm<TProbeForm>();
  auto* other = fApp->CreateForm<TProbeForm>();
  main->Show();
  other->Show();
  std::vector<std::string> log;
  int vetoes = 1;
  main->OnCloseQuery = [&](TObject*, bool& aCanClose) {
    aCanClose = vetoes-- <= 0;
    log.push_back(aCanClose ? "may close" : "refused");
  };
  main->OnClose = [&](TObject*, TCloseAction& aAction) {
    log.push_back(aAction == caHide ? "close hide" : "close other");
  };
  other->OnClose = [&](TObject*, TCloseAction&) { log.push_back("other closed"); };
  PostAction([&] {
    // The platform's close request: refused once, then the second form, then
    // the main form.
    SendMessageW(main->Handle(), WM_CLOSE, 0, 0);
    SendMessageW(other->Handle(), WM_CLOSE, 0, 0);
    SendMessageW(main->Handle(), WM_CLOSE, 0, 0);
  });
  fApp->Run();
  EXPECT_TRUE(fApp->Terminated());
  EXPECT_EQ(log, (std::vector<std::string>{"refused", "other closed", "may close", "close hide"}));
  EXPECT_FALSE(other->Visible());
}

TEST_F(ToolkitTest, ShowModalDisablesTheOtherFormsUntilAButtonGivesTheResult) {
  TProbeForm* main = ShownForm();
  auto* dialog = fApp->CreateForm<TProbeForm>();
  auto* ok = new TButton(dialog);
  ok->SetParent(dialog);
  ok->SetModalResult(mrOk);
  bool mainEnabledDuring = true;
  bool modalDuring = false;
  PostAction([&] {
    mainEnabledDuring = IsWindowEnabled(main->Handle());
    modalDuring = dialog->FormState().Contains(fsModal);
    ok->Click();
  });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(mainEnabledDuring);
  EXPECT_TRUE(modalDuring);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->FormState().Contains(fsModal));
  // A visible form cannot be made modal; OnClose with caNone keeps it open.
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
  dialog->Hide();
  int closes = 0;
  dialog->OnClose = [&](TObject*, TCloseAction& aAction) {
    if (++closes == 1)
      aAction = caNone;
  };
  PostAction([&] {
    dialog->SetModalResult(mrCancel);
    PostAction([&] { dialog->Close(); });
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(closes, 2);
}

TEST_F(ToolkitTest, WindowStateAndPosition) {
  auto* form = fApp->CreateForm<TProbeForm>();
  form->SetBounds(0, 0, 200, 100);
  form->SetPosition(poScreenCenter);
  form->Show();
  PumpUntilIdle();
  const TSize screen = GetWindowHost()->ScreenSize();
  EXPECT_EQ(form->Left(), (screen.cx - 200) / 2);
  EXPECT_EQ(form->Top(), (screen.cy - 100) / 2);
  form->SetWindowState(wsMinimized);
  PumpUntilIdle();
  EXPECT_EQ(form->WindowState(), wsMinimized);
  EXPECT_TRUE(IsIconic(form->Handle()));
  form->SetWindowState(wsNormal);
  PumpUntilIdle();
  EXPECT_EQ(form->WindowState(), wsNormal);
}
