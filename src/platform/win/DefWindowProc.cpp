#include "platform/win/DefWindowProc.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/SystemColors.h"
#include "platform/win/Cursor.h"
#include "platform/win/FramePainter.h"
#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/NonClient.h"
#include "platform/win/Paint.h"
#include "platform/win/PopupMenu.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

#include <algorithm>
#include <cstring>

namespace platform {

using namespace detail;

namespace {

constexpr LRESULT MA_ACTIVATE = 1;

TPoint ToWindow(const Window* aWnd, LPARAM aScreen) {
  const TPoint o = ScreenOrigin(aWnd);
  return {GET_X_LPARAM(aScreen) - o.X, GET_Y_LPARAM(aScreen) - o.Y};
}

bool IsSizeHit(LRESULT aHit) {
  return aHit >= HTLEFT && aHit <= HTBOTTOMRIGHT;
}

void RepaintFrame(HWND aWnd) {
  if (Window* w = Live(aWnd); w && IsShowing(w) && w->Client != w->WindowBounds()) {
    Region frame = Region(w->WindowBounds()).Subtract(Region(w->Client));
    InvalidateWindow(w, &frame, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
  }
}

HBRUSH ClassBrush(const Window* aWnd) {
  HBRUSH brush = aWnd->Class->Background;
  const auto value = reinterpret_cast<std::uintptr_t>(brush);
  if (value != 0 && value <= 31)
    return GetSysColorBrush(int(value) - 1);
  return brush;
}

// Edges dragged by each sizing hit code: left, top, right, bottom.
struct Edges {
  bool Left, Top, Right, Bottom;
};

Edges EdgesOf(LRESULT aHit) {
  switch (aHit) {
  case HTLEFT:
    return {true, false, false, false};
  case HTRIGHT:
    return {false, false, true, false};
  case HTTOP:
    return {false, true, false, false};
  case HTBOTTOM:
    return {false, false, false, true};
  case HTTOPLEFT:
    return {true, true, false, false};
  case HTTOPRIGHT:
    return {false, true, true, false};
  case HTBOTTOMLEFT:
    return {true, false, false, true};
  case HTBOTTOMRIGHT:
    return {false, false, true, true};
  }
  return {false, false, false, false};
}

// The rectangle (parent coordinates) a drag from aStart to aNow gives.
TRect DraggedRect(const TRect& aStart, LRESULT aHit, TPoint aDelta, const MINMAXINFO& aLimits) {
  if (aHit == HTCAPTION)
    return aStart.Offset(aDelta.X, aDelta.Y);
  const Edges e = EdgesOf(aHit);
  TRect r = aStart;
  const int minW = aLimits.ptMinTrackSize.X, maxW = std::max(minW, aLimits.ptMaxTrackSize.X);
  const int minH = aLimits.ptMinTrackSize.Y, maxH = std::max(minH, aLimits.ptMaxTrackSize.Y);
  if (e.Left)
    r.Left = aStart.Right - std::clamp(aStart.Width() - aDelta.X, minW, maxW);
  if (e.Right)
    r.Right = aStart.Left + std::clamp(aStart.Width() + aDelta.X, minW, maxW);
  if (e.Top)
    r.Top = aStart.Bottom - std::clamp(aStart.Height() - aDelta.Y, minH, maxH);
  if (e.Bottom)
    r.Bottom = aStart.Top + std::clamp(aStart.Height() + aDelta.Y, minH, maxH);
  return r;
}

// The arrow keys' step of a move from the keyboard.
constexpr int KeyboardMoveStep = 8;

// The change of a keyboard move's offset for an arrow key; (0, 0) for others.
TPoint ArrowStep(WPARAM aKey) {
  switch (aKey) {
  case VK_LEFT:
    return {-KeyboardMoveStep, 0};
  case VK_RIGHT:
    return {KeyboardMoveStep, 0};
  case VK_UP:
    return {0, -KeyboardMoveStep};
  case VK_DOWN:
    return {0, KeyboardMoveStep};
  }
  return {0, 0};
}

// A move or size drag of the layer's own: where it started, the offsets
// the arrow keys and the mouse added, and the size limits.
struct MoveSizeDrag {
  HWND Wnd;
  LRESULT Hit;
  bool ByMouse;
  TRect Start;
  POINT From;
  MINMAXINFO Limits;
  TPoint Keys{0, 0};
  TPoint Mouse{0, 0};

  // Asks the window about the rectangle the offsets give, then moves there.
  void MoveToOffset() const {
    TRect r = DraggedRect(Start, Hit, {Keys.X + Mouse.X, Keys.Y + Mouse.Y}, Limits);
    Window* cur = Live(Wnd);
    if (Hit == HTCAPTION)
      Send(cur, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    else
      Send(cur, WM_SIZING, WPARAM(Hit - HTLEFT + 1), reinterpret_cast<LPARAM>(&r));
    if (Live(Wnd))
      SetWindowPos(Wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }

  CaptureStep Step(const MSG& aMsg) {
    if (aMsg.hwnd == Wnd && (aMsg.message == WM_MOUSEMOVE || aMsg.message == WM_LBUTTONUP)) {
      Mouse = {aMsg.pt.X - From.X, aMsg.pt.Y - From.Y};
      MoveToOffset();
      return aMsg.message == WM_LBUTTONUP ? CaptureStep::Finished : CaptureStep::Handled;
    }
    if (aMsg.message == WM_KEYDOWN && aMsg.wParam == WPARAM(VK_ESCAPE)) {
      SetWindowPos(Wnd, nullptr, Start.Left, Start.Top, Start.Width(), Start.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return CaptureStep::Finished;
    }
    if (!ByMouse && aMsg.message == WM_KEYDOWN) {
      const TPoint step = ArrowStep(aMsg.wParam);
      if (step.X || step.Y) {
        Keys = {Keys.X + step.X, Keys.Y + step.Y};
        MoveToOffset();
      }
      return aMsg.wParam == WPARAM(VK_RETURN) ? CaptureStep::Finished : CaptureStep::Handled;
    }
    return CaptureStep::NotMine;
  }
};

// The layer's own move or size drag: a modal loop on the mouse until the left
// button comes up (Escape restores the start). Started while the button is
// up (the Move command of a menu), it moves the window from the keyboard:
// the arrow keys move it by eight pixels, the mouse moves it by its own
// movement, Enter or a click ends, Escape restores.
void MoveSizeLoop(HWND aWnd, LRESULT aHit) {
  Window* w = Live(aWnd);
  if (!w)
    return;
  const bool byMouse = (Ui().KeyState[VK_LBUTTON] & 0x80) != 0;
  if (!byMouse && aHit != HTCAPTION)
    return;
  if (byMouse && w->IsTopLevel() && HostOf().BeginMoveSize(aWnd, aHit))
    return;
  MoveSizeDrag drag{aWnd, aHit, byMouse, w->Rect, Ui().Cursor, DefaultMinMaxInfo(aWnd)};
  if (aHit != HTCAPTION)
    Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&drag.Limits));
  Send(w, WM_ENTERSIZEMOVE, 0, 0);
  SetCapture(aWnd);
  RunCaptureLoop(aWnd, [&drag](const MSG& aMsg) { return drag.Step(aMsg); });
  if (GetCapture() == aWnd)
    ReleaseCapture();
  if (Window* cur = Live(aWnd))
    Send(cur, WM_EXITSIZEMOVE, 0, 0);
}

WPARAM CommandOfButton(const Window* aWnd, LRESULT aHit) {
  switch (aHit) {
  case HTCLOSE:
    return SC_CLOSE;
  case HTMINBUTTON:
    return (aWnd->Style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE;
  case HTMAXBUTTON:
    return (aWnd->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
  }
  return 0;
}

// Holds a caption button down until the left button comes up; the command
// runs when it comes up over the same button.
void TrackCaptionButton(HWND aWnd, LRESULT aHit) {
  State& ui = Ui();
  if (!(ui.KeyState[VK_LBUTTON] & 0x80))
    return;
  ui.PressedWnd = aWnd;
  ui.PressedHit = aHit;
  RepaintFrame(aWnd);
  SetCapture(aWnd);
  bool inside = true;
  bool released = false;
  RunCaptureLoop(aWnd, [&](const MSG& aMsg) {
    if (aMsg.hwnd != aWnd || (aMsg.message != WM_MOUSEMOVE && aMsg.message != WM_LBUTTONUP))
      return CaptureStep::NotMine;
    const LRESULT hit = Send(Live(aWnd), WM_NCHITTEST, 0, PointToLParam(aMsg.pt));
    if ((hit == aHit) != inside) {
      inside = hit == aHit;
      ui.PressedHit = inside ? aHit : HTNOWHERE;
      RepaintFrame(aWnd);
    }
    released = aMsg.message == WM_LBUTTONUP;
    return released ? CaptureStep::Finished : CaptureStep::Handled;
  });
  ui.PressedWnd = nullptr;
  ui.PressedHit = HTNOWHERE;
  if (GetCapture() == aWnd)
    ReleaseCapture();
  RepaintFrame(aWnd);
  if (Window* w = Live(aWnd); w && released && inside)
    Send(w, WM_SYSCOMMAND, CommandOfButton(w, aHit), PointToLParam(Ui().Cursor));
}

// Tracks the window's system menu at a screen point; the chosen command comes
// back as WM_SYSCOMMAND.
void TrackSystemMenu(HWND aWnd, POINT aAt) {
  if (HMENU menu = GetSystemMenu(aWnd, FALSE))
    TrackPopupMenu(menu, TPM_LEFTBUTTON | TPM_RIGHTBUTTON, aAt.X, aAt.Y, 0, aWnd, nullptr);
}

// The system menu opened from the keyboard or the window icon drops below
// the caption's left end.
void DropSystemMenu(Window* aWnd) {
  const FrameLayout f =
      ComputeFrame(aWnd->Style, aWnd->ExStyle, {aWnd->Rect.Width(), aWnd->Rect.Height()});
  const TPoint o = ScreenOrigin(aWnd);
  TrackSystemMenu(aWnd->Handle, {o.X + f.Border.Left, o.Y + f.Caption.Bottom});
}

LRESULT SysCommand(Window* aWnd, WPARAM aCommand, LPARAM aLParam) {
  const HWND h = aWnd->Handle;
  switch (aCommand & 0xFFF0) {
  case SC_CLOSE:
    // Greyed in the system menu, Close does nothing.
    if (CloseAllowed(h))
      Send(aWnd, WM_CLOSE, 0, 0);
    break;
  case SC_MOUSEMENU:
    DropSystemMenu(aWnd);
    break;
  case SC_KEYMENU:
    if (aLParam == LPARAM(VK_SPACE))
      DropSystemMenu(aWnd);
    break;
  case SC_MINIMIZE:
    ShowWindow(h, SW_MINIMIZE);
    break;
  case SC_MAXIMIZE:
    ShowWindow(h, SW_MAXIMIZE);
    break;
  case SC_RESTORE:
    ShowWindow(h, SW_RESTORE);
    break;
  case SC_MOVE:
    MoveSizeLoop(h, HTCAPTION);
    break;
  case SC_SIZE:
    if (aCommand & 0xF)
      MoveSizeLoop(h, HTLEFT + LRESULT(aCommand & 0xF) - 1);
    break;
  case SC_VSCROLL:
    TrackScrollBar(h, SB_VERT, {GET_X_LPARAM(aLParam), GET_Y_LPARAM(aLParam)});
    break;
  case SC_HSCROLL:
    TrackScrollBar(h, SB_HORZ, {GET_X_LPARAM(aLParam), GET_Y_LPARAM(aLParam)});
    break;
  default:
    break;
  }
  return 0;
}

// A character typed with Alt held asks for the window's menu: Alt+Space for
// the system menu, which belongs to the top-level window.
LRESULT SysChar(Window* aWnd, WPARAM aChar, LPARAM aLParam) {
  const bool altDown = (aLParam & (LPARAM(1) << 29)) != 0;
  if (!altDown || aChar == 0 || aChar == WPARAM(VK_TAB) || aChar == WPARAM(VK_ESCAPE))
    return 0;
  if (aChar == WPARAM(VK_SPACE) && (aWnd->Style & WS_CHILD) && aWnd->Parent)
    return Send(aWnd->Parent, WM_SYSCHAR, aChar, aLParam);
  return Send(aWnd, WM_SYSCOMMAND, SC_KEYMENU, LPARAM(aChar));
}

LRESULT NcLButtonDown(Window* aWnd, WPARAM aHit, LPARAM aLParam) {
  const LRESULT hit = LRESULT(aHit);
  if (hit == HTCAPTION)
    return Send(aWnd, WM_SYSCOMMAND, SC_MOVE | WPARAM(HTCAPTION), aLParam);
  if (IsSizeHit(hit) && HasThickFrame(aWnd->Style) && !(aWnd->Style & WS_MAXIMIZE))
    return Send(aWnd, WM_SYSCOMMAND, SC_SIZE | WPARAM(hit - HTLEFT + 1), aLParam);
  if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON) {
    // A greyed close button does not go down.
    if (hit != HTCLOSE || CloseAllowed(aWnd->Handle))
      TrackCaptionButton(aWnd->Handle, hit);
    return 0;
  }
  if (hit == HTSYSMENU)
    return Send(aWnd, WM_SYSCOMMAND, SC_MOUSEMENU | WPARAM(HTSYSMENU), aLParam);
  if (hit == HTVSCROLL)
    return Send(aWnd, WM_SYSCOMMAND, SC_VSCROLL, aLParam);
  if (hit == HTHSCROLL)
    return Send(aWnd, WM_SYSCOMMAND, SC_HSCROLL, aLParam);
  return 0;
}

void Print(Window* aWnd, HDC aDC, LPARAM aFlags) {
  const HWND h = aWnd->Handle;
  if ((aFlags & PRF_CHECKVISIBLE) && !IsShowing(aWnd))
    return;
  const ScopedSaveDC saved(aDC);
  if (aFlags & PRF_NONCLIENT)
    PaintDefaultFrame(h, aDC, aWnd->FrameActive, HTNOWHERE);
  if (Window* w = Live(h)) {
    if (aFlags & PRF_NONCLIENT)
      OffsetViewportOrgEx(aDC, w->Client.Left, w->Client.Top, nullptr);
    IntersectClipRect(aDC, 0, 0, w->Client.Width(), w->Client.Height());
  }
  if (Window* w = Live(h); w && (aFlags & PRF_ERASEBKGND))
    Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(aDC), 0);
  if (Window* w = Live(h); w && (aFlags & PRF_CLIENT))
    Send(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(aDC), aFlags);
  if (Window* w = Live(h); w && (aFlags & PRF_CHILDREN)) {
    std::vector<HWND> children;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it)
      if ((*it)->Style & WS_VISIBLE)
        children.push_back((*it)->Handle);
    for (HWND c : children)
      if (Window* child = Live(c)) {
        const ScopedSaveDC inner(aDC);
        OffsetViewportOrgEx(aDC, child->Rect.Left, child->Rect.Top, nullptr);
        Send(child, WM_PRINT, reinterpret_cast<WPARAM>(aDC),
             aFlags | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
      }
  }
}

} // namespace

MINMAXINFO DefaultMinMaxInfo(HWND aWnd) {
  MINMAXINFO mmi;
  const TSize screen = HostOf().ScreenSize();
  Window* w = Live(aWnd);
  TRect frame{0, 0, screen.cx, screen.cy};
  if (w) {
    // A maximized window's frame lies just outside the screen.
    const FrameLayout f = ComputeFrame(w->Style & ~WS_MINIMIZE, w->ExStyle, {1000, 1000});
    if (HasThickFrame(w->Style))
      frame = {-f.Border.Left, -f.Border.Top, screen.cx + f.Border.Right,
               screen.cy + f.Border.Bottom};
  }
  mmi.ptMaxSize = {frame.Width(), frame.Height()};
  mmi.ptMaxPosition = {frame.Left, frame.Top};
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {std::max(GetSystemMetrics(SM_CXMAXTRACK), frame.Width()),
                        std::max(GetSystemMetrics(SM_CYMAXTRACK), frame.Height())};
  return mmi;
}

namespace {

// The default handlers of single messages, all called with a live window.

LRESULT AnswerTrue(Window*, WPARAM, LPARAM) {
  return TRUE;
}

LRESULT NcCalcSize(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  RECT* r = aWParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(aLParam)->rgrc[0]
                    : reinterpret_cast<RECT*>(aLParam);
  if (!r)
    return 0;
  const FrameLayout f = ComputeFrame(aWnd->Style, aWnd->ExStyle, {r->Width(), r->Height()});
  *r = f.Client.Offset(r->Left, r->Top);
  aWnd->NativeBars = aWnd->Style & (WS_VSCROLL | WS_HSCROLL);
  return 0;
}

LRESULT NcHitTest(Window* aWnd, WPARAM, LPARAM aLParam) {
  const TPoint p = ToWindow(aWnd, aLParam);
  if (!InShape(aWnd, p))
    return HTNOWHERE;
  return DefaultHitTest(FrameStyle(aWnd), aWnd->ExStyle, {aWnd->Rect.Width(), aWnd->Rect.Height()},
                        p);
}

LRESULT NcPaint(Window* aWnd, WPARAM, LPARAM) {
  const HWND h = aWnd->Handle;
  if (HDC dc = GetWindowDC(h)) {
    const bool pressed = Ui().PressedWnd == h;
    PaintDefaultFrame(h, dc, aWnd->FrameActive, pressed ? Ui().PressedHit : HTNOWHERE);
    ReleaseDC(h, dc);
  }
  return 0;
}

LRESULT NcActivate(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  aWnd->FrameActive = aWParam != 0;
  // lParam -1 changes the state without repainting the frame.
  if (aLParam != -1)
    RepaintFrame(aWnd->Handle);
  return TRUE;
}

LRESULT EraseBackground(Window* aWnd, WPARAM aWParam, LPARAM) {
  HBRUSH brush = ClassBrush(aWnd);
  HDC dc = reinterpret_cast<HDC>(aWParam);
  if (!brush || !dc)
    return 0;
  RECT box;
  GetClipBox(dc, &box);
  FillRect(dc, &box, brush);
  return 1;
}

// Painting nothing validates the update region.
LRESULT PaintNothing(Window* aWnd, WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  BeginPaint(aWnd->Handle, &ps);
  EndPaint(aWnd->Handle, &ps);
  return 0;
}

LRESULT PrintWindow(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  Print(aWnd, reinterpret_cast<HDC>(aWParam), aLParam);
  return 0;
}

LRESULT SetText(Window* aWnd, WPARAM, LPARAM aLParam) {
  aWnd->Text = aLParam ? reinterpret_cast<const char*>(aLParam) : "";
  if (HasCaption(aWnd->Style))
    RepaintFrame(aWnd->Handle);
  if (aWnd->IsTopLevel())
    HostOf().WindowChanged(aWnd->Handle);
  return TRUE;
}

LRESULT GetText(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  return CopyWindowText(aWnd->Text, reinterpret_cast<char*>(aLParam), int(aWParam));
}

LRESULT GetTextLength(Window* aWnd, WPARAM, LPARAM) {
  return LRESULT(aWnd->Text.size());
}

// Redrawing off hides the window from painting without hiding it.
LRESULT SetRedraw(Window* aWnd, WPARAM aWParam, LPARAM) {
  if (aWParam)
    aWnd->Style |= WS_VISIBLE;
  else
    aWnd->Style &= ~WS_VISIBLE;
  return 0;
}

// A framed top-level window in its normal state keeps its tracking sizes.
LRESULT WindowPosChanging(Window* aWnd, WPARAM, LPARAM aLParam) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(aLParam);
  if (pos && !(pos->flags & SWP_NOSIZE) && aWnd->IsTopLevel() &&
      (HasThickFrame(aWnd->Style) || HasCaption(aWnd->Style)) &&
      !(aWnd->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    const TSize size = LimitToTrackSize(aWnd->Handle, {pos->cx, pos->cy});
    pos->cx = size.cx;
    pos->cy = size.cy;
  }
  return 0;
}

LRESULT WindowPosChanged(Window* aWnd, WPARAM, LPARAM aLParam) {
  auto* pos = reinterpret_cast<const WINDOWPOS*>(aLParam);
  if (!pos)
    return 0;
  const HWND h = aWnd->Handle;
  if (!(pos->flags & SWP_NOCLIENTMOVE))
    Send(aWnd, WM_MOVE, 0,
         MAKELPARAM(aWnd->Rect.Left + aWnd->Client.Left, aWnd->Rect.Top + aWnd->Client.Top));
  Window* w = Live(h);
  if (!(pos->flags & SWP_NOCLIENTSIZE) && w) {
    const WPARAM kind = (w->Style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                        : (w->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                   : SIZE_RESTORED;
    Send(w, WM_SIZE, kind, MAKELPARAM(w->Client.Width(), w->Client.Height()));
  }
  return 0;
}

LRESULT Activate(Window* aWnd, WPARAM aWParam, LPARAM) {
  if (LOWORD(aWParam) != WA_INACTIVE && !(aWnd->Style & WS_MINIMIZE))
    SetFocus(aWnd->Handle);
  return 0;
}

LRESULT MouseActivate(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  if ((aWnd->Style & WS_CHILD) && aWnd->Parent)
    if (const LRESULT r = Send(aWnd->Parent, WM_MOUSEACTIVATE, aWParam, aLParam))
      return r;
  return MA_ACTIVATE;
}

// A child's parent chooses first, except on the child's sizing border;
// otherwise the shape follows the hit code, and the client area takes the
// class cursor when there is one.
LRESULT ChooseCursor(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  const HWND h = aWnd->Handle;
  const LRESULT hit = std::int16_t(LOWORD(aLParam));
  if ((aWnd->Style & WS_CHILD) && aWnd->Parent && !IsSizeHit(hit) &&
      Send(aWnd->Parent, WM_SETCURSOR, aWParam, aLParam))
    return TRUE;
  Window* w = Live(h);
  if (!w || (hit == HTCLIENT && !w->Class->Cursor))
    return FALSE;
  SetCursor(DefaultCursorFor(hit, w->Class->Cursor));
  return TRUE;
}

LRESULT DestroyOnClose(Window* aWnd, WPARAM, LPARAM) {
  DestroyWindow(aWnd->Handle);
  return 0;
}

LRESULT NcLButtonDblClk(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  const LRESULT hit = LRESULT(aWParam);
  if (hit == HTCAPTION && (aWnd->Style & WS_MAXIMIZEBOX) && HasThickFrame(aWnd->Style))
    return Send(aWnd, WM_SYSCOMMAND, (aWnd->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE,
                aLParam);
  if (hit == HTSYSMENU)
    return Send(aWnd, WM_SYSCOMMAND, SC_CLOSE, aLParam);
  if (hit == HTVSCROLL || hit == HTHSCROLL)
    return NcLButtonDown(aWnd, aWParam, aLParam);
  return 0;
}

LRESULT NcRButtonUp(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  if (LRESULT(aWParam) == HTCAPTION || LRESULT(aWParam) == HTSYSMENU)
    return Send(aWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(aWnd->Handle), aLParam);
  return 0;
}

LRESULT RButtonUp(Window* aWnd, WPARAM, LPARAM aLParam) {
  POINT p{GET_X_LPARAM(aLParam), GET_Y_LPARAM(aLParam)};
  ClientToScreen(aWnd->Handle, &p);
  return Send(aWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(aWnd->Handle), PointToLParam(p));
}

bool IsChildWithParent(const Window* aWnd) {
  return (aWnd->Style & WS_CHILD) && aWnd->Parent;
}

// A child leaves the menu to its parent; a right click on the caption of a
// top-level window opens its system menu.
LRESULT ContextMenu(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  if (IsChildWithParent(aWnd))
    return Send(aWnd->Parent, WM_CONTEXTMENU, aWParam, aLParam);
  const LRESULT hit = Send(aWnd, WM_NCHITTEST, 0, aLParam);
  if (hit == HTCAPTION || hit == HTSYSMENU)
    TrackSystemMenu(aWnd->Handle, {GET_X_LPARAM(aLParam), GET_Y_LPARAM(aLParam)});
  return 0;
}

LRESULT MouseWheel(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  return IsChildWithParent(aWnd) ? Send(aWnd->Parent, WM_MOUSEWHEEL, aWParam, aLParam) : 0;
}

// The system menu's states follow the window's style and state.
LRESULT InitMenuPopup(Window* aWnd, WPARAM, LPARAM aLParam) {
  if (HIWORD(aLParam))
    GetSystemMenu(aWnd->Handle, FALSE);
  return 0;
}

LRESULT SetIcon(Window* aWnd, WPARAM aWParam, LPARAM aLParam) {
  HICON& slot = aWParam == ICON_BIG ? aWnd->IconBig : aWnd->IconSmall;
  HICON old = slot;
  slot = reinterpret_cast<HICON>(aLParam);
  if (HasCaption(aWnd->Style))
    RepaintFrame(aWnd->Handle);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT GetIcon(Window* aWnd, WPARAM aWParam, LPARAM) {
  return reinterpret_cast<LRESULT>(aWParam == ICON_BIG ? aWnd->IconBig : aWnd->IconSmall);
}

// Alt+F4 closes the top-level window.
LRESULT SysKeyDown(Window* aWnd, WPARAM aWParam, LPARAM) {
  if (aWParam == WPARAM(VK_F4))
    if (Window* top = TopLevelOf(aWnd))
      return Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

struct DefaultHandler {
  UINT Message;
  LRESULT (*Handle)(Window* aWnd, WPARAM aWParam, LPARAM aLParam);
};

// The messages the default procedure answers; the others get 0.
constexpr DefaultHandler DefaultHandlers[] = {
    {WM_NCCREATE, AnswerTrue},
    {WM_NCCALCSIZE, NcCalcSize},
    {WM_NCHITTEST, NcHitTest},
    {WM_NCPAINT, NcPaint},
    {WM_NCACTIVATE, NcActivate},
    {WM_ERASEBKGND, EraseBackground},
    {WM_PAINT, PaintNothing},
    {WM_PRINT, PrintWindow},
    {WM_SETTEXT, SetText},
    {WM_GETTEXT, GetText},
    {WM_GETTEXTLENGTH, GetTextLength},
    {WM_SETREDRAW, SetRedraw},
    {WM_WINDOWPOSCHANGING, WindowPosChanging},
    {WM_WINDOWPOSCHANGED, WindowPosChanged},
    {WM_ACTIVATE, Activate},
    {WM_MOUSEACTIVATE, MouseActivate},
    {WM_SETCURSOR, ChooseCursor},
    {WM_CLOSE, DestroyOnClose},
    {WM_SYSCOMMAND, SysCommand},
    {WM_NCLBUTTONDOWN, NcLButtonDown},
    {WM_NCLBUTTONDBLCLK, NcLButtonDblClk},
    {WM_NCRBUTTONUP, NcRButtonUp},
    {WM_RBUTTONUP, RButtonUp},
    {WM_CONTEXTMENU, ContextMenu},
    {WM_MOUSEWHEEL, MouseWheel},
    {WM_INITMENUPOPUP, InitMenuPopup},
    {WM_SETICON, SetIcon},
    {WM_GETICON, GetIcon},
    {WM_SYSKEYDOWN, SysKeyDown},
    {WM_SYSCHAR, SysChar},
    {WM_QUERYENDSESSION, AnswerTrue},
};

} // namespace

TSize LimitToTrackSize(HWND aWnd, TSize aSize) {
  Window* w = Live(aWnd);
  if (!w)
    return aSize;
  MINMAXINFO mmi = DefaultMinMaxInfo(aWnd);
  Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return {std::clamp(aSize.cx, mmi.ptMinTrackSize.X,
                     std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X)),
          std::clamp(aSize.cy, mmi.ptMinTrackSize.Y,
                     std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y))};
}

LRESULT DefWindowProcW(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  Window* w = Live(aWnd);
  if (!w)
    return 0;
  for (const DefaultHandler& handler : DefaultHandlers)
    if (handler.Message == aMsg)
      return handler.Handle(w, aWParam, aLParam);
  return 0;
}

} // namespace platform
