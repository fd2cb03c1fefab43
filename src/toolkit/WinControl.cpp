#include "toolkit/WinControl.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "toolkit/StdCtrlDefs.h"

#include <algorithm>
#include <array>

using namespace platform;

namespace {

// The control whose window is being made on this thread; the class's first
// procedure binds the new window to it.
thread_local TWinControl* gCreationControl = nullptr;

constexpr const char* kControlProp = "TkControl";

TExceptionHandler& ExceptionHandler() {
  static TExceptionHandler handler;
  return handler;
}

bool IsMouseMessage(UINT aMsg) {
  return aMsg >= WM_MOUSEMOVE && aMsg <= WM_MBUTTONDBLCLK;
}

} // namespace

// The first procedure of every toolkit window class: binds the window to the
// control being created and hands it the control's own procedure.
void BindCreatingWindow(HWND aWnd) {
  TWinControl* c = gCreationControl;
  gCreationControl = nullptr;
  c->fHandle = aWnd;
  SetPropW(aWnd, kControlProp, c);
  SetWindowLongPtrW(aWnd, GWL_WNDPROC, LONG_PTR(c->fObjectInstance));
}

namespace {

LRESULT InitWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  if (gCreationControl == nullptr)
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  BindCreatingWindow(aWnd);
  return CallWindowProcW(WNDPROC(GetWindowLongPtrW(aWnd, GWL_WNDPROC)), aWnd, aMsg, aWParam,
                         aLParam);
}

} // namespace

void SetToolkitExceptionHandler(TExceptionHandler aHandler) {
  ExceptionHandler() = std::move(aHandler);
}

void HandleToolkitException() {
  if (ExceptionHandler()) {
    try {
      ExceptionHandler()();
    } catch (...) {
      // The handler itself failed; nothing may reach the platform's dispatch.
    }
  }
}

TWinControl* FindControl(HWND aWnd) {
  if (aWnd == nullptr)
    return nullptr;
  return static_cast<TWinControl*>(GetPropW(aWnd, kControlProp));
}

TWinControl::TWinControl(TComponent* aOwner) : TControl(aOwner) {
  fObjectInstance =
      MakeObjectInstance([this](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
        return MainWndProc(aWnd, aMsg, aWParam, aLParam);
      });
}

TWinControl::~TWinControl() {
  Destroying();
  // Leaves the parent while it is still known as a windowed control there.
  if (Parent() != nullptr)
    Parent()->RemoveControl(this);
  DestroyHandle();
  while (!fControls.empty()) {
    TControl* c = fControls.back();
    RemoveControl(c);
    TComponent::Free(c);
  }
  FreeObjectInstance(fObjectInstance);
  if (fBrush != nullptr)
    DeleteObject(fBrush);
}

HBRUSH TWinControl::BrushHandle() {
  if (fBrush == nullptr)
    fBrush = CreateSolidBrush(Color());
  return fBrush;
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  // The window goes while the whole object still handles its messages.
  DestroyHandle();
}

// ---- the platform window ----

HWND TWinControl::Handle() {
  HandleNeeded();
  return fHandle;
}

void TWinControl::HandleNeeded() {
  if (fHandle != nullptr)
    return;
  if (fParent != nullptr)
    fParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& aParams) {
  aParams.Caption = Text();
  aParams.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (fControlStyle.Contains(csAcceptsControls))
    aParams.Style |= WS_CLIPCHILDREN;
  if (fTabStop)
    aParams.Style |= WS_TABSTOP;
  if (!Enabled())
    aParams.Style |= WS_DISABLED;
  aParams.X = fLeft;
  aParams.Y = fTop;
  aParams.Width = fWidth;
  aParams.Height = fHeight;
  aParams.WndParent = fParent != nullptr ? fParent->fHandle : nullptr;
  aParams.WindowClass = WNDCLASSEXW{};
  aParams.WindowClass.style = CS_DBLCLKS;
  aParams.WindowClass.lpfnWndProc = DefWindowProcW;
  aParams.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& aParams, const char* aClassName) {
  WNDCLASSEXW wc;
  if (!GetClassInfoExW(nullptr, aClassName, &wc))
    throw EComponentError(std::string("The window class ") + aClassName + " is not registered");
  aParams.WindowClass = wc;
  aParams.WindowClass.lpszClassName = nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && params.WndParent == nullptr)
    throw EComponentError("Control '" + Name() + "' has no parent window");
  fDefWndProc = params.WindowClass.lpfnWndProc;
  WNDCLASSEXW existing;
  if (!GetClassInfoExW(nullptr, params.WinClassName.c_str(), &existing)) {
    WNDCLASSEXW wc = params.WindowClass;
    wc.lpfnWndProc = InitWndProc;
    wc.lpszClassName = params.WinClassName.c_str();
    if (RegisterClassExW(&wc) == 0)
      throw EComponentError("Cannot register the window class " + params.WinClassName);
  }
  CreateWindowHandle(params);
  if (fHandle == nullptr)
    throw EComponentError("Error creating window for '" + Name() + "' (" + ClassName() + ")");
}

void TWinControl::CreateWindowHandle(const TCreateParams& aParams) {
  gCreationControl = this;
  HWND wnd = CreateWindowExW(aParams.ExStyle, aParams.WinClassName.c_str(), aParams.Caption.c_str(),
                             aParams.Style, aParams.X, aParams.Y, aParams.Width, aParams.Height,
                             aParams.WndParent, nullptr, nullptr, nullptr);
  gCreationControl = nullptr;
  if (wnd == nullptr)
    fHandle = nullptr;
}

void TWinControl::CreateHandle() {
  if (fHandle != nullptr)
    return;
  fControlState.Include(csCreating);
  try {
    CreateWnd();
  } catch (...) {
    fControlState.Exclude(csCreating);
    throw;
  }
  fControlState.Exclude(csCreating);
  if (HFONT font = Font().Handle(); font != nullptr)
    SendMessageW(fHandle, WM_SETFONT, WPARAM(font), 0);
  UpdateBoundsFromWindow();
  // Children's windows follow when they show; a child made earlier (on demand)
  // is moved under the new window.
  for (TWinControl* w : fTabList)
    if (w->fHandle != nullptr)
      platform::SetParent(w->fHandle, fHandle);
  Realign();
}

void TWinControl::DestroyHandle() {
  if (fHandle == nullptr)
    return;
  fControlState.Include(csDestroyingHandle);
  // Children first, so that each keeps what it holds in its window (a list
  // its lines) when the parent's window is made again.
  for (TWinControl* w : std::vector<TWinControl*>(fTabList))
    w->DestroyHandle();
  DestroyWnd();
  fControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd() {
  DestroyWindow(fHandle);
  // WM_NCDESTROY normally clears it; a window the platform refused to destroy
  // is forgotten all the same.
  fHandle = nullptr;
  fShowing = false;
}

void TWinControl::RecreateWnd() {
  if (fHandle != nullptr)
    Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  if (fHandle == nullptr)
    return;
  const bool wasFocused = Focused();
  fControlState.Include(csRecreating);
  DestroyHandle();
  UpdateControlState();
  fControlState.Exclude(csRecreating);
  if (wasFocused && fHandle != nullptr)
    platform::SetFocus(fHandle);
}

void TWinControl::UpdateControlState() {
  for (const TWinControl* p = fParent; p != nullptr; p = p->fParent)
    if (!p->fShowing)
      return;
  UpdateShowing();
}

void TWinControl::UpdateShowing() {
  UpdateShowing(fParent == nullptr || fParent->fShowing);
}

void TWinControl::UpdateShowing(bool aParentShows) {
  const bool show = Visible() && !fComponentState.Contains(csLoading) &&
                    !fComponentState.Contains(csDestroying) &&
                    (fParent != nullptr ? aParentShows : IsTopLevelShown());
  if (show) {
    if (fHandle == nullptr)
      CreateHandle();
    // The children's windows are shown before this one, so it appears whole.
    for (TWinControl* w : std::vector<TWinControl*>(fTabList))
      w->UpdateShowing(true);
  }
  if (fHandle != nullptr && fShowing != show) {
    fShowing = show;
    try {
      Perform(CM_SHOWINGCHANGED, show ? 1 : 0);
    } catch (...) {
      fShowing = !show;
      throw;
    }
  }
  if (!show)
    for (TWinControl* w : std::vector<TWinControl*>(fTabList))
      w->UpdateShowing(false);
}

bool TWinControl::IsTopLevelShown() const {
  return false;
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(fHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (fShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::UpdateBoundsFromWindow() {
  if (fHandle == nullptr)
    return;
  RECT r;
  GetWindowRect(fHandle, &r);
  if (HWND parent = GetParent(fHandle);
      parent != nullptr && (GetWindowLongW(fHandle, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  if (r.Left != fLeft || r.Top != fTop || r.Width() != fWidth || r.Height() != fHeight) {
    const bool resized = r.Width() != fWidth || r.Height() != fHeight;
    fLeft = r.Left;
    fTop = r.Top;
    fWidth = r.Width();
    fHeight = r.Height();
    if (fParent == nullptr || !fParent->fControlState.Contains(csAligning))
      UpdateAnchorRules();
    if (resized && Align() != alNone)
      RequestAlign();
  }
}

void TWinControl::BoundsChanged() {
  if (fHandle != nullptr) {
    SetWindowPos(fHandle, nullptr, fLeft, fTop, fWidth, fHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    Realign();
  }
}

TRect TWinControl::ClientRect() const {
  if (fHandle != nullptr) {
    RECT r;
    GetClientRect(fHandle, &r);
    return r;
  }
  return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() const {
  if (fHandle != nullptr) {
    POINT p{0, 0};
    platform::ClientToScreen(fHandle, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

TWinControl* TWinControl::TopLevel() {
  TWinControl* c = this;
  while (c->fParent != nullptr)
    c = c->fParent;
  return c;
}

// ---- painting ----

void TWinControl::InvalidateRect(const TRect& aRect) {
  if (fHandle != nullptr)
    platform::InvalidateRect(fHandle, &aRect, TRUE);
}

void TWinControl::Invalidate() {
  if (fHandle != nullptr)
    platform::InvalidateRect(fHandle, nullptr, fControlStyle.Contains(csOpaque) ? FALSE : TRUE);
}

void TWinControl::Update() {
  if (fHandle != nullptr)
    UpdateWindow(fHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::WMPaint(TMessage& aMessage) {
  bool windowless = false;
  for (TControl* c : fControls)
    windowless = windowless || !c->IsWindowed();
  if (!windowless && !fControlState.Contains(csCustomPaint)) {
    DefaultHandler(aMessage);
    return;
  }
  PaintHandler(aMessage);
}

void TWinControl::PaintHandler(TMessage& aMessage) {
  HDC dc = HDC(aMessage.WParam);
  PAINTSTRUCT ps;
  if (dc == nullptr)
    dc = BeginPaint(fHandle, &ps);
  {
    const ScopedSaveDC saved(dc);
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
  if (aMessage.WParam == 0)
    EndPaint(fHandle, &ps);
}

void TWinControl::PaintWindow(HDC aDC) {
  // A window of the toolkit's own class has nothing to paint but its
  // background; a standard class paints itself into the given DC.
  if (fDefWndProc == DefWindowProcW)
    return;
  TMessage m{WM_PAINT, WPARAM(aDC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC aDC, TControl* aFirst) {
  auto it = fControls.begin();
  if (aFirst != nullptr)
    it = std::find(fControls.begin(), fControls.end(), aFirst);
  RECT clip;
  GetClipBox(aDC, &clip);
  for (; it != fControls.end(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->Visible())
      continue;
    if (c->BoundsRect().Intersect(clip).IsEmpty())
      continue;
    const ScopedSaveDC saved(aDC);
    OffsetViewportOrgEx(aDC, c->Left(), c->Top(), nullptr);
    IntersectClipRect(aDC, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, WPARAM(aDC), 0);
  }
}

void TWinControl::WMEraseBkgnd(TMessage& aMessage) {
  const RECT r = ClientRect();
  FillRect(HDC(aMessage.WParam), &r, BrushHandle());
  aMessage.Result = 1;
}

// ---- message dispatch ----

LRESULT TWinControl::MainWndProc(HWND, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  TMessage m{aMsg, aWParam, aLParam, 0};
  try {
    WindowProc(m);
  } catch (...) {
    HandleToolkitException();
  }
  return m.Result;
}

void TWinControl::DefaultHandler(TMessage& aMessage) {
  if (fHandle != nullptr && fDefWndProc != nullptr)
    aMessage.Result =
        CallWindowProcW(fDefWndProc, fHandle, aMessage.Msg, aMessage.WParam, aMessage.LParam);
}

void TWinControl::WndProc(TMessage& aMessage) {
  if (IsMouseMessage(aMessage.Msg) && IsControlMouseMsg(aMessage))
    return;
  if (const TMessageMethod handler = HandlerFor(aMessage.Msg); handler != nullptr)
    (this->*handler)(aMessage);
  else
    TControl::WndProc(aMessage);
}

TWinControl::TMessageMethod TWinControl::HandlerFor(UINT aMsg) {
  struct Entry {
    UINT Msg;
    TMessageMethod Method;
  };
  static constexpr Entry kHandlers[] = {
      {WM_PAINT, &TWinControl::WMPaint},
      {WM_PRINTCLIENT, &TWinControl::WMPrintClient},
      {WM_ERASEBKGND, &TWinControl::WMEraseBkgnd},
      {WM_SIZE, &TWinControl::WMSize},
      {WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged},
      {WM_SETFOCUS, &TWinControl::WMSetFocus},
      {WM_KILLFOCUS, &TWinControl::WMKillFocus},
      {WM_KEYDOWN, &TWinControl::WMKeyDown},
      {WM_SYSKEYDOWN, &TWinControl::WMKeyDown},
      {WM_KEYUP, &TWinControl::WMKeyUp},
      {WM_SYSKEYUP, &TWinControl::WMKeyUp},
      {WM_CHAR, &TWinControl::WMChar},
      {WM_SYSCHAR, &TWinControl::WMSysChar},
      {WM_MOUSEWHEEL, &TWinControl::WMMouseWheel},
      {WM_MOUSELEAVE, &TWinControl::WMMouseLeave},
      {WM_NCDESTROY, &TWinControl::WMNCDestroy},
      {WM_COMMAND, &TWinControl::WMCommand},
      {WM_DRAWITEM, &TWinControl::WMDrawItem},
      {WM_CTLCOLORLISTBOX, &TWinControl::WMCtlColor},
      {WM_CTLCOLORBTN, &TWinControl::WMCtlColor},
      {CM_SHOWINGCHANGED, &TWinControl::CMShowingChanged},
      {CM_RECREATEWND, &TWinControl::CMRecreateWnd},
      {CM_DIALOGKEY, &TWinControl::CMDialogKey},
      {CM_DIALOGCHAR, &TWinControl::CMDialogChar},
      {CM_FOCUSCHANGED, &TWinControl::CMFocusChanged},
      {CM_MOUSEWHEEL, &TWinControl::CMMouseWheel},
      {CN_KEYDOWN, &TWinControl::CNKeyDown},
      {CM_CHILDKEY, &TWinControl::CMChildKey},
      {WM_MOUSEMOVE, &TWinControl::WMMouseMove},
      {WM_LBUTTONDOWN, &TWinControl::WMLButtonDown},
      {WM_LBUTTONDBLCLK, &TWinControl::WMLButtonDown},
      {WM_LBUTTONUP, &TWinControl::WMLButtonUp},
  };
  for (const Entry& e : kHandlers)
    if (e.Msg == aMsg)
      return e.Method;
  return nullptr;
}

void TWinControl::WMPrintClient(TMessage& aMessage) {
  // A copy of the client area into the given DC: painted like WM_PAINT.
  TMessage paint{WM_PAINT, aMessage.WParam, 0, 0};
  const bool copying = fControlState.Contains(csPaintCopy);
  fControlState.Include(csPaintCopy);
  try {
    WMPaint(paint);
  } catch (...) {
    if (!copying)
      fControlState.Exclude(csPaintCopy);
    throw;
  }
  if (!copying)
    fControlState.Exclude(csPaintCopy);
}

void TWinControl::WMSysChar(TMessage& aMessage) {
  // Alt with a character: the form's accelerators.
  if (TopLevel()->Perform(CM_DIALOGCHAR, aMessage.WParam) == 0)
    TControl::WndProc(aMessage);
}

void TWinControl::WMCtlColor(TMessage& aMessage) {
  // Colours of a child window are the child control's to give.
  if (TWinControl* c = FindControl(HWND(aMessage.LParam)); c != nullptr && c != this)
    aMessage.Result = c->Perform(CN_BASE + aMessage.Msg, aMessage.WParam, aMessage.LParam);
  else
    TControl::WndProc(aMessage);
}

void TWinControl::WMMouseMove(TMessage& aMessage) {
  // The first move over the window: watch for the mouse leaving it.
  if (!fMouseInControl && fHandle != nullptr) {
    fMouseInControl = true;
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = fHandle;
    TrackMouseEvent(&tme);
    Perform(CM_MOUSEENTER);
  }
  TControl::WndProc(aMessage);
}

void TWinControl::WMLButtonDown(TMessage& aMessage) {
  if (fControlStyle.Contains(csCaptureMouse) && fHandle != nullptr)
    SetCapture(fHandle);
  TControl::WndProc(aMessage);
}

void TWinControl::WMLButtonUp(TMessage& aMessage) {
  if (fControlStyle.Contains(csCaptureMouse) && fHandle != nullptr && GetCapture() == fHandle)
    ReleaseCapture();
  TControl::WndProc(aMessage);
}

bool TWinControl::IsControlMouseMsg(TMessage& aMessage) {
  const TWMMouse m(aMessage);
  TControl* target = fCaptureControl;
  if (target == nullptr) {
    TControl* over = ControlAtPos(m.Pos());
    if (over != nullptr && over->IsWindowed())
      over = nullptr;
    if (aMessage.Msg == WM_MOUSEMOVE && over != fMouseControl) {
      TControl* left = fMouseControl;
      fMouseControl = over;
      if (left != nullptr)
        left->Perform(CM_MOUSELEAVE);
      if (over != nullptr)
        over->Perform(CM_MOUSEENTER);
    }
    target = over;
  }
  if (target == nullptr)
    return false;
  if (aMessage.Msg == WM_LBUTTONDOWN || aMessage.Msg == WM_LBUTTONDBLCLK) {
    if (target->ControlStyle().Contains(csCaptureMouse)) {
      fCaptureControl = target;
      if (fHandle != nullptr)
        SetCapture(fHandle);
    }
  } else if (aMessage.Msg == WM_LBUTTONUP && fCaptureControl != nullptr) {
    fCaptureControl = nullptr;
    if (fHandle != nullptr && GetCapture() == fHandle)
      ReleaseCapture();
  }
  aMessage.Result = target->Perform(aMessage.Msg, aMessage.WParam,
                                    MakeMousePos(m.X - target->Left(), m.Y - target->Top()));
  return true;
}

void TWinControl::WMSize(TMessage& aMessage) {
  UpdateBoundsFromWindow();
  Realign();
  DefaultHandler(aMessage);
}

void TWinControl::WMWindowPosChanged(TMessage& aMessage) {
  UpdateBoundsFromWindow();
  DefaultHandler(aMessage);
}

void TWinControl::WMMouseLeave(TMessage& aMessage) {
  fMouseInControl = false;
  if (fMouseControl != nullptr) {
    TControl* left = fMouseControl;
    fMouseControl = nullptr;
    left->Perform(CM_MOUSELEAVE);
  }
  Perform(CM_MOUSELEAVE);
  DefaultHandler(aMessage);
}

void TWinControl::WMNCDestroy(TMessage& aMessage) {
  DefaultHandler(aMessage);
  if (fHandle != nullptr)
    RemovePropW(fHandle, kControlProp);
  fHandle = nullptr;
  fShowing = false;
  fMouseInControl = false;
}

void TWinControl::WMCommand(TMessage& aMessage) {
  // Commands of child windows go back to the control that owns the window.
  if (TWinControl* c = FindControl(HWND(aMessage.LParam)); c != nullptr && c != this) {
    aMessage.Result = c->Perform(CN_COMMAND, aMessage.WParam, aMessage.LParam);
    return;
  }
  DefaultHandler(aMessage);
}

void TWinControl::WMDrawItem(TMessage& aMessage) {
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(aMessage.LParam);
  if (dis != nullptr) {
    if (TWinControl* c = FindControl(dis->hwndItem); c != nullptr && c != this) {
      aMessage.Result = c->Perform(CN_DRAWITEM, aMessage.WParam, aMessage.LParam);
      return;
    }
  }
  DefaultHandler(aMessage);
}

void TWinControl::Broadcast(TMessage& aMessage) {
  for (TControl* c : std::vector<TControl*>(fControls)) {
    c->WindowProc(aMessage);
    if (aMessage.Result != 0)
      return;
  }
}

void TWinControl::NotifyControls(UINT aMsg) {
  for (TControl* c : std::vector<TControl*>(fControls))
    c->Perform(aMsg);
}

bool TWinControl::HoldsFocus() const {
  const TWinControl* focused = FindControl(GetFocus());
  return focused != nullptr && ContainsControl(focused);
}

void TWinControl::PassFocusOn() {
  TWinControl* top = TopLevel();
  if (top == this)
    return;
  if (!top->SelectNext(this, true, true) && top->fHandle != nullptr)
    platform::SetFocus(top->fHandle);
}

void TWinControl::CMEnabledChanged(TMessage& aMessage) {
  // Asked first: disabling the window takes the focus away from it.
  const bool heldFocus = HoldsFocus();
  if (fHandle != nullptr)
    EnableWindow(fHandle, Enabled() ? TRUE : FALSE);
  if (!Enabled() && heldFocus)
    PassFocusOn();
  Invalidate();
  DefaultHandler(aMessage);
}

void TWinControl::CMVisibleChanged(TMessage& aMessage) {
  // The focus leaves a control that hides, and a container hiding with it.
  if (!Visible() && HoldsFocus())
    PassFocusOn();
  UpdateControlState();
  DefaultHandler(aMessage);
}

void TWinControl::CMFontChanged(TMessage& aMessage) {
  if (fHandle != nullptr)
    SendMessageW(fHandle, WM_SETFONT, WPARAM(Font().Handle()), TRUE);
  NotifyControls(CM_PARENTFONTCHANGED);
  Invalidate();
  DefaultHandler(aMessage);
}

void TWinControl::CMColorChanged(TMessage& aMessage) {
  if (fBrush != nullptr) {
    DeleteObject(fBrush);
    fBrush = nullptr;
  }
  NotifyControls(CM_PARENTCOLORCHANGED);
  Invalidate();
  DefaultHandler(aMessage);
}

void TWinControl::CMTextChanged(TMessage& aMessage) {
  if (fHandle != nullptr)
    SetWindowTextW(fHandle, Text().c_str());
  Invalidate();
  DefaultHandler(aMessage);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  // Tab orders stored while loading apply once the parent is loaded too.
  if (fPendingTabOrder >= 0 && fParent != nullptr && !fParent->fComponentState.Contains(csLoading))
    fParent->FixupTabList();
  FixupTabList();
  Realign();
  UpdateControlState();
}
