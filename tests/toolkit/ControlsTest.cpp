// The standard controls' messages and events: push button, list box, check
// list box, page control, status bar, label.

#include "ToolkitFixture.h"
#include "platform/gfx/SystemColors.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollBar.h"
#include "toolkit/Button.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/Label.h"
#include "toolkit/ListBox.h"
#include "toolkit/PageControl.h"
#include "toolkit/Panel.h"
#include "toolkit/StatusBar.h"
#include "toolkit/StdWindowClasses.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace platform;

namespace {

template <class T>
T* Place(TForm* aForm, TWinControl* aParent, TRect aBounds) {
  auto* c = new T(aForm);
  c->SetParent(aParent);
  c->SetBoundsRect(aBounds);
  return c;
}

// The client area as WM_PRINTCLIENT paints it.
Bitmap PrintClient(TWinControl* aControl) {
  Bitmap bitmap(aControl->Width(), aControl->Height());
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &bitmap);
  aControl->Perform(WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
  DeleteDC(dc);
  return bitmap;
}

// Records the tabs drawn and the state each got, then draws them as usual.
class TRecordingPageControl : public TPageControl {
public:
  using TPageControl::TPageControl;
  std::vector<std::pair<int, TTabState>> Drawn;

protected:
  void DrawTab(int aTabIndex, const TRect& aRect, TTabState aState) override {
    Drawn.emplace_back(aTabIndex, aState);
    TPageControl::DrawTab(aTabIndex, aRect, aState);
  }
};

// A panel that paints its whole client area in one colour instead.
class TFlatPanel : public TPanel {
public:
  using TPanel::TPanel;

protected:
  void Paint() override {
    Canvas().SetBrushColor(RGB(1, 2, 3));
    Canvas().FillRect(ClientRect());
  }
};

WNDPROC gClassProc = nullptr;

// Destroys the window when it paints its frame.
LRESULT DestroyOnNcPaint(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  if (aMsg == WM_NCPAINT) {
    DestroyWindow(aWnd);
    return 0;
  }
  return CallWindowProcW(gClassProc, aWnd, aMsg, aWParam, aLParam);
}

} // namespace

TEST_F(ToolkitTest, ButtonClicksOnceOnReleaseInsideAndNotOutside) {
  TProbeForm* form = ShownForm();
  auto* button = Place<TButton>(form, form, Bounds(10, 10, 113, 17));
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  PumpUntilIdle();
  Click(button, 5, 5);
  EXPECT_EQ(clicks, 1);
  // Pressed inside, dragged out, released outside: no click, not pushed.
  const TPoint in = ScreenPoint(button, 5, 5);
  const TPoint out = ScreenPoint(button, 200, 5);
  InputMouseMove(in);
  InputMouseButton(MouseButton::Left, true, in);
  PumpUntilIdle();
  EXPECT_TRUE(button->Pushed());
  InputMouseMove(out);
  PumpUntilIdle();
  EXPECT_FALSE(button->Pushed());
  InputMouseButton(MouseButton::Left, false, out);
  PumpUntilIdle();
  EXPECT_EQ(clicks, 1);
  // Space clicks on release.
  button->SetFocus();
  InputKey(VK_SPACE, true, U' ');
  PumpUntilIdle();
  EXPECT_TRUE(button->Pushed());
  EXPECT_EQ(clicks, 1);
  InputKey(VK_SPACE, false, 0);
  PumpUntilIdle();
  EXPECT_EQ(clicks, 2);
}

TEST_F(ToolkitTest, EnterClicksTheDefaultButtonAndEscapeTheCancelButton) {
  TProbeForm* form = ShownForm();
  auto* ok = Place<TButton>(form, form, Bounds(10, 10, 75, 25));
  auto* cancel = Place<TButton>(form, form, Bounds(100, 10, 75, 25));
  auto* list = Place<TListBox>(form, form, Bounds(10, 50, 100, 100));
  ok->SetDefault(true);
  cancel->SetCancel(true);
  std::vector<std::string> log;
  ok->OnClick = [&](TObject*) { log.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { log.push_back("cancel"); };
  list->SetFocus();
  PumpUntilIdle();
  Key(VK_RETURN, U'\r');
  Key(VK_ESCAPE, 0x1B);
  // With the focus on the cancel button, Enter clicks that one.
  cancel->SetFocus();
  PumpUntilIdle();
  EXPECT_FALSE(ok->IsActive());
  Key(VK_RETURN, U'\r');
  EXPECT_EQ(log, (std::vector<std::string>{"ok", "cancel", "cancel"}));
}

TEST_F(ToolkitTest, ListBoxKeepsTheSelectedLineInViewAtAnyLength) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TListBox>(form, form, Bounds(10, 10, 81, 254));
  list->SetItemHeight(13);
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  const int rows = list->ClientHeight() / 13;
  ASSERT_GT(rows, 5);
  for (int i = 0; i < 5000; ++i) {
    list->Items().Add("90, 3C, 64");
    list->SetItemIndex(list->Count() - 1);
  }
  EXPECT_EQ(list->ItemIndex(), 4999);
  EXPECT_EQ(list->TopIndex(), 5000 - rows);
  EXPECT_EQ(list->ItemRect(4999), Bounds(0, (rows - 1) * 13, list->ClientWidth(), 13));
  EXPECT_EQ(clicks, 0); // set by the program, not by the user
  // The scroll bar follows.
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(list->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 4999);
  EXPECT_EQ(si.nPage, UINT(rows));
  EXPECT_EQ(si.nPos, 5000 - rows);
  // Wheel: three lines per notch towards the top.
  InputMouseWheel(240, ScreenPoint(list, 10, 10));
  PumpUntilIdle();
  EXPECT_EQ(list->TopIndex(), 5000 - rows - 6);
  // Keys move the selection and count as the user's choice.
  list->SetFocus();
  Key(VK_UP);
  EXPECT_EQ(list->ItemIndex(), 4998);
  Key(VK_HOME);
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(list->TopIndex(), 0);
  EXPECT_EQ(clicks, 2);
  // A click selects the line under the mouse and fires once.
  Click(list, 5, 13 * 3 + 2);
  EXPECT_EQ(list->ItemIndex(), 3);
  EXPECT_EQ(clicks, 3);
  // Clearing empties everything.
  list->Items().Clear();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(list->TopIndex(), 0);
  EXPECT_THROW(list->Items()[0], EComponentError);
  EXPECT_THROW(list->SetItemIndex(0), EComponentError);
}

TEST_F(ToolkitTest, TheItemHeightHoldsInBothStylesAndThroughFontChanges) {
  TProbeForm* form = ShownForm();
  for (TListBoxStyle style : {lbStandard, lbOwnerDrawFixed}) {
    auto* list = Place<TListBox>(form, form, Bounds(10, 10, 100, 100));
    list->SetStyle(style);
    list->Items().Assign({"eins", "zwei", "drei"});
    list->SetItemHeight(20);
    EXPECT_EQ(list->ItemRect(1), Bounds(0, 20, list->ClientWidth(), 20));
    list->Font().SetHeight(-16);
    list->Font().SetHeight(-9);
    EXPECT_EQ(SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
    EXPECT_EQ(list->ItemRect(2), Bounds(0, 40, list->ClientWidth(), 20));
    // A window made anew takes the height too.
    list->SetBorderStyle(bsNone);
    EXPECT_EQ(list->ItemRect(2), Bounds(0, 40, list->ClientWidth(), 20));
    TComponent::Free(list);
  }
  // A standard list whose item height was never set follows its font.
  auto* plain = Place<TListBox>(form, form, Bounds(10, 10, 100, 100));
  plain->Items().Assign({"eins", "zwei"});
  plain->Font().SetHeight(-24);
  const int line = int(SendMessageW(plain->Handle(), LB_GETITEMHEIGHT, 0, 0));
  EXPECT_GE(line, 24);
  EXPECT_EQ(plain->ItemHeight(), line);
  EXPECT_EQ(plain->ItemRect(1), Bounds(0, line, plain->ClientWidth(), line));
}

TEST_F(ToolkitTest, ListBoxMessagesAnswerLikeThePlatforms) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TListBox>(form, form, Bounds(10, 10, 100, 65));
  HWND h = list->Handle();
  struct Case {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Expected;
  };
  static const char* const kLines[] = {"a", "bb", "ccc"};
  char buffer[16] = {};
  RECT rect;
  const std::vector<Case> cases = {
      {LB_GETCOUNT, 0, 0, 0},
      {LB_GETCURSEL, 0, 0, LB_ERR},
      {LB_ADDSTRING, 0, LPARAM(kLines[0]), 0},
      {LB_ADDSTRING, 0, LPARAM(kLines[2]), 1},
      {LB_INSERTSTRING, 1, LPARAM(kLines[1]), 1},
      {LB_GETCOUNT, 0, 0, 3},
      {LB_GETTEXTLEN, 2, 0, 3},
      {LB_GETTEXTLEN, 3, 0, LB_ERR},
      {LB_SETCURSEL, 2, 0, 2},
      {LB_GETCURSEL, 0, 0, 2},
      {LB_SETCURSEL, 7, 0, LB_ERR},
      {LB_GETCURSEL, 0, 0, 2},
      {LB_SETTOPINDEX, 9, 0, LB_ERR},
      // All three lines fit: the top line stays the first.
      {LB_SETTOPINDEX, 1, 0, LB_OKAY},
      {LB_GETTOPINDEX, 0, 0, 0},
      {LB_GETTEXT, 3, LPARAM(buffer), LB_ERR},
      {LB_GETTEXT, WPARAM(-1), LPARAM(buffer), LB_ERR},
      {LB_GETITEMRECT, 3, LPARAM(&rect), LB_ERR},
      {LB_DELETESTRING, 3, 0, LB_ERR},
      {LB_GETITEMDATA, 3, 0, LB_ERR},
      {LB_DELETESTRING, 0, 0, 2},
      {LB_GETCURSEL, 0, 0, 1},
      {LB_SETCURSEL, WPARAM(-1), 0, LB_ERR},
      {LB_GETCURSEL, 0, 0, LB_ERR},
      {LB_SETITEMDATA, 1, 42, LB_OKAY},
      {LB_GETITEMDATA, 1, 0, 42},
      {LB_GETITEMDATA, 0, 0, 0},
      {LB_RESETCONTENT, 0, 0, 0},
      {LB_GETCOUNT, 0, 0, 0},
  };
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(SendMessageW(h, cases[i].Msg, cases[i].WParam, cases[i].LParam), cases[i].Expected)
        << "case " << i;
  list->Items().Assign({"eins", "zwei"});
  char text[16] = {};
  EXPECT_EQ(SendMessageW(h, LB_GETTEXT, 1, LPARAM(text)), 4);
  EXPECT_STREQ(text, "zwei");
  RECT r;
  EXPECT_EQ(SendMessageW(h, LB_GETITEMRECT, 1, LPARAM(&r)), LB_OKAY);
  EXPECT_EQ(r, Bounds(0, 13, list->ClientWidth(), 13));
}

TEST_F(ToolkitTest, CheckListBoxTogglesOnceByMouseOnTheBoxAndBySpace) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TCheckListBox>(form, form, Bounds(10, 25, 302, 148));
  list->SetItemHeight(13);
  list->Items().Assign({"Port 0", "Port 1", "Port 2"});
  struct Event {
    int Index;
    bool Checked;
  };
  std::vector<Event> events;
  list->OnClickCheck = [&](TObject*) {
    events.push_back({list->ItemIndex(), list->Checked(list->ItemIndex())});
  };
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  PumpUntilIdle();
  // On the box of line 1: selects it, then toggles it.
  Click(list, 5, 13 + 6);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].Index, 1);
  EXPECT_TRUE(events[0].Checked);
  EXPECT_EQ(clicks, 1);
  // On the text of line 2: selects without toggling.
  Click(list, 60, 2 * 13 + 6);
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_FALSE(list->Checked(2));
  // Space toggles the current line, once per press.
  Key(VK_SPACE, U' ');
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].Index, 2);
  EXPECT_TRUE(events[1].Checked);
  // Clicking the box again unchecks.
  Click(list, 5, 13 + 6);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_FALSE(events[2].Checked);
  EXPECT_FALSE(list->Checked(1));
  // A disabled line does not toggle; lines past the end raise.
  list->SetItemEnabled(0, false);
  Click(list, 5, 6);
  EXPECT_EQ(events.size(), 3u);
  EXPECT_FALSE(list->Checked(-1));
  EXPECT_THROW(list->Checked(3), EComponentError);
  // Refilling starts unchecked.
  list->Items().Assign({"Neu"});
  EXPECT_FALSE(list->Checked(0));
}

TEST_F(ToolkitTest, CheckListBoxTogglesTheLineClickedEvenWhenSelectingScrollsIt) {
  TProbeForm* form = ShownForm();
  // 148 pixels high: 144 client pixels, 11 whole lines and a 1-pixel sliver
  // of the twelfth; a list 6 pixels taller shows half of it.
  auto* list = Place<TCheckListBox>(form, form, Bounds(10, 25, 302, 148 + 6));
  list->SetItemHeight(13);
  std::vector<std::string> ports;
  for (int i = 0; i < 20; ++i)
    ports.push_back("Port " + std::to_string(i));
  list->Items().Assign(ports);
  std::vector<int> toggled;
  list->OnClickCheck = [&](TObject*) { toggled.push_back(list->ItemIndex()); };
  PumpUntilIdle();
  // The half-shown line 11 scrolls into view when it is selected.
  Click(list, 5, 11 * 13 + 2);
  EXPECT_EQ(list->TopIndex(), 1);
  EXPECT_EQ(list->ItemIndex(), 11);
  EXPECT_EQ(toggled, std::vector<int>{11});
  EXPECT_TRUE(list->Checked(11));
  EXPECT_FALSE(list->Checked(12));
  // Below the last line of a short list nothing is selected or toggled.
  list->Items().Assign({"Port 0"});
  toggled.clear();
  Click(list, 5, 3 * 13 + 2);
  EXPECT_TRUE(toggled.empty());
  EXPECT_FALSE(list->Checked(0));
}

TEST_F(ToolkitTest, PageControlShowsTheActivePageInItsPageArea) {
  TProbeForm* form = ShownForm();
  form->SetClientSize(732, 351);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetAlign(alClient);
  pages->SetStyle(tsButtons);
  pages->SetHotTrack(true);
  auto* first = new TTabSheet(form);
  first->SetPageControl(pages);
  first->SetCaption("In/Out");
  auto* second = new TTabSheet(form);
  second->SetPageControl(pages);
  second->SetCaption("Zweite");
  PumpUntilIdle();
  EXPECT_EQ(pages->ActivePage(), first);
  EXPECT_EQ(first->BoundsRect(), Bounds(4, 27, 724, 320));
  EXPECT_TRUE(first->Showing());
  EXPECT_FALSE(second->Showing());
  int changes = 0;
  pages->OnChange = [&](TObject*) { ++changes; };
  const TRect tab = pages->TabRect(1);
  InputMouseMove(pages->ClientToScreen({tab.Left + 3, tab.Top + 3}));
  PumpUntilIdle();
  EXPECT_EQ(pages->HotTab(), 1);
  Click(pages, tab.Left + 3, tab.Top + 3);
  EXPECT_EQ(pages->ActivePage(), second);
  EXPECT_TRUE(second->Showing());
  EXPECT_FALSE(first->Showing());
  EXPECT_EQ(changes, 1);
  // Arrow keys move between pages while the control has the focus.
  pages->SetFocus();
  Key(VK_LEFT);
  EXPECT_EQ(pages->ActivePage(), first);
  pages->OnChanging = [](TObject*, bool& aAllow) { aAllow = false; };
  Key(VK_RIGHT);
  EXPECT_EQ(pages->ActivePage(), first);
  EXPECT_EQ(changes, 2);
}

TEST_F(ToolkitTest, EachTabIsDrawnWithItsStateInEveryStyle) {
  TProbeForm* form = ShownForm();
  auto* pages = new TRecordingPageControl(form);
  pages->SetParent(form);
  pages->SetAlign(alClient);
  pages->SetHotTrack(true);
  std::vector<TTabSheet*> sheets;
  for (const char* caption : {"Eins", "Zwei", "Drei", "Vier"}) {
    sheets.push_back(new TTabSheet(form));
    sheets.back()->SetPageControl(pages);
    sheets.back()->SetCaption(caption);
  }
  sheets[1]->SetEnabled(false);
  PumpUntilIdle();
  const TRect hot = pages->TabRect(2);
  InputMouseMove(pages->ClientToScreen({hot.Left + 3, hot.Top + 3}));
  PumpUntilIdle();
  ASSERT_EQ(pages->HotTab(), 2);
  const std::vector<std::pair<int, TTabState>> expected = {
      {0, tabSelected}, {1, tabDisabled}, {2, tabHot}, {3, tabNormal}};
  for (TTabStyle style : {tsTabs, tsButtons, tsFlatButtons}) {
    SCOPED_TRACE(int(style));
    pages->SetStyle(style);
    pages->Drawn.clear();
    PrintClient(pages);
    std::sort(pages->Drawn.begin(), pages->Drawn.end());
    EXPECT_EQ(pages->Drawn, expected);
  }
  // The hot tab, once selected, is drawn selected.
  pages->SetActivePage(sheets[2]);
  pages->Drawn.clear();
  PrintClient(pages);
  std::sort(pages->Drawn.begin(), pages->Drawn.end());
  EXPECT_EQ(pages->Drawn, (std::vector<std::pair<int, TTabState>>{
                              {0, tabNormal}, {1, tabDisabled}, {2, tabSelected}, {3, tabNormal}}));
}

TEST_F(ToolkitTest, APanelsPaintCanBeReplaced) {
  TProbeForm* form = ShownForm();
  auto* panel = new TFlatPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 30, 20);
  panel->SetCaption("Text");
  const Bitmap painted = PrintClient(panel);
  for (int y = 0; y < painted.Height(); ++y)
    for (int x = 0; x < painted.Width(); ++x)
      ASSERT_EQ(painted.Pixel(x, y) & 0xFFFFFF, 0x010203u) << x << ", " << y;
}

TEST_F(ToolkitTest, StatusBarPanelsSpanTheBar) {
  TProbeForm* form = ShownForm();
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels().Add().SetWidth(50);
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_EQ(bar->BoundsRect(), Bounds(0, form->ClientHeight() - 19, form->ClientWidth(), 19));
  const int w = bar->ClientWidth();
  // One panel reaches the bar's right edge (less the grip).
  EXPECT_EQ(bar->PanelRect(0), Rect(0, 0, w - 18, 19));
  bar->Panels().Add().SetWidth(70);
  bar->Panels().Add().SetWidth(30);
  EXPECT_EQ(bar->PanelRect(0), Rect(0, 0, 50, 19));
  EXPECT_EQ(bar->PanelRect(1), Rect(50, 0, 120, 19));
  EXPECT_EQ(bar->PanelRect(2), Rect(120, 0, w - 18, 19));
  bar->SetSizeGrip(false);
  EXPECT_EQ(bar->PanelRect(2), Rect(120, 0, w, 19));
  EXPECT_THROW(bar->Panels()[3], EComponentError);
}

TEST_F(ToolkitTest, BoundLabelSitsLeftOfItsControlAndFocusesIt) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TListBox>(form, form, Bounds(150, 25, 100, 100));
  auto* other = Place<TButton>(form, form, Bounds(10, 200, 75, 25));
  auto* label = new TLabel(form);
  label->SetCaption("&Eingänge");
  label->SetFocusControl(list);
  label->PlaceLeftOf(list, 3);
  const TSize s = label->TextSize();
  EXPECT_EQ(label->Parent(), form);
  EXPECT_EQ(label->BoundsRect(), Bounds(150 - 3 - s.cx, 25 + (100 - s.cy) / 2, s.cx, s.cy));
  other->SetFocus();
  PumpUntilIdle();
  // Alt+E: the accelerator of the caption.
  InputKey(VK_MENU, true, 0);
  Key('E', U'e');
  InputKey(VK_MENU, false, 0);
  PumpUntilIdle();
  EXPECT_TRUE(list->Focused());
  // An empty caption takes no room.
  label->SetCaption("");
  EXPECT_EQ(label->Width(), 0);
  // The control going away clears the link.
  TComponent::Free(list);
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(ToolkitTest, AModalMessageBoxIsClosedByAPostedKey) {
  ShownForm();
  struct Case {
    UINT Flags;
    int Key;
    int Expected;
  };
  const std::vector<Case> cases = {
      {MB_OK, VK_RETURN, IDOK},           {MB_OK, VK_ESCAPE, IDOK},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL}, {MB_YESNO, VK_RETURN, IDYES},
      {MB_YESNO, VK_ESCAPE, IDNO},        {MB_YESNOCANCEL | MB_ICONERROR, VK_ESCAPE, IDCANCEL},
  };
  for (const Case& c : cases) {
    PostAction([k = c.Key] {
      InputKey(k, true, k == VK_RETURN ? U'\r' : U'\x1b');
      InputKey(k, false, 0);
    });
    EXPECT_EQ(fApp->MessageBox("Text", "", c.Flags), c.Expected) << c.Flags << " " << c.Key;
  }
  // Tab moves to the second button; space presses it.
  PostAction([] {
    InputKey(VK_TAB, true, U'\t');
    InputKey(VK_TAB, false, 0);
    InputKey(VK_SPACE, true, U' ');
    InputKey(VK_SPACE, false, 0);
  });
  EXPECT_EQ(fApp->MessageBox("Text", "", MB_YESNO), IDNO);
  // Shift+Tab wraps to the last button, the arrow keys move along the row,
  // and Enter presses the focused button.
  struct Walk {
    UINT Flags;
    std::vector<int> Keys;
    int Expected;
  };
  const std::vector<Walk> walks = {
      {MB_YESNOCANCEL, {-VK_TAB}, IDCANCEL},
      {MB_YESNOCANCEL, {VK_RIGHT}, IDNO},
      {MB_YESNOCANCEL, {VK_RIGHT, VK_RIGHT, VK_LEFT}, IDNO},
      {MB_ABORTRETRYIGNORE, {VK_TAB, VK_TAB}, IDIGNORE},
  };
  for (const Walk& w : walks) {
    PostAction([keys = w.Keys] {
      for (int k : keys) {
        if (k < 0)
          InputKey(VK_SHIFT, true, 0);
        InputKey(std::abs(k), true, std::abs(k) == VK_TAB ? U'\t' : 0);
        InputKey(std::abs(k), false, 0);
        if (k < 0)
          InputKey(VK_SHIFT, false, 0);
      }
      InputKey(VK_RETURN, true, U'\r');
      InputKey(VK_RETURN, false, 0);
    });
    EXPECT_EQ(fApp->MessageBox("Text", "", w.Flags), w.Expected) << w.Flags;
  }
}

TEST_F(ToolkitTest, TypingSelectsTheNextLineStartingWithTheLetterUnlessSwitchedOff) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TCheckListBox>(form, form, Bounds(10, 10, 150, 100));
  list->Items().Assign({"Midi Through", "USB Keyboard", "midi out", "Synth"});
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->SetFocus();
  PumpUntilIdle();
  Key('M', U'm');
  EXPECT_EQ(list->ItemIndex(), 0);
  Key('M', U'M');
  EXPECT_EQ(list->ItemIndex(), 2);
  Key('M', U'm');
  EXPECT_EQ(list->ItemIndex(), 0);
  Key('X', U'x');
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(clicks, 3);
  list->SetAutoComplete(false);
  Key('S', U's');
  EXPECT_EQ(list->ItemIndex(), 0);
  // Space still toggles the check.
  Key(VK_SPACE, U' ');
  EXPECT_TRUE(list->Checked(0));
  EXPECT_TRUE(GetWindowLongW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  list->SetBorderStyle(bsNone);
  EXPECT_FALSE(GetWindowLongW(list->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(list->Checked(0));
}

namespace {

// A push button drawn by its owner, as skinned buttons are.
class TOwnerButton : public TButton {
public:
  using TButton::TButton;
  std::vector<UINT> fStates;

protected:
  void CreateParams(TCreateParams& aParams) override {
    TButton::CreateParams(aParams);
    aParams.Style = (aParams.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
  }
  void DrawItem(const DRAWITEMSTRUCT& aItem) override {
    EXPECT_EQ(aItem.CtlType, ODT_BUTTON);
    EXPECT_EQ(aItem.rcItem, ClientRect());
    fStates.push_back(aItem.itemState);
  }
};

} // namespace

TEST_F(ToolkitTest, OwnerDrawnButtonsGetTheirStateInDrawItem) {
  TProbeForm* form = ShownForm();
  auto* button = Place<TOwnerButton>(form, form, Bounds(10, 10, 75, 25));
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Repaint();
  ASSERT_FALSE(button->fStates.empty());
  EXPECT_EQ(button->fStates.back() & (ODS_SELECTED | ODS_FOCUS), 0u);
  const TPoint p = ScreenPoint(button, 5, 5);
  InputMouseMove(p);
  InputMouseButton(MouseButton::Left, true, p);
  PumpUntilIdle();
  EXPECT_EQ(button->fStates.back() & (ODS_SELECTED | ODS_FOCUS), ODS_SELECTED | ODS_FOCUS);
  InputMouseButton(MouseButton::Left, false, p);
  PumpUntilIdle();
  EXPECT_EQ(button->fStates.back() & ODS_SELECTED, 0u);
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  PumpUntilIdle();
  EXPECT_EQ(button->fStates.back() & ODS_DISABLED, ODS_DISABLED);
}

TEST_F(ToolkitTest, OwnerDrawnListsPaintOnlyTheVisibleLines) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TListBox>(form, form, Bounds(10, 10, 81, 254));
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(13);
  std::vector<int> drawn;
  list->OnDrawItem = [&](TObject*, int aIndex, const TRect& aRect, TOwnerDrawState aState) {
    drawn.push_back(aIndex);
    EXPECT_EQ(aRect, list->ItemRect(aIndex));
    EXPECT_EQ(aState.Contains(odSelected), aIndex == list->ItemIndex());
  };
  // Filled with redrawing off, as a program adds many lines at once: each
  // line added to a visible list updates its scroll bar and update region.
  SendMessageW(list->Handle(), WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 100000; ++i)
    list->Items().Add("90, 3C, 64");
  SendMessageW(list->Handle(), WM_SETREDRAW, TRUE, 0);
  list->SetItemIndex(99999);
  drawn.clear();
  list->Repaint();
  const int rows = list->ClientHeight() / 13;
  ASSERT_FALSE(drawn.empty());
  EXPECT_LE(int(drawn.size()), rows + 1);
  EXPECT_EQ(*std::min_element(drawn.begin(), drawn.end()), 100000 - rows);
  EXPECT_EQ(*std::max_element(drawn.begin(), drawn.end()), 99999);
}

namespace {

// A list whose scroll bar stays (disabled) when the lines fit.
class TKeepBarListBox : public TListBox {
public:
  using TListBox::TListBox;

protected:
  void CreateParams(TCreateParams& aParams) override {
    TListBox::CreateParams(aParams);
    aParams.Style |= LBS_DISABLENOSCROLL;
  }
};

} // namespace

TEST_F(ToolkitTest, TheListsScrollBarShowsOnlyWhileTheLinesDoNotFit) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TListBox>(form, form, Bounds(10, 10, 100, 69));
  list->SetItemHeight(13);
  HWND h = list->Handle();
  auto hasBar = [&] { return (GetWindowLongW(h, GWL_STYLE) & WS_VSCROLL) != 0; };
  // The sunken edge takes 2 pixels on every side: 65 client pixels, 5 rows.
  const int rows = 5;
  ASSERT_EQ(list->ClientHeight() / 13, rows);
  const int fullWidth = list->ClientWidth();
  const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
  struct Step {
    const char* What;
    std::function<void()> Act;
    bool Bar;
    int Top;
  };
  const std::vector<Step> steps = {
      {"empty", [] {}, false, 0},
      {"lines that fit",
       [&] {
         for (int i = 0; i < rows; ++i)
           list->Items().Add("Zeile");
       },
       false, 0},
      {"one more line", [&] { list->Items().Add("eine zu viel"); }, true, 0},
      {"last line selected", [&] { list->SetItemIndex(rows); }, true, 1},
      {"taller: all fit again", [&] { list->SetHeight(69 + 13); }, false, 0},
      {"shorter again", [&] { list->SetHeight(69); }, true, 0},
      {"a line deleted", [&] { list->Items().Delete(0); }, false, 0},
      {"refilled",
       [&] {
         list->Items().Assign({"1", "2", "3", "4", "5", "6", "7"});
       },
       true, 0},
      {"cleared", [&] { list->Items().Clear(); }, false, 0},
  };
  for (const Step& step : steps) {
    step.Act();
    PumpUntilIdle();
    EXPECT_EQ(hasBar(), step.Bar) << step.What;
    EXPECT_EQ(list->ClientWidth(), step.Bar ? fullWidth - barWidth : fullWidth) << step.What;
    EXPECT_EQ(list->TopIndex(), step.Top) << step.What;
  }
  // With LBS_DISABLENOSCROLL the bar stays while the lines fit.
  auto* keep = Place<TKeepBarListBox>(form, form, Bounds(150, 10, 100, 69));
  keep->Items().Add("eine");
  EXPECT_TRUE(GetWindowLongW(keep->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(keep->ClientWidth(), fullWidth - barWidth);
}

TEST_F(ToolkitTest, ListBoxKeysAndWheelMoveByLinesAndPages) {
  TProbeForm* form = ShownForm();
  auto* list = Place<TListBox>(form, form, Bounds(10, 10, 100, 69));
  list->SetItemHeight(13);
  for (int i = 0; i < 20; ++i)
    list->Items().Add("Zeile " + std::to_string(i));
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->SetFocus();
  PumpUntilIdle();
  // 5 rows: a page moves the selection by 4 lines and keeps it in view.
  struct Case {
    int Key;
    int Index;
    int Top;
  };
  const std::vector<Case> cases = {
      {VK_DOWN, 0, 0},  {VK_DOWN, 1, 0},  {VK_NEXT, 5, 1},   {VK_NEXT, 9, 5}, {VK_PRIOR, 5, 5},
      {VK_UP, 4, 4},    {VK_END, 19, 15}, {VK_DOWN, 19, 15}, {VK_HOME, 0, 0}, {VK_UP, 0, 0},
      {VK_PRIOR, 0, 0}, {VK_RIGHT, 1, 0}, {VK_LEFT, 0, 0},
  };
  int expectedClicks = 0;
  int last = -1;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Key(cases[i].Key);
    EXPECT_EQ(list->ItemIndex(), cases[i].Index) << "case " << i;
    EXPECT_EQ(list->TopIndex(), cases[i].Top) << "case " << i;
    if (cases[i].Index != last)
      ++expectedClicks;
    last = cases[i].Index;
  }
  // A click per change of line, none for a key that moves nothing.
  EXPECT_EQ(clicks, expectedClicks);
  // The wheel scrolls three lines a notch without moving the selection;
  // half notches add up.
  const TPoint p = ScreenPoint(list, 10, 10);
  const std::vector<std::pair<int, int>> wheel = {{-120, 3},  {-60, 3}, {-60, 6}, {-240, 12},
                                                  {-120, 15}, {360, 6}, {600, 0}};
  for (const auto& [delta, top] : wheel) {
    InputMouseWheel(delta, p);
    PumpUntilIdle();
    EXPECT_EQ(list->TopIndex(), top) << delta;
  }
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(clicks, expectedClicks);
}

TEST_F(ToolkitTest, ButtonStylesFollowDefaultAndWordWrap) {
  TProbeForm* form = ShownForm();
  auto* button = Place<TButton>(form, form, Bounds(10, 10, 75, 40));
  auto type = [&] { return DWORD(GetWindowLongW(button->Handle(), GWL_STYLE)) & BS_TYPEMASK; };
  EXPECT_EQ(type(), BS_PUSHBUTTON);
  button->SetDefault(true);
  EXPECT_EQ(type(), BS_DEFPUSHBUTTON);
  EXPECT_FALSE(GetWindowLongW(button->Handle(), GWL_STYLE) & BS_MULTILINE);
  button->SetCaption("Midi In (Reset)");
  button->SetWordWrap(true);
  EXPECT_TRUE(GetWindowLongW(button->Handle(), GWL_STYLE) & BS_MULTILINE);
  EXPECT_EQ(type(), BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowTextW(button->Handle()), "Midi In (Reset)");
}

TEST_F(ToolkitTest, StatusBarSimpleTextReplacesThePanels) {
  TProbeForm* form = ShownForm();
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->SetSizeGrip(false);
  bar->Panels().Add().SetText("Panel");
  bar->SetSimpleText("einfach");
  bar->SetSimplePanel(true);
  // Simple text has no panel rings: no shadow pixel on the row below the top.
  const Bitmap bitmap = PrintClient(bar);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const std::uint32_t shadowPixel =
      (std::uint32_t(GetRValue(shadow)) << 16) | (GetGValue(shadow) << 8) | GetBValue(shadow);
  for (int x = 0; x < bar->Width(); ++x)
    EXPECT_NE(bitmap.Pixel(x, 2) & 0xFFFFFF, shadowPixel) << x;
  EXPECT_EQ(bar->SimpleText(), "einfach");
}

TEST_F(ToolkitTest, AStandardWindowDestroyedAsItBeginsToPaintPaintsNothing) {
  TProbeForm* form = ShownForm();
  RegisterStandardWindowClasses();
  for (const char* className : {"BUTTON", "LISTBOX"}) {
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, className, "x", WS_CHILD | WS_VISIBLE, 10, 10, 80,
                             40, form->Handle(), nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr) << className;
    gClassProc = WNDPROC(SetWindowLongPtrW(h, GWL_WNDPROC, LONG_PTR(DestroyOnNcPaint)));
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    EXPECT_EQ(SendMessageW(h, WM_PAINT, 0, 0), 0) << className;
    EXPECT_FALSE(IsWindow(h)) << className;
  }
}
