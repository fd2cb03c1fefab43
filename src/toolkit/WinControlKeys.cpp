#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "toolkit/StdCtrlDefs.h"
#include "toolkit/WinControl.h"

// Keys, the wheel and focus messages of windowed controls: key
// notifications before a key's own handling, dialog keys for the form, and
// the wheel offered up the chain of parents.

using namespace platform;

namespace {

TShiftState CurrentShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0)
    s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0)
    s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0)
    s.Include(ssAlt);
  return s;
}

} // namespace

void TWinControl::WMSetFocus(TMessage& aMessage) {
  TopLevel()->SetFocusedControl(this);
  DefaultHandler(aMessage);
}

void TWinControl::WMKillFocus(TMessage& aMessage) {
  DefaultHandler(aMessage);
}

bool TWinControl::WantsKey(WORD) const {
  return false;
}

void TWinControl::KeyDown(WORD& aKey, TShiftState aShift) {
  if (OnKeyDown)
    OnKeyDown(this, aKey, aShift);
}

void TWinControl::KeyUp(WORD& aKey, TShiftState aShift) {
  if (OnKeyUp)
    OnKeyUp(this, aKey, aShift);
}

void TWinControl::KeyPress(char& aKey) {
  if (OnKeyPress)
    OnKeyPress(this, aKey);
}

void TWinControl::WMKeyDown(TMessage& aMessage) {
  // The key notification first: parents and the form may take the key.
  if (Perform(CN_KEYDOWN, aMessage.WParam, aMessage.LParam) != 0)
    return;
  WORD key = WORD(aMessage.WParam);
  KeyDown(key, CurrentShiftState());
  if (key == 0)
    return;
  aMessage.WParam = key;
  DefaultHandler(aMessage);
}

void TWinControl::CNKeyDown(TMessage& aMessage) {
  aMessage.Result = 1;
  const WORD key = WORD(aMessage.WParam);
  if (Perform(CM_CHILDKEY, key, LPARAM(this)) != 0)
    return;
  // Tab, arrows, Enter and Escape go to the form unless the control wants them.
  LRESULT mask = 0;
  switch (key) {
  case VK_TAB:
    mask = DLGC_WANTTAB;
    break;
  case VK_LEFT:
  case VK_UP:
  case VK_RIGHT:
  case VK_DOWN:
    mask = DLGC_WANTARROWS;
    break;
  case VK_RETURN:
  case VK_ESCAPE:
    mask = DLGC_WANTALLKEYS;
    break;
  default:
    break;
  }
  if (mask != 0 && !WantsKey(key) && Perform(CM_WANTSPECIALKEY, key) == 0 &&
      (Perform(WM_GETDLGCODE) & mask) == 0 && TopLevel()->Perform(CM_DIALOGKEY, key) != 0)
    return;
  aMessage.Result = 0;
}

void TWinControl::CMChildKey(TMessage& aMessage) {
  // Offered to the control itself, then up the chain of parents.
  if (fParent != nullptr)
    aMessage.Result = fParent->Perform(CM_CHILDKEY, aMessage.WParam, aMessage.LParam);
}

void TWinControl::WMKeyUp(TMessage& aMessage) {
  if (Perform(CN_KEYUP, aMessage.WParam, aMessage.LParam) != 0)
    return;
  WORD key = WORD(aMessage.WParam);
  KeyUp(key, CurrentShiftState());
  if (key == 0)
    return;
  aMessage.WParam = key;
  DefaultHandler(aMessage);
}

void TWinControl::WMChar(TMessage& aMessage) {
  // A character typed with Alt held is an accelerator of the form.
  if (GetKeyState(VK_MENU) < 0 && TopLevel()->Perform(CM_DIALOGCHAR, aMessage.WParam) != 0)
    return;
  if (aMessage.WParam < 0x80) {
    char ch = char(aMessage.WParam);
    KeyPress(ch);
    if (ch == 0)
      return;
    aMessage.WParam = WPARAM(static_cast<unsigned char>(ch));
  }
  DefaultHandler(aMessage);
}

void TWinControl::WMMouseWheel(TMessage& aMessage) {
  for (TWinControl* c = this; c != nullptr; c = c->fParent) {
    if (c->Perform(CM_MOUSEWHEEL, aMessage.WParam, aMessage.LParam) != 0) {
      aMessage.Result = 0;
      return;
    }
  }
  DefaultHandler(aMessage);
}

void TWinControl::CMMouseWheel(TMessage& aMessage) {
  aMessage.Result = 0;
}

void TWinControl::CMDialogKey(TMessage& aMessage) {
  Broadcast(aMessage);
}

void TWinControl::CMDialogChar(TMessage& aMessage) {
  Broadcast(aMessage);
}

void TWinControl::CMFocusChanged(TMessage& aMessage) {
  for (TControl* c : std::vector<TControl*>(fControls)) {
    c->WindowProc(aMessage);
  }
  aMessage.Result = 0;
}
