#pragma once
// Menus: menu objects and their items, the queries on them, and the system
// menu of a window with its standard commands. Popup tracking is in
// PopupMenu.h. User-interface thread only.

#include "platform/win/WinDefs.h"

#include <string>

namespace platform {

// Item flags of AppendMenuW, EnableMenuItem and GetMenuState.
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_SYSMENU = 0x2000;

// MENUITEMINFOW masks, types and states.
constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_FTYPE = 0x0100;
constexpr UINT MFT_STRING = 0x0000;
constexpr UINT MFT_SEPARATOR = 0x0800;
constexpr UINT MFS_ENABLED = 0x0000;
constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = 0x0008;
constexpr UINT MFS_DEFAULT = 0x1000;

// WM_SYSCOMMAND commands of the system menu (with WinDefs.h).
constexpr WPARAM SC_MOUSEMENU = 0xF090;

// A menu item. dwTypeData is UTF-8; GetMenuItemInfoW copies at most cch - 1
// bytes into it and sets cch to the text's length (a null dwTypeData only
// asks for the length).
struct MENUITEMINFOW {
  UINT cbSize = sizeof(MENUITEMINFOW);
  UINT fMask = 0;
  UINT fType = MFT_STRING;
  UINT fState = MFS_ENABLED;
  UINT wID = 0;
  ULONG_PTR dwItemData = 0;
  char* dwTypeData = nullptr;
  UINT cch = 0;
};

// A menu bar menu and a popup menu; both empty.
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Frees the menu; a system menu belongs to its window and is kept.
BOOL DestroyMenu(HMENU aMenu);
BOOL IsMenu(HMENU aMenu);

// Appends a text item (MF_STRING with the UTF-8 text, "Text\tShortcut" for a
// shortcut shown in its own column) or a separator (MF_SEPARATOR), with the
// state flags MF_GRAYED, MF_DISABLED, MF_CHECKED and MF_DEFAULT. Sub-menus are
// not supported: MF_POPUP fails.
BOOL AppendMenuW(HMENU aMenu, UINT aFlags, UINT_PTR aIdNewItem, const char* aNewItem);
// Inserts before the item aItem names (by command or, with aByPosition, by
// position; a position past the end appends). The mask says which fields of
// aInfo count: MIIM_FTYPE/MIIM_TYPE, MIIM_STATE, MIIM_ID, MIIM_DATA,
// MIIM_STRING.
BOOL InsertMenuItemW(HMENU aMenu, UINT aItem, BOOL aByPosition, const MENUITEMINFOW* aInfo);
// Sets MF_ENABLED, MF_GRAYED or MF_DISABLED on the item (MF_BYCOMMAND or
// MF_BYPOSITION in aEnable); returns the item's previous enabled state, or
// UINT(-1) when there is no such item. A change of a system menu's Close
// repaints its window's frame (the close button follows it).
UINT EnableMenuItem(HMENU aMenu, UINT aIdEnableItem, UINT aEnable);
// The item's flags (MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_HILITE,
// MF_SEPARATOR, MF_DEFAULT), or UINT(-1) when there is no such item.
UINT GetMenuState(HMENU aMenu, UINT aId, UINT aFlags);
// The number of items, -1 for an invalid menu.
int GetMenuItemCount(HMENU aMenu);
// The command of the item at a position; UINT(-1) when there is none.
UINT GetMenuItemID(HMENU aMenu, int aPos);
BOOL GetMenuItemInfoW(HMENU aMenu, UINT aItem, BOOL aByPosition, MENUITEMINFOW* aInfo);
// Copies the item's text (at most aMaxCount - 1 bytes, never half a
// character); returns the bytes copied, the text's length for a null buffer,
// 0 when there is no such item.
int GetMenuStringW(HMENU aMenu, UINT aIdItem, char* aString, int aMaxCount, UINT aFlags);
std::string GetMenuStringW(HMENU aMenu, UINT aIdItem, UINT aFlags);

// The window's system menu, made when a window with WS_SYSMENU is created
// (or when the style has it at a later call; nullptr while there is none);
// it stays when the style loses WS_SYSMENU: "&Restore", "&Move", "&Size", "Mi&nimize",
// "Ma&ximize", a separator and "&Close\tAlt+F4", with the SC_* commands.
// A window without minimize and maximize box has no Restore, Minimize and
// Maximize; one without them and without a sizing border has no Size either.
// Each call, and each time the menu pops up, greys the commands the window's
// style and state do not allow: Restore unless minimized or maximized, Move
// when maximized, Size without sizing border or when minimized or maximized,
// Minimize without minimize box or when minimized, Maximize without maximize
// box or when maximized. Close keeps what EnableMenuItem set. aRevert puts the
// standard menu back and returns nullptr.
HMENU GetSystemMenu(HWND aWnd, BOOL aRevert);

namespace detail {
// The window whose system menu aMenu is, or nullptr.
HWND SystemMenuOwner(HMENU aMenu);
// Whether the window's SC_CLOSE may run: false when its system menu greys it.
bool CloseAllowed(HWND aWnd);
// Frees the system menu of a window that is going away.
void FreeSystemMenu(HMENU aMenu);
} // namespace detail

} // namespace platform
