// The control tree without windows: alignment, anchors, parent font and
// colour, and notifications passing through a procedure placed in front.

#include "toolkit/Control.h"

#include "toolkit/WinControl.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct AlignCase {
  TAlign Align;
  TRect Start;
  TRect Expected;
};

} // namespace

TEST(Alignment, SidesAreFilledTopBottomLeftRightThenClient) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  // Creation order differs from the order of the sides on purpose.
  const std::vector<AlignCase> cases = {
      {alClient, Bounds(0, 0, 1, 1), Bounds(30, 15, 130, 65)},
      {alTop, Bounds(0, 0, 50, 10), Bounds(0, 0, 200, 10)},
      {alBottom, Bounds(0, 0, 50, 20), Bounds(0, 80, 200, 20)},
      {alLeft, Bounds(0, 0, 30, 50), Bounds(0, 15, 30, 65)},
      {alRight, Bounds(0, 0, 40, 50), Bounds(160, 15, 40, 65)},
      // A second top control below the first one keeps its place under it.
      {alTop, Bounds(0, 50, 50, 5), Bounds(0, 10, 200, 5)},
  };
  std::vector<TControl*> controls;
  for (const AlignCase& c : cases) {
    auto* control = new TControl(&parent);
    control->SetBoundsRect(c.Start);
    control->SetAlign(c.Align);
    control->SetParent(&parent);
    controls.push_back(control);
  }
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(controls[i]->BoundsRect(), cases[i].Expected) << "case " << i;
  // Hiding a control gives its room to the others.
  controls[2]->SetVisible(false);
  EXPECT_EQ(controls[0]->BoundsRect(), Bounds(30, 15, 130, 85));
  // Resizing the parent lays everything out again.
  parent.SetBounds(0, 0, 300, 100);
  EXPECT_EQ(controls[4]->BoundsRect(), Bounds(260, 15, 40, 85));
}

TEST(Alignment, MonitorPageLayout) {
  // The page of the monitor window: a status line at the bottom, the panel
  // filling the rest.
  TWinControl sheet(nullptr);
  sheet.SetBounds(4, 27, 724, 320);
  auto* status = new TControl(&sheet);
  status->SetBounds(0, 0, 100, 19);
  status->SetAlign(alBottom);
  status->SetParent(&sheet);
  auto* panel = new TControl(&sheet);
  panel->SetAlign(alClient);
  panel->SetParent(&sheet);
  EXPECT_EQ(status->BoundsRect(), Bounds(0, 301, 724, 19));
  EXPECT_EQ(panel->BoundsRect(), Bounds(0, 0, 724, 301));
}

TEST(Anchors, ChildrenFollowTheParentsSizeByTheirAnchors) {
  struct Case {
    TAnchors Anchors;
    TRect Expected;
  };
  const std::vector<Case> cases = {
      {{akLeft, akTop}, Bounds(10, 10, 20, 20)},
      {{akRight, akBottom}, Bounds(60, 30, 20, 20)},
      {{akLeft, akTop, akRight, akBottom}, Bounds(10, 10, 70, 40)},
      {{akLeft, akRight}, Bounds(10, 14, 70, 20)},
      // No anchor on an axis: the centre keeps its relative place
      // (centre 20 of 100 becomes 30 of 150; 20 of 100 becomes 24 of 120).
      {{}, Bounds(20, 14, 20, 20)},
  };
  for (const Case& c : cases) {
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 100, 100);
    auto* child = new TControl(&parent);
    child->SetParent(&parent);
    child->SetBounds(10, 10, 20, 20);
    child->SetAnchors(c.Anchors);
    parent.SetBounds(0, 0, 150, 120);
    EXPECT_EQ(child->BoundsRect(), c.Expected) << "anchors " << c.Anchors.Bits();
    // Back to the first size: back to the first place.
    parent.SetBounds(0, 0, 100, 100);
    EXPECT_EQ(child->BoundsRect(), Bounds(10, 10, 20, 20)) << "anchors " << c.Anchors.Bits();
  }
}

TEST(Loading, AlignmentAndAnchorsWaitForLoaded) {
  TWinControl* parent = nullptr;
  TControl* client = nullptr;
  TControl* anchored = nullptr;
  TComponent root(nullptr);
  {
    TLoadingBracket bracket;
    parent = new TWinControl(&root);
    parent->SetBounds(0, 0, 100, 80);
    client = new TControl(&root);
    client->SetBounds(5, 5, 10, 10);
    client->SetAlign(alClient);
    client->SetParent(parent);
    anchored = new TControl(&root);
    anchored->SetParent(parent);
    anchored->SetBounds(70, 10, 20, 20);
    anchored->SetAnchors({akTop, akRight});
    // Nothing is laid out while the definition is read.
    EXPECT_EQ(client->BoundsRect(), Bounds(5, 5, 10, 10));
    bracket.Close();
  }
  EXPECT_EQ(client->BoundsRect(), Bounds(0, 0, 100, 80));
  parent->SetBounds(0, 0, 130, 80);
  EXPECT_EQ(anchored->BoundsRect(), Bounds(100, 10, 20, 20));
}

TEST(ParentFontAndColor, ChildrenFollowUntilGivenTheirOwn) {
  TWinControl parent(nullptr);
  parent.Font().SetName("DejaVu Sans");
  parent.Font().SetHeight(-13);
  parent.SetColor(RGB(192, 192, 192));
  auto* child = new TControl(&parent);
  child->SetParentColor(true);
  child->SetParent(&parent);
  EXPECT_EQ(child->Font().Name(), "DejaVu Sans");
  EXPECT_EQ(child->Color(), RGB(192, 192, 192));
  parent.Font().SetStyle({fsBold});
  parent.SetColor(RGB(87, 127, 87));
  EXPECT_TRUE(child->Font().Style().Contains(fsBold));
  EXPECT_EQ(child->Color(), RGB(87, 127, 87));
  EXPECT_TRUE(child->ParentFont());
  // An own font or colour ends the link.
  child->Font().SetColor(RGB(1, 153, 1));
  child->SetColor(RGB(1, 2, 3));
  EXPECT_FALSE(child->ParentFont());
  EXPECT_FALSE(child->ParentColor());
  parent.Font().SetHeight(-20);
  parent.SetColor(RGB(9, 9, 9));
  EXPECT_EQ(child->Font().Height(), -13);
  EXPECT_EQ(child->Color(), RGB(1, 2, 3));
}

TEST(Font, SizeAndHeightConvertAt96DotsPerInch) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(f.Name(), "Tahoma");
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -13);
  f.SetHeight(-13); // no change, no event
  EXPECT_EQ(changes, 1);
  TFont g;
  g.Assign(f);
  EXPECT_TRUE(g.SameAs(f));
}

TEST(Notifications, ReachAProcedurePlacedInFrontOfTheControls) {
  TWinControl parent(nullptr);
  auto* child = new TControl(&parent);
  std::vector<TMessage> seen;
  // An adapter in front of the child's procedure, and one in front of the parent's.
  TWndMethod childOld = child->WindowProc;
  child->WindowProc = [&](TMessage& aMessage) {
    seen.push_back(aMessage);
    childOld(aMessage);
  };
  TWndMethod parentOld = parent.WindowProc;
  parent.WindowProc = [&](TMessage& aMessage) {
    seen.push_back(aMessage);
    parentOld(aMessage);
  };
  struct Case {
    const char* What;
    std::function<void()> Act;
    platform::UINT Msg;
    platform::WPARAM WParam;
    platform::LPARAM LParam;
  };
  const std::vector<Case> cases = {
      {"insert", [&] { child->SetParent(&parent); }, CM_CONTROLLISTCHANGE, platform::WPARAM(child),
       1},
      {"disable", [&] { child->SetEnabled(false); }, CM_ENABLEDCHANGED, 0, 0},
      {"enable", [&] { child->SetEnabled(true); }, CM_ENABLEDCHANGED, 1, 0},
      {"hide", [&] { child->SetVisible(false); }, CM_VISIBLECHANGED, 0, 0},
      {"colour", [&] { child->SetColor(RGB(255, 0, 0)); }, CM_COLORCHANGED, 0, 0},
      {"font", [&] { child->Font().SetHeight(-20); }, CM_FONTCHANGED, 0, 0},
      {"text", [&] { child->SetText("Liste Reset"); }, CM_TEXTCHANGED, 0, 0},
      {"remove", [&] { child->SetParent(nullptr); }, CM_CONTROLLISTCHANGE, platform::WPARAM(child),
       0},
  };
  for (const Case& c : cases) {
    seen.clear();
    c.Act();
    const auto it = std::find_if(seen.begin(), seen.end(), [&](const TMessage& m) {
      return m.Msg == c.Msg && m.WParam == c.WParam && m.LParam == c.LParam;
    });
    EXPECT_NE(it, seen.end()) << c.What;
    EXPECT_EQ(
        std::count_if(seen.begin(), seen.end(), [&](const TMessage& m) { return m.Msg == c.Msg; }),
        1)
        << c.What;
  }
  child->SetParent(&parent);
  child->WindowProc = childOld;
  parent.WindowProc = parentOld;
}

TEST(MessageRecords, DecodeTheirParameters) {
  // Mouse: signed client coordinates in LParam, keys in WParam.
  const TWMMouse mouse(TMessage{0x0201, 0x0009, MakeMousePos(-3, 260), 0});
  EXPECT_EQ(mouse.Keys, 0x0009u);
  EXPECT_EQ(mouse.Pos(), (TPoint{-3, 260}));
  // Wheel: keys in the low word, the signed distance in the high word.
  const TWMMouseWheel wheel(
      TMessage{0x020A, platform::WPARAM(platform::MAKELONG(0x0004, platform::WORD(-240))),
               MakeMousePos(100, -2), 0});
  EXPECT_EQ(wheel.Keys, 0x0004u);
  EXPECT_EQ(wheel.WheelDelta, -240);
  EXPECT_EQ(wheel.X, 100);
  EXPECT_EQ(wheel.Y, -2);
  // Command: id low, notification code high, the control's window in LParam.
  auto* window = reinterpret_cast<platform::HWND>(0x1234);
  const TWMCommand command(
      TMessage{0x0111, platform::WPARAM(platform::MAKELONG(7, 1)), platform::LPARAM(window), 0});
  EXPECT_EQ(command.ItemID, 7);
  EXPECT_EQ(command.NotifyCode, 1);
  EXPECT_EQ(command.Ctl, window);
  EXPECT_EQ(TWMActivate(TMessage{0x0006, 2, 0, 0}).Active, 2);
}
