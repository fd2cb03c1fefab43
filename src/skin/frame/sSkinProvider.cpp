#include "skin/frame/sSkinProvider.h"

#include "platform/win/Dwm.h"
#include "platform/win/Menu.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowProcedures.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/frame/sFrameCopy.h"
#include "skin/paint/qcGlow.h"
#include "skin/paint/sControlCodes.h"

#include <algorithm>

using namespace platform;

bool CaptionBtnPressed = false;

namespace {

// How long the end of a session waits for the running fades to end; each
// ends on its next tick, 12 ms away.
constexpr int FadeEndTimeoutMs = 2000;

bool IsCaptionItemCode(LRESULT aCode) {
  return aCode == HTSYSMENU || aCode == HTMINBUTTON || aCode == HTMAXBUTTON || aCode == HTCLOSE ||
         aCode == HTHELP || aCode >= HTTITLEBUTTON;
}

// The caption buttons follow the window's system menu: a command it lacks
// has no button, a greyed one a faded button that is no hit target.
TqcSystemMenuState SystemMenuState(HWND aWnd) {
  TqcSystemMenuState state;
  HMENU menu = GetSystemMenu(aWnd, FALSE);
  state.Exists = menu != nullptr;
  if (menu == nullptr)
    return state;
  const auto flags = [&](UINT aCommand) { return GetMenuState(menu, aCommand, MF_BYCOMMAND); };
  const auto enabled = [&](UINT aCommand) {
    const UINT f = flags(aCommand);
    return f != UINT(-1) && (f & (MF_GRAYED | MF_DISABLED)) == 0;
  };
  state.VisibleMin = flags(SC_MINIMIZE) != UINT(-1);
  state.VisibleMax = flags(SC_MAXIMIZE) != UINT(-1);
  state.EnabledClose = enabled(SC_CLOSE);
  state.EnabledMin = enabled(SC_MINIMIZE);
  state.EnabledMax = enabled(SC_MAXIMIZE);
  state.EnabledRestore = enabled(SC_RESTORE);
  return state;
}

} // namespace

// ---- creation and destruction ----

TsSkinProvider::TsSkinProvider(TComponent* aOwner)
    : TComponent(aOwner), fForm(dynamic_cast<TForm*>(aOwner)) {
  if (fForm == nullptr)
    throw EAbort("TsSkinProvider component may be used with forms only!");
  FCommonData = std::make_unique<TsScrollWndData>(static_cast<TsFrameOwner*>(this), true);
  FCommonData->COC = cocForm;
  FCommonData->SetSkinSection("FORM");
  if (!ComponentState().Contains(csDesigning))
    Attach();
}

TsSkinProvider* TsSkinProvider::CreateRT(TForm* aForm) {
  auto* provider = new TsSkinProvider(aForm);
  provider->fRunState.DeferInit();
  return provider;
}

TsSkinProvider::~TsSkinProvider() {
  FreeAdapter();
  // Attached last, detached first: the adapter gives the form back the
  // provider's procedure, and the provider then the form's own.
  ListSW.reset();
  Detach();
}

TsSkinProvider* TsSkinProvider::Of(TForm* aForm) {
  return reinterpret_cast<TsSkinProvider*>(SendSkinCommand(aForm, scGetProvider));
}

void TsSkinProvider::Attach() {
  OldWndProc = fForm->WindowProc;
  fForm->WindowProc = [this](TMessage& aMessage) { NewWndProc(aMessage); };
  fAttached = true;
  FramedForms.push_back(fForm);
  fRunState.SetActive(true);
}

void TsSkinProvider::Detach() {
  if (!fAttached)
    return;
  fAttached = false;
  // The freed slot takes the last entry.
  if (auto it = std::find(FramedForms.begin(), FramedForms.end(), fForm); it != FramedForms.end()) {
    *it = FramedForms.back();
    FramedForms.pop_back();
  }
  // A form that is being destroyed calls its procedure no more once its
  // window is gone; what is left of it must not be touched.
  if (!fForm->ComponentState().Contains(csDestroying))
    fForm->WindowProc = std::move(OldWndProc);
}

void TsSkinProvider::Notification(TComponent* aComponent, TOperation aOperation) {
  TComponent::Notification(aComponent, aOperation);
  if (aOperation != opRemove)
    return;
  if (aComponent == FCommonData->SkinManager())
    FCommonData->ForgetManager(static_cast<TsSkinManager*>(aComponent));
  if (aComponent == fAdapter)
    fAdapter = nullptr;
}

void TsSkinProvider::AdaptControls() {
  if (SkinManager() == nullptr)
    return;
  if (fAdapter == nullptr)
    fAdapter = new TqcCtrlAdapter(this);
  fAdapter->AddAllItems(fForm);
}

void TsSkinProvider::FreeAdapter() {
  TqcCtrlAdapter* adapter = fAdapter;
  fAdapter = nullptr;
  TComponent::Free(adapter);
}

// ---- properties ----

void TsSkinProvider::SetUseGlobalColor(bool aValue) {
  fUseGlobalColor = aValue;
  if (aValue && FCommonData->Skinned(true))
    ApplyGlobalColor();
}

void TsSkinProvider::ApplyGlobalColor() {
  TsSkinManager* manager = SkinManager();
  if (fUseGlobalColor && !FCommonData->CustomColor() && manager != nullptr)
    fForm->SetColor(manager->GetGlobalColor());
}

// ---- state queries ----

bool TsSkinProvider::Destroying() const {
  return ComponentState().Contains(csDestroying) || fForm->ComponentState().Contains(csDestroying);
}

bool TsSkinProvider::FormShowing() const {
  return fForm->HandleAllocated() && fForm->Showing();
}

TqcFrameForm TsSkinProvider::FrameForm() const {
  TqcFrameForm f;
  f.BorderStyle = fForm->BorderStyle();
  f.BorderIcons = fForm->BorderIcons();
  f.IsMainForm = Application != nullptr && Application->MainForm() == fForm;
  f.ShowAppIcon = ShowAppIcon;
  if (fForm->HandleAllocated()) {
    HWND wnd = const_cast<TForm*>(fForm)->Handle();
    f.Style = DWORD(GetWindowLongW(wnd, GWL_STYLE));
    RECT r{};
    GetWindowRect(wnd, &r);
    f.Size = {r.Right - r.Left, r.Bottom - r.Top};
    f.SystemMenu = SystemMenuState(wnd);
  } else {
    f.Size = {fForm->Width(), fForm->Height()};
  }
  return f;
}

int TsSkinProvider::OffsetX() const {
  if (!fForm->HandleAllocated())
    return 0;
  const TqcFrameForm f = FrameForm();
  return (f.Size.cx - fForm->ClientWidth()) / 2;
}

int TsSkinProvider::OffsetY() const {
  if (!fForm->HandleAllocated())
    return 0;
  const TqcFrameForm f = FrameForm();
  const int border = (f.Style & WS_BORDER) != 0 ? FrameBorderWidth(f) : 0;
  return f.Size.cy - fForm->ClientHeight() - border;
}

// ---- geometry, hit test and region ----

void TsSkinProvider::CalcItems() {
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr)
    return;
  const TqcFrameForm f = FrameForm();
  UpdateIconsIndexes(*manager, f, fLayout.Buttons);
  fLayout = ::CalcItems(*manager, f, fLayout.Buttons);
}

LRESULT TsSkinProvider::FrameHitCode(TPoint aWindowPoint, LRESULT aPlatformCode) const {
  const TsSkinManager* manager = SkinManager();
  if (manager == nullptr)
    return aPlatformCode;
  const TqcFrameForm f = FrameForm();
  const LRESULT code = HTProcess(*manager, f, fLayout, aWindowPoint);
  if (IsCaptionItemCode(code))
    return code;
  if (GripInUse(f) && manager->IsValidImgIndex(manager->ConstData.GripRightBottom)) {
    const TPoint grip = GripOrigin(*manager, f);
    if (aWindowPoint.X > grip.X && aWindowPoint.Y > grip.Y)
      return HTBOTTOMRIGHT;
  }
  return aPlatformCode;
}

void TsSkinProvider::UpdateRegion(bool aRedraw) {
  TsSkinManager* manager = SkinManager();
  if (!DrawNonClientArea || !fForm->HandleAllocated() || manager == nullptr)
    return;
  const TqcFrameForm f = FrameForm();
  if (!HasBorder(f) && (f.Style & (WS_MINIMIZE | WS_THICKFRAME)) == 0)
    return;
  fRunState.BeginRegionChange(BuildCornerCutouts(*manager, FCommonData->BorderIndex,
                                                 Title.TitleSkin, CaptionWidth(f), f.Size.cy));
  SetWindowRgn(fForm->Handle(), new Region(WindowRegion(f, fRunState.Cutouts())),
               aRedraw ? TRUE : FALSE);
  fRunState.EndRegionChange();
}

// ---- initialisation ----

void TsSkinProvider::SetTransitions(bool aDisabled) {
  BOOL composition = FALSE;
  if (!fForm->HandleAllocated() || FAILED(DwmIsCompositionEnabled(&composition)) || !composition)
    return;
  const BOOL value = aDisabled ? TRUE : FALSE;
  DwmSetWindowAttribute(fForm->Handle(), DWMWA_TRANSITIONS_FORCEDISABLED, &value, sizeof(value));
}

void TsSkinProvider::LoadInit() {
  SetTransitions(DrawNonClientArea);
  PrepareForm();
  if (fAdapter == nullptr && Skinned())
    AdaptControls();
  if (fForm->BorderStyle() == bsSizeToolWin)
    SetUseGlobalColor(true);
}

void TsSkinProvider::PrepareForm() {
  TsSkinManager* manager = SkinManager();
  if (fRunState.InitPending() || manager == nullptr || !fForm->HandleAllocated() ||
      !manager->CommonSkinData.Active)
    return;
  FCommonData->Loaded();
  fRunState.SetPrepared(true);
  UpdateSysMenuStyle(true);
  FCommonData->UpdateIndexes(true);
  CalcItems();
  const auto& state = fForm->ComponentState();
  if (!fForm->FormState().Contains(fsCreating) && !state.Contains(csLoading) &&
      !state.Contains(csReading))
    ApplyGlobalColor();
}

void TsSkinProvider::UpdateSysMenuStyle(bool aHide) {
  if (!fForm->HandleAllocated())
    return;
  HWND wnd = fForm->Handle();
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  LONG wanted = style;
  if (aHide)
    wanted = DrawNonClientArea ? (style & ~LONG(WS_SYSMENU)) : (style | LONG(WS_SYSMENU));
  else if (fForm->BorderIcons().Contains(biSystemMenu))
    wanted = style | LONG(WS_SYSMENU);
  if (wanted != style)
    SetWindowLongW(wnd, GWL_STYLE, wanted);
  if (!aHide && fForm->BorderIcons().Contains(biSystemMenu)) {
    const LRESULT icon = SendMessageW(wnd, WM_GETICON, ICON_SMALL, 0);
    SendMessageW(wnd, WM_SETICON, ICON_SMALL, icon);
  }
}

void TsSkinProvider::RunDeferredInit() {
  if (fRunState.TakeDeferredInit())
    LoadInit();
}

// ---- routing ----

void TsSkinProvider::NewWndProc(TMessage& aMessage) {
  if (aMessage.Msg == SkinCommandMessage) {
    const TSkinCommand command(aMessage);
    if (CommandInAnyState(command, aMessage))
      return;
    if (Destroying() || !Skinned()) {
      if (!CommandPassive(command, aMessage))
        OldWndProc(aMessage);
      return;
    }
    aMessage.Result = 0;
    CommandSkinned(command, aMessage);
    return;
  }
  if (Destroying() || !Skinned()) {
    RoutePassive(aMessage);
    return;
  }
  if (!RouteSkinned(aMessage))
    OldWndProc(aMessage);
}

void TsSkinProvider::RoutePassive(TMessage& aMessage) {
  if (aMessage.Msg == WM_NCDESTROY)
    WMNCDestroy(aMessage);
  else
    OldWndProc(aMessage);
}

bool TsSkinProvider::RouteSkinned(TMessage& aMessage) {
  if (fCaptionMouse.Handle(aMessage) || fWindowStates.Handle(aMessage))
    return true;
  if (aMessage.Msg >= CM_BASE)
    return RouteNotification(aMessage);
  switch (aMessage.Msg) {
  case WM_NCCREATE:
  case WM_CREATE:
    OldWndProc(aMessage);
    PrepareForm();
    return true;
  case WM_NCHITTEST:
    WMNCHitTest(aMessage);
    return true;
  case WM_NCPAINT:
    WMNCPaint(aMessage);
    return true;
  case WM_SETREDRAW:
    WMSetRedraw(aMessage);
    return true;
  case WM_ERASEBKGND:
    WMEraseBkgnd(aMessage);
    return true;
  case WM_PAINT:
    WMPaint(aMessage);
    return true;
  case WM_ACTIVATE:
    WMActivate(aMessage);
    return true;
  case WM_MOVE:
    WMMove(aMessage);
    return true;
  case WM_SETTINGCHANGE:
    FCommonData->BGChanged = true;
    return false;
  case WM_QUERYENDSESSION:
    WMQueryEndSession(aMessage);
    return true;
  case WM_ENTERIDLE:
  case WM_PRINTCLIENT:
    aMessage.Result = 0;
    return true;
  case WM_MOUSEMOVE:
    WMMouseMove(aMessage);
    return true;
  case WM_NCDESTROY:
    WMNCDestroy(aMessage);
    return true;
  default:
    return false;
  }
}

bool TsSkinProvider::RouteNotification(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case CM_VISIBLECHANGED:
    CMVisibleChanged(aMessage);
    return true;
  case CM_ENABLEDCHANGED:
    CMEnabledChanged(aMessage);
    return true;
  case CM_MOUSEENTER:
    CMMouseEnter(aMessage);
    return true;
  case CM_MENUCHANGED:
    CMMenuChanged(aMessage);
    return true;
  case CM_CONTROLLISTCHANGE:
    CMControlListChange(aMessage);
    return true;
  default:
    return false;
  }
}

void TsSkinProvider::WMActivate(TMessage& aMessage) {
  OldWndProc(aMessage);
  if (FormShowing())
    UpdateScrollAdapter();
}

void TsSkinProvider::WMMove(TMessage& aMessage) {
  // The caption's fades and every glow stay behind a moving window.
  fCaptionMouse.FinishAnimations();
  HideAllGlows();
  OldWndProc(aMessage);
}

void TsSkinProvider::WMQueryEndSession(TMessage& aMessage) {
  // The session ends: every fade stops for good, and the running ones are
  // given the time to end (each ends on its next tick) before the answer.
  TsFadeTimer::StopFading = true;
  if (Application == nullptr || !Application->Terminating())
    PumpUntil([] { return TsFadeTimer::LiveCount() == 0; }, FadeEndTimeoutMs);
  OldWndProc(aMessage);
}

void TsSkinProvider::WMMouseMove(TMessage& aMessage) {
  OldWndProc(aMessage);
  if (DefaultManager != nullptr)
    DefaultManager->SetActiveControl(nullptr);
}

void TsSkinProvider::WMNCDestroy(TMessage& aMessage) {
  OldWndProc(aMessage);
  // The window is gone: the form keeps its own procedure from now on, while
  // it can still be given back.
  if (fForm->ComponentState().Contains(csDestroying))
    Detach();
}

void TsSkinProvider::CMEnabledChanged(TMessage& aMessage) {
  OldWndProc(aMessage);
  if (DrawNonClientArea && fForm->HandleAllocated()) {
    FCommonData->BGChanged = true;
    SendMessageW(fForm->Handle(), WM_NCPAINT, 0, 0);
  }
}

void TsSkinProvider::CMMouseEnter(TMessage& aMessage) {
  OldWndProc(aMessage);
  if (SkinManager() != nullptr && fForm->HandleAllocated())
    SkinManager()->SetActiveControl(fForm->Handle());
}

void TsSkinProvider::CMMenuChanged(TMessage& aMessage) {
  if (!fForm->FormState().Contains(fsCreating) && fForm->Visible() && !fRunState.ShowAnimating() &&
      (FCommonData->CtrlSkinState & cssInUpdate) == 0)
    FCommonData->BGChanged = true;
  OldWndProc(aMessage);
}

void TsSkinProvider::CMControlListChange(TMessage& aMessage) {
  const TCMControlListChange change(aMessage);
  OldWndProc(aMessage);
  if (change.Control == nullptr || change.Control->ComponentState().Contains(csDestroying))
    return;
  if (TWinControl* w = AsWindowed(change.Control)) {
    if (fAdapter != nullptr)
      fAdapter->AddNewItem(w);
    SendSkinCommandToChildren(w, scQuerySkinState, 0, 1);
  }
  SendSkinCommand(change.Control, scQuerySkinState, 0, 1);
}

void TsSkinProvider::UpdateScrollAdapter() {
  if (ListSW != nullptr || fRunState.CreatingScrollAdapter() || !DrawNonClientArea ||
      (GetWindowLongW(fForm->Handle(), GWL_STYLE) & LONG(WS_HSCROLL | WS_VSCROLL)) == 0)
    return;
  fRunState.SetCreatingScrollAdapter(true);
  TqcSkinParams params;
  params.Control = fForm;
  params.SkinSection = "FORM";
  ListSW = std::make_unique<TqcScrollWnd>(fForm->Handle(), nullptr, SkinManager(), params);
  fRunState.SetCreatingScrollAdapter(false);
}

void TsSkinProvider::CMVisibleChanged(TMessage& aMessage) {
  const bool visible = aMessage.WParam != 0;
  if (visible)
    RunDeferredInit();
  OldWndProc(aMessage);
  if (visible) {
    if (fForm->Parent() != nullptr)
      SendSkinCommandToChildren(fForm, scRepaintChildren, 0);
  } else if (!Destroying()) {
    FCommonData->EmptyCache();
    fCaptionMouse.KillAnimations();
  }
}

void TsSkinProvider::WMSetRedraw(TMessage& aMessage) {
  if (aMessage.WParam != 0)
    fRunState.ResumeRedraw();
  else
    fRunState.SuspendRedraw();
  OldWndProc(aMessage);
}

void TsSkinProvider::WMNCHitTest(TMessage& aMessage) {
  RunDeferredInit();
  OldWndProc(aMessage);
  if (!DrawNonClientArea || CaptionHeight(FrameForm()) == 0 || !fForm->HandleAllocated())
    return;
  RECT window{};
  GetWindowRect(fForm->Handle(), &window);
  const TPoint screen{GET_X_LPARAM(aMessage.LParam), GET_Y_LPARAM(aMessage.LParam)};
  aMessage.Result = FrameHitCode(CursorToPoint(screen, {window.Left, window.Top}), aMessage.Result);
}

// ---- non-client paint ----

void TsSkinProvider::WMNCPaint(TMessage& aMessage) {
  if (!fRunState.Prepared())
    PrepareForm();
  if (DrawNonClientArea &&
      ((FCommonData->CtrlSkinState & cssInUpdate) != 0 || fRunState.HideCoverUp())) {
    aMessage.Result = 0;
    return;
  }
  RunDeferredInit();
  if (!DrawNonClientArea) {
    OldWndProc(aMessage);
    return;
  }
  if (fRunState.PreparingShow() || !FormShowing() || Destroying() || !fRunState.Prepared()) {
    aMessage.Result = 0;
    return;
  }
  const TqcFrameForm f = FrameForm();
  if ((f.Style & WS_MINIMIZE) != 0)
    FCommonData->BGChanged = true;
  else if (f.Size.cx != fForm->Width() || f.Size.cy != fForm->Height()) {
    aMessage.Result = 0;
    return;
  }
  PaintFrame();
  aMessage.Result = 0;
}

TsFrameView TsSkinProvider::View() const {
  TsFrameView view;
  view.Form = FrameForm();
  view.ClientSize = {fForm->ClientWidth(), fForm->ClientHeight()};
  view.Active = fRunState.Active();
  view.Enabled = fForm->Enabled();
  view.DrawNonClientArea = DrawNonClientArea;
  view.Caption = fForm->Caption();
  view.CaptionFont = GetNonClientFont(NonClientFont::Caption);
  if (fForm->HandleAllocated()) {
    RECT r{};
    GetWindowRect(const_cast<TForm*>(fForm)->Handle(), &r);
    view.FormPos = {r.Left, r.Top};
  }
  return view;
}

void TsSkinProvider::PaintAll() {
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr)
    return;
  if (FCommonData->CacheBmp() == nullptr || FCommonData->CacheBmp()->Width() == 0)
    FCommonData->BGChanged = true;
  if (!FCommonData->BGChanged)
    return;
  fRunState.MarkRegionStale();
  ::PaintAll(*FCommonData, Title, View(), fLayout);
}

void TsSkinProvider::PaintFrame() {
  if (!DrawNonClientArea || !fForm->HandleAllocated())
    return;
  PaintAll();
  if (fRunState.RegionStale() && !FCommonData->IsUpdating())
    UpdateRegion(!WindowAnimationRunning);
  FCommonData->SetUpdating(false);
  HWND wnd = fForm->Handle();
  HDC dc = GetWindowDC(wnd);
  CopyFrameToDC(*FCommonData, Title, View(), fLayout, dc);
  ReleaseDC(wnd, dc);
}

void TsSkinProvider::RefreshFrame() {
  if (!fForm->Visible() || !DrawNonClientArea || !Skinned() || WindowAnimationRunning ||
      Destroying() || !fForm->HandleAllocated())
    return;
  FCommonData->BGChanged = true;
  PaintFrame();
}

void TsSkinProvider::WMEraseBkgnd(TMessage& aMessage) {
  if (!fForm->Visible() || !DrawClientArea) {
    OldWndProc(aMessage);
    return;
  }
  if ((FCommonData->CtrlSkinState & cssInUpdate) != 0 || FCommonData->Updating()) {
    aMessage.Result = 0;
    return;
  }
  PaintClientArea(*FCommonData, Title, View(), fLayout, fForm->Handle(),
                  reinterpret_cast<HDC>(aMessage.WParam));
  aMessage.Result = 1;
}

void TsSkinProvider::WMPaint(TMessage& aMessage) {
  if (!DrawClientArea || !FormShowing()) {
    OldWndProc(aMessage);
    return;
  }
  if (FCommonData->HasOwnBackground() && (fRunState.ShowAnimating() || WindowAnimationRunning)) {
    ValidateRect(fForm->Handle(), nullptr);
    aMessage.Result = 0;
    return;
  }
  // A plain background is painted by the erase of the paint that follows:
  // the whole client area is invalidated with erasing first, so that the
  // form's own paint runs over a freshly filled area.
  if (!FCommonData->HasOwnBackground())
    RedrawWindow(fForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  else if (fForm->Parent() == nullptr)
    FCommonData->SetUpdating(false);
  OldWndProc(aMessage);
}
