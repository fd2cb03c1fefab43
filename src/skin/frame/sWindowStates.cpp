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
  if (!p.DrawNonClientArea || p.FInAnimation || p.LockCount > 0 ||
      (p.FormState & fsBlendMoving) != 0 || wnd == nullptr || !CacheFilled())
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
  TForm* form = p.Form();
  // The restore animation shows the window meanwhile.
  if ((p.FormState & fsRestoring) != 0) {
    aMessage.Result = 1;
    return;
  }
  const HWND wnd = Wnd();
  if (Destroying() || !p.DrawNonClientArea || wnd == nullptr) {
    PassOn(aMessage);
    return;
  }
  if (!p.SystemMenuReady)
    p.PrepareForm();
  p.FormState |= fsNCActivating;
  const bool active = aMessage.WParam != 0;
  if ((p.FormState & fsBlendMoving) == 0)
    p.FormActive = active;
  if (LooksDifferentWhenActive(data))
    data.BGChanged = true;
  data.SetUpdating(false);

  if (Showing() && IsWindowVisible(wnd)) {
    if (active != p.FormActive)
      data.BGChanged = true;
    if (p.fAnimating) {
      if (p.RTInit)
        SendMessageW(wnd, WM_SETREDRAW, 0, 0);
    } else if (!form->FormState().Contains(fsShowing)) {
      ShowCoverWindow();
    }
    // The platform repaints its own caption under the cover.
    const bool redrawOn = p.fAnimating || p.RTInit;
    const bool firstUse = p.RTInit;
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
  } else {
    PassOn(aMessage);
  }
  if (!IsWindow(wnd))
    return;

  const bool animating = RunningAnimation(wnd) != nullptr;
  if ((GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 && !animating)
    OwnNCPaint();
  if (!form->FormState().Contains(fsCreating) && HasBorder(p.FrameForm()) &&
      (p.FormState & fsBlendMoving) == 0 && p.FormActive != active) {
    p.FormActive = active;
    p.FLinesCount = -1;
  }
  p.FormState &= ~fsNCActivating;
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
  TForm* form = p.Form();
  const HWND wnd = Wnd();
  if (data.Updating() || wnd == nullptr || !IsWindowVisible(wnd)) {
    p.RgnChanged = data.BGChanged = true;
    PassOn(aMessage);
    return;
  }
  const int clientWidth = LOWORD(DWORD_PTR(aMessage.LParam));
  const int clientHeight = HIWORD(DWORD_PTR(aMessage.LParam));
  const TRect last = fLastClientRect;
  const bool plain = !data.HasOwnBackground();
  // The corner images at the bottom right of the old client area leave
  // traces when the client area shrinks.
  if (TsSkinManager* manager = p.SkinManager();
      manager != nullptr &&
      (clientWidth < last.Width() || clientHeight < last.Height() || last.Width() == 0))
    for (const char* corner : {"IMGTOPRIGHT", "IMGBTMRIGHT"}) {
      const int index = manager->GetMaskIndex(data.SkinIndex, data.SkinSection(), corner);
      if (!manager->IsValidImgIndex(index))
        continue;
      const TsMaskData& mask = manager->ma[std::size_t(index)];
      const RECT r{last.Right - StateImageWidth(mask), last.Bottom - StateImageHeight(mask),
                   last.Right, last.Bottom};
      InvalidateRect(wnd, &r, plain ? TRUE : FALSE);
    }
  p.FLinesCount = -1;

  const bool keepUpdating = !HasParent() && p.DrawClientArea;
  const bool wasUpdating = data.Updating();
  if (keepUpdating)
    data.SetUpdating(true);
  PassOn(aMessage);
  if (keepUpdating)
    data.SetUpdating(wasUpdating);
  if (!IsWindow(wnd))
    return;

  if (!WindowAnimationRunning) {
    const Bitmap* cache = data.CacheBmp();
    const TqcFrameForm f = p.FrameForm();
    if (!Showing()) {
      data.BGChanged = true;
    } else if (cache != nullptr && cache->Width() == CaptionWidth(f) &&
               cache->Height() == form->Height()) {
      // The cache already has the window's size.
    } else {
      p.RgnChanged = data.BGChanged = true;
      if (p.DrawNonClientArea) {
        OwnNCPaint();
        if (data.Updating())
          return;
        const bool heightChanged = clientHeight != last.Height();
        const bool widthChanged = clientWidth != last.Width();
        if (((data.BGType & 2) != 0 && heightChanged) || ((data.BGType & 1) != 0 && widthChanged))
          SendSkinCommandToChildren(fProvider.Form(), scMoved, 0, 1);
        RedrawWindow(wnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_NOFRAME);
        SendSkinCommandToChildren(fProvider.Form(), scRepaintChildren);
      } else if (data.HasOwnBackground() && cache != nullptr &&
                 (cache->Width() > form->Width() || cache->Height() > form->Height())) {
        InvalidateRect(wnd, nullptr, FALSE);
      }
    }
  }
  fLastClientRect = {0, 0, clientWidth, clientHeight};
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
  if (p.RgnChanging || form->ComponentState().Contains(csLoading) || pos == nullptr ||
      wnd == nullptr) {
    p.FormState &= ~fsHideCover;
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
      !p.SkipAnimation && CacheFilled() && !IsIconic(wnd) && HideAllowed() &&
      (p.FormState & fsHideCover) == 0) {
    p.FormState |= fsHideCover;
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
      !LayeredWindowsSupported() || !p.DrawNonClientArea || p.SkipAnimation || !CacheFilled() ||
      IsIconic(wnd) || !HideAllowed()) {
    PassOn(aMessage);
    return;
  }
  PassOn(aMessage);
  if (!IsWindow(wnd))
    return;
  p.SkipAnimation = true;
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
    p.FormState &= fsRestoring;
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
  p.FormState &= ~fsHideCover;
  StopAnimation(wnd);
  // A form shown again may hide with the animation again.
  p.SkipAnimation = false;
  p.fAnimating = p.AllowAnimation && !HasParent() && manager != nullptr &&
                 manager->AnimEffects.FormShow.Active;
  bool madeLayered = false;
  if (p.fAnimating) {
    data.SetUpdating(true);
    p.FInAnimation = true;
    // Invisible to the eye until the animation shows it.
    if (LayeredWindowsSupported() && (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) {
      MakeLayered(true);
      madeLayered = true;
    }
    SetChildrenRedraw(false);
  } else {
    data.SetUpdating(false);
  }
  PassOn(aMessage);
  if (!IsWindow(wnd))
    return;
  if (data.Skinned() || !p.fAnimating) {
    if (p.fAnimating) {
      SetChildrenRedraw(true);
      // The finished look is taken while the window can still be painted.
      data.SetUpdating(false);
      Bitmap source = TakeFormSnapshot();
      if (madeLayered) {
        MakeLayered(false);
        SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~LONG(WS_VISIBLE));
      }
      p.fAnimating = false;
      const TqcAnimEffect& show = manager->AnimEffects.FormShow;
      ShowAnimation(show.Time, 255, show.Mode, std::move(source));
      p.RgnChanging = false;
    } else {
      RedrawWindow(wnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
    }
    if (IsWindow(wnd)) {
      RECT client{};
      GetClientRect(wnd, &client);
      fLastClientRect = client;
    }
  } else {
    SetChildrenRedraw(true);
    MakeLayered(false);
    RedrawWindow(wnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_INVALIDATE);
    p.RgnChanging = false;
    p.fAnimating = false;
    p.FInAnimation = false;
  }
}

void TsWindowStates::ShowAnimation(int aTime, BYTE aBlendValue, int aMode, Bitmap aSource) {
  TsSkinProvider& p = fProvider;
  const HWND wnd = Wnd();
  if (wnd == nullptr || !p.SkinData().Skinned() || IsIconic(wnd) || aSource.Empty()) {
    // Without the animation the window must still become visible.
    p.FInAnimation = false;
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
  p.FInAnimation = false;
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
  if ((p.FormState & fsHideCover) == 0)
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
  if (!HideAllowed() || !p.DrawNonClientArea || (p.FormState & fsHideCover) != 0) {
    PassOn(aMessage);
    return;
  }
  PassOn(aMessage);
  // The cache keeps the form's last look.
  if (!Destroying() && Wnd() != nullptr && CacheFilled()) {
    p.FormState |= fsHideCover;
    *p.SkinData().CacheBmp() = TakeFormSnapshot();
    p.FormState &= ~fsHideCover;
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
  p.FormState |= fsMinimizing;
  fAnimatedWnd = wnd;
  animation->OnFinished = [this] {
    fProvider.FormState &= ~fsMinimizing;
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
    p.fAnimating = false;
    return true;
  }
  if (command == SC_RESTORE && (p.FormState & fsHideCover) != 0) {
    p.FormState &= ~fsHideCover;
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
