#include "toolkit/ListBox.h"

#include "platform/gfx/TextLayout.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/WinDefs.h"
#include "toolkit/StdWindowClasses.h"

#include <algorithm>

using namespace platform;

int TListBoxStrings::Count() const {
  if (fOwner.HandleAllocated())
    return int(fOwner.SendList(LB_GETCOUNT, 0, 0));
  return int(fOwner.fSaved.size());
}

std::string TListBoxStrings::Strings(int aIndex) const {
  fOwner.CheckIndex(aIndex);
  if (!fOwner.HandleAllocated())
    return fOwner.fSaved[std::size_t(aIndex)];
  return fOwner.LineText(aIndex);
}

int TListBoxStrings::Add(const std::string& aText) {
  int index = Count();
  if (fOwner.HandleAllocated()) {
    const auto r = fOwner.SendList(LB_ADDSTRING, 0, LPARAM(aText.c_str()));
    if (r < 0)
      throw EComponentError("Not enough room for another line");
    index = int(r);
  } else {
    fOwner.fSaved.push_back(aText);
  }
  fOwner.ItemInserted(index);
  return index;
}

void TListBoxStrings::Insert(int aIndex, const std::string& aText) {
  if (aIndex < 0 || aIndex > Count())
    throw EComponentError("List index out of bounds (" + std::to_string(aIndex) + ")");
  if (fOwner.HandleAllocated()) {
    if (fOwner.SendList(LB_INSERTSTRING, WPARAM(aIndex), LPARAM(aText.c_str())) < 0)
      throw EComponentError("Not enough room for another line");
  } else {
    fOwner.fSaved.insert(fOwner.fSaved.begin() + aIndex, aText);
    if (fOwner.fSavedIndex >= aIndex)
      ++fOwner.fSavedIndex;
  }
  fOwner.ItemInserted(aIndex);
}

void TListBoxStrings::Delete(int aIndex) {
  fOwner.CheckIndex(aIndex);
  if (fOwner.HandleAllocated()) {
    fOwner.SendList(LB_DELETESTRING, WPARAM(aIndex), 0);
  } else {
    fOwner.fSaved.erase(fOwner.fSaved.begin() + aIndex);
    if (fOwner.fSavedIndex == aIndex)
      fOwner.fSavedIndex = -1;
    else if (fOwner.fSavedIndex > aIndex)
      --fOwner.fSavedIndex;
  }
  fOwner.ItemDeleted(aIndex);
}

void TListBoxStrings::Clear() {
  if (fOwner.HandleAllocated())
    fOwner.SendList(LB_RESETCONTENT, 0, 0);
  fOwner.fSaved.clear();
  fOwner.fSavedIndex = -1;
  fOwner.fSavedTop = 0;
  fOwner.ItemsCleared();
}

int TListBoxStrings::IndexOf(const std::string& aText) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (Strings(i) == aText)
      return i;
  return -1;
}

void TListBoxStrings::Assign(const std::vector<std::string>& aLines) {
  Clear();
  for (const std::string& s : aLines)
    Add(s);
}

TCustomListBox::TCustomListBox(TComponent* aOwner) : TWinControl(aOwner), fItems(*this) {
  // Clicks come from the list's selection notices, capture from the list.
  ControlStyleRef().Exclude(csClickEvents).Exclude(csCaptureMouse);
  SetTabStop(true);
  SetBounds(0, 0, 121, 97);
}

LRESULT TCustomListBox::SendList(UINT aMsg, WPARAM aWParam, LPARAM aLParam) const {
  return SendMessageW(fHandle, aMsg, aWParam, aLParam);
}

std::string TCustomListBox::LineText(int aIndex) const {
  const auto len = SendList(LB_GETTEXTLEN, WPARAM(aIndex), 0);
  if (len < 0)
    throw EComponentError("List index out of bounds (" + std::to_string(aIndex) + ")");
  std::string s(std::size_t(len) + 1, '\0');
  SendList(LB_GETTEXT, WPARAM(aIndex), LPARAM(s.data()));
  s.resize(std::size_t(len));
  return s;
}

void TCustomListBox::CheckIndex(int aIndex) const {
  if (aIndex < 0 || aIndex >= fItems.Count())
    throw EComponentError("List index out of bounds (" + std::to_string(aIndex) + ")");
}

void TCustomListBox::CreateParams(TCreateParams& aParams) {
  RegisterStandardWindowClasses();
  TWinControl::CreateParams(aParams);
  CreateSubClass(aParams, "LISTBOX");
  aParams.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (fStyle == lbOwnerDrawFixed)
    aParams.Style |= LBS_OWNERDRAWFIXED;
  if (fBorderStyle != bsNone)
    aParams.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  SendList(LB_SETITEMHEIGHT, 0, LPARAM(fItemHeight));
  for (const std::string& s : fSaved)
    SendList(LB_ADDSTRING, 0, LPARAM(s.c_str()));
  fSaved.clear();
  fSaved.shrink_to_fit();
  if (fSavedIndex >= 0)
    SendList(LB_SETCURSEL, WPARAM(fSavedIndex), 0);
  if (fSavedTop > 0)
    SendList(LB_SETTOPINDEX, WPARAM(fSavedTop), 0);
  fSavedIndex = -1;
  fSavedTop = 0;
}

void TCustomListBox::DestroyWnd() {
  if (fComponentState.Contains(csDestroying)) {
    TWinControl::DestroyWnd();
    return;
  }
  // The lines outlive the window (a recreation gets them back).
  const int n = int(SendList(LB_GETCOUNT, 0, 0));
  fSaved.clear();
  fSaved.reserve(std::size_t(n));
  for (int i = 0; i < n; ++i)
    fSaved.push_back(LineText(i));
  fSavedIndex = int(SendList(LB_GETCURSEL, 0, 0));
  fSavedTop = int(SendList(LB_GETTOPINDEX, 0, 0));
  TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex() const {
  if (HandleAllocated())
    return int(SendList(LB_GETCURSEL, 0, 0));
  return fSavedIndex;
}

void TCustomListBox::SetItemIndex(int aIndex) {
  if (aIndex < -1 || aIndex >= Count())
    throw EComponentError("List index out of bounds (" + std::to_string(aIndex) + ")");
  if (HandleAllocated())
    SendList(LB_SETCURSEL, WPARAM(aIndex), 0);
  else
    fSavedIndex = aIndex;
}

int TCustomListBox::ItemHeight() const {
  if (HandleAllocated() && !KeepsItemHeight())
    return int(SendList(LB_GETITEMHEIGHT, 0, 0));
  return fItemHeight;
}

bool TCustomListBox::KeepsItemHeight() const {
  return fItemHeightSet || fStyle == lbOwnerDrawFixed;
}

void TCustomListBox::SetItemHeight(int aValue) {
  if (aValue < 1 || aValue > 255)
    return;
  fItemHeightSet = true;
  if (aValue == fItemHeight)
    return;
  fItemHeight = aValue;
  if (HandleAllocated())
    SendList(LB_SETITEMHEIGHT, 0, LPARAM(aValue));
}

int TCustomListBox::TopIndex() const {
  if (HandleAllocated())
    return int(SendList(LB_GETTOPINDEX, 0, 0));
  return fSavedTop;
}

void TCustomListBox::SetTopIndex(int aIndex) {
  if (HandleAllocated())
    SendList(LB_SETTOPINDEX, WPARAM(aIndex), 0);
  else
    fSavedTop = std::max(aIndex, 0);
}

void TCustomListBox::SetBorderStyle(TFormBorderStyle aValue) {
  if (aValue == fBorderStyle)
    return;
  fBorderStyle = aValue;
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle aValue) {
  if (aValue == fStyle)
    return;
  fStyle = aValue;
  RecreateWnd();
}

TRect TCustomListBox::ItemRect(int aIndex) const {
  if (HandleAllocated()) {
    RECT r;
    if (SendList(LB_GETITEMRECT, WPARAM(aIndex), LPARAM(&r)) != LB_ERR)
      return r;
    return {};
  }
  const int top = (aIndex - fSavedTop) * fItemHeight;
  return {0, top, ClientWidth(), top + fItemHeight};
}

int TCustomListBox::ItemAtPos(TPoint aPoint) const {
  if (!HandleAllocated())
    return -1;
  const auto r = DWORD(SendList(LB_ITEMFROMPOINT, 0, MakeMousePos(aPoint.X, aPoint.Y)));
  return HIWORD(r) != 0 ? -1 : int(LOWORD(r));
}

bool TCustomListBox::WantsKey(WORD aKey) const {
  return aKey == VK_UP || aKey == VK_DOWN || aKey == VK_LEFT || aKey == VK_RIGHT;
}

void TCustomListBox::DrawItem(int aIndex, const TRect& aRect, TOwnerDrawState aState) {
  if (OnDrawItem) {
    OnDrawItem(this, aIndex, aRect, aState);
    return;
  }
  fCanvas.FillRect(aRect);
  if (aIndex >= 0 && aIndex < Count()) {
    TRect r{aRect.Left + 2, aRect.Top, aRect.Right, aRect.Bottom};
    fCanvas.TextRect(r, fItems.Strings(aIndex), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

void TCustomListBox::WndProc(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case CN_COMMAND:
    CNCommand(aMessage);
    return;
  case CN_CTLCOLORLISTBOX:
    CNCtlColorListBox(aMessage);
    return;
  case CN_DRAWITEM:
    CNDrawItem(aMessage);
    return;
  case WM_SETFONT:
    WMSetFont(aMessage);
    return;
  case WM_CHAR:
    // Without incremental search, typed characters do not move the selection.
    if (!fAutoComplete) {
      CharWithoutSearch(aMessage);
      return;
    }
    break;
  default:
    break;
  }
  TWinControl::WndProc(aMessage);
}

void TCustomListBox::CNCommand(TMessage& aMessage) {
  switch (TWMCommand(aMessage).NotifyCode) {
  case LBN_SELCHANGE:
    Click();
    break;
  case LBN_DBLCLK:
    if (OnDblClick)
      OnDblClick(this);
    break;
  default:
    break;
  }
}

void TCustomListBox::CNCtlColorListBox(TMessage& aMessage) {
  HDC dc = HDC(aMessage.WParam);
  SetTextColor(dc, Font().Color());
  SetBkColor(dc, Color());
  aMessage.Result = LRESULT(BrushHandle());
}

namespace {

TOwnerDrawState OwnerDrawState(UINT aItemState) {
  TOwnerDrawState state;
  if (aItemState & ODS_SELECTED)
    state.Include(odSelected);
  if (aItemState & ODS_FOCUS)
    state.Include(odFocused);
  if (aItemState & ODS_DISABLED)
    state.Include(odDisabled);
  return state;
}

} // namespace

void TCustomListBox::PrepareCanvas(HDC aDC, TOwnerDrawState aState) {
  fCanvas.SetHandle(aDC);
  fCanvas.Font().Assign(Font());
  if (aState.Contains(odSelected)) {
    fCanvas.SetBrushColor(clHighlight);
    fCanvas.Font().SetColor(clHighlightText);
  } else {
    fCanvas.SetBrushColor(Color());
    // A disabled list writes its lines in the grey of disabled text.
    if (aState.Contains(odDisabled))
      fCanvas.Font().SetColor(clGrayText);
  }
}

void TCustomListBox::CNDrawItem(TMessage& aMessage) {
  const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(aMessage.LParam);
  const TOwnerDrawState state = OwnerDrawState(dis.itemState);
  PrepareCanvas(dis.hDC, state);
  try {
    DrawItem(int(dis.itemID), dis.rcItem, state);
    if (state.Contains(odFocused))
      fCanvas.DrawFocusRect(dis.rcItem);
  } catch (...) {
    fCanvas.SetHandle(nullptr);
    throw;
  }
  fCanvas.SetHandle(nullptr);
  aMessage.Result = 1;
}

void TCustomListBox::WMSetFont(TMessage& aMessage) {
  // The list measures its lines by the new font; an item height set on the
  // control (or an owner-drawn one) stays in force.
  TWinControl::WndProc(aMessage);
  if (KeepsItemHeight())
    SendList(LB_SETITEMHEIGHT, 0, LPARAM(fItemHeight));
}

void TCustomListBox::CharWithoutSearch(TMessage& aMessage) {
  if (aMessage.WParam < 0x80) {
    char ch = char(aMessage.WParam);
    KeyPress(ch);
  }
}
