#include "platform/gfx/Drawing.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/Window.h"
#include "toolkit/StdClassState.h"
#include "toolkit/StdCtrlDefs.h"
#include "toolkit/StdWindowClasses.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>
// The list box: lines in one buffer, single selection, the LB_* messages,
// a vertical scroll bar shown while the lines do not fit, owner-draw fixed
// lines, keyboard and wheel scrolling.

namespace platform {

using namespace stdclass;

namespace {

struct ListItem {
  std::uint32_t Offset;
  std::uint32_t Length;
};

struct ListBoxState {
  // Line texts live back to back in Text; deleted lines leave their bytes
  // until the list is emptied.
  std::string Text;
  std::vector<ListItem> Items;
  // Item data, only once some line has any.
  std::vector<DWORD_PTR> Data;
  int Selected = -1;
  int Top = 0;
  int ItemHeight = 13;
  int WheelRest = 0;
  bool Captured = false;
  bool Focused = false;
  HFONT Font = nullptr;
  // The whole client area waits for a paint: single lines need no marking.
  bool AllInvalid = false;
  // What the scroll bar was last told.
  SCROLLINFO Shown;
  // Made with a vertical bar; keep it (disabled) when the lines fit.
  bool HasBar = false;
  bool KeepBar = false;

  int Count() const { return int(Items.size()); }
};

// The line that shows the focus frame: the selected one, or the first while
// none is selected, so a focused list always shows where the keys act.
int CaretLine(const ListBoxState& aState) {
  return aState.Selected >= 0 ? aState.Selected : (aState.Count() > 0 ? 0 : -1);
}

// Whether the whole client area still waits for a paint. A subclass that
// paints the lines itself validates the area without the list's own
// WM_PAINT, so the mark holds only while an update is pending.
bool AllStillInvalid(HWND aWnd, ListBoxState& aState) {
  if (aState.AllInvalid && !GetUpdateRect(aWnd, nullptr, FALSE))
    aState.AllInvalid = false;
  return aState.AllInvalid;
}

void InvalidateAll(HWND aWnd, ListBoxState& aState) {
  if (AllStillInvalid(aWnd, aState))
    return;
  aState.AllInvalid = true;
  InvalidateRect(aWnd, nullptr, TRUE);
}

int VisibleRows(HWND aWnd, const ListBoxState& aState) {
  RECT r;
  GetClientRect(aWnd, &r);
  return std::max(1, r.Height() / aState.ItemHeight);
}

int MaxTop(HWND aWnd, const ListBoxState& aState) {
  return std::max(0, aState.Count() - VisibleRows(aWnd, aState));
}

void UpdateScrollBar(HWND aWnd, ListBoxState& aState) {
  if (!aState.HasBar)
    return;
  // The bar shows only while the lines do not fit, unless it is to stay.
  const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
  const bool show = aState.KeepBar || aState.Count() > VisibleRows(aWnd, aState);
  if (show != ((style & WS_VSCROLL) != 0)) {
    SetWindowLongW(aWnd, GWL_STYLE, LONG(show ? style | WS_VSCROLL : style & ~WS_VSCROLL));
    aState.Shown = SCROLLINFO{};
    SetWindowPos(aWnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateAll(aWnd, aState);
  }
  if (!show)
    return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(0, aState.Count() - 1);
  si.nPage = UINT(VisibleRows(aWnd, aState));
  si.nPos = aState.Top;
  if (si.nMax == aState.Shown.nMax && si.nPage == aState.Shown.nPage &&
      si.nPos == aState.Shown.nPos && aState.Shown.fMask != 0)
    return;
  aState.Shown = si;
  SetScrollInfo(aWnd, SB_VERT, &si, TRUE);
}

RECT ItemRect(HWND aWnd, const ListBoxState& aState, int aIndex) {
  RECT r;
  GetClientRect(aWnd, &r);
  const int top = (aIndex - aState.Top) * aState.ItemHeight;
  return {0, top, r.Right, top + aState.ItemHeight};
}

void InvalidateItem(HWND aWnd, ListBoxState& aState, int aIndex) {
  if (aIndex < aState.Top || aIndex >= aState.Count())
    return;
  // A line below the visible ones costs nothing; only then is the update
  // region looked at.
  RECT r = ItemRect(aWnd, aState, aIndex);
  RECT client;
  GetClientRect(aWnd, &client);
  if (r.Top < client.Bottom && !AllStillInvalid(aWnd, aState))
    InvalidateRect(aWnd, &r, TRUE);
}

void SetTop(HWND aWnd, ListBoxState& aState, int aTop) {
  aTop = std::clamp(aTop, 0, MaxTop(aWnd, aState));
  if (aTop == aState.Top)
    return;
  aState.Top = aTop;
  InvalidateAll(aWnd, aState);
  UpdateScrollBar(aWnd, aState);
}

void EnsureVisible(HWND aWnd, ListBoxState& aState, int aIndex) {
  if (aIndex < 0)
    return;
  const int rows = VisibleRows(aWnd, aState);
  if (aIndex < aState.Top)
    SetTop(aWnd, aState, aIndex);
  else if (aIndex >= aState.Top + rows)
    SetTop(aWnd, aState, aIndex - rows + 1);
}

void Select(HWND aWnd, ListBoxState& aState, int aIndex) {
  if (aIndex == aState.Selected) {
    EnsureVisible(aWnd, aState, aIndex);
    return;
  }
  InvalidateItem(aWnd, aState, CaretLine(aState));
  aState.Selected = aIndex;
  EnsureVisible(aWnd, aState, aIndex);
  InvalidateItem(aWnd, aState, CaretLine(aState));
}

bool Notifies(HWND aWnd) {
  return (DWORD(GetWindowLongW(aWnd, GWL_STYLE)) & LBS_NOTIFY) != 0;
}

// A selection made by the user, which the parent hears of.
void SelectByUser(HWND aWnd, ListBoxState& aState, int aIndex) {
  if (aState.Count() == 0)
    return;
  Select(aWnd, aState, std::clamp(aIndex, 0, aState.Count() - 1));
  if (Notifies(aWnd))
    NotifyParent(aWnd, LBN_SELCHANGE);
}

LRESULT InsertString(HWND aWnd, ListBoxState& aState, int aIndex, const char* aText) {
  const std::size_t len = aText != nullptr ? std::strlen(aText) : 0;
  if (aState.Text.size() + len > UINT32_MAX || aState.Items.size() >= std::size_t(INT32_MAX))
    return LB_ERRSPACE;
  const ListItem item{std::uint32_t(aState.Text.size()), std::uint32_t(len)};
  aState.Text.append(aText != nullptr ? aText : "", len);
  const int count = aState.Count();
  if (aIndex < 0 || aIndex >= count) {
    aIndex = count;
    aState.Items.push_back(item);
    if (!aState.Data.empty())
      aState.Data.push_back(0);
  } else {
    aState.Items.insert(aState.Items.begin() + aIndex, item);
    if (!aState.Data.empty())
      aState.Data.insert(aState.Data.begin() + aIndex, 0);
    if (aState.Selected >= aIndex)
      ++aState.Selected;
    // Lines below move down.
    RECT r = ItemRect(aWnd, aState, std::max(aIndex, aState.Top));
    RECT client;
    GetClientRect(aWnd, &client);
    r.Bottom = client.Bottom;
    if (!r.IsEmpty())
      InvalidateRect(aWnd, &r, TRUE);
  }
  InvalidateItem(aWnd, aState, aIndex);
  UpdateScrollBar(aWnd, aState);
  return aIndex;
}

LRESULT DeleteString(HWND aWnd, ListBoxState& aState, int aIndex) {
  if (aIndex < 0 || aIndex >= aState.Count())
    return LB_ERR;
  aState.Items.erase(aState.Items.begin() + aIndex);
  if (!aState.Data.empty())
    aState.Data.erase(aState.Data.begin() + aIndex);
  if (aState.Selected == aIndex)
    aState.Selected = -1;
  else if (aState.Selected > aIndex)
    --aState.Selected;
  if (aState.Items.empty())
    aState.Text.clear();
  aState.Top = std::clamp(aState.Top, 0, MaxTop(aWnd, aState));
  InvalidateAll(aWnd, aState);
  UpdateScrollBar(aWnd, aState);
  return aState.Count();
}

// The parent sets the text colour in aDC and gives the background brush.
HBRUSH ParentBrush(HWND aWnd, HDC aDC) {
  return HBRUSH(SendMessageW(GetParent(aWnd), WM_CTLCOLORLISTBOX, WPARAM(aDC), LPARAM(aWnd)));
}

// A line of text on the highlight when selected, else on the parent's
// brush in the colour the parent set (grey while disabled).
void DrawTextLine(HDC aDC, const ListBoxState& aState, int aIndex, const RECT& aRect,
                  UINT aItemState, HBRUSH aBrush, COLORREF aTextColor) {
  const ListItem& item = aState.Items[std::size_t(aIndex)];
  const std::string_view line(aState.Text.data() + item.Offset, item.Length);
  if (aItemState & ODS_SELECTED) {
    FillSolidRect(aDC, &aRect, GetSysColor(COLOR_HIGHLIGHT));
    SetTextColor(aDC, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    if (aBrush != nullptr)
      FillRect(aDC, &aRect, aBrush);
    SetTextColor(aDC, aItemState & ODS_DISABLED ? GetSysColor(COLOR_GRAYTEXT) : aTextColor);
  }
  SetBkMode(aDC, TRANSPARENT);
  RECT tr{aRect.Left + 2, aRect.Top, aRect.Right, aRect.Bottom};
  DrawTextW(aDC, line, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (aItemState & ODS_FOCUS)
    DrawFocusRect(aDC, &aRect);
}

// The parent draws an owner-drawn line, clipped to it.
void DrawLineByParent(HWND aWnd, HDC aDC, const ListBoxState& aState, int aIndex, const RECT& aRect,
                      UINT aItemState) {
  const ScopedSaveDC saved(aDC);
  IntersectClipRect(aDC, aRect.Left, aRect.Top, aRect.Right, aRect.Bottom);
  SendDrawItem(aWnd, ODT_LISTBOX, aDC, aRect, aItemState, UINT(aIndex),
               aState.Data.empty() ? 0 : aState.Data[std::size_t(aIndex)]);
}

// The lines within the clip box.
void PaintListBox(HWND aWnd, const ListBoxState& aState, HDC aDC) {
  const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
  const bool ownerDraw = (style & LBS_OWNERDRAWFIXED) != 0;
  const bool enabled = IsWindowEnabled(aWnd) != FALSE;
  RECT clip;
  GetClipBox(aDC, &clip);
  HFONT old = SelectObject(aDC, aState.Font);
  const HBRUSH brush = ParentBrush(aWnd, aDC);
  const COLORREF text = GetTextColor(aDC);
  const int first = aState.Top + std::max(0, clip.Top) / aState.ItemHeight;
  const int last = std::min(aState.Count() - 1, aState.Top + (clip.Bottom - 1) / aState.ItemHeight);
  for (int i = first; i <= last; ++i) {
    const RECT r = ItemRect(aWnd, aState, i);
    UINT state = 0;
    if (i == aState.Selected)
      state |= ODS_SELECTED;
    if (aState.Focused && i == CaretLine(aState))
      state |= ODS_FOCUS;
    if (!enabled)
      state |= ODS_DISABLED;
    if (ownerDraw)
      DrawLineByParent(aWnd, aDC, aState, i, r, state);
    else
      DrawTextLine(aDC, aState, i, r, state, brush, text);
  }
  SelectObject(aDC, old);
}

int FontLineHeight(HFONT aFont) {
  HFONT f = FontInUse(aFont);
  return f != nullptr ? std::max(1, int(f->Metrics().tmHeight)) : 13;
}

bool HasLine(const ListBoxState& aState, WPARAM aIndex) {
  return int(aIndex) >= 0 && int(aIndex) < aState.Count();
}

// After the client area or the line height changed: the top line within
// range, the bar and the whole area anew.
void Refit(HWND aWnd, ListBoxState& aState) {
  aState.Top = std::clamp(aState.Top, 0, MaxTop(aWnd, aState));
  UpdateScrollBar(aWnd, aState);
  InvalidateAll(aWnd, aState);
}

void SetFocused(HWND aWnd, ListBoxState& aState, bool aFocused) {
  aState.Focused = aFocused;
  InvalidateItem(aWnd, aState, CaretLine(aState));
}

// The line a key moves the selection to; none for other keys. In a list of
// one column, left and right move like up and down.
std::optional<int> KeyTarget(const ListBoxState& aState, int aKey, int aRows) {
  switch (aKey) {
  case VK_UP:
  case VK_LEFT:
    return aState.Selected < 0 ? 0 : aState.Selected - 1;
  case VK_DOWN:
  case VK_RIGHT:
    return aState.Selected + 1;
  case VK_PRIOR:
    return aState.Selected - (aRows - 1);
  case VK_NEXT:
    return aState.Selected + (aRows - 1);
  case VK_HOME:
    return 0;
  case VK_END:
    return aState.Count() - 1;
  default:
    return std::nullopt;
  }
}

// The next line (after the selected one, wrapping) that starts with aChar,
// whatever its case; -1 when there is none.
int NextLineStartingWith(const ListBoxState& aState, int aChar) {
  const int count = aState.Count();
  const int want = std::tolower(aChar);
  for (int step = 1; step <= count; ++step) {
    const int i = (std::max(aState.Selected, -1) + step) % count;
    const ListItem& item = aState.Items[std::size_t(i)];
    if (item.Length > 0 &&
        std::tolower(static_cast<unsigned char>(aState.Text[item.Offset])) == want)
      return i;
  }
  return -1;
}

// The top line a scroll bar request asks for; the current one for requests
// that do not scroll.
int ScrollTarget(HWND aWnd, const ListBoxState& aState, WORD aRequest) {
  const int rows = VisibleRows(aWnd, aState);
  switch (aRequest) {
  case SB_LINEUP:
    return aState.Top - 1;
  case SB_LINEDOWN:
    return aState.Top + 1;
  case SB_PAGEUP:
    return aState.Top - rows;
  case SB_PAGEDOWN:
    return aState.Top + rows;
  case SB_THUMBTRACK:
  case SB_THUMBPOSITION: {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    return GetScrollInfo(aWnd, SB_VERT, &si) ? si.nTrackPos : aState.Top;
  }
  case SB_TOP:
    return 0;
  case SB_BOTTOM:
    return MaxTop(aWnd, aState);
  default:
    return aState.Top;
  }
}

ListBoxState* CreateState(HWND aWnd) {
  auto* state = new ListBoxState;
  state->ItemHeight = FontLineHeight(nullptr);
  const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
  state->HasBar = (style & WS_VSCROLL) != 0;
  state->KeepBar = (style & LBS_DISABLENOSCROLL) != 0;
  return state;
}

// ---- window messages ----

LRESULT WMCreate(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM) {
  UpdateScrollBar(aWnd, aState);
  return 0;
}

LRESULT WMGetDlgCode(HWND, ListBoxState&, WPARAM, LPARAM) {
  return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT WMSetFont(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM aLParam) {
  aState.Font = HFONT(aWParam);
  if (!(DWORD(GetWindowLongW(aWnd, GWL_STYLE)) & LBS_OWNERDRAWFIXED))
    aState.ItemHeight = FontLineHeight(aState.Font);
  UpdateScrollBar(aWnd, aState);
  if (aLParam)
    InvalidateAll(aWnd, aState);
  return 0;
}

LRESULT WMEraseBkgnd(HWND aWnd, ListBoxState&, WPARAM aWParam, LPARAM) {
  const HBRUSH brush = ParentBrush(aWnd, HDC(aWParam));
  RECT r;
  GetClientRect(aWnd, &r);
  if (brush != nullptr)
    FillRect(HDC(aWParam), &r, brush);
  else
    FillSolidRect(HDC(aWParam), &r, GetSysColor(COLOR_WINDOW));
  return 1;
}

LRESULT WMPaint(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  // Whoever began this paint took the pending area.
  if (PaintClient(aWnd, aWParam, [&](HDC aDC) { PaintListBox(aWnd, aState, aDC); }))
    aState.AllInvalid = false;
  return 0;
}

LRESULT WMPrintClient(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  PaintListBox(aWnd, aState, HDC(aWParam));
  return 0;
}

LRESULT WMSize(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM) {
  Refit(aWnd, aState);
  return 0;
}

LRESULT WMSetFocus(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM) {
  SetFocused(aWnd, aState, true);
  return 0;
}

LRESULT WMKillFocus(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM) {
  SetFocused(aWnd, aState, false);
  return 0;
}

LRESULT WMEnable(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM) {
  InvalidateAll(aWnd, aState);
  return 0;
}

// A press selects the line under it and captures the mouse so that the
// selection follows it; a double click also tells the parent.
void MouseDown(HWND aWnd, ListBoxState& aState, LPARAM aLParam, bool aDoubleClick) {
  if (GetFocus() != aWnd)
    SetFocus(aWnd);
  // Taking the focus may have destroyed the window and the state with it.
  if (StateOf<ListBoxState>(aWnd) != &aState)
    return;
  const int y = ClientY(aLParam);
  const int index = aState.Top + (y >= 0 ? y / aState.ItemHeight : -1);
  if (index < 0 || index >= aState.Count())
    return;
  aState.Captured = true;
  SetCapture(aWnd);
  SelectByUser(aWnd, aState, index);
  if (aDoubleClick && StateOf<ListBoxState>(aWnd) == &aState && Notifies(aWnd))
    NotifyParent(aWnd, LBN_DBLCLK);
}

LRESULT WMLButtonDown(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM aLParam) {
  MouseDown(aWnd, aState, aLParam, false);
  return 0;
}

LRESULT WMLButtonDblClk(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM aLParam) {
  MouseDown(aWnd, aState, aLParam, true);
  return 0;
}

LRESULT WMMouseMove(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM aLParam) {
  const int count = aState.Count();
  if (!aState.Captured || count == 0)
    return 0;
  // Above or below the list the selection moves one line beyond the
  // visible ones, which scrolls.
  RECT r;
  GetClientRect(aWnd, &r);
  const int y = ClientY(aLParam);
  int index = aState.Top + y / aState.ItemHeight;
  if (y < 0)
    index = aState.Top - 1;
  else if (y >= r.Bottom)
    index = aState.Top + VisibleRows(aWnd, aState);
  index = std::clamp(index, 0, count - 1);
  if (index != aState.Selected)
    SelectByUser(aWnd, aState, index);
  return 0;
}

LRESULT WMLButtonUp(HWND, ListBoxState& aState, WPARAM, LPARAM) {
  if (aState.Captured) {
    aState.Captured = false;
    ReleaseCapture();
  }
  return 0;
}

LRESULT WMCaptureChanged(HWND, ListBoxState& aState, WPARAM, LPARAM) {
  aState.Captured = false;
  return 0;
}

LRESULT WMKeyDown(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  const std::optional<int> target = KeyTarget(aState, int(aWParam), VisibleRows(aWnd, aState));
  if (!target || aState.Count() == 0)
    return 0;
  const int index = std::clamp(*target, 0, aState.Count() - 1);
  if (index != aState.Selected)
    SelectByUser(aWnd, aState, index);
  return 0;
}

LRESULT WMChar(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  if (aState.Count() == 0 || aWParam < 0x21 || aWParam >= 0x7F)
    return 0;
  if (const int index = NextLineStartingWith(aState, int(aWParam)); index >= 0)
    SelectByUser(aWnd, aState, index);
  return 0;
}

LRESULT WMMouseWheel(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  // Three lines per notch; partial turns add up.
  aState.WheelRest += std::int16_t(HIWORD(aWParam));
  const int notches = aState.WheelRest / 120;
  aState.WheelRest -= notches * 120;
  if (notches != 0)
    SetTop(aWnd, aState, aState.Top - notches * 3);
  return 0;
}

LRESULT WMVScroll(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  SetTop(aWnd, aState, ScrollTarget(aWnd, aState, LOWORD(aWParam)));
  return 0;
}

// ---- list messages ----

LRESULT LBAddString(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM aLParam) {
  return InsertString(aWnd, aState, -1, reinterpret_cast<const char*>(aLParam));
}

LRESULT LBInsertString(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM aLParam) {
  return InsertString(aWnd, aState, int(aWParam), reinterpret_cast<const char*>(aLParam));
}

LRESULT LBDeleteString(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  return DeleteString(aWnd, aState, int(aWParam));
}

LRESULT LBResetContent(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM) {
  aState.Text.clear();
  aState.Text.shrink_to_fit();
  aState.Items.clear();
  aState.Items.shrink_to_fit();
  aState.Data.clear();
  aState.Selected = -1;
  aState.Top = 0;
  InvalidateAll(aWnd, aState);
  UpdateScrollBar(aWnd, aState);
  return 0;
}

LRESULT LBGetCount(HWND, ListBoxState& aState, WPARAM, LPARAM) {
  return aState.Count();
}

LRESULT LBSetCurSel(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  const int index = int(aWParam);
  if (index < -1 || index >= aState.Count())
    return LB_ERR;
  Select(aWnd, aState, index);
  return index < 0 ? LB_ERR : index;
}

LRESULT LBGetCurSel(HWND, ListBoxState& aState, WPARAM, LPARAM) {
  return aState.Selected;
}

LRESULT LBSetTopIndex(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  if (int(aWParam) < 0 || (aState.Count() > 0 && int(aWParam) >= aState.Count()))
    return LB_ERR;
  SetTop(aWnd, aState, int(aWParam));
  return LB_OKAY;
}

LRESULT LBGetTopIndex(HWND, ListBoxState& aState, WPARAM, LPARAM) {
  return aState.Top;
}

LRESULT LBGetTextLen(HWND, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  if (!HasLine(aState, aWParam))
    return LB_ERR;
  return LRESULT(aState.Items[aWParam].Length);
}

LRESULT LBGetText(HWND, ListBoxState& aState, WPARAM aWParam, LPARAM aLParam) {
  if (!HasLine(aState, aWParam) || aLParam == 0)
    return LB_ERR;
  const ListItem& item = aState.Items[aWParam];
  char* out = reinterpret_cast<char*>(aLParam);
  std::memcpy(out, aState.Text.data() + item.Offset, item.Length);
  out[item.Length] = '\0';
  return LRESULT(item.Length);
}

LRESULT LBGetItemRect(HWND aWnd, ListBoxState& aState, WPARAM aWParam, LPARAM aLParam) {
  // An empty list still answers for its first line.
  if (int(aWParam) < 0 || int(aWParam) >= std::max(aState.Count(), 1) || aLParam == 0)
    return LB_ERR;
  *reinterpret_cast<RECT*>(aLParam) = ItemRect(aWnd, aState, int(aWParam));
  return LB_OKAY;
}

LRESULT LBSetItemHeight(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM aLParam) {
  if (LOWORD(aLParam) == 0 || LOWORD(aLParam) > 255)
    return LB_ERR;
  aState.ItemHeight = LOWORD(aLParam);
  Refit(aWnd, aState);
  return LB_OKAY;
}

LRESULT LBGetItemHeight(HWND, ListBoxState& aState, WPARAM, LPARAM) {
  return aState.ItemHeight;
}

// The nearest line to a client point, with the high word set when the
// point is outside the client area or below the last line.
LRESULT LBItemFromPoint(HWND aWnd, ListBoxState& aState, WPARAM, LPARAM aLParam) {
  RECT r;
  GetClientRect(aWnd, &r);
  const int x = ClientX(aLParam);
  const int y = ClientY(aLParam);
  const bool outside = !r.Contains({x, y});
  const int line = aState.Top + std::max(y, 0) / aState.ItemHeight;
  const int index = std::clamp(line, 0, std::max(aState.Count() - 1, 0));
  const bool beyond = line >= aState.Count();
  return LRESULT(MAKELONG(WORD(index), WORD(outside || beyond ? 1 : 0)));
}

LRESULT LBSetItemData(HWND, ListBoxState& aState, WPARAM aWParam, LPARAM aLParam) {
  if (!HasLine(aState, aWParam))
    return LB_ERR;
  if (aState.Data.empty())
    aState.Data.assign(std::size_t(aState.Count()), 0);
  aState.Data[aWParam] = DWORD_PTR(aLParam);
  return LB_OKAY;
}

LRESULT LBGetItemData(HWND, ListBoxState& aState, WPARAM aWParam, LPARAM) {
  if (!HasLine(aState, aWParam))
    return LB_ERR;
  return aState.Data.empty() ? 0 : LRESULT(aState.Data[aWParam]);
}

constexpr MessageHandler<ListBoxState> kHandlers[] = {
    {WM_CREATE, WMCreate},
    {WM_GETDLGCODE, WMGetDlgCode},
    {WM_SETFONT, WMSetFont},
    {WM_GETFONT, WMGetFont<ListBoxState>},
    {WM_ERASEBKGND, WMEraseBkgnd},
    {WM_PAINT, WMPaint},
    {WM_PRINTCLIENT, WMPrintClient},
    {WM_SIZE, WMSize},
    {WM_SETFOCUS, WMSetFocus},
    {WM_KILLFOCUS, WMKillFocus},
    {WM_ENABLE, WMEnable},
    {WM_LBUTTONDOWN, WMLButtonDown},
    {WM_LBUTTONDBLCLK, WMLButtonDblClk},
    {WM_MOUSEMOVE, WMMouseMove},
    {WM_LBUTTONUP, WMLButtonUp},
    {WM_CAPTURECHANGED, WMCaptureChanged},
    {WM_KEYDOWN, WMKeyDown},
    {WM_CHAR, WMChar},
    {WM_MOUSEWHEEL, WMMouseWheel},
    {WM_VSCROLL, WMVScroll},
    {LB_ADDSTRING, LBAddString},
    {LB_INSERTSTRING, LBInsertString},
    {LB_DELETESTRING, LBDeleteString},
    {LB_RESETCONTENT, LBResetContent},
    {LB_GETCOUNT, LBGetCount},
    {LB_SETCURSEL, LBSetCurSel},
    {LB_GETCURSEL, LBGetCurSel},
    {LB_SETTOPINDEX, LBSetTopIndex},
    {LB_GETTOPINDEX, LBGetTopIndex},
    {LB_GETTEXTLEN, LBGetTextLen},
    {LB_GETTEXT, LBGetText},
    {LB_GETITEMRECT, LBGetItemRect},
    {LB_SETITEMHEIGHT, LBSetItemHeight},
    {LB_GETITEMHEIGHT, LBGetItemHeight},
    {LB_ITEMFROMPOINT, LBItemFromPoint},
    {LB_SETITEMDATA, LBSetItemData},
    {LB_GETITEMDATA, LBGetItemData},
};

} // namespace

LRESULT ListBoxWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  return HandleClassMessage(aWnd, aMsg, aWParam, aLParam, kHandlers, CreateState);
}

std::size_t ListBoxMemoryUsed(HWND aWnd) {
  const auto* s = StateOf<ListBoxState>(aWnd);
  if (s == nullptr)
    return 0;
  return sizeof(ListBoxState) + s->Text.capacity() + s->Items.capacity() * sizeof(ListItem) +
         s->Data.capacity() * sizeof(DWORD_PTR);
}

} // namespace platform
