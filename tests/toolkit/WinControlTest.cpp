// Windowed controls on the window layer: windows made on demand under the
// class name, the default handler, recreation, focus and tab order, mouse
// enter and leave, and errors raised inside window procedures.

#include "ToolkitFixture.h"
#include "platform/win/Hook.h"
#include "toolkit/Button.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/Label.h"
#include "toolkit/ListBox.h"
#include "toolkit/MessageForm.h"
#include "toolkit/PageControl.h"
#include "toolkit/Panel.h"
#include "toolkit/StatusBar.h"

#include <stdexcept>

using namespace platform;

namespace {

std::vector<std::string> gCreatedClasses;
HHOOK gHook = nullptr;

LRESULT RecordCreation(int aCode, WPARAM aWParam, LPARAM aLParam) {
  if (aCode == HCBT_CREATEWND) {
    const auto* cbt = reinterpret_cast<const CBT_CREATEWNDW*>(aLParam);
    gCreatedClasses.push_back(cbt->lpcs->lpszClass);
  }
  return CallNextHookEx(gHook, aCode, aWParam, aLParam);
}

} // namespace

TEST_F(ToolkitTest, WindowsAreMadeOnDemandUnderTheClassName) {
  auto* form = fApp->CreateForm<TProbeForm>();
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* button = new TButton(panel);
  button->SetParent(panel);
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_FALSE(button->HandleAllocated());
  gCreatedClasses.clear();
  gHook = SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
  HWND wnd = button->Handle();
  UnhookWindowsHookEx(gHook);
  // The parents' windows come first.
  EXPECT_EQ(gCreatedClasses, (std::vector<std::string>{"TfrmProbe", "TPanel", "TButton"}));
  EXPECT_TRUE(form->HandleAllocated());
  EXPECT_EQ(GetClassNameW(wnd), "TButton");
  EXPECT_EQ(GetParent(wnd), panel->Handle());
  EXPECT_EQ(FindControl(wnd), button);
  HWND util = AllocateHWnd(nullptr);
  EXPECT_EQ(GetClassNameW(util), "TPUtilWindow");
  EXPECT_FALSE(IsWindowVisible(util));
  DeallocateHWnd(util);
}

TEST_F(ToolkitTest, UnhandledMessagesReachTheStandardClassProcedure) {
  TProbeForm* form = ShownForm();
  auto* button = new TButton(form);
  button->SetParent(form);
  EXPECT_FALSE(button->Pushed());
  button->Perform(BM_SETSTATE, 1);
  EXPECT_TRUE(button->Pushed());
  EXPECT_EQ(button->Perform(WM_GETDLGCODE) & DLGC_BUTTON, DLGC_BUTTON);
}

namespace {

// A control built on a class nobody registered.
class TUnknownClassControl : public TWinControl {
public:
  using TWinControl::TWinControl;

protected:
  void CreateParams(TCreateParams& aParams) override {
    TWinControl::CreateParams(aParams);
    CreateSubClass(aParams, "NOSUCHCLASS");
  }
};

} // namespace

TEST_F(ToolkitTest, AControlOnAnUnregisteredClassGetsNoWindowAndSaysWhy) {
  auto* form = fApp->CreateForm<TProbeForm>();
  auto* control = new TUnknownClassControl(form);
  control->SetParent(form);
  try {
    control->Handle();
    ADD_FAILURE() << "a window was made";
  } catch (const EComponentError& e) {
    EXPECT_NE(std::string(e.what()).find("NOSUCHCLASS"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(control->HandleAllocated());
}

TEST_F(ToolkitTest, RecreationKeepsLinesSelectionAndChildren) {
  TProbeForm* form = ShownForm();
  auto* list = new TListBox(form);
  list->SetParent(form);
  list->SetBounds(10, 10, 120, 100);
  for (int i = 0; i < 20; ++i)
    list->Items().Add("Zeile " + std::to_string(i));
  list->SetItemIndex(15);
  std::vector<bool> recreatingSeen;
  TWndMethod old = list->WindowProc;
  list->WindowProc = [&](TMessage& aMessage) {
    if (aMessage.Msg == CM_RECREATEWND)
      recreatingSeen.push_back(true);
    old(aMessage);
  };
  HWND before = list->Handle();
  list->RecreateWnd();
  PumpUntilIdle();
  EXPECT_EQ(recreatingSeen.size(), 1u);
  EXPECT_TRUE(list->HandleAllocated());
  EXPECT_NE(list->Handle(), before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(list->Count(), 20);
  EXPECT_EQ(list->Items()[15], "Zeile 15");
  EXPECT_EQ(list->ItemIndex(), 15);
  EXPECT_TRUE(IsWindowVisible(list->Handle()));
  EXPECT_FALSE(list->ControlState().Contains(csRecreating));
  list->WindowProc = old;
}

TEST_F(ToolkitTest, TabMovesFocusInTabOrderSkippingWhatCannotTakeIt) {
  auto* form = fApp->CreateForm<TProbeForm>();
  std::vector<TButton*> b;
  {
    TLoadingBracket bracket;
    // Stored tab orders, read in another order than they apply.
    const int orders[] = {2, 0, 3, 1, 4};
    for (int i = 0; i < 5; ++i) {
      auto* button = new TButton(form);
      button->SetName("b" + std::to_string(i));
      button->SetParent(form);
      button->SetBounds(10, 10 + 30 * i, 75, 25);
      button->SetTabOrder(orders[i]);
      b.push_back(button);
    }
  }
  EXPECT_EQ(form->TabList(), (std::vector<TWinControl*>{b[1], b[3], b[0], b[2], b[4]}));
  b[0]->SetEnabled(false);
  b[4]->SetVisible(false);
  form->Show();
  PumpUntilIdle();
  EXPECT_TRUE(b[1]->Focused());
  std::vector<TWinControl*> order;
  for (int i = 0; i < 4; ++i) {
    Key(VK_TAB, U'\t');
    order.push_back(form->ActiveControl());
  }
  EXPECT_EQ(order, (std::vector<TWinControl*>{b[3], b[2], b[1], b[3]}));
  InputKey(VK_SHIFT, true, 0);
  Key(VK_TAB, U'\t');
  InputKey(VK_SHIFT, false, 0);
  PumpUntilIdle();
  EXPECT_EQ(form->ActiveControl(), b[1]);
  EXPECT_TRUE(b[1]->Focused());
}

TEST_F(ToolkitTest, TabCrossesNestedContainersOfAMonitorLikeWindow) {
  auto* form = fApp->CreateForm<TProbeForm>();
  TPageControl* pages = nullptr;
  TButton *in = nullptr, *out = nullptr, *clear = nullptr;
  TCheckListBox *inputs = nullptr, *outputs = nullptr;
  TListBox* log = nullptr;
  {
    // Built like a window definition: tab orders stored, applied once loaded.
    TLoadingBracket bracket;
    form->SetClientSize(732, 351);
    pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetAlign(alClient);
    pages->SetStyle(tsButtons);
    pages->SetTabOrder(0);
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetCaption("In/Out");
    auto* bar = new TStatusBar(form);
    bar->SetParent(sheet);
    auto* port = new TPanel(form);
    port->SetParent(sheet);
    port->SetAlign(alClient);
    port->SetTabOrder(1);
    auto add = [&](auto* aControl, TRect aBounds, int aTabOrder) {
      aControl->SetParent(port);
      aControl->SetBoundsRect(aBounds);
      aControl->SetTabOrder(aTabOrder);
      return aControl;
    };
    // Created in another order than their tab orders.
    log = add(new TListBox(form), Bounds(632, 25, 81, 254), 5);
    clear = add(new TButton(form), Bounds(632, 3, 81, 18), 4);
    outputs = add(new TCheckListBox(form), Bounds(320, 25, 303, 148), 3);
    inputs = add(new TCheckListBox(form), Bounds(10, 25, 302, 148), 2);
    out = add(new TButton(form), Bounds(320, 3, 113, 17), 1);
    in = add(new TButton(form), Bounds(10, 3, 113, 17), 0);
    // A panel of the breakdown with a tab order of its own takes no focus.
    add(new TPanel(form), Bounds(52, 226, 85, 20), 6);
  }
  form->Show();
  PumpUntilIdle();
  EXPECT_TRUE(pages->Focused());
  auto tabs = [&](int aCount, bool aBack) {
    std::vector<TWinControl*> seen;
    if (aBack)
      InputKey(VK_SHIFT, true, 0);
    for (int i = 0; i < aCount; ++i) {
      Key(VK_TAB, U'\t');
      seen.push_back(form->ActiveControl());
      EXPECT_TRUE(form->ActiveControl()->Focused());
    }
    if (aBack)
      InputKey(VK_SHIFT, false, 0);
    PumpUntilIdle();
    return seen;
  };
  using List = std::vector<TWinControl*>;
  EXPECT_EQ(tabs(7, false), (List{in, out, inputs, outputs, clear, log, pages}));
  EXPECT_EQ(tabs(3, true), (List{log, clear, outputs}));
  // Disabled and hidden controls are passed over.
  out->SetEnabled(false);
  outputs->SetVisible(false);
  in->SetFocus();
  PumpUntilIdle();
  EXPECT_EQ(tabs(4, false), (List{inputs, clear, log, pages}));
  EXPECT_EQ(tabs(3, true), (List{log, clear, inputs}));
  // The focused control going away hands the focus on in tab order.
  inputs->SetEnabled(false);
  PumpUntilIdle();
  EXPECT_TRUE(clear->Focused());
  clear->SetVisible(false);
  PumpUntilIdle();
  EXPECT_TRUE(log->Focused());
}

TEST_F(ToolkitTest, TheFocusLeavesAContainerThatIsHiddenOrDisabled) {
  TProbeForm* form = ShownForm();
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetAlign(alClient);
  std::vector<TButton*> buttons;
  for (const char* caption : {"In/Out", "Zweite"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
    auto* panel = new TPanel(form);
    panel->SetParent(sheet);
    panel->SetAlign(alClient);
    auto* button = new TButton(form);
    button->SetParent(panel);
    button->SetBounds(10, 10, 75, 25);
    buttons.push_back(button);
  }
  buttons[0]->SetFocus();
  PumpUntilIdle();
  ASSERT_TRUE(buttons[0]->Focused());
  // Another page: the hidden page's button gives the focus to the shown one.
  pages->SetActivePageIndex(1);
  PumpUntilIdle();
  EXPECT_TRUE(buttons[1]->Focused());
  EXPECT_EQ(form->ActiveControl(), buttons[1]);
  // Its panel disabled: nothing else on the page, the page control takes it.
  buttons[1]->Parent()->SetEnabled(false);
  PumpUntilIdle();
  EXPECT_TRUE(pages->Focused());
}

TEST_F(ToolkitTest, FocusChangesReachEveryControlsProcedure) {
  TProbeForm* form = ShownForm();
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* list = new TListBox(form);
  list->SetParent(panel);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetLeft(200);
  std::vector<LPARAM> seen;
  TWndMethod old = list->WindowProc;
  list->WindowProc = [&](TMessage& aMessage) {
    if (aMessage.Msg == CM_FOCUSCHANGED)
      seen.push_back(aMessage.LParam);
    old(aMessage);
  };
  int enters = 0, exits = 0;
  list->OnEnter = [&](TObject*) { ++enters; };
  list->OnExit = [&](TObject*) { ++exits; };
  list->SetFocus();
  PumpUntilIdle();
  button->SetFocus();
  PumpUntilIdle();
  EXPECT_EQ(seen, (std::vector<LPARAM>{LPARAM(list), LPARAM(button)}));
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);
  list->WindowProc = old;
}

TEST_F(ToolkitTest, MouseEnterAndLeaveForWindowedAndWindowlessControls) {
  TProbeForm* form = ShownForm();
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 75, 25);
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(10, 100, 80, 20);
  std::vector<std::string> log;
  button->OnMouseEnter = [&](TObject*) { log.push_back("button enter"); };
  button->OnMouseLeave = [&](TObject*) { log.push_back("button leave"); };
  label->OnMouseEnter = [&](TObject*) { log.push_back("label enter"); };
  label->OnMouseLeave = [&](TObject*) { log.push_back("label leave"); };
  PumpUntilIdle();
  for (TPoint p : {TPoint{20, 20}, TPoint{30, 22}, TPoint{200, 200}, TPoint{20, 105},
                   TPoint{25, 110}, TPoint{200, 200}}) {
    InputMouseMove(form->ClientToScreen(p));
    PumpUntilIdle();
  }
  EXPECT_EQ(log, (std::vector<std::string>{"button enter", "button leave", "label enter",
                                           "label leave"}));
}

TEST_F(ToolkitTest, AnErrorInAHandlerIsShownInAMessageBoxAndTheProgramGoesOn) {
  TProbeForm* form = ShownForm();
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 75, 25);
  int clicks = 0;
  std::string shown;
  std::string caption;
  std::string className;
  auto closeBox = [&] {
    for (int i = 0; i < fApp->FormCount(); ++i)
      if (auto* box = dynamic_cast<TMessageForm*>(fApp->Forms(i))) {
        shown = box->Message();
        caption = box->Caption();
        className = GetClassNameW(box->Handle());
      }
    InputKey(VK_RETURN, true, U'\r');
    InputKey(VK_RETURN, false, 0);
  };
  button->OnClick = [&](TObject*) {
    ++clicks;
    // Runs once the message box's loop is going.
    PostAction(closeBox);
    throw std::runtime_error("Das Gerät steht nicht zur Verfügung! Bitte prüfen");
  };
  PumpUntilIdle();
  Click(button, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(shown, "Das Gerät steht nicht zur Verfügung! Bitte prüfen");
  EXPECT_EQ(caption, "Probe");
  EXPECT_EQ(className, "TMessageForm");
  // The box is gone and the form works on.
  for (int i = 0; i < fApp->FormCount(); ++i)
    EXPECT_EQ(dynamic_cast<TMessageForm*>(fApp->Forms(i)), nullptr);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  button->OnClick = [&](TObject*) { ++clicks; };
  Click(button, 5, 5);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ToolkitTest, AnErrorRaisedWhileAMessageBoxIsUpIsShownAfterIt) {
  TProbeForm* form = ShownForm();
  auto* first = new TButton(form);
  first->SetParent(form);
  auto* second = new TButton(form);
  second->SetParent(form);
  second->SetLeft(100);
  std::vector<std::string> shown;
  // Closes the box showing aText once it is up (asking again until then).
  std::function<void(std::string, int)> closeWhenShown = [&](std::string aText, int aTries) {
    for (int i = 0; i < fApp->FormCount(); ++i)
      if (auto* box = dynamic_cast<TMessageForm*>(fApp->Forms(i));
          box != nullptr && box->Message() == aText && box->Showing()) {
        shown.push_back(aText);
        InputKey(VK_RETURN, true, U'\r');
        InputKey(VK_RETURN, false, 0);
        return;
      }
    if (aTries > 0)
      PostAction([&, aText, aTries] { closeWhenShown(aText, aTries - 1); });
  };
  second->OnClick = [&](TObject*) { throw std::runtime_error("zweiter Fehler"); };
  first->OnClick = [&](TObject*) {
    PostAction([&] {
      // While the first box is up, another handler fails.
      SendMessageW(second->Handle(), BM_CLICK, 0, 0);
      closeWhenShown("erster Fehler", 100);
      closeWhenShown("zweiter Fehler", 100);
    });
    throw std::runtime_error("erster Fehler");
  };
  PumpUntilIdle();
  first->Perform(BM_CLICK);
  PumpUntilIdle();
  EXPECT_EQ(shown, (std::vector<std::string>{"erster Fehler", "zweiter Fehler"}));
}
