#include "platform/win/PopupMenu.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"

#include <algorithm>
#include <string>
#include <vector>

namespace platform {

namespace {

// The popup's raised edge and the gap inside it.
constexpr int MenuFrame = 3;
constexpr int SeparatorHeight = 8;
// Room before an item's text (for a check mark), between the text and the
// shortcut column, and after the widest text.
constexpr int TextIndent = 17;
constexpr int ShortcutGap = 16;
constexpr int RightIndent = 17;
constexpr LRESULT MA_NOACTIVATE = 3;

struct PopupItem {
  TRect Rect; // client coordinates of the popup
  bool Separator = false;
  bool Enabled = true;
  UINT Id = 0;
  std::string Text;
  std::string Shortcut;
  char32_t Mnemonic = 0;
};

// The menu being tracked.
struct Tracking {
  HMENU Menu = nullptr;
  HWND Owner = nullptr;
  HWND Popup = nullptr;
  UINT Flags = 0;
  std::vector<PopupItem> Items;
  int ShortcutLeft = 0;
  TSize Size;
  int Selected = -1;
  bool Done = false;
  UINT Chosen = 0;
  bool ByMouse = false;
};

Tracking* gTracking = nullptr;

char32_t Lower(char32_t aChar) {
  return aChar >= U'A' && aChar <= U'Z' ? aChar - U'A' + U'a' : aChar;
}

// The character after the first single '&' (ASCII only), or 0.
char32_t MnemonicOf(const std::string& aText) {
  for (std::size_t i = 0; i + 1 < aText.size(); ++i) {
    if (aText[i] != '&')
      continue;
    if (aText[i + 1] == '&') {
      ++i;
      continue;
    }
    const auto c = static_cast<unsigned char>(aText[i + 1]);
    return c < 0x80 ? Lower(c) : 0;
  }
  return 0;
}

constexpr UINT TextFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT;

int TextWidth(HDC aDC, const std::string& aText) {
  if (aText.empty())
    return 0;
  RECT r{0, 0, 0, 0};
  DrawTextW(aDC, aText, &r, TextFormat | DT_CALCRECT);
  return r.Width();
}

// The type, state, id and whole text of the item at a position: its length
// first, then the text into a buffer that holds it; false when there is no
// such item.
bool ReadItem(HMENU aMenu, UINT aPosition, MENUITEMINFOW& aInfo, std::string& aText) {
  aInfo.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
  aInfo.dwTypeData = nullptr;
  if (!GetMenuItemInfoW(aMenu, aPosition, TRUE, &aInfo))
    return false;
  std::string buffer(std::size_t(aInfo.cch) + 1, '\0');
  aInfo.dwTypeData = buffer.data();
  aInfo.cch = UINT(buffer.size());
  if (!GetMenuItemInfoW(aMenu, aPosition, TRUE, &aInfo))
    return false;
  aText.assign(buffer.c_str());
  return true;
}

// The items of the menu and their places in the popup.
void LayOut(Tracking& aTrack) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetNonClientFont(NonClientFont::Menu));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  const int itemHeight = std::max(GetSystemMetrics(SM_CYMENU), int(tm.tmHeight) + 4);
  int textWidth = 0, shortcutWidth = 0;
  int y = MenuFrame;
  const int count = GetMenuItemCount(aTrack.Menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info;
    std::string text;
    if (!ReadItem(aTrack.Menu, UINT(i), info, text))
      continue;
    PopupItem item;
    item.Separator = (info.fType & MFT_SEPARATOR) != 0;
    item.Enabled = !item.Separator && !(info.fState & (MF_GRAYED | MF_DISABLED));
    item.Id = info.wID;
    const int height = item.Separator ? SeparatorHeight : itemHeight;
    item.Rect = {MenuFrame, y, MenuFrame, y + height};
    y += height;
    if (!item.Separator) {
      const std::size_t tab = text.find('\t');
      item.Text = text.substr(0, tab);
      if (tab != std::string::npos)
        item.Shortcut = text.substr(tab + 1);
      item.Mnemonic = MnemonicOf(item.Text);
      textWidth = std::max(textWidth, TextWidth(dc, item.Text));
      shortcutWidth = std::max(shortcutWidth, TextWidth(dc, item.Shortcut));
    }
    aTrack.Items.push_back(std::move(item));
  }
  DeleteDC(dc);
  const int inner =
      TextIndent + textWidth + (shortcutWidth ? ShortcutGap + shortcutWidth : 0) + RightIndent;
  aTrack.ShortcutLeft = MenuFrame + TextIndent + textWidth + ShortcutGap;
  for (PopupItem& item : aTrack.Items)
    item.Rect.Right = MenuFrame + inner;
  aTrack.Size = {inner + 2 * MenuFrame, y + MenuFrame};
}

void Paint(HDC aDC, const Tracking& aTrack) {
  RECT whole{0, 0, aTrack.Size.cx, aTrack.Size.cy};
  FillSolidRect(aDC, &whole, GetSysColor(COLOR_MENU));
  DrawEdge(aDC, &whole, EDGE_RAISED, BF_RECT);
  SelectObject(aDC, GetNonClientFont(NonClientFont::Menu));
  SetBkMode(aDC, TRANSPARENT);
  for (std::size_t i = 0; i < aTrack.Items.size(); ++i) {
    const PopupItem& item = aTrack.Items[i];
    if (item.Separator) {
      const int mid = item.Rect.Top + SeparatorHeight / 2 - 1;
      const RECT shadow{item.Rect.Left, mid, item.Rect.Right, mid + 1};
      const RECT light{item.Rect.Left, mid + 1, item.Rect.Right, mid + 2};
      FillSolidRect(aDC, &shadow, GetSysColor(COLOR_BTNSHADOW));
      FillSolidRect(aDC, &light, GetSysColor(COLOR_BTNHIGHLIGHT));
      continue;
    }
    const bool selected = int(i) == aTrack.Selected;
    if (selected)
      FillSolidRect(aDC, &item.Rect, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(aDC, GetSysColor(!item.Enabled ? COLOR_GRAYTEXT
                                  : selected    ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_MENUTEXT));
    RECT text{item.Rect.Left + TextIndent, item.Rect.Top, item.Rect.Right, item.Rect.Bottom};
    DrawTextW(aDC, item.Text, &text, TextFormat);
    if (!item.Shortcut.empty()) {
      RECT shortcut{aTrack.ShortcutLeft, item.Rect.Top, item.Rect.Right, item.Rect.Bottom};
      DrawTextW(aDC, item.Shortcut, &shortcut, TextFormat);
    }
  }
}

LRESULT PopupProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  const bool ours = gTracking && gTracking->Popup == aWnd;
  switch (aMsg) {
  case WM_ERASEBKGND:
    return 1;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(aWnd, &ps);
    if (ours)
      Paint(dc, *gTracking);
    EndPaint(aWnd, &ps);
    return 0;
  }
  case MN_GETHMENU:
    return ours ? reinterpret_cast<LRESULT>(gTracking->Menu) : 0;
  case WM_MOUSEACTIVATE:
    return MA_NOACTIVATE;
  }
  return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
}

const char* PopupClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = PopupProc;
    wc.lpszClassName = PopupMenuClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered ? PopupMenuClassName : nullptr;
}

// The popup's top-left corner: aligned to the point as the flags say, moved
// to the point's other side where the screen ends.
POINT Place(TSize aSize, UINT aFlags, int aX, int aY) {
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  int x = (aFlags & TPM_RIGHTALIGN)    ? aX - aSize.cx
          : (aFlags & TPM_CENTERALIGN) ? aX - aSize.cx / 2
                                       : aX;
  int y = (aFlags & TPM_BOTTOMALIGN)    ? aY - aSize.cy
          : (aFlags & TPM_VCENTERALIGN) ? aY - aSize.cy / 2
                                        : aY;
  if (x + aSize.cx > screenW)
    x = aX - aSize.cx;
  if (y + aSize.cy > screenH)
    y = aY - aSize.cy;
  return {std::max(x, 0), std::max(y, 0)};
}

void Select(Tracking& aTrack, int aIndex) {
  if (aIndex == aTrack.Selected)
    return;
  aTrack.Selected = aIndex;
  InvalidateRect(aTrack.Popup, nullptr, FALSE);
}

void Choose(Tracking& aTrack, int aIndex, bool aByMouse) {
  const PopupItem& item = aTrack.Items[std::size_t(aIndex)];
  if (!item.Enabled)
    return;
  aTrack.Chosen = item.Id;
  aTrack.ByMouse = aByMouse;
  aTrack.Done = true;
}

// The item (not a separator) under a screen point, or -1.
int ItemAt(const Tracking& aTrack, POINT aScreen) {
  ScreenToClient(aTrack.Popup, &aScreen);
  for (std::size_t i = 0; i < aTrack.Items.size(); ++i)
    if (!aTrack.Items[i].Separator && aTrack.Items[i].Rect.Contains({aScreen.X, aScreen.Y}))
      return int(i);
  return -1;
}

// The next item (not a separator) from aFrom in steps of aStep, wrapping
// round; -1 when there is none.
int Step(const Tracking& aTrack, int aFrom, int aStep) {
  const int n = int(aTrack.Items.size());
  int i = aFrom;
  for (int tries = 0; tries < n; ++tries) {
    i = ((i + aStep) % n + n) % n;
    if (!aTrack.Items[std::size_t(i)].Separator)
      return i;
  }
  return -1;
}

void Mnemonic(Tracking& aTrack, char32_t aChar) {
  const int n = int(aTrack.Items.size());
  int first = -1, matches = 0;
  for (int k = 1; k <= n; ++k) {
    const int i = (aTrack.Selected + k + n) % n;
    if (aTrack.Items[std::size_t(i)].Mnemonic == Lower(aChar) && aChar) {
      if (first < 0)
        first = i;
      ++matches;
    }
  }
  if (first < 0)
    return;
  Select(aTrack, first);
  if (matches == 1)
    Choose(aTrack, first, false);
}

bool IsMouseMessage(UINT aMsg) {
  return aMsg >= WM_MOUSEFIRST && aMsg <= WM_MOUSELAST;
}

// A mouse message on the popup: moving selects, a press outside cancels, a
// release over an item chooses it (the right button only with
// TPM_RIGHTBUTTON).
void MenuMouse(Tracking& aTrack, const MSG& aMsg) {
  RECT box;
  GetWindowRect(aTrack.Popup, &box);
  const bool inside = box.Contains({aMsg.pt.X, aMsg.pt.Y});
  const int at = inside ? ItemAt(aTrack, aMsg.pt) : -1;
  const bool rightChooses = (aTrack.Flags & TPM_RIGHTBUTTON) != 0;
  switch (aMsg.message) {
  case WM_MOUSEMOVE:
    Select(aTrack, at);
    break;
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDBLCLK:
  case WM_MBUTTONDBLCLK:
    if (!inside)
      aTrack.Done = true;
    else
      Select(aTrack, at);
    break;
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
    if (at >= 0 && (aMsg.message == WM_LBUTTONUP || rightChooses))
      Choose(aTrack, at, true);
    break;
  }
}

// A key pressed while the menu is open: the arrows, Home and End select,
// Enter chooses, Escape, Alt and F10 cancel.
void MenuKey(Tracking& aTrack, const MSG& aMsg) {
  switch (int(aMsg.wParam)) {
  case VK_DOWN:
    Select(aTrack, Step(aTrack, aTrack.Selected < 0 ? -1 : aTrack.Selected, 1));
    break;
  case VK_UP:
    Select(aTrack, Step(aTrack, aTrack.Selected < 0 ? 0 : aTrack.Selected, -1));
    break;
  case VK_HOME:
    Select(aTrack, Step(aTrack, -1, 1));
    break;
  case VK_END:
    Select(aTrack, Step(aTrack, 0, -1));
    break;
  case VK_RETURN:
    if (aTrack.Selected >= 0)
      Choose(aTrack, aTrack.Selected, false);
    break;
  case VK_ESCAPE:
  case VK_MENU:
  case VK_F10:
    aTrack.Done = true;
    break;
  default:
    // The character of the key comes as WM_CHAR or WM_SYSCHAR.
    TranslateMessage(&aMsg);
    break;
  }
}

// Handles a message of the loop that belongs to the menu; false for the
// others, which are dispatched.
bool HandleMenuMessage(Tracking& aTrack, const MSG& aMsg) {
  if (IsMouseMessage(aMsg.message) && aMsg.hwnd == aTrack.Popup) {
    MenuMouse(aTrack, aMsg);
    return true;
  }
  switch (aMsg.message) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    MenuKey(aTrack, aMsg);
    return true;
  case WM_CHAR:
  case WM_SYSCHAR:
    Mnemonic(aTrack, char32_t(aMsg.wParam));
    return true;
  case WM_KEYUP:
  case WM_SYSKEYUP:
    return true;
  }
  return false;
}

// Whether the loop goes on: the owner, the popup, its capture and the menu
// are all still there.
bool StillTracking(const Tracking& aTrack) {
  return !aTrack.Done && IsWindow(aTrack.Owner) && IsWindow(aTrack.Popup) &&
         GetCapture() == aTrack.Popup && IsMenu(aTrack.Menu);
}

void RunLoop(Tracking& aTrack, bool aNotify) {
  bool idleSent = false;
  MSG msg;
  while (StillTracking(aTrack)) {
    if (aNotify && !idleSent && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      idleSent = true;
      SendMessageW(aTrack.Owner, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(aTrack.Popup));
      continue;
    }
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(int(msg.wParam));
      aTrack.Chosen = 0;
      break;
    }
    idleSent = false;
    if (!HandleMenuMessage(aTrack, msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

} // namespace

BOOL TrackPopupMenu(HMENU aMenu, UINT aFlags, int aX, int aY, int, HWND aWnd, const RECT*) {
  if (gTracking || !IsWindow(aWnd) || GetMenuItemCount(aMenu) <= 0 || !PopupClass())
    return FALSE;
  const bool notify = !(aFlags & TPM_NONOTIFY);
  const bool system = detail::SystemMenuOwner(aMenu) != nullptr;
  if (notify) {
    SendMessageW(aWnd, WM_ENTERMENULOOP, TRUE, 0);
    SendMessageW(aWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(aMenu), MAKELPARAM(0, system));
  }
  Tracking track;
  track.Menu = aMenu;
  track.Owner = aWnd;
  track.Flags = aFlags;
  if (IsWindow(aWnd) && GetMenuItemCount(aMenu) > 0) {
    LayOut(track);
    const POINT at = Place(track.Size, aFlags, aX, aY);
    track.Popup = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, PopupClass(),
                                  "", WS_POPUP, at.X, at.Y, track.Size.cx, track.Size.cy, aWnd,
                                  nullptr, nullptr, nullptr);
  }
  if (track.Popup) {
    gTracking = &track;
    ShowWindow(track.Popup, SW_SHOWNOACTIVATE);
    SetCapture(track.Popup);
    RunLoop(track, notify);
    gTracking = nullptr;
    if (GetCapture() == track.Popup)
      ReleaseCapture();
    DestroyWindow(track.Popup);
  }
  if (notify && IsWindow(aWnd)) {
    SendMessageW(aWnd, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(aMenu),
                 MAKELPARAM(0, system ? int(MF_SYSMENU) : 0));
    SendMessageW(aWnd, WM_EXITMENULOOP, TRUE, 0);
  }
  if (!track.Popup)
    return FALSE;
  if (aFlags & TPM_RETURNCMD)
    return BOOL(track.Chosen);
  if (track.Chosen && IsWindow(aWnd)) {
    POINT cursor{0, 0};
    if (track.ByMouse)
      GetCursorPos(&cursor);
    if (system)
      PostMessageW(aWnd, WM_SYSCOMMAND, track.Chosen, PointToLParam(cursor));
    else
      PostMessageW(aWnd, WM_COMMAND, MAKEWPARAM(int(track.Chosen), 0), 0);
  }
  return TRUE;
}

BOOL GetMenuItemRect(HWND, HMENU aMenu, UINT aItem, RECT* aRect) {
  if (!gTracking || gTracking->Menu != aMenu || aItem >= gTracking->Items.size() || !aRect)
    return FALSE;
  RECT box;
  GetWindowRect(gTracking->Popup, &box);
  *aRect = gTracking->Items[aItem].Rect.Offset(box.Left, box.Top);
  return TRUE;
}

BOOL EndMenu() {
  if (!gTracking)
    return FALSE;
  gTracking->Done = true;
  PostMessageW(nullptr, WM_NULL, 0, 0);
  return TRUE;
}

} // namespace platform
