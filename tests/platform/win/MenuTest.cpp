// Menus and the system menu: items and their states per window style and
// state, the item queries, and the default procedure's respect for a greyed
// Close.

#include "platform/win/Menu.h"

#include "platform/win/WindowGeometry.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;

namespace {

// "Restore- Move | Close": each item's text without '&' and shortcut, '-'
// after a greyed one, '|' for a separator.
std::string Describe(HMENU aMenu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(aMenu); ++i) {
    if (!out.empty())
      out += ' ';
    const UINT state = GetMenuState(aMenu, UINT(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      out += '|';
      continue;
    }
    std::string text = GetMenuStringW(aMenu, UINT(i), MF_BYPOSITION);
    text = text.substr(0, text.find('\t'));
    std::erase(text, '&');
    out += text + ((state & MF_GRAYED) ? "-" : "");
  }
  return out;
}

TEST(MenuTest, SystemMenuItemsFollowTheStyle) {
  Reset();
  const struct {
    DWORD Style;
    const char* Items;
  } cases[] = {
      {WS_OVERLAPPEDWINDOW, "Restore- Move Size Minimize Maximize | Close"},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU, "Move | Close"},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, "Move Size | Close"},
      {WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, "Restore- Move Size- Minimize Maximize- | Close"},
      {WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX,
       "Restore- Move Size Minimize- Maximize | Close"},
  };
  for (const auto& c : cases) {
    HWND w = Make("W", c.Style, Bounds(10, 10, 200, 100));
    EXPECT_EQ(Describe(GetSystemMenu(w, FALSE)), c.Items) << std::hex << c.Style;
    DestroyWindow(w);
  }
  HWND none = Make("W", WS_POPUP | WS_CAPTION, Bounds(10, 10, 200, 100));
  EXPECT_EQ(GetSystemMenu(none, FALSE), nullptr);
  Reset();
}

TEST(MenuTest, SystemMenuStatesFollowTheWindowState) {
  Reset();
  HWND w = Make("W", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(10, 10, 200, 100));
  HMENU menu = GetSystemMenu(w, FALSE);
  const struct {
    int Show;
    const char* Items;
  } cases[] = {
      {SW_MAXIMIZE, "Restore Move- Size- Minimize Maximize- | Close"},
      {SW_MINIMIZE, "Restore Move Size- Minimize- Maximize | Close"},
      {SW_RESTORE, "Restore- Move Size Minimize Maximize | Close"},
  };
  for (const auto& c : cases) {
    ShowWindow(w, c.Show);
    EXPECT_EQ(GetSystemMenu(w, FALSE), menu) << "one menu per window";
    EXPECT_EQ(Describe(menu), c.Items) << c.Show;
  }
  // The menu refreshes when it pops up too: the default handling of
  // WM_INITMENUPOPUP for a system menu.
  ShowWindow(w, SW_MAXIMIZE);
  SendMessageW(w, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
  EXPECT_EQ(Describe(menu), "Restore Move- Size- Minimize Maximize- | Close");
  Reset();
}

TEST(MenuTest, EnableMenuItemAndGetMenuState) {
  Reset();
  HWND w = Make("W", WS_OVERLAPPEDWINDOW, Bounds(10, 10, 200, 100));
  HMENU menu = GetSystemMenu(w, FALSE);
  EXPECT_EQ(EnableMenuItem(menu, UINT(SC_CLOSE), MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(menu, UINT(SC_CLOSE), MF_BYCOMMAND | MF_GRAYED), MF_GRAYED);
  EXPECT_EQ(GetMenuState(menu, UINT(SC_CLOSE), MF_BYCOMMAND), MF_GRAYED);
  // Close keeps what was set when the other items are refreshed.
  GetSystemMenu(w, FALSE);
  EXPECT_EQ(GetMenuState(menu, UINT(SC_CLOSE), MF_BYCOMMAND), MF_GRAYED);
  // By position: the separator and the first item.
  EXPECT_EQ(GetMenuState(menu, 5, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(EnableMenuItem(menu, 0, MF_BYPOSITION | MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION), MF_ENABLED);
  // Items that are not there.
  EXPECT_EQ(GetMenuState(menu, 0x1234, MF_BYCOMMAND), UINT(-1));
  EXPECT_EQ(EnableMenuItem(menu, 7, MF_BYPOSITION | MF_GRAYED), UINT(-1));
  EXPECT_EQ(GetMenuState(nullptr, 0, MF_BYPOSITION), UINT(-1));
  // Reverting gives the standard menu back.
  EXPECT_EQ(GetSystemMenu(w, TRUE), nullptr);
  EXPECT_EQ(GetMenuState(GetSystemMenu(w, FALSE), UINT(SC_CLOSE), MF_BYCOMMAND), MF_ENABLED);
  Reset();
}

TEST(MenuTest, GreyedCloseKeepsTheWindowOpen) {
  Reset();
  HWND w = Make("W", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(10, 10, 200, 100));
  SetActiveWindow(w);
  EnableMenuItem(GetSystemMenu(w, FALSE), UINT(SC_CLOSE), MF_GRAYED);
  SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  InputKey(VK_MENU, true, 0);
  InputKey(VK_F4, true, 0);
  InputKey(VK_F4, false, 0);
  InputKey(VK_MENU, false, 0);
  PumpUntilIdle();
  EXPECT_TRUE(IsWindow(w));
  EnableMenuItem(GetSystemMenu(w, FALSE), UINT(SC_CLOSE), MF_ENABLED);
  SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(w));
  Reset();
}

TEST(MenuTest, ItemsAndQueries) {
  HMENU menu = CreatePopupMenu();
  ASSERT_TRUE(IsMenu(menu));
  EXPECT_TRUE(AppendMenuW(menu, MF_STRING, 10, "&Öffnen\tStrg+O"));
  EXPECT_TRUE(AppendMenuW(menu, MF_SEPARATOR, 0, nullptr));
  EXPECT_TRUE(AppendMenuW(menu, MF_STRING | MF_GRAYED, 30, "Ende"));
  EXPECT_FALSE(AppendMenuW(menu, 0x0010 /* MF_POPUP */, 40, "Sub"));
  MENUITEMINFOW info;
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_DATA;
  info.wID = 20;
  info.dwItemData = 77;
  info.dwTypeData = const_cast<char*>("Mitte");
  EXPECT_TRUE(InsertMenuItemW(menu, 30, FALSE, &info)) << "before the item with command 30";
  EXPECT_FALSE(InsertMenuItemW(menu, 99, FALSE, &info));
  EXPECT_EQ(Describe(menu), "Öffnen | Mitte Ende-");
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  EXPECT_EQ(GetMenuItemID(menu, 0), 10u);
  EXPECT_EQ(GetMenuItemID(menu, 2), 20u);
  EXPECT_EQ(GetMenuItemID(menu, 4), UINT(-1));

  MENUITEMINFOW read;
  read.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE | MIIM_STRING;
  ASSERT_TRUE(GetMenuItemInfoW(menu, 20, FALSE, &read));
  EXPECT_EQ(read.dwItemData, 77u);
  EXPECT_EQ(read.fType, MFT_STRING);
  EXPECT_EQ(read.cch, 5u) << "a null buffer asks for the length";
  // Text copies are cut to the buffer and never split a character: a
  // three-byte buffer has room for "&" and one byte of the two-byte "Ö".
  char small[3];
  EXPECT_EQ(GetMenuStringW(menu, 10, small, 3, MF_BYCOMMAND), 1);
  EXPECT_STREQ(small, "&");
  EXPECT_EQ(GetMenuStringW(menu, 10, nullptr, 0, MF_BYCOMMAND), 15);
  EXPECT_EQ(GetMenuStringW(menu, 99, nullptr, 0, MF_BYCOMMAND), 0);

  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_EQ(GetMenuItemCount(menu), -1);
  EXPECT_FALSE(DestroyMenu(menu));
}

TEST(MenuTest, SystemMenuLivesWithItsWindow) {
  Reset();
  HWND w = Make("W", WS_OVERLAPPEDWINDOW, Bounds(10, 10, 200, 100));
  // Made with the window: a frame that takes WS_SYSMENU away keeps it.
  SetWindowLongW(w, GWL_STYLE, LONG(WS_OVERLAPPEDWINDOW & ~WS_SYSMENU));
  HMENU menu = GetSystemMenu(w, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(DestroyMenu(menu)) << "the window's menu";
  EXPECT_TRUE(IsMenu(menu));
  DestroyWindow(w);
  EXPECT_FALSE(IsMenu(menu));
  Reset();
}

} // namespace
