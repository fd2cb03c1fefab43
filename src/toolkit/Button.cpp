#include "toolkit/Button.h"

#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/WinDefs.h"
#include "toolkit/StdWindowClasses.h"

using namespace platform;

TButton::TButton(TComponent* aOwner) : TWinControl(aOwner) {
  ControlStyleRef() = {csSetCaption, csDoubleClicks};
  SetTabStop(true);
  SetColor(clBtnFace);
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool aValue) {
  if (aValue == fDefault)
    return;
  fDefault = aValue;
  if (HandleAllocated()) {
    // Enter now goes to this button unless another button has the focus.
    HWND focus = GetFocus();
    auto* focused = dynamic_cast<TButton*>(FindControl(focus));
    SetButtonStyle(focused != nullptr ? focused == this : fDefault);
  }
}

void TButton::SetWordWrap(bool aValue) {
  if (aValue == fWordWrap)
    return;
  fWordWrap = aValue;
  RecreateWnd();
}

bool TButton::Pushed() const {
  if (!HandleAllocated())
    return false;
  return (SendMessageW(fHandle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

void TButton::CreateParams(TCreateParams& aParams) {
  RegisterStandardWindowClasses();
  TWinControl::CreateParams(aParams);
  CreateSubClass(aParams, "BUTTON");
  aParams.Style |= fDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if (fWordWrap)
    aParams.Style |= BS_MULTILINE;
  fActive = fDefault;
}

void TButton::SetButtonStyle(bool aActive) {
  if (aActive == fActive)
    return;
  fActive = aActive;
  if (!HandleAllocated())
    return;
  const auto type = DWORD(GetWindowLongW(fHandle, GWL_STYLE)) & BS_TYPEMASK;
  if (type == BS_OWNERDRAW)
    Invalidate();
  else
    SendMessageW(fHandle, BM_SETSTYLE, aActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (fModalResult != mrNone) {
    if (TForm* form = GetParentForm(this); form != nullptr)
      form->SetModalResult(fModalResult);
  }
  TControl::Click();
}

void TButton::DrawItem(const DRAWITEMSTRUCT&) {}

void TButton::WndProc(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case CN_COMMAND:
    if (TWMCommand(aMessage).NotifyCode == BN_CLICKED)
      Click();
    return;
  case CN_DRAWITEM:
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(aMessage.LParam));
    aMessage.Result = 1;
    return;
  case CM_DIALOGKEY:
    if (((aMessage.WParam == VK_RETURN && fActive) || (aMessage.WParam == VK_ESCAPE && fCancel)) &&
        CanFocus() && Showing()) {
      Click();
      aMessage.Result = 1;
      return;
    }
    break;
  case CM_FOCUSCHANGED: {
    // The focused button takes Enter; with the focus elsewhere the default one.
    auto* focused = dynamic_cast<TButton*>(reinterpret_cast<TWinControl*>(aMessage.LParam));
    SetButtonStyle(focused != nullptr ? focused == this : fDefault);
    break;
  }
  default:
    break;
  }
  TWinControl::WndProc(aMessage);
}
