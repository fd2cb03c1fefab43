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

// A selection made by the user, which the parent hears of.
void SelectByUser(HWND aWnd, ListBoxState& aState, int aIndex) {
  if (aState.Count() == 0)
    return;
  Select(aWnd, aState, std::clamp(aIndex, 0, aState.Count() - 1));
  if (DWORD(GetWindowLongW(aWnd, GWL_STYLE)) & LBS_NOTIFY)
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

void PaintListBox(HWND aWnd, const ListBoxState& aState, HDC aDC) {
  RECT client;
  GetClientRect(aWnd, &client);
  const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
  const bool ownerDraw = (style & LBS_OWNERDRAWFIXED) != 0;
  const bool enabled = IsWindowEnabled(aWnd) != FALSE;
  HWND parent = GetParent(aWnd);
  RECT clip;
  GetClipBox(aDC, &clip);
  HFONT old = SelectObject(aDC, aState.Font);
  // The parent sets the text colour and gives the background brush.
  auto brush = HBRUSH(SendMessageW(parent, WM_CTLCOLORLISTBOX, WPARAM(aDC), LPARAM(aWnd)));
  const COLORREF text = GetTextColor(aDC);
  const int first = aState.Top + std::max(0, clip.Top) / aState.ItemHeight;
  const int last = std::min(aState.Count() - 1, aState.Top + (clip.Bottom - 1) / aState.ItemHeight);
  for (int i = first; i <= last; ++i) {
    const RECT r = ItemRect(aWnd, aState, i);
    const bool selected = i == aState.Selected;
    UINT state = 0;
    if (selected)
      state |= ODS_SELECTED;
    if (aState.Focused && i == CaretLine(aState))
      state |= ODS_FOCUS;
    if (!enabled)
      state |= ODS_DISABLED;
    if (ownerDraw) {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_LISTBOX;
      dis.CtlID = UINT(GetWindowLongPtrW(aWnd, GWLP_ID));
      dis.itemID = UINT(i);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = state;
      dis.hwndItem = aWnd;
      dis.hDC = aDC;
      dis.rcItem = r;
      dis.itemData = aState.Data.empty() ? 0 : aState.Data[std::size_t(i)];
      const ScopedSaveDC saved(aDC);
      IntersectClipRect(aDC, r.Left, r.Top, r.Right, r.Bottom);
      SendMessageW(parent, WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
      continue;
    }
    const ListItem& item = aState.Items[std::size_t(i)];
    const std::string_view line(aState.Text.data() + item.Offset, item.Length);
    if (selected) {
      FillSolidRect(aDC, &r, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(aDC, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      if (brush != nullptr)
        FillRect(aDC, &r, brush);
      SetTextColor(aDC, enabled ? text : GetSysColor(COLOR_GRAYTEXT));
    }
    SetBkMode(aDC, TRANSPARENT);
    RECT tr{r.Left + 2, r.Top, r.Right, r.Bottom};
    DrawTextW(aDC, line, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (state & ODS_FOCUS)
      DrawFocusRect(aDC, &r);
  }
  SelectObject(aDC, old);
}

int FontLineHeight(HFONT aFont) {
  HFONT f = FontInUse(aFont);
  return f != nullptr ? std::max(1, int(f->Metrics().tmHeight)) : 13;
}

} // namespace

LRESULT ListBoxWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  auto* s = StateOf<ListBoxState>(aWnd);
  if (aMsg == WM_NCCREATE) {
    auto* state = new ListBoxState;
    state->ItemHeight = FontLineHeight(nullptr);
    const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
    state->HasBar = (style & WS_VSCROLL) != 0;
    state->KeepBar = (style & LBS_DISABLENOSCROLL) != 0;
    SetPropW(aWnd, kStateProp, state);
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  }
  if (s == nullptr)
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  const int count = s->Count();
  switch (aMsg) {
  case WM_NCDESTROY:
    RemovePropW(aWnd, kStateProp);
    delete s;
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  case WM_CREATE:
    UpdateScrollBar(aWnd, *s);
    return 0;
  case WM_GETDLGCODE:
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
  case WM_SETFONT:
    s->Font = HFONT(aWParam);
    if (!(DWORD(GetWindowLongW(aWnd, GWL_STYLE)) & LBS_OWNERDRAWFIXED))
      s->ItemHeight = FontLineHeight(s->Font);
    UpdateScrollBar(aWnd, *s);
    if (aLParam)
      InvalidateAll(aWnd, *s);
    return 0;
  case WM_GETFONT:
    return LRESULT(s->Font);
  case WM_ERASEBKGND: {
    auto brush = HBRUSH(SendMessageW(GetParent(aWnd), WM_CTLCOLORLISTBOX, aWParam, LPARAM(aWnd)));
    RECT r;
    GetClientRect(aWnd, &r);
    if (brush != nullptr)
      FillRect(HDC(aWParam), &r, brush);
    else
      FillSolidRect(HDC(aWParam), &r, GetSysColor(COLOR_WINDOW));
    return 1;
  }
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = aWParam != 0 ? HDC(aWParam) : BeginPaint(aWnd, &ps);
    PaintListBox(aWnd, *s, dc);
    if (aWParam == 0)
      EndPaint(aWnd, &ps);
    // Whoever began this paint took the pending area.
    s->AllInvalid = false;
    return 0;
  }
  case WM_PRINTCLIENT:
    PaintListBox(aWnd, *s, HDC(aWParam));
    return 0;
  case WM_SIZE:
    s->Top = std::clamp(s->Top, 0, MaxTop(aWnd, *s));
    UpdateScrollBar(aWnd, *s);
    InvalidateAll(aWnd, *s);
    return 0;
  case WM_SETFOCUS:
    s->Focused = true;
    InvalidateItem(aWnd, *s, CaretLine(*s));
    return 0;
  case WM_KILLFOCUS:
    s->Focused = false;
    InvalidateItem(aWnd, *s, CaretLine(*s));
    return 0;
  case WM_ENABLE:
    InvalidateAll(aWnd, *s);
    return 0;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK: {
    if (GetFocus() != aWnd)
      SetFocus(aWnd);
    if (StateOf<ListBoxState>(aWnd) != s)
      return 0;
    const int y = ClientY(aLParam);
    const int index = s->Top + (y >= 0 ? y / s->ItemHeight : -1);
    if (index >= 0 && index < s->Count()) {
      s->Captured = true;
      SetCapture(aWnd);
      SelectByUser(aWnd, *s, index);
      if (aMsg == WM_LBUTTONDBLCLK && StateOf<ListBoxState>(aWnd) == s &&
          (DWORD(GetWindowLongW(aWnd, GWL_STYLE)) & LBS_NOTIFY))
        NotifyParent(aWnd, LBN_DBLCLK);
    }
    return 0;
  }
  case WM_MOUSEMOVE:
    if (s->Captured && count > 0) {
      RECT r;
      GetClientRect(aWnd, &r);
      const int y = ClientY(aLParam);
      int index = s->Top + y / s->ItemHeight;
      if (y < 0)
        index = s->Top - 1;
      else if (y >= r.Bottom)
        index = s->Top + VisibleRows(aWnd, *s);
      index = std::clamp(index, 0, count - 1);
      if (index != s->Selected)
        SelectByUser(aWnd, *s, index);
    }
    return 0;
  case WM_LBUTTONUP:
  case WM_CAPTURECHANGED:
    if (s->Captured) {
      s->Captured = false;
      if (aMsg == WM_LBUTTONUP)
        ReleaseCapture();
    }
    return 0;
  case WM_KEYDOWN: {
    const int rows = VisibleRows(aWnd, *s);
    int target = s->Selected;
    // In a list of one column, left and right move like up and down.
    switch (int(aWParam)) {
    case VK_UP:
    case VK_LEFT:
      target = s->Selected < 0 ? 0 : s->Selected - 1;
      break;
    case VK_DOWN:
    case VK_RIGHT:
      target = s->Selected + 1;
      break;
    case VK_PRIOR:
      target = s->Selected - (rows - 1);
      break;
    case VK_NEXT:
      target = s->Selected + (rows - 1);
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = count - 1;
      break;
    default:
      return 0;
    }
    if (count > 0) {
      target = std::clamp(target, 0, count - 1);
      if (target != s->Selected)
        SelectByUser(aWnd, *s, target);
    }
    return 0;
  }
  case WM_CHAR: {
    // The next line (after the selected one, wrapping) that starts with the
    // typed letter, whatever its case.
    if (count == 0 || aWParam < 0x21 || aWParam >= 0x7F)
      return 0;
    const int want = std::tolower(int(aWParam));
    for (int step = 1; step <= count; ++step) {
      const int i = (std::max(s->Selected, -1) + step) % count;
      const ListItem& item = s->Items[std::size_t(i)];
      if (item.Length > 0 &&
          std::tolower(static_cast<unsigned char>(s->Text[item.Offset])) == want) {
        SelectByUser(aWnd, *s, i);
        break;
      }
    }
    return 0;
  }
  case WM_MOUSEWHEEL: {
    // Three lines per notch; partial turns add up.
    s->WheelRest += std::int16_t(HIWORD(aWParam));
    const int notches = s->WheelRest / 120;
    s->WheelRest -= notches * 120;
    if (notches != 0)
      SetTop(aWnd, *s, s->Top - notches * 3);
    return 0;
  }
  case WM_VSCROLL: {
    const int rows = VisibleRows(aWnd, *s);
    switch (LOWORD(aWParam)) {
    case SB_LINEUP:
      SetTop(aWnd, *s, s->Top - 1);
      break;
    case SB_LINEDOWN:
      SetTop(aWnd, *s, s->Top + 1);
      break;
    case SB_PAGEUP:
      SetTop(aWnd, *s, s->Top - rows);
      break;
    case SB_PAGEDOWN:
      SetTop(aWnd, *s, s->Top + rows);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(aWnd, SB_VERT, &si);
      SetTop(aWnd, *s, si.nTrackPos);
      break;
    }
    case SB_TOP:
      SetTop(aWnd, *s, 0);
      break;
    case SB_BOTTOM:
      SetTop(aWnd, *s, MaxTop(aWnd, *s));
      break;
    default:
      break;
    }
    return 0;
  }
  case LB_ADDSTRING:
    return InsertString(aWnd, *s, -1, reinterpret_cast<const char*>(aLParam));
  case LB_INSERTSTRING:
    return InsertString(aWnd, *s, int(aWParam), reinterpret_cast<const char*>(aLParam));
  case LB_DELETESTRING:
    return DeleteString(aWnd, *s, int(aWParam));
  case LB_RESETCONTENT:
    s->Text.clear();
    s->Text.shrink_to_fit();
    s->Items.clear();
    s->Items.shrink_to_fit();
    s->Data.clear();
    s->Selected = -1;
    s->Top = 0;
    InvalidateAll(aWnd, *s);
    UpdateScrollBar(aWnd, *s);
    return 0;
  case LB_GETCOUNT:
    return count;
  case LB_SETCURSEL: {
    const int index = int(aWParam);
    if (index < -1 || index >= count)
      return LB_ERR;
    Select(aWnd, *s, index);
    return index < 0 ? LB_ERR : index;
  }
  case LB_GETCURSEL:
    return s->Selected;
  case LB_SETTOPINDEX:
    if (int(aWParam) < 0 || (count > 0 && int(aWParam) >= count))
      return LB_ERR;
    SetTop(aWnd, *s, int(aWParam));
    return LB_OKAY;
  case LB_GETTOPINDEX:
    return s->Top;
  case LB_GETTEXTLEN:
    if (int(aWParam) < 0 || int(aWParam) >= count)
      return LB_ERR;
    return LRESULT(s->Items[aWParam].Length);
  case LB_GETTEXT: {
    if (int(aWParam) < 0 || int(aWParam) >= count || aLParam == 0)
      return LB_ERR;
    const ListItem& item = s->Items[aWParam];
    char* out = reinterpret_cast<char*>(aLParam);
    std::memcpy(out, s->Text.data() + item.Offset, item.Length);
    out[item.Length] = '\0';
    return LRESULT(item.Length);
  }
  case LB_GETITEMRECT:
    if (int(aWParam) < 0 || int(aWParam) >= std::max(count, 1) || aLParam == 0)
      return LB_ERR;
    *reinterpret_cast<RECT*>(aLParam) = ItemRect(aWnd, *s, int(aWParam));
    return LB_OKAY;
  case LB_SETITEMHEIGHT:
    if (LOWORD(aLParam) == 0 || LOWORD(aLParam) > 255)
      return LB_ERR;
    s->ItemHeight = LOWORD(aLParam);
    s->Top = std::clamp(s->Top, 0, MaxTop(aWnd, *s));
    UpdateScrollBar(aWnd, *s);
    InvalidateAll(aWnd, *s);
    return LB_OKAY;
  case LB_GETITEMHEIGHT:
    return s->ItemHeight;
  case LB_ITEMFROMPOINT: {
    RECT r;
    GetClientRect(aWnd, &r);
    const int x = ClientX(aLParam);
    const int y = ClientY(aLParam);
    const bool outside = !r.Contains({x, y});
    const int index =
        std::clamp(s->Top + std::max(y, 0) / s->ItemHeight, 0, std::max(count - 1, 0));
    const bool beyond = s->Top + std::max(y, 0) / s->ItemHeight >= count;
    return LRESULT(MAKELONG(WORD(index), WORD(outside || beyond ? 1 : 0)));
  }
  case LB_SETITEMDATA:
    if (int(aWParam) < 0 || int(aWParam) >= count)
      return LB_ERR;
    if (s->Data.empty())
      s->Data.assign(std::size_t(count), 0);
    s->Data[aWParam] = DWORD_PTR(aLParam);
    return LB_OKAY;
  case LB_GETITEMDATA:
    if (int(aWParam) < 0 || int(aWParam) >= count)
      return LB_ERR;
    return s->Data.empty() ? 0 : LRESULT(s->Data[aWParam]);
  default:
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  }
}

std::size_t ListBoxMemoryUsed(HWND aWnd) {
  const auto* s = StateOf<ListBoxState>(aWnd);
  if (s == nullptr)
    return 0;
  return sizeof(ListBoxState) + s->Text.capacity() + s->Items.capacity() * sizeof(ListItem) +
         s->Data.capacity() * sizeof(DWORD_PTR);
}

} // namespace platform
