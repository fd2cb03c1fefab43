// The popup-menu component over the window layer's popup menu: what it
// shows, choosing and cancelling, the click after the menu has closed, and
// items that change while the menu shows.

#include "toolkit/Menus.h"

#include "ToolkitFixture.h"
#include "platform/win/PopupMenu.h"

using namespace platform;

namespace {

// The popup menu window showing now, or nullptr.
HWND ShowingPopup() {
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && GetClassNameW(w) == PopupMenuClassName)
      return w;
  return nullptr;
}

// "Open\tCtrl+O | Print- Save": the shown items as the layer has them.
std::string Shown() {
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(ShowingPopup(), MN_GETHMENU, 0, 0));
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
    out += (out.empty() ? "" : " ") +
           ((state & MF_SEPARATOR)
                ? std::string("|")
                : GetMenuStringW(menu, UINT(i), MF_BYPOSITION) + ((state & MF_GRAYED) ? "-" : ""));
  }
  return out;
}

class MenusTest : public ToolkitTest {
protected:
  void SetUp() override {
    ToolkitTest::SetUp();
    fForm = ShownForm();
    fMenu = new TPopupMenu(fForm);
    auto clicked = [this](TObject* aSender) {
      fClicks.push_back(static_cast<TMenuItem*>(aSender)->Caption());
      fShowingAtClick = ShowingPopup() != nullptr || fMenu->Showing();
    };
    fMenu->Add("&Open", clicked)->SetShortCutText("Ctrl+O");
    fMenu->Add("-");
    fMenu->Add("&Print", clicked)->SetEnabled(false);
    fMenu->Add("Hidden", clicked)->SetVisible(false);
    fMenu->Add("&Save", clicked);
  }
  static void Press(int aVirtKey) {
    platform::InputKey(aVirtKey, true, 0);
    platform::InputKey(aVirtKey, false, 0);
  }

  TProbeForm* fForm = nullptr;
  TPopupMenu* fMenu = nullptr;
  std::vector<std::string> fClicks;
  bool fShowingAtClick = true;
};

TEST_F(MenusTest, ShowsTheVisibleItemsAndRunsTheChosenOneAfterClosing) {
  std::string shown;
  PostAction([&] {
    shown = Shown();
    Press(VK_UP); // the last item: Save
    Press(VK_RETURN);
  });
  TMenuItem* chosen = fMenu->Popup(150, 150);
  EXPECT_EQ(shown, "&Open\tCtrl+O | &Print- &Save");
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->Caption(), "&Save");
  EXPECT_EQ(fClicks, std::vector<std::string>{"&Save"});
  EXPECT_FALSE(fShowingAtClick) << "the click runs after the menu closed";
  EXPECT_EQ(ShowingPopup(), nullptr);
}

TEST_F(MenusTest, CancelledOrGreyedChoosesNothing) {
  PostAction([&] {
    Press(VK_DOWN);
    Press(VK_DOWN); // Print, greyed
    Press(VK_RETURN);
    Press(VK_ESCAPE);
  });
  EXPECT_EQ(fMenu->Popup(150, 150), nullptr);
  EXPECT_TRUE(fClicks.empty());
  EXPECT_FALSE(fMenu->Showing());
}

TEST_F(MenusTest, OnPopupMayChangeTheItemsFirst) {
  fMenu->OnPopup = [this](TObject*) { fMenu->Items(2)->SetEnabled(true); };
  std::string shown;
  PostAction([&] {
    shown = Shown();
    Press(VK_ESCAPE);
  });
  fMenu->Popup(150, 150);
  EXPECT_EQ(shown, "&Open\tCtrl+O | &Print &Save");
}

TEST_F(MenusTest, ItemsFreedWhileShowingMakeTheChoiceStale) {
  PostAction([&] {
    fMenu->Delete(3); // the hidden item
    Press(VK_DOWN);
    Press(VK_RETURN);
  });
  EXPECT_EQ(fMenu->Popup(150, 150), nullptr);
  EXPECT_TRUE(fClicks.empty());
}

TEST_F(MenusTest, ItemListAndOwnership) {
  EXPECT_EQ(fMenu->Count(), 5);
  TMenuItem* first = fMenu->Insert(0, "First");
  first->SetName("qcFirst");
  EXPECT_EQ(fMenu->FindComponent("qcFirst"), first) << "the menu owns its items";
  EXPECT_EQ(fMenu->IndexOf(first), 0);
  EXPECT_TRUE(fMenu->Items(2)->IsSeparator());
  TComponent::Free(first);
  EXPECT_EQ(fMenu->Count(), 5) << "a freed item leaves the list";
  EXPECT_THROW(fMenu->Insert(7, "x"), EComponentError);
  fMenu->Clear();
  EXPECT_EQ(fMenu->Count(), 0);
  EXPECT_EQ(fMenu->ComponentCount(), 0);
}

} // namespace
