// Windowed controls in a window tree: bounds and visibility reaching the
// platform windows, windowless children painted by their parent and clipped
// to themselves, key and wheel notifications passing through procedures
// placed in front, forms freed on request, and what a recreation keeps.

#include "ToolkitFixture.h"
#include "platform/gfx/DeviceContext.h"
#include "toolkit/Button.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/CustomControl.h"
#include "toolkit/PageControl.h"
#include "toolkit/Panel.h"

using namespace platform;

namespace {

// Paints its whole canvas and more in one colour, to show the clip.
class TSwatch : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  int fPaints = 0;

protected:
  void Paint() override {
    ++fPaints;
    Canvas().SetBrushColor(RGB(255, 0, 0));
    Canvas().FillRect({-50, -50, 500, 500});
  }
};

struct Recorder {
  std::vector<TMessage> Seen;
  TWndMethod Old;
  TControl* Control;
  Recorder(TControl* aControl) : Old(aControl->WindowProc), Control(aControl) {
    aControl->WindowProc = [this](TMessage& aMessage) {
      Seen.push_back(aMessage);
      Old(aMessage);
    };
  }
  ~Recorder() { Control->WindowProc = Old; }
  int Count(UINT aMsg) const {
    return int(
        std::count_if(Seen.begin(), Seen.end(), [&](const TMessage& m) { return m.Msg == aMsg; }));
  }
};

} // namespace

TEST_F(ToolkitTest, BoundsAndVisibilityReachTheWindows) {
  TProbeForm* form = ShownForm();
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 20, 200, 100);
  auto* button = new TButton(form);
  button->SetParent(panel);
  button->SetBounds(5, 6, 70, 20);
  RECT r;
  GetWindowRect(button->Handle(), &r);
  const TPoint origin = panel->ClientOrigin();
  EXPECT_EQ(r, Bounds(origin.X + 5, origin.Y + 6, 70, 20));
  panel->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
  EXPECT_FALSE(IsWindowVisible(button->Handle()));
  EXPECT_FALSE(button->Showing());
  EXPECT_TRUE(button->Visible());
  panel->SetVisible(true);
  EXPECT_TRUE(button->Showing());
  EXPECT_TRUE(IsWindowVisible(button->Handle()));
  // Disabled controls have disabled windows.
  button->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(button->Handle()));
  EXPECT_FALSE(button->CanFocus());
}

TEST_F(ToolkitTest, WindowlessChildrenArePaintedByTheParentAndClippedToThemselves) {
  TProbeForm* form = ShownForm();
  form->SetColor(RGB(0, 0, 255));
  auto* swatch = new TSwatch(form);
  swatch->SetParent(form);
  swatch->SetBounds(30, 40, 20, 10);
  form->Repaint();
  EXPECT_GE(swatch->fPaints, 1);
  const TRect client = form->ClientRect();
  Bitmap bitmap(client.Width(), client.Height());
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &bitmap);
  SendMessageW(form->Handle(), WM_PRINT, WPARAM(dc), PRF_CLIENT | PRF_ERASEBKGND);
  DeleteDC(dc);
  for (int y = 35; y < 55; ++y)
    for (int x = 25; x < 55; ++x) {
      const bool inside = x >= 30 && x < 50 && y >= 40 && y < 50;
      EXPECT_EQ(bitmap.Pixel(x, y) & 0xFFFFFF, inside ? 0xFF0000u : 0x0000FFu) << x << ", " << y;
    }
}

TEST_F(ToolkitTest, KeyAndWheelNotificationsPassThroughProceduresInFront) {
  TProbeForm* form = ShownForm();
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 300, 200);
  auto* list = new TListBox(form);
  list->SetParent(panel);
  list->SetBounds(10, 10, 100, 100);
  for (int i = 0; i < 50; ++i)
    list->Items().Add("Zeile");
  auto* button = new TButton(form);
  button->SetParent(panel);
  button->SetBounds(150, 10, 75, 25);
  Recorder onForm(form);
  Recorder onPanel(panel);
  Recorder onList(list);
  list->SetFocus();
  PumpUntilIdle();
  Key(VK_DOWN);
  // The list wants the arrows: asked, not offered to the form.
  EXPECT_EQ(onPanel.Count(CM_CHILDKEY), 1);
  EXPECT_EQ(onForm.Count(CM_DIALOGKEY), 0);
  EXPECT_EQ(list->ItemIndex(), 0);
  Key(VK_TAB, U'\t');
  EXPECT_EQ(onForm.Count(CM_DIALOGKEY), 1);
  EXPECT_TRUE(button->Focused());
  list->SetFocus();
  PumpUntilIdle();
  InputMouseWheel(-120, list->ClientToScreen({5, 5}));
  PumpUntilIdle();
  EXPECT_EQ(onList.Count(CM_MOUSEWHEEL), 1);
  EXPECT_EQ(onPanel.Count(CM_MOUSEWHEEL), 1);
  EXPECT_EQ(list->TopIndex(), 3);
  panel->SetVisible(false);
  EXPECT_EQ(onList.Count(CM_SHOWINGCHANGED), 1);
}

TEST_F(ToolkitTest, AFormClosedWithFreeGoesOnceTheMessagesAreHandled) {
  ShownForm();
  auto* second = fApp->CreateForm<TProbeForm>();
  second->Show();
  bool destroyed = false;
  second->OnDestroy = [&](TObject*) { destroyed = true; };
  second->OnClose = [](TObject*, TCloseAction& aAction) { aAction = caFree; };
  second->Close();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(fApp->FormCount(), 2);
  PumpUntilIdle();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(fApp->FormCount(), 1);
}

TEST_F(ToolkitTest, RecreatingACheckListKeepsItsChecks) {
  TProbeForm* form = ShownForm();
  auto* list = new TCheckListBox(form);
  list->SetParent(form);
  list->Items().Assign({"a", "b", "c"});
  list->SetChecked(1, true);
  list->SetItemIndex(2);
  list->RecreateWnd();
  EXPECT_EQ(list->Count(), 3);
  EXPECT_FALSE(list->Checked(0));
  EXPECT_TRUE(list->Checked(1));
  EXPECT_EQ(list->ItemIndex(), 2);
}

TEST_F(ToolkitTest, TabsStyleGeometry) {
  TProbeForm* form = ShownForm();
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetBounds(0, 0, 300, 200);
  for (const char* caption : {"In/Out", "Zweite Seite"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
  }
  // Tab i: 2 from the left after the tabs before it, 2 from the top; each
  // its caption's width plus 6 on each side; the line height plus 5 high.
  auto* measure = new TSwatch(form);
  const TFont& font = pages->Font();
  measure->Canvas().Font().Assign(font);
  HDC dc = CreateCompatibleDC(nullptr);
  measure->Canvas().SetHandle(dc);
  const int w0 = measure->Canvas().TextWidth("In/Out") + 12;
  const int w1 = measure->Canvas().TextWidth("Zweite Seite") + 12;
  const int line = measure->Canvas().TextHeight("In/Out");
  measure->Canvas().SetHandle(nullptr);
  DeleteDC(dc);
  EXPECT_EQ(pages->TabRect(0), Bounds(2, 2, w0, line + 5));
  EXPECT_EQ(pages->TabRect(1), Bounds(2 + w0, 2, w1, line + 5));
  EXPECT_EQ(pages->TabRect(2), TRect{});
  EXPECT_EQ(pages->DisplayRect(), Rect(4, 2 + line + 5 + 4, 296, 196));
  EXPECT_EQ(pages->Pages(0)->BoundsRect(), pages->DisplayRect());
  EXPECT_EQ(pages->IndexOfTabAt({3 + w0, 5}), 1);
  EXPECT_EQ(pages->IndexOfTabAt({3 + w0, 100}), -1);
  // A hidden tab leaves the row; its page is not selectable by tab.
  pages->Pages(0)->SetTabVisible(false);
  EXPECT_EQ(pages->ActivePage(), pages->Pages(1));
  EXPECT_EQ(pages->TabRect(0), Bounds(2, 2, w1, line + 5));
}

TEST_F(ToolkitTest, RecreatingAParentKeepsWhatItsChildrenHold) {
  TProbeForm* form = ShownForm();
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* list = new TListBox(form);
  list->SetParent(panel);
  list->Items().Assign({"90, 3C, 64", "80, 3C, 00"});
  list->SetItemIndex(1);
  form->SetBorderStyle(bsToolWindow);
  PumpUntilIdle();
  EXPECT_TRUE(list->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(list->Handle()));
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Items()[0], "90, 3C, 64");
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(ToolkitTest, AFreedControlLeavesItsParentsListsAndTheFocusChain) {
  TProbeForm* form = ShownForm();
  auto* a = new TButton(form);
  a->SetParent(form);
  auto* b = new TButton(form);
  b->SetParent(form);
  b->SetLeft(100);
  b->SetFocus();
  PumpUntilIdle();
  TComponent::Free(b);
  EXPECT_EQ(form->TabList(), (std::vector<TWinControl*>{a}));
  EXPECT_EQ(form->ControlCount(), 1);
  EXPECT_NE(form->ActiveControl(), static_cast<TWinControl*>(b));
  Key(VK_TAB, U'\t');
  EXPECT_TRUE(a->Focused());
  // The whole form can be made again without the freed control.
  form->RecreateWnd();
  EXPECT_TRUE(a->HandleAllocated());
}
