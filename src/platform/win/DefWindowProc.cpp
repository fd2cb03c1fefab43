#include "platform/win/DefWindowProc.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/SystemColors.h"
#include "platform/win/Cursor.h"
#include "platform/win/FramePainter.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/NonClient.h"
#include "platform/win/Paint.h"
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
  const TRect start = w->Rect;
  const POINT from = Ui().Cursor;
  TPoint keys{0, 0};  // offset added by arrow keys
  TPoint mouse{0, 0}; // offset of the mouse since the start
  MINMAXINFO limits = DefaultMinMaxInfo(aWnd);
  if (aHit != HTCAPTION)
    Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  Send(w, WM_ENTERSIZEMOVE, 0, 0);
  SetCapture(aWnd);
  const auto moveTo = [&] {
    TRect r = DraggedRect(start, aHit, {keys.X + mouse.X, keys.Y + mouse.Y}, limits);
    Window* cur = Live(aWnd);
    if (aHit == HTCAPTION)
      Send(cur, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    else
      Send(cur, WM_SIZING, WPARAM(aHit - HTLEFT + 1), reinterpret_cast<LPARAM>(&r));
    if (Live(aWnd))
      SetWindowPos(aWnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  };
  bool done = false;
  MSG msg;
  while (!done && Live(aWnd) && GetCapture() == aWnd) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (msg.hwnd == aWnd && (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP)) {
      mouse = {msg.pt.X - from.X, msg.pt.Y - from.Y};
      moveTo();
      done = msg.message == WM_LBUTTONUP;
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == WPARAM(VK_ESCAPE)) {
      SetWindowPos(aWnd, nullptr, start.Left, start.Top, start.Width(), start.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    if (!byMouse && msg.message == WM_KEYDOWN) {
      const TPoint step = ArrowStep(msg.wParam);
      if (step.X || step.Y) {
        keys = {keys.X + step.X, keys.Y + step.Y};
        moveTo();
      }
      done = msg.wParam == WPARAM(VK_RETURN);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
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
  MSG msg;
  while (!released && Live(aWnd) && GetCapture() == aWnd) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (msg.hwnd == aWnd && (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP)) {
      Window* w = Live(aWnd);
      const LRESULT hit = Send(w, WM_NCHITTEST, 0, PointToLParam(msg.pt));
      const bool now = hit == aHit;
      if (now != inside) {
        inside = now;
        ui.PressedHit = inside ? aHit : HTNOWHERE;
        RepaintFrame(aWnd);
      }
      released = msg.message == WM_LBUTTONUP;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ui.PressedWnd = nullptr;
  ui.PressedHit = HTNOWHERE;
  if (GetCapture() == aWnd)
    ReleaseCapture();
  RepaintFrame(aWnd);
  if (Window* w = Live(aWnd); w && released && inside)
    Send(w, WM_SYSCOMMAND, CommandOfButton(w, aHit), PointToLParam(Ui().Cursor));
}

LRESULT SysCommand(Window* aWnd, WPARAM aCommand, LPARAM aLParam) {
  const HWND h = aWnd->Handle;
  switch (aCommand & 0xFFF0) {
  case SC_CLOSE:
    Send(aWnd, WM_CLOSE, 0, 0);
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
    TrackCaptionButton(aWnd->Handle, hit);
    return 0;
  }
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

LRESULT DefWindowProcW(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  Window* w = Live(aWnd);
  if (!w)
    return 0;
  switch (aMsg) {
  case WM_NCCREATE:
    return TRUE;
  case WM_NCCALCSIZE: {
    RECT* r = aWParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(aLParam)->rgrc[0]
                      : reinterpret_cast<RECT*>(aLParam);
    if (!r)
      return 0;
    const FrameLayout f = ComputeFrame(w->Style, w->ExStyle, {r->Width(), r->Height()});
    *r = f.Client.Offset(r->Left, r->Top);
    w->NativeBars = w->Style & (WS_VSCROLL | WS_HSCROLL);
    return 0;
  }
  case WM_NCHITTEST: {
    const TPoint p = ToWindow(w, aLParam);
    if (!InShape(w, p))
      return HTNOWHERE;
    return DefaultHitTest(FrameStyle(w), w->ExStyle, {w->Rect.Width(), w->Rect.Height()}, p);
  }
  case WM_NCPAINT: {
    HDC dc = GetWindowDC(aWnd);
    if (dc) {
      const bool pressed = Ui().PressedWnd == aWnd;
      PaintDefaultFrame(aWnd, dc, w->FrameActive, pressed ? Ui().PressedHit : HTNOWHERE);
      ReleaseDC(aWnd, dc);
    }
    return 0;
  }
  case WM_NCACTIVATE:
    w->FrameActive = aWParam != 0;
    // lParam -1 changes the state without repainting the frame.
    if (aLParam != -1)
      RepaintFrame(aWnd);
    return TRUE;
  case WM_ERASEBKGND: {
    HBRUSH brush = ClassBrush(w);
    HDC dc = reinterpret_cast<HDC>(aWParam);
    if (!brush || !dc)
      return 0;
    RECT box;
    GetClipBox(dc, &box);
    FillRect(dc, &box, brush);
    return 1;
  }
  case WM_PAINT: {
    PAINTSTRUCT ps;
    BeginPaint(aWnd, &ps);
    EndPaint(aWnd, &ps);
    return 0;
  }
  case WM_PRINT:
    Print(w, reinterpret_cast<HDC>(aWParam), aLParam);
    return 0;
  case WM_SETTEXT:
    w->Text = aLParam ? reinterpret_cast<const char*>(aLParam) : "";
    if (HasCaption(w->Style))
      RepaintFrame(aWnd);
    if (w->IsTopLevel())
      HostOf().WindowChanged(aWnd);
    return TRUE;
  case WM_GETTEXT:
    return CopyWindowText(w->Text, reinterpret_cast<char*>(aLParam), int(aWParam));
  case WM_GETTEXTLENGTH:
    return LRESULT(w->Text.size());
  case WM_SETREDRAW:
    // Redrawing off hides the window from painting without hiding it.
    if (aWParam)
      w->Style |= WS_VISIBLE;
    else
      w->Style &= ~WS_VISIBLE;
    return 0;
  case WM_WINDOWPOSCHANGING: {
    auto* pos = reinterpret_cast<WINDOWPOS*>(aLParam);
    if (pos && !(pos->flags & SWP_NOSIZE) && w->IsTopLevel() &&
        (HasThickFrame(w->Style) || HasCaption(w->Style)) &&
        !(w->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
      MINMAXINFO mmi = DefaultMinMaxInfo(aWnd);
      Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
      pos->cx = std::clamp(pos->cx, mmi.ptMinTrackSize.X,
                           std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X));
      pos->cy = std::clamp(pos->cy, mmi.ptMinTrackSize.Y,
                           std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y));
    }
    return 0;
  }
  case WM_WINDOWPOSCHANGED: {
    auto* pos = reinterpret_cast<const WINDOWPOS*>(aLParam);
    if (!pos)
      return 0;
    if (!(pos->flags & SWP_NOCLIENTMOVE))
      Send(w, WM_MOVE, 0, MAKELPARAM(w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top));
    if (!(pos->flags & SWP_NOCLIENTSIZE) && (w = Live(aWnd))) {
      const WPARAM kind = (w->Style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                          : (w->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                     : SIZE_RESTORED;
      Send(w, WM_SIZE, kind, MAKELPARAM(w->Client.Width(), w->Client.Height()));
    }
    return 0;
  }
  case WM_ACTIVATE:
    if (LOWORD(aWParam) != WA_INACTIVE && !(w->Style & WS_MINIMIZE))
      SetFocus(aWnd);
    return 0;
  case WM_MOUSEACTIVATE:
    if ((w->Style & WS_CHILD) && w->Parent) {
      const LRESULT r = Send(w->Parent, WM_MOUSEACTIVATE, aWParam, aLParam);
      if (r)
        return r;
    }
    return MA_ACTIVATE;
  case WM_SETCURSOR: {
    // A child's parent chooses first, except on the child's sizing border;
    // otherwise the shape follows the hit code, and the client area takes the
    // class cursor when there is one.
    const LRESULT hit = std::int16_t(LOWORD(aLParam));
    if ((w->Style & WS_CHILD) && w->Parent && !IsSizeHit(hit) &&
        Send(w->Parent, WM_SETCURSOR, aWParam, aLParam))
      return TRUE;
    if (!(w = Live(aWnd)) || (hit == HTCLIENT && !w->Class->Cursor))
      return FALSE;
    SetCursor(DefaultCursorFor(hit, w->Class->Cursor));
    return TRUE;
  }
  case WM_CLOSE:
    DestroyWindow(aWnd);
    return 0;
  case WM_SYSCOMMAND:
    return SysCommand(w, aWParam, aLParam);
  case WM_NCLBUTTONDOWN:
    return NcLButtonDown(w, aWParam, aLParam);
  case WM_NCLBUTTONDBLCLK:
    if (LRESULT(aWParam) == HTCAPTION && (w->Style & WS_MAXIMIZEBOX) && HasThickFrame(w->Style))
      return Send(w, WM_SYSCOMMAND, (w->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, aLParam);
    if (LRESULT(aWParam) == HTSYSMENU)
      return Send(w, WM_SYSCOMMAND, SC_CLOSE, aLParam);
    if (LRESULT(aWParam) == HTVSCROLL || LRESULT(aWParam) == HTHSCROLL)
      return NcLButtonDown(w, aWParam, aLParam);
    return 0;
  case WM_NCRBUTTONUP:
    if (LRESULT(aWParam) == HTCAPTION || LRESULT(aWParam) == HTSYSMENU)
      return Send(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(aWnd), aLParam);
    return 0;
  case WM_RBUTTONUP: {
    POINT p{GET_X_LPARAM(aLParam), GET_Y_LPARAM(aLParam)};
    ClientToScreen(aWnd, &p);
    return Send(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(aWnd), PointToLParam(p));
  }
  case WM_CONTEXTMENU:
  case WM_MOUSEWHEEL:
    if ((w->Style & WS_CHILD) && w->Parent)
      return Send(w->Parent, aMsg, aWParam, aLParam);
    return 0;
  case WM_SETICON: {
    HICON& slot = aWParam == ICON_BIG ? w->IconBig : w->IconSmall;
    HICON old = slot;
    slot = reinterpret_cast<HICON>(aLParam);
    if (HasCaption(w->Style))
      RepaintFrame(aWnd);
    return reinterpret_cast<LRESULT>(old);
  }
  case WM_GETICON:
    return reinterpret_cast<LRESULT>(aWParam == ICON_BIG ? w->IconBig : w->IconSmall);
  case WM_SYSKEYDOWN:
    // Alt+F4 closes the top-level window.
    if (aWParam == WPARAM(VK_F4))
      if (Window* top = TopLevelOf(w))
        return Send(top, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  case WM_SYSCHAR:
    return SysChar(w, aWParam, aLParam);
  case WM_QUERYENDSESSION:
    return TRUE;
  default:
    return 0;
  }
}

} // namespace platform
