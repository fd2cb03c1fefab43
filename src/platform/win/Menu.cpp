#include "platform/win/Menu.h"

#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace platform {

using namespace detail;

namespace {

struct MenuItem {
  UINT Type = MFT_STRING;
  UINT State = MFS_ENABLED;
  UINT Id = 0;
  ULONG_PTR Data = 0;
  std::string Text;
};

struct MenuRecord {
  std::vector<MenuItem> Items;
  HWND SystemOf = nullptr; // the window whose system menu this is
};

// The state bits an item keeps.
constexpr UINT KeptStates = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

struct MenuTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<MenuRecord>> Menus;
  std::uintptr_t NextHandle = 0x20010;
};

MenuTable& Menus() {
  static MenuTable table;
  return table;
}

MenuRecord* FindMenu(HMENU aMenu) {
  auto it = Menus().Menus.find(reinterpret_cast<std::uintptr_t>(aMenu));
  return it == Menus().Menus.end() ? nullptr : it->second.get();
}

HMENU NewMenu() {
  MenuTable& t = Menus();
  const std::uintptr_t value = t.NextHandle;
  t.NextHandle += 4;
  t.Menus.emplace(value, std::make_unique<MenuRecord>());
  return reinterpret_cast<HMENU>(value);
}

// The index of the item aItem names, or -1.
int IndexOf(const MenuRecord& aMenu, UINT aItem, bool aByPosition) {
  if (aByPosition)
    return aItem < aMenu.Items.size() ? int(aItem) : -1;
  for (std::size_t i = 0; i < aMenu.Items.size(); ++i)
    if (aMenu.Items[i].Type != MFT_SEPARATOR && aMenu.Items[i].Id == aItem)
      return int(i);
  return -1;
}

MenuItem* ItemOf(HMENU aMenu, UINT aItem, UINT aFlags) {
  MenuRecord* m = FindMenu(aMenu);
  const int i = m ? IndexOf(*m, aItem, (aFlags & MF_BYPOSITION) != 0) : -1;
  return i < 0 ? nullptr : &m->Items[std::size_t(i)];
}

// The standard system menu for a style.
void FillSystemMenu(MenuRecord& aMenu, DWORD aStyle) {
  const bool boxes = (aStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0;
  const bool sizing = (aStyle & WS_THICKFRAME) != 0;
  auto add = [&](UINT aId, const char* aText) {
    aMenu.Items.push_back({MFT_STRING, 0, aId, 0, aText});
  };
  aMenu.Items.clear();
  if (boxes)
    add(UINT(SC_RESTORE), "&Restore");
  add(UINT(SC_MOVE), "&Move");
  if (boxes || sizing)
    add(UINT(SC_SIZE), "&Size");
  if (boxes) {
    add(UINT(SC_MINIMIZE), "Mi&nimize");
    add(UINT(SC_MAXIMIZE), "Ma&ximize");
  }
  aMenu.Items.push_back({MFT_SEPARATOR, 0, 0, 0, {}});
  add(UINT(SC_CLOSE), "&Close\tAlt+F4");
}

// Greys the commands the window's style and state do not allow.
void UpdateSystemMenu(MenuRecord& aMenu, DWORD aStyle) {
  const bool minimized = (aStyle & WS_MINIMIZE) != 0;
  const bool maximized = (aStyle & WS_MAXIMIZE) != 0;
  const struct {
    WPARAM Command;
    bool Grey;
  } rules[] = {
      {SC_RESTORE, !minimized && !maximized},
      {SC_MOVE, maximized},
      {SC_SIZE, !(aStyle & WS_THICKFRAME) || minimized || maximized},
      {SC_MINIMIZE, !(aStyle & WS_MINIMIZEBOX) || minimized},
      {SC_MAXIMIZE, !(aStyle & WS_MAXIMIZEBOX) || maximized},
  };
  for (const auto& rule : rules) {
    const int i = IndexOf(aMenu, UINT(rule.Command), false);
    if (i < 0)
      continue;
    UINT& state = aMenu.Items[std::size_t(i)].State;
    state = rule.Grey ? (state | MF_GRAYED) : (state & ~(MF_GRAYED | MF_DISABLED));
  }
}

// The text's length for a null buffer, else the bytes copied.
int CopyText(const std::string& aText, char* aBuffer, int aMaxCount) {
  return aBuffer ? CopyWindowText(aText, aBuffer, aMaxCount) : int(aText.size());
}

} // namespace

HMENU CreateMenu() {
  return NewMenu();
}

HMENU CreatePopupMenu() {
  return NewMenu();
}

BOOL DestroyMenu(HMENU aMenu) {
  MenuRecord* m = FindMenu(aMenu);
  if (!m || Live(m->SystemOf))
    return FALSE;
  Menus().Menus.erase(reinterpret_cast<std::uintptr_t>(aMenu));
  return TRUE;
}

BOOL IsMenu(HMENU aMenu) {
  return FindMenu(aMenu) ? TRUE : FALSE;
}

BOOL AppendMenuW(HMENU aMenu, UINT aFlags, UINT_PTR aIdNewItem, const char* aNewItem) {
  constexpr UINT MF_POPUP = 0x0010;
  MenuRecord* m = FindMenu(aMenu);
  if (!m || (aFlags & MF_POPUP))
    return FALSE;
  MenuItem item;
  item.State = aFlags & KeptStates;
  if (aFlags & MF_SEPARATOR) {
    item.Type = MFT_SEPARATOR;
  } else {
    item.Id = UINT(aIdNewItem);
    item.Text = aNewItem ? aNewItem : "";
  }
  m->Items.push_back(std::move(item));
  return TRUE;
}

BOOL InsertMenuItemW(HMENU aMenu, UINT aItem, BOOL aByPosition, const MENUITEMINFOW* aInfo) {
  MenuRecord* m = FindMenu(aMenu);
  if (!m || !aInfo)
    return FALSE;
  std::size_t at = m->Items.size();
  if (aByPosition) {
    at = std::min<std::size_t>(aItem, at);
  } else if (const int i = IndexOf(*m, aItem, false); i >= 0) {
    at = std::size_t(i);
  } else {
    return FALSE;
  }
  MenuItem item;
  if (aInfo->fMask & (MIIM_FTYPE | MIIM_TYPE))
    item.Type = aInfo->fType & MFT_SEPARATOR;
  if (aInfo->fMask & MIIM_STATE)
    item.State = aInfo->fState & KeptStates;
  if (aInfo->fMask & MIIM_ID)
    item.Id = aInfo->wID;
  if (aInfo->fMask & MIIM_DATA)
    item.Data = aInfo->dwItemData;
  if ((aInfo->fMask & (MIIM_STRING | MIIM_TYPE)) && aInfo->dwTypeData && item.Type != MFT_SEPARATOR)
    item.Text = aInfo->dwTypeData;
  m->Items.insert(m->Items.begin() + std::ptrdiff_t(at), std::move(item));
  return TRUE;
}

UINT EnableMenuItem(HMENU aMenu, UINT aIdEnableItem, UINT aEnable) {
  MenuItem* item = ItemOf(aMenu, aIdEnableItem, aEnable);
  if (!item)
    return UINT(-1);
  const UINT old = item->State & (MF_GRAYED | MF_DISABLED);
  item->State = (item->State & ~(MF_GRAYED | MF_DISABLED)) | (aEnable & (MF_GRAYED | MF_DISABLED));
  const HWND owner = FindMenu(aMenu)->SystemOf;
  if (item->Id == UINT(SC_CLOSE) && item->Type != MFT_SEPARATOR &&
      old != (item->State & (MF_GRAYED | MF_DISABLED)) && IsWindowVisible(owner))
    RedrawWindow(owner, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
  return old;
}

UINT GetMenuState(HMENU aMenu, UINT aId, UINT aFlags) {
  const MenuItem* item = ItemOf(aMenu, aId, aFlags);
  if (!item)
    return UINT(-1);
  return item->State | (item->Type == MFT_SEPARATOR ? MF_SEPARATOR : 0);
}

int GetMenuItemCount(HMENU aMenu) {
  const MenuRecord* m = FindMenu(aMenu);
  return m ? int(m->Items.size()) : -1;
}

UINT GetMenuItemID(HMENU aMenu, int aPos) {
  const MenuItem* item = aPos < 0 ? nullptr : ItemOf(aMenu, UINT(aPos), MF_BYPOSITION);
  return item ? item->Id : UINT(-1);
}

BOOL GetMenuItemInfoW(HMENU aMenu, UINT aItem, BOOL aByPosition, MENUITEMINFOW* aInfo) {
  const MenuItem* item = ItemOf(aMenu, aItem, aByPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  if (!item || !aInfo)
    return FALSE;
  if (aInfo->fMask & (MIIM_FTYPE | MIIM_TYPE))
    aInfo->fType = item->Type;
  if (aInfo->fMask & MIIM_STATE)
    aInfo->fState = item->State;
  if (aInfo->fMask & MIIM_ID)
    aInfo->wID = item->Id;
  if (aInfo->fMask & MIIM_DATA)
    aInfo->dwItemData = item->Data;
  if (aInfo->fMask & (MIIM_STRING | MIIM_TYPE)) {
    if (aInfo->dwTypeData)
      CopyText(item->Text, aInfo->dwTypeData, int(aInfo->cch));
    aInfo->cch = UINT(item->Text.size());
  }
  return TRUE;
}

int GetMenuStringW(HMENU aMenu, UINT aIdItem, char* aString, int aMaxCount, UINT aFlags) {
  const MenuItem* item = ItemOf(aMenu, aIdItem, aFlags);
  return item ? CopyText(item->Text, aString, aMaxCount) : 0;
}

std::string GetMenuStringW(HMENU aMenu, UINT aIdItem, UINT aFlags) {
  const MenuItem* item = ItemOf(aMenu, aIdItem, aFlags);
  return item ? item->Text : std::string();
}

HMENU GetSystemMenu(HWND aWnd, BOOL aRevert) {
  Window* w = Live(aWnd);
  if (!w)
    return nullptr;
  MenuRecord* m = FindMenu(w->SystemMenu);
  if (!m && (w->Style & WS_SYSMENU)) {
    w->SystemMenu = NewMenu();
    m = FindMenu(w->SystemMenu);
    m->SystemOf = aWnd;
    FillSystemMenu(*m, w->Style);
  } else if (m && aRevert) {
    FillSystemMenu(*m, w->Style);
  }
  if (!m || aRevert)
    return nullptr;
  UpdateSystemMenu(*m, w->Style);
  return w->SystemMenu;
}

namespace detail {

HWND SystemMenuOwner(HMENU aMenu) {
  const MenuRecord* m = FindMenu(aMenu);
  return m ? m->SystemOf : nullptr;
}

bool CloseAllowed(HWND aWnd) {
  const Window* w = Live(aWnd);
  if (!w || !w->SystemMenu)
    return true;
  const UINT state = GetMenuState(w->SystemMenu, UINT(SC_CLOSE), MF_BYCOMMAND);
  return state == UINT(-1) || !(state & (MF_GRAYED | MF_DISABLED));
}

void FreeSystemMenu(HMENU aMenu) {
  Menus().Menus.erase(reinterpret_cast<std::uintptr_t>(aMenu));
}

} // namespace detail

} // namespace platform
