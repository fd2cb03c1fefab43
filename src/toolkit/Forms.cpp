#include "toolkit/Forms.h"

#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowHost.h"
#include "toolkit/MessageForm.h"
#include "toolkit/StdCtrlDefs.h"
#include "toolkit/StdWindowClasses.h"

#include <algorithm>

using namespace platform;

TApplication* Application = nullptr;

namespace {

// Posted to the application's utility window: free the form in LParam.
constexpr UINT kCmRelease = CM_BASE + 0x100;

constexpr const char* kUtilWindowClass = "TPUtilWindow";

} // namespace

// ---- TForm ----

TForm::TForm(TComponent* aOwner) : TWinControl(aOwner) {
  fFormState.Include(fsCreating);
  ControlStyleRef() = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                       csDoubleClicks};
  SetVisible(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  if (Application != nullptr)
    Application->AddForm(this);
}

TForm::~TForm() {
  if (Application != nullptr)
    Application->RemoveForm(this);
}

void TForm::AfterConstruction() {
  try {
    DoCreate();
  } catch (...) {
    fFormState.Exclude(fsCreating);
    if (Application != nullptr)
      Application->HandleException(this);
    else
      throw;
  }
  fFormState.Exclude(fsCreating);
  if (Visible())
    UpdateControlState();
}

void TForm::BeforeDestruction() {
  // The owner may have marked the form destroying already; OnDestroy runs once.
  if (!fDestroyHandled) {
    fDestroyHandled = true;
    Destroying();
    try {
      DoDestroy();
    } catch (...) {
      if (Application != nullptr)
        Application->HandleException(this);
    }
  }
  TWinControl::BeforeDestruction();
}

void TForm::DoCreate() {
  if (OnCreate)
    OnCreate(this);
}

void TForm::DoDestroy() {
  if (OnDestroy)
    OnDestroy(this);
}

void TForm::Loaded() {
  TWinControl::Loaded();
}

bool TForm::IsTopLevelShown() const {
  return !fFormState.Contains(fsCreating);
}

void TForm::SetBorderStyle(TFormBorderStyle aValue) {
  if (aValue == fBorderStyle)
    return;
  fBorderStyle = aValue;
  RecreateWnd();
}

void TForm::SetBorderIcons(const TBorderIcons& aValue) {
  if (aValue == fBorderIcons)
    return;
  fBorderIcons = aValue;
  RecreateWnd();
}

void TForm::CreateParams(TCreateParams& aParams) {
  TWinControl::CreateParams(aParams);
  aParams.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  aParams.ExStyle = 0;
  if (!Enabled())
    aParams.Style |= WS_DISABLED;
  switch (fBorderStyle) {
  case bsNone:
    aParams.Style |= WS_POPUP;
    break;
  case bsSingle:
    aParams.Style |= WS_CAPTION | WS_BORDER;
    break;
  case bsSizeable:
    aParams.Style |= WS_CAPTION | WS_THICKFRAME;
    break;
  case bsDialog:
    aParams.Style |= WS_POPUP | WS_CAPTION;
    aParams.ExStyle |= WS_EX_DLGMODALFRAME;
    break;
  case bsToolWindow:
    aParams.Style |= WS_CAPTION;
    aParams.ExStyle |= WS_EX_TOOLWINDOW;
    break;
  case bsSizeToolWin:
    aParams.Style |= WS_CAPTION | WS_THICKFRAME;
    aParams.ExStyle |= WS_EX_TOOLWINDOW;
    break;
  }
  if (fBorderStyle != bsNone) {
    if (fBorderIcons.Contains(biSystemMenu))
      aParams.Style |= WS_SYSMENU;
    if (fBorderStyle == bsSingle || fBorderStyle == bsSizeable) {
      if (fBorderIcons.Contains(biMinimize))
        aParams.Style |= WS_MINIMIZEBOX;
      if (fBorderIcons.Contains(biMaximize))
        aParams.Style |= WS_MAXIMIZEBOX;
    }
    const bool minMax = (aParams.Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0;
    if (fBorderIcons.Contains(biHelp) && !minMax)
      aParams.ExStyle |= WS_EX_CONTEXTHELP;
  }
  aParams.WndParent = nullptr;
  if (Application != nullptr) {
    TForm* main = Application->MainForm();
    if (main == this || main == nullptr) {
      if (Application->MainFormOnTaskBar())
        aParams.ExStyle |= WS_EX_APPWINDOW;
    } else if (main->HandleAllocated()) {
      // Other forms are owned by the main form's window.
      aParams.WndParent = main->Handle();
    }
  }
  aParams.WindowClass.hbrBackground = nullptr;
}

TRect TForm::ClientRect() const {
  if (HandleAllocated())
    return TWinControl::ClientRect();
  // Without a window, the frame the window will have is taken off.
  TCreateParams params;
  const_cast<TForm*>(this)->CreateParams(params);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
  return {0, 0, std::max(0, fWidth - frame.Width()), std::max(0, fHeight - frame.Height())};
}

TWindowState TForm::WindowState() const {
  if (fHandle != nullptr) {
    if (IsIconic(fHandle))
      return wsMinimized;
    if (IsZoomed(fHandle))
      return wsMaximized;
    return wsNormal;
  }
  return fWindowState;
}

void TForm::SetWindowState(TWindowState aValue) {
  fWindowState = aValue;
  if (fHandle != nullptr && Showing()) {
    switch (aValue) {
    case wsNormal:
      ShowWindow(fHandle, SW_RESTORE);
      break;
    case wsMinimized:
      ShowWindow(fHandle, SW_MINIMIZE);
      break;
    case wsMaximized:
      ShowWindow(fHandle, SW_MAXIMIZE);
      break;
    }
  }
}

void TForm::PlaceOnShow() {
  TRect around;
  if (fPosition == poScreenCenter) {
    if (WindowHost* host = GetWindowHost(); host != nullptr) {
      const TSize s = host->ScreenSize();
      around = {0, 0, s.cx, s.cy};
    }
  } else if (fPosition == poMainFormCenter || fPosition == poOwnerFormCenter) {
    TForm* other = nullptr;
    if (fPosition == poOwnerFormCenter)
      other = dynamic_cast<TForm*>(Owner());
    if (other == nullptr && Application != nullptr)
      other = Application->MainForm();
    if (other != nullptr && other != this && other->Showing())
      around = other->BoundsRect();
  }
  if (!around.IsEmpty()) {
    SetBounds(around.Left + (around.Width() - Width()) / 2,
              around.Top + (around.Height() - Height()) / 2, Width(), Height());
    return;
  }
  // A top-level window keeps its position where it fits the work area;
  // otherwise it moves into it, its top-left corner first.
  RECT work{};
  if (Parent() != nullptr || !SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
    return;
  const int left = std::max(work.Left, std::min(Left(), work.Right - Width()));
  const int top = std::max(work.Top, std::min(Top(), work.Bottom - Height()));
  if (left != Left() || top != Top())
    SetBounds(left, top, Width(), Height());
}

void TForm::CMShowingChanged(TMessage&) {
  if (fShowing) {
    fFormState.Include(fsShowing);
    PlaceOnShow();
    int cmd = SW_SHOWNORMAL;
    if (fWindowState == wsMaximized)
      cmd = SW_SHOWMAXIMIZED;
    else if (fWindowState == wsMinimized)
      cmd = SW_SHOWMINIMIZED;
    ShowWindow(fHandle, cmd);
    fFormState.Exclude(fsShowing);
    if (OnShow)
      OnShow(this);
    FocusFirst();
  } else {
    if (OnHide)
      OnHide(this);
    ShowWindow(fHandle, SW_HIDE);
  }
}

void TForm::FocusFirst() {
  if (!fShowing || fFormState.Contains(fsCreating))
    return;
  TWinControl* target = fActiveControl;
  if (target == nullptr || !target->CanFocus())
    target = FindNextControl(nullptr, true, true, false);
  if (target != nullptr)
    platform::SetFocus(target->Handle());
  else
    platform::SetFocus(fHandle);
}

void TForm::Show() {
  SetVisible(true);
  if (fHandle != nullptr && fShowing) {
    SetWindowPos(fHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetActiveWindow(fHandle);
  }
}

void TForm::SetActiveControl(TWinControl* aControl) {
  if (aControl != nullptr && (!ContainsControl(aControl) || aControl == this))
    throw EInvalidOperation("The active control must be on the form");
  fActiveControl = aControl;
  if (aControl != nullptr && fShowing && !fFormState.Contains(fsCreating) && aControl->CanFocus())
    platform::SetFocus(aControl->Handle());
}

void TForm::FocusControl(TWinControl* aControl) {
  if (!aControl->CanFocus())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  fActiveControl = aControl;
  if (fShowing)
    platform::SetFocus(aControl->Handle());
}

void TForm::SetFocusedControl(TWinControl* aControl) {
  if (aControl == fFocusedControl)
    return;
  TWinControl* old = fFocusedControl;
  fFocusedControl = aControl;
  if (aControl != this)
    fActiveControl = aControl;
  if (old != nullptr && old != this)
    old->DoExit();
  if (aControl != nullptr && aControl != this)
    aControl->DoEnter();
  Perform(CM_FOCUSCHANGED, 0, LPARAM(aControl));
}

void TForm::ControlRemoving(TWinControl* aControl) {
  if (fActiveControl != nullptr && aControl->ContainsControl(fActiveControl))
    fActiveControl = nullptr;
  if (fFocusedControl != nullptr && aControl->ContainsControl(fFocusedControl))
    fFocusedControl = nullptr;
}

void TForm::CMDialogKey(TMessage& aMessage) {
  const int key = int(aMessage.WParam);
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (key) {
  case VK_TAB:
    if (GetKeyState(VK_CONTROL) < 0)
      break;
    SelectNext(fActiveControl, !shift, true);
    aMessage.Result = 1;
    return;
  case VK_LEFT:
  case VK_UP:
  case VK_RIGHT:
  case VK_DOWN:
    if (fActiveControl != nullptr && fActiveControl->Parent() != nullptr) {
      fActiveControl->Parent()->SelectNext(fActiveControl, key == VK_RIGHT || key == VK_DOWN,
                                           false);
      aMessage.Result = 1;
      return;
    }
    break;
  default:
    break;
  }
  TWinControl::CMDialogKey(aMessage);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery)
    OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& aAction) {
  if (OnClose)
    OnClose(this, aAction);
}

void TForm::Close() {
  if (fFormState.Contains(fsModal)) {
    fModalResult = mrCancel;
    return;
  }
  if (!CloseQuery())
    return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone)
    return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
  case caHide:
    Hide();
    break;
  case caMinimize:
    SetWindowState(wsMinimized);
    break;
  case caFree:
    Release();
    break;
  case caNone:
    break;
  }
}

void TForm::Release() {
  if (Application != nullptr)
    Application->PostRelease(this);
}

TModalResult TForm::ShowModal() {
  if (Visible() || !Enabled() || fFormState.Contains(fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  HWND previousActive = GetActiveWindow();
  // Every other form waits while this one runs.
  std::vector<TForm*> disabled;
  if (Application != nullptr) {
    for (int i = 0; i < Application->FormCount(); ++i) {
      TForm* f = Application->Forms(i);
      if (f != this && f->HandleAllocated() && IsWindowEnabled(f->fHandle)) {
        EnableWindow(f->fHandle, FALSE);
        disabled.push_back(f);
      }
    }
  }
  fFormState.Include(fsModal);
  fModalResult = mrNone;
  auto finish = [&] {
    fFormState.Exclude(fsModal);
    for (TForm* f : disabled)
      if (f->HandleAllocated())
        EnableWindow(f->fHandle, TRUE);
    if (previousActive != nullptr && IsWindow(previousActive))
      SetActiveWindow(previousActive);
  };
  try {
    Show();
    // The loop may ask again once it has ended; OnClose runs once per answer.
    bool finished = false;
    RunModalLoop([this, &finished] {
      if (finished)
        return true;
      if (Application != nullptr && Application->Terminating())
        return finished = true;
      if (fModalResult == mrNone)
        return false;
      TCloseAction action = caHide;
      DoClose(action);
      if (action == caNone) {
        fModalResult = mrNone;
        return false;
      }
      return finished = true;
    });
    if (Application != nullptr && Application->Terminating() && fModalResult == mrNone)
      fModalResult = mrCancel;
    Hide();
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return fModalResult;
}

void TForm::WndProc(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case WM_CLOSE:
    Close();
    return;
  case WM_ACTIVATE:
    if (TWMActivate(aMessage).Active != WA_INACTIVE) {
      fFormState.Include(fsActivated);
      if (OnActivate)
        OnActivate(this);
      TWinControl::WndProc(aMessage);
      // The platform gave the form the focus; hand it on to the control.
      if (fActiveControl != nullptr && fActiveControl->CanFocus() &&
          GetFocus() != fActiveControl->Handle())
        platform::SetFocus(fActiveControl->Handle());
      return;
    }
    if (OnDeactivate)
      OnDeactivate(this);
    break;
  case WM_SIZE:
    if (aMessage.WParam == SIZE_MINIMIZED)
      fWindowState = wsMinimized;
    else if (aMessage.WParam == SIZE_MAXIMIZED)
      fWindowState = wsMaximized;
    else if (aMessage.WParam == SIZE_RESTORED)
      fWindowState = wsNormal;
    break;
  default:
    break;
  }
  TWinControl::WndProc(aMessage);
}

TForm* GetParentForm(TControl* aControl) {
  TControl* c = aControl;
  while (c != nullptr && c->Parent() != nullptr)
    c = c->Parent();
  return dynamic_cast<TForm*>(c);
}

// ---- utility windows ----

HWND AllocateHWnd(ObjectWndProc aMethod) {
  WNDCLASSEXW existing;
  if (!GetClassInfoExW(nullptr, kUtilWindowClass, &existing)) {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = kUtilWindowClass;
    RegisterClassExW(&wc);
  }
  HWND wnd = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, nullptr, nullptr);
  if (wnd != nullptr && aMethod)
    SetWindowLongPtrW(wnd, GWL_WNDPROC, LONG_PTR(MakeObjectInstance(std::move(aMethod))));
  return wnd;
}

void DeallocateHWnd(HWND aWnd) {
  if (aWnd == nullptr)
    return;
  auto proc = WNDPROC(GetWindowLongPtrW(aWnd, GWL_WNDPROC));
  DestroyWindow(aWnd);
  if (proc != DefWindowProcW)
    FreeObjectInstance(proc);
}

// ---- TApplication ----

TApplication::TApplication(TComponent* aOwner) : TComponent(aOwner) {
  Application = this;
}

TApplication::~TApplication() {
  Destroying();
  // Forms go last created first, while the application still exists.
  DestroyComponents();
  DeallocateHWnd(fUtilWindow);
  SetToolkitExceptionHandler(nullptr);
  if (Application == this)
    Application = nullptr;
}

void TApplication::Initialize() {
  RegisterStandardWindowClasses();
  SetToolkitExceptionHandler([this] { HandleException(this); });
  if (fUtilWindow == nullptr)
    fUtilWindow = AllocateHWnd([this](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
      return UtilWndProc(aWnd, aMsg, aWParam, aLParam);
    });
}

LRESULT TApplication::UtilWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  if (aMsg == kCmRelease) {
    auto* form = reinterpret_cast<TForm*>(aLParam);
    if (std::find(fForms.begin(), fForms.end(), form) != fForms.end())
      TComponent::Free(form);
    return 0;
  }
  return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
}

void TApplication::PostRelease(TForm* aForm) {
  if (fUtilWindow == nullptr)
    Initialize();
  PostMessageW(fUtilWindow, kCmRelease, 0, LPARAM(aForm));
}

void TApplication::AddForm(TForm* aForm) {
  fForms.push_back(aForm);
}

void TApplication::RemoveForm(TForm* aForm) {
  auto it = std::find(fForms.begin(), fForms.end(), aForm);
  if (it != fForms.end())
    fForms.erase(it);
  if (fMainForm == aForm)
    fMainForm = nullptr;
}

void TApplication::Run() {
  if (fMainForm != nullptr && fMainForm->Visible())
    fMainForm->Show();
  while (!fTerminated) {
    try {
      if (!HandleMessage())
        break;
    } catch (...) {
      HandleException(this);
    }
  }
}

bool TApplication::HandleMessage() {
  MSG msg;
  if (!GetMessageW(&msg, nullptr, 0, 0)) {
    fTerminated = true;
    return false;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (!fTerminated && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      fTerminated = true;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TApplication::Terminate() {
  // The loop ends when it takes the quit message; a modal loop under way
  // ends first and leaves the message to the outer one.
  if (!fQuitPosted)
    PostQuitMessage(0);
  fQuitPosted = true;
}

void TApplication::HandleException(TObject* aSender) {
  std::exception_ptr error = std::current_exception();
  if (!error)
    return;
  if (OnException) {
    OnException(aSender, error);
    return;
  }
  std::string text;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "Unknown error";
  }
  // An error raised while a message box is up waits for it and is shown
  // next, so none is lost and boxes do not pile up inside each other.
  fPendingErrors.push_back(text);
  if (fHandlingException)
    return;
  fHandlingException = true;
  while (!fPendingErrors.empty()) {
    const std::string next = fPendingErrors.front();
    fPendingErrors.erase(fPendingErrors.begin());
    try {
      ShowException(next);
    } catch (...) {
      // A box that cannot be shown drops that one message, not the others.
    }
    if (fTerminated || fQuitPosted)
      break;
  }
  fPendingErrors.clear();
  fHandlingException = false;
}

void TApplication::ShowException(const std::string& aMessage) {
  MessageBox(aMessage, fTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& aText, const std::string& aCaption, UINT aFlags) {
  if (OnMessageBox)
    OnMessageBox(aText);
  return ShowMessageForm(aText, aCaption.empty() ? fTitle : aCaption, aFlags);
}
