#include "skin/frame/sWindowStates.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Layered.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowHost.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/frame/qcFrameGeometry.h"
#include "skin/frame/qcWindowAnimation.h"
#include "skin/frame/qcWindowPlacement.h"
#include "skin/frame/sSkinProvider.h"

#include <algorithm>
#include <vector>

using namespace platform;

namespace {

// Width of a minimized window's caption strip.
constexpr int MinimizedWidth = 160;

constexpr UINT FullRedraw =
    RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;

// Whether the frame may look different when the activation changes: always
// without a section; else when the section or its border mask has more than
// one state.
bool LooksDifferentWhenActive(const TsCommonData& aData) {
  const TsGeneralData* section = aData.Section();
  if (section == nullptr)
    return true;
  const TsMaskData* mask = aData.BorderMask();
  return section->States > 1 || (mask != nullptr && mask->ImageCount > 1);
}

// The window rectangle and the client rectangle in window coordinates.
struct TqcWindowRects {
  TRect Window;
  TRect Client;
};

TqcWindowRects WindowRects(HWND aWnd) {
  TqcWindowRects r;
  GetWindowRect(aWnd, &r.Window);
  RECT client{};
  GetClientRect(aWnd, &client);
  POINT origin{0, 0};
  ClientToScreen(aWnd, &origin);
  r.Client = client.Offset(origin.X - r.Window.Left, origin.Y - r.Window.Top);
  return r;
}

// The window's shape in window coordinates; the whole window without one.
Region WindowShape(HWND aWnd, const TRect& aWindow) {
  Region shape;
  if (GetWindowRgn(aWnd, &shape) == ERROR)
    shape = Region(TRect{0, 0, aWindow.Width(), aWindow.Height()});
  return shape;
}

bool IsTopMost(HWND aWnd) {
  return (GetWindowLongW(aWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

} // namespace

TsWindowStates::TsWindowStates(TsSkinProvider& aProvider) : fProvider(aProvider) {}

TsWindowStates::~TsWindowStates() {
  if (fAnimatedWnd != nullptr)
    StopAnimation(fAnimatedWnd, true);
}

// ---- state queries ----

HWND TsWindowStates::Wnd() const {
  TForm* form = fProvider.Form();
  return form->HandleAllocated() ? form->Handle() : nullptr;
}

bool TsWindowStates::Showing() const {
  return Wnd() != nullptr && fProvider.Form()->Showing();
}

bool TsWindowStates::Destroying() const {
  return fProvider.ComponentState().Contains(csDestroying) ||
         fProvider.Form()->ComponentState().Contains(csDestroying);
}

bool TsWindowStates::HasParent() const {
  return fProvider.Form()->Parent() != nullptr;
}

bool TsWindowStates::CacheFilled() const {
  return fProvider.SkinData().CacheFilled();
}

// The manager lets forms hide with the hide animation.
bool TsWindowStates::HideAllowed() const {
  TsSkinManager* manager = fProvider.SkinManager();
  return manager != nullptr && fProvider.AllowAnimation && manager->AnimEffects.FormHide.Active &&
         !HasParent();
}

void TsWindowStates::PassOn(TMessage& aMessage) {
  fProvider.CallOldWndProc(aMessage);
}

// The provider's own non-client paint, through the form's procedure.
void TsWindowStates::OwnNCPaint() {
  if (HWND wnd = Wnd())
    SendMessageW(wnd, WM_NCPAINT, 0, 0);
}

void TsWindowStates::SetChildrenRedraw(bool aOn) {
  TForm* form = fProvider.Form();
  for (int i = 0; i < form->ControlCount(); ++i)
    if (TWinControl* w = form->Controls(i)->AsWindowed();
        w != nullptr && w->HandleAllocated() && w->Visible())
      SendMessageW(w->Handle(), WM_SETREDRAW, aOn ? 1 : 0, 0);
}

// Layered and fully transparent, or back to a plain window.
void TsWindowStates::MakeLayered(bool aLayered) {
  const HWND wnd = Wnd();
  const LONG ex = GetWindowLongW(wnd, GWL_EXSTYLE);
  if (aLayered) {
    SetWindowLongW(wnd, GWL_EXSTYLE, ex | LONG(WS_EX_LAYERED));
    SetLayeredWindowAttributes(wnd, 0, 0, LWA_ALPHA);
  } else {
    SetWindowLongW(wnd, GWL_EXSTYLE, ex & ~LONG(WS_EX_LAYERED));
  }
}

// ---- dispatch ----

bool TsWindowStates::Handle(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case WM_NCACTIVATE:
    WMNCActivate(aMessage);
    return true;
  case WM_SIZE:
    WMSize(aMessage);
    return true;
  case WM_GETMINMAXINFO:
    WMGetMinMaxInfo(aMessage);
    return true;
  case WM_WINDOWPOSCHANGING:
    WMWindowPosChanging(aMessage);
    return true;
  case WM_WINDOWPOSCHANGED:
    WMWindowPosChanged(aMessage);
    return true;
  case WM_SETTEXT:
    WMSetText(aMessage);
    return true;
  case WM_SETICON:
    WMSetIcon(aMessage);
    return true;
  case WM_SHOWWINDOW:
    WMShowWindow(aMessage);
    return true;
  case CM_SHOWINGCHANGED:
    CMShowingChanged(aMessage);
    return true;
  case WM_CLOSE:
    WMClose(aMessage);
    return true;
  case WM_SYSCOMMAND:
    return WMSysCommand(aMessage);
  case WM_PRINT:
    WMPrint(aMessage);
    return true;
  default:
    return false;
  }
}

// ---- the cover over the frame ----

void TsWindowStates::ShowCoverWindow() {
  TsSkinProvider& p = fProvider;
  const HWND wnd = Wnd();
  // Without a frame image there is nothing to cover the frame with.
  const TsFrameRunState& run = p.RunState();
  if (!p.DrawNonClientArea || run.ShowAnimating() || run.RedrawSuspended() || wnd == nullptr ||
      !CacheFilled())
    return;
  if (!fCover)
    fCover = std::make_unique<TqcLayeredCover>();
  const TqcWindowRects rects = WindowRects(wnd);
  Bitmap image = OpaqueCopy(*p.SkinData().CacheBmp(), rects.Window.Width(), rects.Window.Height());
  // Exactly the frame: the window's shape without the client area.
  fCover->SetImage(std::move(image), WindowShape(wnd, rects.Window).Subtract(Region(rects.Client)));
  fCover->Show({rects.Window.Left, rects.Window.Top}, 255,
               IsTopMost(wnd) ? HWND_TOPMOST : HWND_TOP);
}

void TsWindowStates::HideCoverWindow() {
  fCover.reset();
}

// ---- activation ----

void TsWindowStates::WMNCActivate(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  TsCommonData& data = p.SkinData();
  const HWND wnd = Wnd();
  if (Destroying() || !p.DrawNonClientArea || wnd == nullptr) {
    PassOn(aMessage);
    return;
  }
  TsFrameRunState& run = p.RunState();
  if (!run.Prepared())
    p.PrepareForm();
  const bool active = aMessage.WParam != 0;
  run.SetActive(active);
  if (LooksDifferentWhenActive(data))
    data.BGChanged = true;
  data.SetUpdating(false);
  if (Showing() && IsWindowVisible(wnd))
    PassOnUnderCover(aMessage);
  else
    PassOn(aMessage);
  if (IsWindow(wnd))
    FinishActivation(active);
}

// The platform repaints its own caption under the cover, or with redrawing
// off while the form is prepared for its show animation or used for the
// first time; then the skinned frame is drawn again.
void TsWindowStates::PassOnUnderCover(TMessage& aMessage) {
  const TsFrameRunState& run = fProvider.RunState();
  const HWND wnd = Wnd();
  if (run.PreparingShow()) {
    if (run.InitPending())
      SendMessageW(wnd, WM_SETREDRAW, 0, 0);
  } else if (!fProvider.Form()->FormState().Contains(fsShowing)) {
    ShowCoverWindow();
  }
  const bool redrawOn = run.PreparingShow() || run.InitPending();
  const bool firstUse = run.InitPending();
  PassOn(aMessage);
  if (!IsWindow(wnd)) {
    HideCoverWindow();
    return;
  }
  if (redrawOn) {
    SendMessageW(wnd, WM_SETREDRAW, 1, 0);
  } else {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_FRAME);
    HideCoverWindow();
  }
  if (firstUse)
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// After the platform's activation: the frame in its new state, unless a
// window animation shows the form meanwhile.
void TsWindowStates::FinishActivation(bool aActive) {
  TsSkinProvider& p = fProvider;
  TForm* form = p.Form();
  const HWND wnd = Wnd();
  const bool animating = RunningAnimation(wnd) != nullptr;
  if ((GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 && !animating)
    OwnNCPaint();
  // A nested activation while the platform handled this one does not
  // outlast it.
  if (!form->FormState().Contains(fsCreating) && HasBorder(p.FrameForm()))
    p.RunState().SetActive(aActive);
  if (!animating) {
    RECT r{};
    GetWindowRect(wnd, &r);
    if (r.Width() == form->Width() || r.Height() == form->Height())
      OwnNCPaint();
  }
}

// ---- size ----

void TsWindowStates::WMSize(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  TsCommonData& data = p.SkinData();
  const HWND wnd = Wnd();
  if (data.Updating() || wnd == nullptr || !IsWindowVisible(wnd)) {
    p.RunState().MarkRegionStale();
    data.BGChanged = true;
    PassOn(aMessage);
    return;
  }
  const TSize client{LOWORD(DWORD_PTR(aMessage.LParam)), HIWORD(DWORD_PTR(aMessage.LParam))};
  InvalidateCornerTraces(client);
  const bool keepUpdating = !HasParent() && p.DrawClientArea;
  const bool wasUpdating = data.Updating();
  if (keepUpdating)
    data.SetUpdating(true);
  PassOn(aMessage);
  if (keepUpdating)
    data.SetUpdating(wasUpdating);
  if (!IsWindow(wnd) || (!WindowAnimationRunning && !RepaintForNewSize(client)))
    return;
  fLastClientRect = {0, 0, client.cx, client.cy};
}

// The corner images at the bottom right of the old client area leave traces
// when the client area shrinks.
void TsWindowStates::InvalidateCornerTraces(TSize aClient) {
  TsSkinManager* manager = fProvider.SkinManager();
  const TRect& last = fLastClientRect;
  if (manager == nullptr ||
      (aClient.cx >= last.Width() && aClient.cy >= last.Height() && last.Width() != 0))
    return;
  const TsCommonData& data = fProvider.SkinData();
  const BOOL erase = data.HasOwnBackground() ? FALSE : TRUE;
  for (const char* corner : {"IMGTOPRIGHT", "IMGBTMRIGHT"}) {
    const int index = manager->GetMaskIndex(data.SkinIndex, data.SkinSection(), corner);
    if (!manager->IsValidImgIndex(index))
      continue;
    const TsMaskData& mask = manager->ma[std::size_t(index)];
    const RECT r{last.Right - StateImageWidth(mask), last.Bottom - StateImageHeight(mask),
                 last.Right, last.Bottom};
    InvalidateRect(Wnd(), &r, erase);
  }
}

// A cache of another size than the window's is rebuilt and the frame and
// client area repainted; the children hear of a move when their background
// depends on the changed dimension. False while the frame is still updating
// after its paint: the size is then not taken as handled.
bool TsWindowStates::RepaintForNewSize(TSize aClient) {
  TsSkinProvider& p = fProvider;
  TsCommonData& data = p.SkinData();
  TForm* form = p.Form();
  const Bitmap* cache = data.CacheBmp();
  if (!Showing()) {
    data.BGChanged = true;
    return true;
  }
  if (cache != nullptr && cache->Width() == CaptionWidth(p.FrameForm()) &&
      cache->Height() == form->Height())
    return true;
  p.RunState().MarkRegionStale();
  data.BGChanged = true;
  if (!p.DrawNonClientArea) {
    if (data.HasOwnBackground() && cache != nullptr &&
        (cache->Width() > form->Width() || cache->Height() > form->Height()))
      InvalidateRect(Wnd(), nullptr, FALSE);
    return true;
  }
  OwnNCPaint();
  if (data.Updating())
    return false;
  const TRect& last = fLastClientRect;
  if (((data.BGType & 2) != 0 && aClient.cy != last.Height()) ||
      ((data.BGType & 1) != 0 && aClient.cx != last.Width()))
    SendSkinCommandToChildren(form, scMoved, 0, 1);
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_NOFRAME);
  SendSkinCommandToChildren(form, scRepaintChildren);
  return true;
}

// ---- maximized size and moving ----

void TsWindowStates::WMGetMinMaxInfo(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  auto* info = reinterpret_cast<MINMAXINFO*>(aMessage.LParam);
  const HWND wnd = Wnd();
  if (info != nullptr && wnd != nullptr && p.DrawNonClientArea &&
      p.Form()->BorderStyle() != bsNone && !HasParent()) {
    ApplyMaximizedPlacement(
        *info, MaximizedPlacement(SysBorderWidth(p.FrameForm()), WindowArea(IsTopMost(wnd))));
    aMessage.Result = 0;
  }
  // The toolkit's size constraints still apply.
  PassOn(aMessage);
}

void TsWindowStates::WMWindowPosChanging(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  TForm* form = p.Form();
  auto* pos = reinterpret_cast<WINDOWPOS*>(aMessage.LParam);
  const HWND wnd = Wnd();
  TsFrameRunState& run = p.RunState();
  if (run.RegionChanging() || form->ComponentState().Contains(csLoading) || pos == nullptr ||
      wnd == nullptr) {
    run.SetHideCoverUp(false);
    PassOn(aMessage);
    return;
  }
  if (!IsZoomed(wnd) && (pos->flags & SWP_NOMOVE) == 0 && (pos->x != 0 || pos->y != 0) &&
      p.ScreenSnap && Showing()) {
    const TPoint snapped = SnapToArea({pos->x, pos->y}, {form->Width(), form->Height()},
                                      WindowArea(IsTopMost(wnd)), p.SnapBuffer);
    pos->x = snapped.X;
    pos->y = snapped.Y;
  }
  // Before the window disappears, its look is kept on a cover for the hide
  // animation.
  if ((pos->flags & SWP_HIDEWINDOW) != 0 && LayeredWindowsSupported() && p.DrawNonClientArea &&
      !run.HideSkipped() && CacheFilled() && !IsIconic(wnd) && HideAllowed() &&
      !run.HideCoverUp()) {
    run.SetHideCoverUp(true);
    *p.SkinData().CacheBmp() = TakeFormSnapshot();
    fHideCover = CreateHideCover();
  }
  PassOn(aMessage);
}

void TsWindowStates::WMWindowPosChanged(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(aMessage.LParam);
  const HWND wnd = Wnd();
  if (pos == nullptr || wnd == nullptr || (pos->flags & SWP_HIDEWINDOW) == 0 ||
      !LayeredWindowsSupported() || !p.DrawNonClientArea || p.RunState().HideSkipped() ||
      !CacheFilled() || IsIconic(wnd) || !HideAllowed()) {
    PassOn(aMessage);
    return;
  }
  PassOn(aMessage);
  if (!IsWindow(wnd))
    return;
  p.RunState().SetHideSkipped(true);
  HideAnimation();
}

// ---- caption, icon ----

void TsWindowStates::WMSetText(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  const HWND wnd = Wnd();
  if (wnd == nullptr || !IsWindowVisible(wnd) || p.Form()->FormState().Contains(fsCreating) ||
      !p.DrawNonClientArea) {
    PassOn(aMessage);
    return;
  }
  p.SkinData().BGChanged = true;
  ShowCoverWindow();
  PassOn(aMessage);
  HideCoverWindow();
  OwnNCPaint();
}

void TsWindowStates::WMSetIcon(TMessage& aMessage) {
  const HWND wnd = Wnd();
  if (fProvider.ComponentState().Contains(csLoading) || aMessage.LParam == 0 ||
      WindowAnimationRunning || !Showing()) {
    PassOn(aMessage);
    return;
  }
  SendMessageW(wnd, WM_SETREDRAW, 0, 0);
  PassOn(aMessage);
  if (!IsWindow(wnd))
    return;
  SendMessageW(wnd, WM_SETREDRAW, 1, 0);
  fProvider.RefreshFrame();
}

// ---- showing ----

void TsWindowStates::WMShowWindow(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  const bool shown = aMessage.WParam != 0;
  if (shown)
    p.RunState().Shown();
  PassOn(aMessage);
  if (shown && HasParent()) {
    p.SkinData().CtrlSkinState &= WORD(~cssPlain);
    p.SkinData().BGChanged = true;
  }
}

void TsWindowStates::CMShowingChanged(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  TsCommonData& data = p.SkinData();
  TsSkinManager* manager = p.SkinManager();
  if (!p.DrawNonClientArea || !p.DrawClientArea) {
    PassOn(aMessage);
    data.SetUpdating(false);
    return;
  }
  const HWND wnd = Wnd();
  if (aMessage.WParam == 0 || wnd == nullptr) {
    PassOn(aMessage);
    return;
  }
  TsFrameRunState& run = p.RunState();
  run.SetHideCoverUp(false);
  StopAnimation(wnd);
  // A form shown again may hide with the animation again.
  run.SetHideSkipped(false);
  const bool animated = p.AllowAnimation && !HasParent() && manager != nullptr &&
                        manager->AnimEffects.FormShow.Active;
  run.BeginShow(animated);
  const bool madeLayered = animated && PrepareUnseen();
  if (!animated)
    data.SetUpdating(false);
  PassOn(aMessage);
  if (!IsWindow(wnd))
    return;
  if (!run.PreparingShow()) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
    KeepClientRect();
  } else if (data.Skinned()) {
    ShowPreparedForm(madeLayered);
    KeepClientRect();
  } else {
    // The skin went while the form was prepared: it shows plainly.
    SetChildrenRedraw(true);
    MakeLayered(false);
    RedrawWindow(wnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
    run.EndShow();
  }
}

// Until the show animation shows it, the form is drawn unseen: in an update,
// layered and transparent, its children not redrawn. True when it was made
// layered here.
bool TsWindowStates::PrepareUnseen() {
  fProvider.SkinData().SetUpdating(true);
  bool madeLayered = false;
  if (LayeredWindowsSupported() && (GetWindowLongW(Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED) == 0) {
    MakeLayered(true);
    madeLayered = true;
  }
  SetChildrenRedraw(false);
  return madeLayered;
}

// The prepared form's finished look is taken while the window can still be
// painted, and the show animation shows it.
void TsWindowStates::ShowPreparedForm(bool aMadeLayered) {
  const HWND wnd = Wnd();
  SetChildrenRedraw(true);
  fProvider.SkinData().SetUpdating(false);
  Bitmap source = TakeFormSnapshot();
  if (aMadeLayered) {
    MakeLayered(false);
    SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~LONG(WS_VISIBLE));
  }
  fProvider.RunState().ShowPrepared();
  const TqcAnimEffect& show = fProvider.SkinManager()->AnimEffects.FormShow;
  ShowAnimation(show.Time, 255, show.Mode, std::move(source));
}

void TsWindowStates::KeepClientRect() {
  if (const HWND wnd = Wnd(); wnd != nullptr && IsWindow(wnd)) {
    RECT client{};
    GetClientRect(wnd, &client);
    fLastClientRect = client;
  }
}

void TsWindowStates::ShowAnimation(int aTime, BYTE aBlendValue, int aMode, Bitmap aSource) {
  TsSkinProvider& p = fProvider;
  const HWND wnd = Wnd();
  if (wnd == nullptr || !p.SkinData().Skinned() || IsIconic(wnd) || aSource.Empty()) {
    // Without the animation the window must still become visible.
    p.RunState().EndShow();
    if (wnd != nullptr) {
      SendMessageW(wnd, WM_SETREDRAW, 1, 0);
      RedrawWindow(wnd, nullptr, nullptr, FullRedraw);
    }
    return;
  }
  WindowAnimationRunning = true;
  RECT r{};
  GetWindowRect(wnd, &r);
  ClearCutouts(aSource, p.Cutouts());
  auto cover = std::make_unique<TqcLayeredCover>();
  cover->SetImage(aSource, WindowShape(wnd, r));
  const bool topMost = IsTopMost(wnd);
  std::vector<TqcAnimationFrame> frames =
      ShowAnimationFrames(aTime, aBlendValue, aMode, {r.Width(), r.Height()});
  for (TqcAnimationFrame& frame : frames)
    frame.Rect = frame.Rect.Offset(r.Left, r.Top);
  const BYTE firstOpacity = frames.empty() ? aBlendValue : 0;
  cover->Show({r.Left, r.Top}, firstOpacity, topMost ? HWND_TOPMOST : wnd);
  TqcWindowAnimation animation(wnd, std::move(cover), aSource, std::move(frames));
  RunAnimationNow(animation);
  // The finished image stays up while the window is drawn below it.
  TqcLayeredCover& shown = animation.Cover();
  shown.SetImage(std::move(aSource), WindowShape(wnd, r));
  shown.Present({r.Left, r.Top}, aBlendValue);
  p.RunState().EndShow();
  SetWindowPos(wnd, shown.Handle(), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
  SendMessageW(wnd, WM_SETREDRAW, 1, 0);
  WindowAnimationRunning = false;
  RedrawWindow(wnd, nullptr, nullptr, FullRedraw);
}

// ---- closing, hiding, minimizing ----

Bitmap TsWindowStates::TakeFormSnapshot() {
  const HWND wnd = Wnd();
  RECT r{};
  GetWindowRect(wnd, &r);
  Bitmap image(r.Width(), r.Height());
  if (image.Empty())
    return image;
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &image);
  SendMessageW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
               PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
  DeleteDC(dc);
  MakeOpaque(image);
  return image;
}

std::unique_ptr<TqcLayeredCover> TsWindowStates::CreateHideCover() {
  const HWND wnd = Wnd();
  RECT r{};
  GetWindowRect(wnd, &r);
  const Bitmap* frame = TopLevelFrame(wnd);
  Bitmap image = OpaqueCopy(frame != nullptr ? *frame : Bitmap(), r.Width(), r.Height());
  auto cover = std::make_unique<TqcLayeredCover>();
  cover->SetImage(std::move(image), WindowShape(wnd, r));
  cover->Show({r.Left, r.Top}, 255, HWND_TOPMOST);
  return cover;
}

Bitmap TsWindowStates::AnimationImage() const {
  const Bitmap* cache = fProvider.SkinData().CacheBmp();
  if (cache == nullptr || cache->Empty())
    return {};
  Bitmap image = OpaqueCopy(*cache, cache->Width(), cache->Height());
  ClearCutouts(image, fProvider.Cutouts());
  return image;
}

void TsWindowStates::HideAnimation() {
  TsSkinProvider& p = fProvider;
  const HWND wnd = Wnd();
  TsSkinManager* manager = p.SkinManager();
  if (!CacheFilled() || manager == nullptr)
    return;
  WindowAnimationRunning = true;
  if (!p.RunState().HideCoverUp())
    fProvider.PaintAll();
  std::unique_ptr<TqcLayeredCover> cover = fHideCover ? std::move(fHideCover) : CreateHideCover();
  MakeLayered(true);
  const TqcAnimEffect& hide = manager->AnimEffects.FormHide;
  RECT r{};
  GetWindowRect(wnd, &r);
  std::vector<TqcAnimationFrame> frames = HideAnimationFrames(hide.Time, hide.Mode, r);
  // Without frames the cover goes at once and no animation is shown.
  if (!frames.empty()) {
    auto animation = std::make_unique<TqcWindowAnimation>(nullptr, std::move(cover),
                                                          AnimationImage(), std::move(frames));
    if (Application != nullptr && Application->Terminating())
      RunAnimationNow(*animation);
    else
      StartAnimation(std::move(animation));
  }
  MakeLayered(false);
  SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~LONG(WS_VISIBLE));
  WindowAnimationRunning = false;
}

void TsWindowStates::WMClose(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  TsFrameRunState& run = p.RunState();
  if (!HideAllowed() || !p.DrawNonClientArea || run.HideCoverUp()) {
    PassOn(aMessage);
    return;
  }
  PassOn(aMessage);
  // The cache keeps the form's last look.
  if (!Destroying() && Wnd() != nullptr && CacheFilled()) {
    run.SetHideCoverUp(true);
    *p.SkinData().CacheBmp() = TakeFormSnapshot();
    run.SetHideCoverUp(false);
    p.SkinData().BGChanged = false;
  }
}

void TsWindowStates::StartMinimizeAnimation() {
  TsSkinProvider& p = fProvider;
  const HWND wnd = Wnd();
  TsSkinManager* manager = p.SkinManager();
  if (manager == nullptr || !manager->AnimEffects.Minimizing.Active || IsIconic(wnd) ||
      RunningAnimation(wnd) != nullptr)
    return;
  RECT r{};
  GetWindowRect(wnd, &r);
  Bitmap image = TakeFormSnapshot();
  if (image.Empty())
    return;
  const TqcFrameForm f = p.FrameForm();
  const TRect target = MinimizedTarget(WindowArea(false), MinimizedWidth,
                                       SysCaptionHeight(f) + 2 * SysBorderWidth(f));
  auto cover = std::make_unique<TqcLayeredCover>();
  cover->SetImage(image, WindowShape(wnd, r));
  cover->Show({r.Left, r.Top}, 255, HWND_TOPMOST);
  auto animation = std::make_unique<TqcWindowAnimation>(
      wnd, std::move(cover), std::move(image),
      MinimizeAnimationFrames(manager->AnimEffects.Minimizing.Time, r, target));
  p.RunState().SetMinimizing(true);
  fAnimatedWnd = wnd;
  animation->OnFinished = [this] {
    fProvider.RunState().SetMinimizing(false);
    fAnimatedWnd = nullptr;
  };
  StartAnimation(std::move(animation));
}

bool TsWindowStates::WMSysCommand(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  const WPARAM command = aMessage.WParam & 0xFFF0;
  if (command == SC_MINIMIZE) {
    StartMinimizeAnimation();
    PassOn(aMessage);
    p.RunState().ShowPrepared();
    return true;
  }
  if (command == SC_RESTORE && p.RunState().HideCoverUp()) {
    p.RunState().SetHideCoverUp(false);
    PassOn(aMessage);
    return true;
  }
  return false;
}

// ---- printing ----

void TsWindowStates::WMPrint(TMessage& aMessage) {
  TsSkinProvider& p = fProvider;
  TForm* form = p.Form();
  const HWND wnd = Wnd();
  auto* dc = reinterpret_cast<HDC>(aMessage.WParam);
  aMessage.Result = 0;
  if (p.ComponentState().Contains(csLoading) || form->FormState().Contains(fsCreating) ||
      Destroying() || wnd == nullptr || dc == nullptr)
    return;
  if ((aMessage.LParam & PRF_ERASEBKGND) != 0) {
    aMessage.Result = SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    return;
  }
  TsCommonData& data = p.SkinData();
  data.PrintDC = dc;
  data.CtrlSkinState |= cssPrinting;
  data.SetUpdating(false);
  const TqcWindowRects rects = WindowRects(wnd);
  if (p.DrawNonClientArea) {
    fProvider.PaintAll();
    if (const Bitmap* cache = data.CacheBmp(); cache != nullptr && !cache->Empty()) {
      const ScopedSaveDC saved(dc);
      ExcludeClipRect(dc, rects.Client.Left, rects.Client.Top, rects.Client.Right,
                      rects.Client.Bottom);
      HDC src = CreateCompatibleDC(nullptr);
      SelectObject(src, const_cast<Bitmap*>(cache));
      BitBlt(dc, 0, 0, cache->Width(), cache->Height(), src, 0, 0, SRCCOPY);
      DeleteDC(src);
    }
  }
  const ScopedSaveDC saved(dc);
  OffsetViewportOrgEx(dc, rects.Client.Left, rects.Client.Top, nullptr);
  IntersectClipRect(dc, 0, 0, rects.Client.Width(), rects.Client.Height());
  SendMessageW(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  // The platform prints the child windows into the client area.
  if ((aMessage.LParam & PRF_CHILDREN) != 0)
    DefWindowProcW(wnd, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CHILDREN);
  data.PrintDC = nullptr;
  data.CtrlSkinState &= WORD(~cssPrinting);
}
