#include "skin/controls/qcScrollWnd.h"

#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "skin/controls/qcScrollTracking.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sParentBg.h"
#include "skin/paint/sSkinCommandHandler.h"

#include <algorithm>

using namespace platform;

namespace {

bool IsBarHit(WPARAM aHit) {
  return aHit == WPARAM(HTHSCROLL) || aHit == WPARAM(HTVSCROLL);
}

int BarOfHit(WPARAM aHit) {
  return aHit == WPARAM(HTVSCROLL) ? 1 : 0;
}

TPoint ScreenPointOf(LPARAM aLParam) {
  return {GET_X_LPARAM(aLParam), GET_Y_LPARAM(aLParam)};
}

// The bar's thumb start along its direction, window coordinates.
int StartAlong(const TRect& aR, bool aVertical) {
  return aVertical ? aR.Top : aR.Left;
}

} // namespace

std::unique_ptr<TsCommonData> NewScrollWndData(const TqcSkinParams& aParams) {
  auto data = std::make_unique<TsScrollWndData>(aParams.Control, true);
  if (aParams.HorzScrollSize >= 0)
    data->HorzScrollData().SetScrollWidth(aParams.HorzScrollSize);
  if (aParams.HorzScrollBtnSize >= 0)
    data->HorzScrollData().SetButtonsSize(aParams.HorzScrollBtnSize);
  if (aParams.VertScrollSize >= 0)
    data->VertScrollData().SetScrollWidth(aParams.VertScrollSize);
  if (aParams.VertScrollBtnSize >= 0)
    data->VertScrollData().SetButtonsSize(aParams.VertScrollBtnSize);
  return data;
}

TqcScrollWnd::TqcScrollWnd(HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
                           const TqcSkinParams& aParams, bool aRepaint)
    : TqcScrollWnd(aHandle, aSkinData, aManager, aParams, aRepaint,
                   aSkinData == nullptr ? NewScrollWndData(aParams) : nullptr) {}

TqcScrollWnd::TqcScrollWnd(HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
                           const TqcSkinParams& aParams, bool aRepaint,
                           std::unique_ptr<TsCommonData> aOwnData)
    : TqcMainWnd(aHandle, aSkinData, aManager, aParams, std::move(aOwnData)) {
  Init(aRepaint);
}

TqcScrollWnd::~TqcScrollWnd() {
  const HWND h = CtrlHandle();
  if (ScrollTracking().Wnd == h) {
    if (IsWindow(h)) {
      KillTimer(h, kHoverTimer);
      KillTimer(h, kFirstRepeatTimer);
      KillTimer(h, kRepeatTimer);
      if (ScrollTracking().Pressed(h) && GetCapture() == h) {
        ClearScrollTracking();
        ReleaseCapture();
      }
    }
    ClearScrollTracking();
  }
}

void TqcScrollWnd::Init(bool aRepaint) {
  const HWND h = CtrlHandle();
  sBarHorz.ReadInfo();
  sBarVert.ReadInfo();
  fLeftScrollbar = (DWORD(GetWindowLongW(h, GWL_EXSTYLE)) & WS_EX_LEFTSCROLLBAR) != 0;
  const DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE));
  if (style & WS_HSCROLL)
    sBarHorz.fScrollFlags = sfStyleHasBar;
  if (style & WS_VSCROLL)
    sBarVert.fScrollFlags = sfStyleHasBar;
  sBarHorz.nMinThumbSize = 16;
  sBarVert.nMinThumbSize = 16;
  if (aRepaint)
    RecalcFrame();
}

void TqcScrollWnd::RecalcFrame() {
  SetWindowPos(CtrlHandle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TPoint TqcScrollWnd::ToWindow(TPoint aScreen) const {
  RECT r;
  GetWindowRect(CtrlHandle(), &r);
  return {aScreen.X - r.Left, aScreen.Y - r.Top};
}

TPoint TqcScrollWnd::CursorInWindow() const {
  POINT p;
  GetCursorPos(&p);
  return ToWindow({p.X, p.Y});
}

// ---- non-client size and paint ----

void TqcScrollWnd::NcCalcSize(TMessage& aMessage) {
  const HWND h = CtrlHandle();
  RECT* r = aMessage.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(aMessage.LParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(aMessage.LParam);
  if (r == nullptr) {
    CallPrev(aMessage);
    return;
  }
  const TRect proposed = *r;
  const DWORD style = DWORD(GetWindowLongW(h, GWL_STYLE));
  const DWORD bars = style & (WS_HSCROLL | WS_VSCROLL);
  // The platform makes no room for bars of its own.
  if (bars != 0) {
    bPreventStyleChange = true;
    SetWindowLongW(h, GWL_STYLE, LONG(style & ~bars));
  }
  if (!CallPrevAlive(aMessage))
    return;
  if (bars != 0) {
    SetWindowLongW(h, GWL_STYLE, LONG(style));
    bPreventStyleChange = false;
  }
  cxLeftEdge = r->Left - proposed.Left;
  cyTopEdge = r->Top - proposed.Top;
  cxRightEdge = proposed.Right - r->Right;
  cyBottomEdge = proposed.Bottom - r->Bottom;

  const auto flag = [](TqcScrollBar& aBar, bool aOn) {
    aBar.fScrollFlags =
        WORD(aOn ? (aBar.fScrollFlags | sfStyleHasBar) : (aBar.fScrollFlags & ~sfStyleHasBar));
  };
  flag(sBarHorz, (style & WS_HSCROLL) != 0);
  const int ht = sBarHorz.Thickness();
  sBarHorz.fScrollVisible = (sBarHorz.fScrollFlags & sfStyleHasBar) && r->Height() >= ht;
  if (sBarHorz.fScrollVisible)
    r->Bottom -= ht;
  flag(sBarVert, (style & WS_VSCROLL) != 0);
  const int vt = sBarVert.Thickness();
  sBarVert.fScrollVisible = (sBarVert.fScrollFlags & sfStyleHasBar) && r->Width() >= vt;
  if (sBarVert.fScrollVisible) {
    if (fLeftScrollbar)
      r->Left += vt;
    else
      r->Right -= vt;
  }
  ScrollsInitialized = true;
}

void TqcScrollWnd::NcPaint(TMessage& aMessage) {
  if (!ScrollsInitialized)
    RecalcFrame();
  if (IsWindowVisible(CtrlHandle()) && !SkinData().IsUpdating() && !DontRepaint)
    PaintScrollBars();
  CallPrev(aMessage);
}

void TqcScrollWnd::PaintScrollBars(HDC aDC) {
  const HWND h = CtrlHandle();
  if (SkinData().IsUpdating() || !IsWindowVisible(h))
    return;
  if (SkinData().BGChanged)
    SendSkinCommand(h, scPrepareCache);
  RefreshGeometry();
  const HDC dc = aDC != nullptr ? aDC : GetWindowDC(h);
  if (dc == nullptr)
    return;
  if (sBarHorz.fScrollVisible)
    sBarHorz.Paint(dc);
  if (sBarVert.fScrollVisible)
    sBarVert.Paint(dc);
  if (sBarHorz.fScrollVisible && sBarVert.fScrollVisible)
    PaintCorner(dc);
  if (aDC == nullptr)
    ReleaseDC(h, dc);
}

TRect TqcScrollWnd::CornerRect() const {
  if (!sBarHorz.fScrollVisible || !sBarVert.fScrollVisible)
    return {};
  const TRect h = sBarHorz.Rect(), v = sBarVert.Rect();
  return {v.Left, h.Top, v.Right, h.Bottom};
}

bool TqcScrollWnd::CornerIsGrip() const {
  const HWND parent = GetParent(CtrlHandle());
  if (parent == nullptr || GetParent(parent) != nullptr)
    return false;
  RECT window, client;
  GetWindowRect(CtrlHandle(), &window);
  GetClientRect(parent, &client);
  POINT corner{client.Right, client.Bottom};
  ClientToScreen(parent, &corner);
  return window.Right == corner.X && window.Bottom == corner.Y;
}

void TqcScrollWnd::PaintCorner(HDC aDC) {
  const TsSkinManager* manager = SkinManager();
  const TRect corner = CornerRect();
  if (manager == nullptr || corner.IsEmpty())
    return;
  Bitmap square = CreateBitmap32(corner.Width(), corner.Height());
  const TCacheInfo parent = ParentBackground();
  const TPoint offset{WndPos.X + corner.Left, WndPos.Y + corner.Top};
  if (parent.Ready && parent.Bmp != nullptr) {
    FillFromParent(square, parent, offset);
  } else {
    const int track = manager->ConstData.Scrolls[std::size_t(asLeft)].SkinIndex;
    const bool seeThrough = manager->IsValidSkinIndex(track) &&
                            manager->gd[std::size_t(track)].Props[0].Transparency == 100 &&
                            parent.FillColor != KeyColor;
    FillRect32(square, square.BoundsRect(),
               seeThrough ? parent.FillColor : ColorToRGB(manager->GetGlobalColor()));
  }
  const int grip = manager->ConstData.GripRightBottom;
  if (CornerIsGrip() && manager->IsValidImgIndex(grip)) {
    const TsMaskData& mask = manager->ma[std::size_t(grip)];
    PaintMaskGlyph(
        square, {square.Width() - StateImageWidth(mask), square.Height() - StateImageHeight(mask)},
        0, CacheInfoFromBitmap(&square, 0, 0), mask, 1);
  }
  CopyBitmapToDC(aDC, corner, square, {0, 0});
}

void TqcScrollWnd::RefreshScrolls() {
  if (DontRepaint || SkinData().IsUpdating())
    return;
  sBarHorz.ReadInfo();
  sBarVert.ReadInfo();
  PaintScrollBars();
}

// ---- hit test and mouse ----

LRESULT TqcScrollWnd::NcHitTest(TPoint aScreen) {
  const TPoint p = ToWindow(aScreen);
  for (TqcScrollBar* bar : {&sBarHorz, &sBarVert})
    if (bar->fScrollVisible && bar->Rect().Contains(p)) {
      bar->ReadInfo();
      if (!bar->Enabled())
        return HTNOWHERE;
      return bar->Vertical() ? HTVSCROLL : HTHSCROLL;
    }
  if (CornerRect().Contains(p) && CornerIsGrip())
    return HTBOTTOMRIGHT;
  return -1;
}

void TqcScrollWnd::NcMouseMove(WPARAM aHit) {
  if (!IsBarHit(aHit))
    return;
  const HWND h = CtrlHandle();
  TqcScrollTracking& t = ScrollTracking();
  const int bar = BarOfHit(aHit);
  if (t.Hovered(h) && t.HoverBar == bar)
    return;
  if (t.Wnd != h && t.Wnd != nullptr) {
    if (t.PressedBar >= 0)
      return;
    if (auto* other = dynamic_cast<TqcScrollWnd*>(TqcMainWnd::Of(t.Wnd)))
      other->EndHover();
  }
  TqcScrollBar& b = BarOf(bar);
  b.ReadInfo();
  t.Wnd = h;
  t.HoverBar = bar;
  t.HoverRect = b.Rect();
  t.HotPart = b.PartAt(CursorInWindow());
  SetTimer(h, kHoverTimer, kHoverPeriod, nullptr);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
  tme.hwndTrack = h;
  TrackMouseEvent(&tme);
  PaintScrollBars();
}

void TqcScrollWnd::HoverTick() {
  const HWND h = CtrlHandle();
  TqcScrollTracking& t = ScrollTracking();
  if (!t.Hovered(h)) {
    KillTimer(h, kHoverTimer);
    return;
  }
  if (fThumbTracking)
    return;
  const TPoint p = CursorInWindow();
  if (!t.HoverRect.Contains(p)) {
    EndHover();
    return;
  }
  TqcScrollBar& b = BarOf(t.HoverBar);
  b.ReadInfo();
  const TqcScrollPart part = b.PartAt(p);
  if (part == t.HotPart)
    return;
  t.HotPart = part;
  PaintScrollBars();
}

void TqcScrollWnd::EndHover() {
  const HWND h = CtrlHandle();
  TqcScrollTracking& t = ScrollTracking();
  KillTimer(h, kHoverTimer);
  if (t.Wnd != h)
    return;
  t.HoverBar = -1;
  t.HotPart = spNone;
  if (t.PressedBar < 0)
    t.Wnd = nullptr;
  PaintScrollBars();
}

bool TqcScrollWnd::NcButtonDown(WPARAM aHit, TPoint aScreen) {
  if (!IsBarHit(aHit))
    return false;
  const HWND h = CtrlHandle();
  TqcScrollBar& b = BarOf(BarOfHit(aHit));
  b.ReadInfo();
  const TPoint p = ToWindow(aScreen);
  const TqcScrollPart part = b.PartAt(p);
  if ((part == spFirstArrow && (b.fScrollFlags & sfFirstArrowOff)) ||
      (part == spSecondArrow && (b.fScrollFlags & sfSecondArrowOff)) || part == spNone ||
      !b.Enabled())
    return true;
  TqcScrollTracking& t = ScrollTracking();
  if (t.Wnd != h && t.Wnd != nullptr)
    if (auto* other = dynamic_cast<TqcScrollWnd*>(TqcMainWnd::Of(t.Wnd)))
      other->EndHover();
  t.Wnd = h;
  t.PressedBar = b.nBarType;
  t.ScrollMsg = b.ScrollMessage();
  t.PressedPart = part;
  t.PartUnderMouse = part;
  SetCapture(h);
  if (part == spThumb) {
    const TqcScrollGeometry g = b.Geometry();
    const bool vertical = b.Vertical();
    t.ThumbStart = StartAlong(g.Thumb, vertical);
    t.BarRect = b.Rect();
    t.GrabOffset = (vertical ? p.Y : p.X) - t.ThumbStart;
    t.LastPos = b.ScrollInfo.nPos;
    b.ScrollInfo.nTrackPos = b.ScrollInfo.nPos;
    fThumbTracking = true;
    RefreshGeometry();
    const HDC dc = GetWindowDC(h);
    b.Paint(dc, TqcThumbOverride{t.ThumbStart - StartAlong(g.Track, vertical)});
    ReleaseDC(h, dc);
    return true;
  }
  PaintScrollBars();
  const std::weak_ptr<int> life = LifeToken();
  ScrollStep(t.ScrollMsg, WORD(part), 0);
  if (life.expired())
    return true;
  // A control that suspended its redrawing during the step left the bars
  // as they were.
  RefreshScrolls();
  if (ScrollTracking().Pressed(h))
    SetTimer(h, kFirstRepeatTimer, kFirstRepeatDelay, nullptr);
  return true;
}

void TqcScrollWnd::PressedMove(TPoint aWindowPoint) {
  TqcScrollTracking& t = ScrollTracking();
  TqcScrollBar& b = BarOf(t.PressedBar);
  b.ReadInfo();
  const bool vertical = b.Vertical();
  if (t.PressedPart != spThumb) {
    const TqcScrollPart part = b.PartAt(aWindowPoint);
    const TqcScrollPart under = part == t.PressedPart ? part : spNone;
    if (under != t.PartUnderMouse) {
      t.PartUnderMouse = under;
      PaintScrollBars();
    }
    return;
  }
  const int trackStart = StartAlong(t.BarRect, vertical) + b.ArrowLength();
  const int mouse = vertical ? aWindowPoint.Y : aWindowPoint.X;
  const auto drag = DragThumb(b.Metrics(), b.ScrollInfo, mouse - t.GrabOffset - trackStart);
  if (!drag)
    return;
  const HWND h = CtrlHandle();
  if (drag->Position != t.LastPos) {
    t.LastPos = drag->Position;
    const std::weak_ptr<int> life = LifeToken();
    ScrollStep(t.ScrollMsg, SB_THUMBTRACK, drag->Position);
    if (life.expired() || !ScrollTracking().Pressed(h))
      return;
  }
  RefreshGeometry();
  const HDC dc = GetWindowDC(h);
  b.Paint(dc, TqcThumbOverride{drag->Offset});
  ReleaseDC(h, dc);
}

void TqcScrollWnd::RepeatTick(UINT_PTR aTimer) {
  const HWND h = CtrlHandle();
  TqcScrollTracking& t = ScrollTracking();
  if (!t.Pressed(h) || t.PressedPart == spThumb) {
    KillTimer(h, aTimer);
    return;
  }
  // The button came up without the release reaching the window.
  if ((GetKeyState(VK_LBUTTON) & 0x8000) == 0) {
    EndPress();
    return;
  }
  if (aTimer == kFirstRepeatTimer) {
    KillTimer(h, kFirstRepeatTimer);
    SetTimer(h, kRepeatTimer, kRepeatPeriod, nullptr);
    return;
  }
  TqcScrollBar& b = BarOf(t.PressedBar);
  b.ReadInfo();
  const TqcScrollPart part = b.PartAt(CursorInWindow());
  t.PartUnderMouse = part == t.PressedPart ? part : spNone;
  if (t.PartUnderMouse == spNone) {
    PaintScrollBars();
    return;
  }
  const std::weak_ptr<int> life = LifeToken();
  DontRepaint = true;
  ScrollStep(t.ScrollMsg, WORD(t.PressedPart), 0);
  if (life.expired())
    return;
  DontRepaint = false;
  PaintScrollBars();
}

void TqcScrollWnd::EndPress() {
  const HWND h = CtrlHandle();
  TqcScrollTracking& t = ScrollTracking();
  const TqcScrollTracking pressed = t;
  t.PressedBar = -1;
  t.PressedPart = spNone;
  t.PartUnderMouse = spNone;
  KillTimer(h, kFirstRepeatTimer);
  KillTimer(h, kRepeatTimer);
  fThumbTracking = false;
  if (GetCapture() == h)
    ReleaseCapture();
  const std::weak_ptr<int> life = LifeToken();
  ScrollStep(pressed.ScrollMsg, SB_ENDSCROLL, pressed.PressedPart == spThumb ? pressed.LastPos : 0);
  if (life.expired())
    return;
  DontRepaint = false;
  KillTimer(h, kHoverTimer);
  ClearScrollTracking();
  RefreshScrolls();
}

void TqcScrollWnd::ScrollStep(UINT aScrollMsg, WORD aCode, int aPos) {
  const HWND h = CtrlHandle();
  const LPARAM what = LPARAM((DWORD(aScrollMsg) << 16) | aCode);
  const WPARAM wParam = MAKEWPARAM(aCode, WORD(aPos));
  if (SendMessageW(h, SkinCommandMessage, SkinCommandParam(scSuspendRedraw), what) == 1) {
    SendMessageW(h, aScrollMsg, wParam, LPARAM(std::clamp(aPos, 0, 0xFFFF)));
  } else {
    const int bar = aScrollMsg == WM_VSCROLL ? SB_VERT : SB_HORZ;
    if (aCode == SB_THUMBTRACK) {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      si.nTrackPos = aPos;
      SetScrollInfo(h, bar, &si, FALSE);
    }
    SendMessageW(h, aScrollMsg, wParam, 0);
  }
  SendMessageW(h, SkinCommandMessage, SkinCommandParam(scResumeRedraw), what);
}

// ---- skin commands ----

bool TqcScrollWnd::SkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  const bool ownManager = command.Ref<TsSkinManager>() == SkinManager();
  switch (command.Command) {
  case scPrepareSkin:
  case scApplySkin:
    if (!ownManager)
      return false;
    SkinData().UpdateIndexes(true);
    SkinData().BGChanged = true;
    CallPrev(aMessage);
    return true;
  case scRemoveSkin:
    if (!ownManager)
      return false;
    RestoreStdParams();
    CallPrev(aMessage);
    return true;
  case scSetSection: {
    LRESULT result = 0;
    HandleSkinCommand(SkinData(), command, result);
    aMessage.Result = result;
    return true;
  }
  case scGetBgColor:
    if (CallPrevAlive(aMessage) && aMessage.Result == 0)
      aMessage.Result = EncodeBgColor(SkinData().StateBackgroundColor(0));
    return true;
  case scPrepareCache: {
    const bool stale = SkinData().BGChanged;
    if (!CallPrevAlive(aMessage))
      return true;
    if (stale && !SkinData().IsUpdating()) {
      SkinData().BGChanged = true;
      RenderFrameImage();
    }
    return true;
  }
  case scGetParentBg: {
    auto* info = command.Ref<ParentBgInfo>();
    if (CallPrevAlive(aMessage) && info != nullptr && info->BgType == btNone)
      FillParentBgInfo(SkinData(), *info, 0);
    return true;
  }
  default:
    return HandleCommonSkinCommand(aMessage);
  }
}

bool TqcScrollWnd::StyleChange(TMessage& aMessage) {
  if (bPreventStyleChange) {
    aMessage.Result = 0;
    return true;
  }
  if (aMessage.Msg == WM_STYLECHANGED && int(aMessage.WParam) == GWL_EXSTYLE)
    fLeftScrollbar = (reinterpret_cast<const STYLESTRUCT*>(aMessage.LParam)->styleNew &
                      WS_EX_LEFTSCROLLBAR) != 0;
  return false;
}

bool TqcScrollWnd::WMNCHitTest(TMessage& aMessage) {
  const LRESULT hit = NcHitTest(ScreenPointOf(aMessage.LParam));
  if (hit < 0)
    return false;
  aMessage.Result = hit;
  return true;
}

void TqcScrollWnd::NcMouseLeave() {
  // The pointer left the bars for somewhere else than the client area.
  const TqcScrollTracking& t = ScrollTracking();
  if (t.Hovered(CtrlHandle()) && !t.Pressed(CtrlHandle()))
    EndHover();
}

bool TqcScrollWnd::ClientMouseMove(LPARAM aPoint) {
  const HWND h = CtrlHandle();
  if (!ScrollTracking().Pressed(h))
    return false;
  POINT p{GET_X_LPARAM(aPoint), GET_Y_LPARAM(aPoint)};
  ClientToScreen(h, &p);
  PressedMove(ToWindow({p.X, p.Y}));
  return true;
}

bool TqcScrollWnd::TimerTick(WPARAM aTimer) {
  if (aTimer == kHoverTimer) {
    HoverTick();
    return true;
  }
  if (aTimer == kFirstRepeatTimer || aTimer == kRepeatTimer) {
    RepeatTick(aTimer);
    return true;
  }
  return false;
}

bool TqcScrollWnd::HandleScrollMessage(TMessage& aMessage) {
  const bool pressed = ScrollTracking().Pressed(CtrlHandle());
  switch (aMessage.Msg) {
  case WM_STYLECHANGING:
  case WM_STYLECHANGED:
    return StyleChange(aMessage);
  case WM_NCCALCSIZE:
    NcCalcSize(aMessage);
    return true;
  case WM_NCPAINT:
    NcPaint(aMessage);
    return true;
  case WM_NCHITTEST:
    return WMNCHitTest(aMessage);
  case WM_NCMOUSEMOVE:
    NcMouseMove(aMessage.WParam);
    return false;
  case WM_NCMOUSELEAVE:
    NcMouseLeave();
    return false;
  case WM_NCLBUTTONDOWN:
  case WM_NCLBUTTONDBLCLK:
    return NcButtonDown(aMessage.WParam, ScreenPointOf(aMessage.LParam));
  case WM_NCRBUTTONDOWN:
  case WM_NCRBUTTONUP:
  case WM_NCMBUTTONDOWN:
  case WM_NCMBUTTONUP:
    return IsBarHit(aMessage.WParam);
  case WM_SYSCOMMAND: {
    const WPARAM command = aMessage.WParam & 0xFFF0;
    return command == SC_VSCROLL || command == SC_HSCROLL;
  }
  case WM_MOUSEMOVE:
    return ClientMouseMove(aMessage.LParam);
  case WM_LBUTTONUP:
  case WM_CAPTURECHANGED:
    // A release ends the press; so does losing the capture while a bar is
    // held, which the next procedure also sees.
    if (pressed)
      EndPress();
    return pressed && aMessage.Msg == WM_LBUTTONUP;
  case WM_TIMER:
    return TimerTick(aMessage.WParam);
  default:
    return aMessage.Msg == SkinCommandMessage && SkinCommand(aMessage);
  }
}

void TqcScrollWnd::qcWndProc(TMessage& aMessage) {
  if (aMessage.Msg == WM_DESTROY || aMessage.Msg == WM_NCDESTROY) {
    HandleDestroy(aMessage);
    return;
  }
  if (!Skinned()) {
    if (aMessage.Msg == SkinCommandMessage) {
      const TSkinCommand command(aMessage);
      if (command.Command == scPrepareSkin && command.Ref<TsSkinManager>() == SkinManager())
        SkinData().UpdateIndexes(true);
    }
    CallPrev(aMessage);
    return;
  }
  if (HandleScrollMessage(aMessage))
    return;
  if (!CallPrevAlive(aMessage))
    return;
  switch (aMessage.Msg) {
  case WM_MOUSEWHEEL:
  case CM_MOUSEWHEEL:
  case CM_FOCUSCHANGED:
  case WM_TIMER:
    RefreshScrolls();
    break;
  default:
    break;
  }
}
