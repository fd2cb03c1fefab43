#include "platform/win/WindowGeometry.h"

#include "platform/gfx/SystemColors.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/NonClient.h"
#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace platform {

using namespace detail;

namespace {

void NotifyHost(Window* aWnd) {
  if (aWnd->IsTopLevel())
    HostOf().WindowChanged(aWnd->Handle);
}

// Invalidates where the window was and where it is in its parent.
void ExposeInParent(Window* aWnd, const TRect& aOld) {
  Window* parent = aWnd->Parent;
  if (!parent || parent == Ui().Desktop)
    return;
  Region area(aOld.Offset(parent->Client.Left, parent->Client.Top));
  InvalidateWindow(parent, &area, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace

BOOL GetWindowRect(HWND aWnd, RECT* aRect) {
  Window* w = Live(aWnd);
  if (!w || !aRect)
    return FALSE;
  const TPoint o = ScreenOrigin(w);
  *aRect = Bounds(o.X, o.Y, w->Rect.Width(), w->Rect.Height());
  return TRUE;
}

BOOL GetClientRect(HWND aWnd, RECT* aRect) {
  Window* w = Live(aWnd);
  if (!w || !aRect)
    return FALSE;
  *aRect = {0, 0, w->Client.Width(), w->Client.Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND aWnd, POINT* aPoint) {
  Window* w = Live(aWnd);
  if (!w || !aPoint)
    return FALSE;
  const TPoint o = ClientScreenOrigin(w);
  aPoint->X += o.X;
  aPoint->Y += o.Y;
  return TRUE;
}

BOOL ScreenToClient(HWND aWnd, POINT* aPoint) {
  Window* w = Live(aWnd);
  if (!w || !aPoint)
    return FALSE;
  const TPoint o = ClientScreenOrigin(w);
  aPoint->X -= o.X;
  aPoint->Y -= o.Y;
  return TRUE;
}

int MapWindowPoints(HWND aFrom, HWND aTo, POINT* aPoints, UINT aCount) {
  TPoint from, to;
  if (aFrom && aFrom != GetDesktopWindow()) {
    Window* w = Live(aFrom);
    if (!w)
      return 0;
    from = ClientScreenOrigin(w);
  }
  if (aTo && aTo != GetDesktopWindow()) {
    Window* w = Live(aTo);
    if (!w)
      return 0;
    to = ClientScreenOrigin(w);
  }
  const int dx = from.X - to.X;
  const int dy = from.Y - to.Y;
  for (UINT i = 0; aPoints && i < aCount; ++i) {
    aPoints[i].X += dx;
    aPoints[i].Y += dy;
  }
  return int(MAKELONG(WORD(dx), WORD(dy)));
}

namespace detail {

// Whether a point (window coordinates) lies in the window's shape.
bool InShape(const Window* aWnd, TPoint aPoint) {
  if (!aWnd->WindowBounds().Contains(aPoint))
    return false;
  return !aWnd->Shape || aWnd->Shape->Contains(aPoint);
}

// The deepest window under a point given in aWnd's parent's client
// coordinates; nullptr when aWnd does not take it.
Window* HitWindow(Window* aWnd, TPoint aPoint, bool aAskHitTest) {
  if (!(aWnd->Style & WS_VISIBLE))
    return nullptr;
  const TPoint local{aPoint.X - aWnd->Rect.Left, aPoint.Y - aWnd->Rect.Top};
  if (!InShape(aWnd, local))
    return nullptr;
  if (aWnd->IsTopLevel() && (aWnd->ExStyle & WS_EX_LAYERED) && (aWnd->ExStyle & WS_EX_TRANSPARENT))
    return nullptr;
  if ((aWnd->Style & WS_CHILD) && (aWnd->Style & WS_DISABLED))
    return nullptr;
  if (aWnd->Client.Contains(local) && !(aWnd->Style & WS_MINIMIZE)) {
    const TPoint inner{local.X - aWnd->Client.Left, local.Y - aWnd->Client.Top};
    for (Window* child : std::vector<Window*>(aWnd->Children))
      if (Window* hit = HitWindow(child, inner, aAskHitTest))
        return hit;
  }
  if (aAskHitTest && (aWnd->Style & WS_CHILD)) {
    const TPoint screen = {ScreenOrigin(aWnd).X + local.X, ScreenOrigin(aWnd).Y + local.Y};
    if (Send(aWnd, WM_NCHITTEST, 0, PointToLParam(screen)) == HTTRANSPARENT)
      return nullptr;
  }
  return aWnd;
}

} // namespace detail

HWND WindowFromPoint(POINT aPoint) {
  for (Window* top : std::vector<Window*>(Ui().Desktop->Children))
    if (Live(top->Handle))
      if (Window* hit = HitWindow(top, aPoint, true))
        return hit->Handle;
  return nullptr;
}

HWND ChildWindowFromPoint(HWND aParent, POINT aPoint) {
  Window* w = Live(aParent);
  if (!w || !TRect{0, 0, w->Client.Width(), w->Client.Height()}.Contains(aPoint))
    return nullptr;
  for (Window* child : w->Children)
    if (child->Rect.Contains(aPoint) &&
        (!child->Shape ||
         child->Shape->Contains({aPoint.X - child->Rect.Left, aPoint.Y - child->Rect.Top})))
      return child->Handle;
  return aParent;
}

namespace {

// The request as WM_WINDOWPOSCHANGING sees it: showing or hiding only where
// it changes something, the kept place or size filled in.
WINDOWPOS PositionRequest(const Window* aWnd, HWND aInsertAfter, int aX, int aY, int aWidth,
                          int aHeight, UINT aFlags) {
  if (aWnd->Style & WS_VISIBLE)
    aFlags &= ~SWP_SHOWWINDOW;
  else
    aFlags &= ~SWP_HIDEWINDOW;
  if (aInsertAfter == aWnd->Handle)
    aFlags |= SWP_NOZORDER;
  WINDOWPOS pos{aWnd->Handle, aInsertAfter, aX, aY, aWidth, aHeight, aFlags};
  if (pos.flags & SWP_NOMOVE) {
    pos.x = aWnd->Rect.Left;
    pos.y = aWnd->Rect.Top;
  }
  if (pos.flags & SWP_NOSIZE) {
    pos.cx = aWnd->Rect.Width();
    pos.cy = aWnd->Rect.Height();
  }
  return pos;
}

// What a position change changed.
struct PositionChange {
  TRect OldRect;
  TRect OldClient;
  bool Moved = false;
  bool Sized = false;
  bool WasShowing = false;
  bool Showing = false;
};

// Sets the rectangle, the client area, the z-order and the visibility, and
// adds to the flags what stayed as it was. nullptr when the window went away.
Window* ApplyPosition(HWND aWnd, WINDOWPOS& aPos, PositionChange& aChange) {
  Window* w = Live(aWnd);
  aPos.cx = std::max(aPos.cx, 0);
  aPos.cy = std::max(aPos.cy, 0);
  const TRect oldRect = w->Rect;
  const TRect newRect = Bounds(aPos.x, aPos.y, aPos.cx, aPos.cy);
  aChange.OldRect = oldRect;
  aChange.Moved = newRect.Left != oldRect.Left || newRect.Top != oldRect.Top;
  aChange.Sized = newRect.Width() != oldRect.Width() || newRect.Height() != oldRect.Height();
  if (!aChange.Moved)
    aPos.flags |= SWP_NOMOVE;
  if (!aChange.Sized)
    aPos.flags |= SWP_NOSIZE;
  const TRect oldClient = aChange.OldClient = w->Client;
  if (aChange.Sized || (aPos.flags & SWP_FRAMECHANGED)) {
    CalcClient(w, newRect, oldRect, true);
    if (!(w = Live(aWnd)))
      return nullptr;
  }
  w->Rect = newRect;
  // A frame change can move or size the client area of a window that kept
  // its rectangle; the default handling of WM_WINDOWPOSCHANGED reports that.
  if (w->Client.Width() == oldClient.Width() && w->Client.Height() == oldClient.Height())
    aPos.flags |= SWP_NOCLIENTSIZE;
  if (!aChange.Moved && w->Client.Left == oldClient.Left && w->Client.Top == oldClient.Top)
    aPos.flags |= SWP_NOCLIENTMOVE;
  if (!(aPos.flags & SWP_NOZORDER))
    PlaceInZOrder(w, aPos.hwndInsertAfter);
  aChange.WasShowing = IsShowing(w);
  if (aPos.flags & SWP_SHOWWINDOW)
    w->Style |= WS_VISIBLE;
  if (aPos.flags & SWP_HIDEWINDOW)
    w->Style &= ~WS_VISIBLE;
  aChange.Showing = IsShowing(w);
  return w;
}

// Invalidates what the change uncovered or changed, unless told not to
// redraw; a frame change still repaints a client area that moved.
void RepaintAfterPosition(Window* aWnd, const WINDOWPOS& aPos, const PositionChange& aChange) {
  const bool top = aWnd->IsTopLevel();
  if (!(aPos.flags & SWP_NOREDRAW)) {
    if (aChange.Showing && (aChange.Sized || (aPos.flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW)) ||
                            (aChange.Moved && !top) || !(aPos.flags & SWP_NOZORDER)))
      InvalidateWindow(aWnd, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (!top && aChange.WasShowing && (aChange.Moved || aChange.Sized || !aChange.Showing))
      ExposeInParent(aWnd, aChange.OldRect);
  } else if (aChange.Showing && (aPos.flags & SWP_FRAMECHANGED) &&
             aChange.OldClient != aWnd->Client) {
    InvalidateWindow(aWnd, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
  }
  if (!aChange.Showing && aChange.WasShowing)
    ForgetPaint(aWnd);
}

} // namespace

BOOL SetWindowPos(HWND aWnd, HWND aInsertAfter, int aX, int aY, int aWidth, int aHeight,
                  UINT aFlags) {
  Window* w = Live(aWnd);
  if (!w || w == Ui().Desktop)
    return FALSE;
  WINDOWPOS pos = PositionRequest(w, aInsertAfter, aX, aY, aWidth, aHeight, aFlags);
  if (!(pos.flags & SWP_NOSENDCHANGING) || (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
    Send(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!Live(aWnd))
      return FALSE;
  }
  PositionChange change;
  if (!(w = ApplyPosition(aWnd, pos, change)))
    return FALSE;
  if (w->IsTopLevel() && change.Sized)
    TopLevelResized(w);
  RepaintAfterPosition(w, pos, change);
  NotifyHost(w);
  if (w->IsTopLevel() && (pos.flags & SWP_SHOWWINDOW) && !(pos.flags & SWP_NOACTIVATE) &&
      !(w->ExStyle & WS_EX_NOACTIVATE))
    ActivateWindow(aWnd, false);
  if (!(w = Live(aWnd)))
    return TRUE;
  Send(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if ((pos.flags & SWP_HIDEWINDOW) && (w = Live(aWnd)))
    WindowGoingAway(w);
  return TRUE;
}

BOOL MoveWindow(HWND aWnd, int aX, int aY, int aWidth, int aHeight, BOOL aRepaint) {
  return SetWindowPos(aWnd, nullptr, aX, aY, aWidth, aHeight,
                      SWP_NOZORDER | SWP_NOACTIVATE | (aRepaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND aWnd) {
  return SetWindowPos(aWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

namespace {

TRect MaximizedRect(Window* aWnd) {
  MINMAXINFO mmi = DefaultMinMaxInfo(aWnd->Handle);
  Send(aWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return Bounds(mmi.ptMaxPosition.X, mmi.ptMaxPosition.Y, mmi.ptMaxSize.X, mmi.ptMaxSize.Y);
}

// Where a minimized top-level window is parked, off the screen, with the
// minimized size. A minimized child keeps its restored rectangle.
constexpr int ParkedPosition = -32000;

TRect MinimizedRect(const Window* aWnd) {
  if (!aWnd->IsTopLevel())
    return aWnd->RestoredRect;
  return Bounds(ParkedPosition, ParkedPosition, GetSystemMetrics(SM_CXMINIMIZED),
                GetSystemMetrics(SM_CYMINIMIZED));
}

// The owner's minimizing hides its visible owned windows, each told with
// WM_SHOWWINDOW's status SW_PARENTCLOSING; restoring shows those again with
// SW_PARENTOPENING.
void ShowOwnedWindows(HWND aOwner, bool aShow) {
  std::vector<HWND> owned;
  for (Window* w : Ui().Desktop->Children)
    if (w->Owner == aOwner && (aShow ? w->HiddenByOwner : (w->Style & WS_VISIBLE) != 0))
      owned.push_back(w->Handle);
  for (HWND h : owned) {
    Window* w = Live(h);
    if (!w)
      continue;
    w->HiddenByOwner = !aShow;
    Send(w, WM_SHOWWINDOW, aShow ? TRUE : FALSE, aShow ? SW_PARENTOPENING : SW_PARENTCLOSING);
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (aShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  }
}

// What a show command asks for: the flags of the position change, whether
// the window shows, and its state (WS_MINIMIZE, WS_MAXIMIZE or 0).
struct ShowRequest {
  UINT Flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
  bool Show = true;
  DWORD State = 0;
};

ShowRequest RequestOf(const Window* aWnd, int aCommand) {
  ShowRequest r;
  r.State = aWnd->Style & (WS_MINIMIZE | WS_MAXIMIZE);
  switch (aCommand) {
  case SW_HIDE:
    r.Show = false;
    r.Flags |= SWP_HIDEWINDOW | SWP_NOACTIVATE;
    break;
  case SW_SHOWMINIMIZED:
  case SW_MINIMIZE:
  case SW_SHOWMINNOACTIVE:
    r.State = WS_MINIMIZE;
    r.Flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
    break;
  case SW_SHOWMAXIMIZED:
    r.State = WS_MAXIMIZE;
    r.Flags |= SWP_SHOWWINDOW;
    break;
  case SW_SHOWNOACTIVATE:
  case SW_SHOWNA:
    r.Flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
    break;
  case SW_RESTORE:
  case SW_SHOWNORMAL:
    r.State = 0;
    r.Flags |= SWP_SHOWWINDOW;
    break;
  default:
    r.Flags |= SWP_SHOWWINDOW;
    break;
  }
  return r;
}

// Moves the window into the requested state: remembers the restored
// rectangle, hides the owned windows of a top-level window being minimized,
// and gives the state's rectangle. nullptr when the window went away.
Window* EnterState(HWND aWnd, DWORD aState, TRect& aTarget) {
  Window* w = Live(aWnd);
  if (!(w->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
    w->RestoredRect = w->Rect;
  if (aState == WS_MINIMIZE && w->IsTopLevel()) {
    ShowOwnedWindows(aWnd, false);
    if (!(w = Live(aWnd)))
      return nullptr;
  }
  if (aState == WS_MAXIMIZE)
    aTarget = MaximizedRect(w);
  else if (aState == WS_MINIMIZE)
    aTarget = MinimizedRect(w);
  else
    aTarget = w->RestoredRect;
  if (!(w = Live(aWnd)))
    return nullptr;
  w->Style = (w->Style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | aState;
  return w;
}

} // namespace

BOOL ShowWindow(HWND aWnd, int aCommand) {
  Window* w = Live(aWnd);
  if (!w || w == Ui().Desktop)
    return FALSE;
  const BOOL wasVisible = (w->Style & WS_VISIBLE) ? TRUE : FALSE;
  w->HiddenByOwner = false;
  if (aCommand == SW_HIDE && !wasVisible)
    return FALSE;
  ShowRequest request = RequestOf(w, aCommand);
  const bool wasMinimized = (w->Style & WS_MINIMIZE) != 0;
  TRect target = w->Rect;
  const bool changeRect = request.State != (w->Style & (WS_MINIMIZE | WS_MAXIMIZE));
  if (changeRect) {
    if (!(w = EnterState(aWnd, request.State, target)))
      return wasVisible;
    request.Flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    request.Flags |= SWP_FRAMECHANGED;
  }
  if (request.Show != bool(wasVisible)) {
    Send(w, WM_SHOWWINDOW, request.Show ? TRUE : FALSE, 0);
    if (!(w = Live(aWnd)))
      return wasVisible;
  } else if (!changeRect) {
    if (request.Show && !(request.Flags & SWP_NOACTIVATE) && w->IsTopLevel())
      ActivateWindow(aWnd, false);
    return wasVisible;
  }
  // WM_SIZE with the new state's kind comes from the default handling of
  // WM_WINDOWPOSCHANGED, once.
  SetWindowPos(aWnd, HWND_TOP, target.Left, target.Top, target.Width(), target.Height(),
               request.Flags);
  if (wasMinimized && (w = Live(aWnd)) && !(w->Style & WS_MINIMIZE) && w->IsTopLevel())
    ShowOwnedWindows(aWnd, true);
  return wasVisible;
}

BOOL GetRestoredRect(HWND aWnd, RECT* aRect) {
  Window* w = Live(aWnd);
  if (!w || !aRect)
    return FALSE;
  *aRect = (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->RestoredRect : w->Rect;
  return TRUE;
}

int SetWindowRgn(HWND aWnd, HRGN aRgn, BOOL aRedraw) {
  // The call owns the region from here on, also when it fails.
  const std::unique_ptr<Region> region(aRgn);
  Window* w = Live(aWnd);
  if (!w)
    return 0;
  if (region)
    w->Shape = *region;
  else
    w->Shape.reset();
  if (w->IsTopLevel())
    HostOf().ShapeChanged(aWnd);
  // The window hears of the change as of a position change that keeps its
  // place and size.
  SetWindowPos(aWnd, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  if (!(w = Live(aWnd)))
    return 1;
  if (aRedraw && IsShowing(w)) {
    InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (!w->IsTopLevel())
      ExposeInParent(w, w->Rect);
  }
  return 1;
}

int GetWindowRgn(HWND aWnd, HRGN aRgn) {
  Window* w = Live(aWnd);
  if (!w || !aRgn || !w->Shape)
    return ERROR;
  *aRgn = *w->Shape;
  return aRgn->Kind();
}

BOOL AdjustWindowRectEx(RECT* aRect, DWORD aStyle, BOOL, DWORD aExStyle) {
  if (!aRect)
    return FALSE;
  // The frame of a large window tells the insets; scroll bars do not count.
  const TSize probe{10000, 10000};
  const FrameLayout f =
      ComputeFrame(aStyle & ~(WS_VSCROLL | WS_HSCROLL | WS_MINIMIZE), aExStyle, probe);
  aRect->Left -= f.Client.Left;
  aRect->Top -= f.Client.Top;
  aRect->Right += probe.cx - f.Client.Right;
  aRect->Bottom += probe.cy - f.Client.Bottom;
  return TRUE;
}

namespace {

NONCLIENTMETRICSW NonClientMetrics() {
  NONCLIENTMETRICSW m;
  m.iBorderWidth = GetSystemMetrics(SM_CXBORDER);
  m.iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  m.iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
  m.iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
  m.iCaptionHeight = GetSystemMetrics(SM_CYSIZE);
  m.iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
  m.iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
  m.iMenuWidth = GetSystemMetrics(SM_CXMENUSIZE);
  m.iMenuHeight = GetSystemMetrics(SM_CYMENUSIZE);
  LOGFONTW plain;
  plain.lfHeight = DefaultGuiFontHeight;
  plain.lfWeight = FW_NORMAL;
  plain.lfFaceName = DefaultGuiFaceName;
  LOGFONTW bold = plain;
  bold.lfWeight = FW_BOLD;
  m.lfCaptionFont = bold;
  m.lfSmCaptionFont = bold;
  m.lfMenuFont = plain;
  m.lfStatusFont = plain;
  m.lfMessageFont = plain;
  return m;
}

} // namespace

BOOL SystemParametersInfoW(UINT aAction, UINT, void* aData, UINT) {
  if (!aData)
    return FALSE;
  switch (aAction) {
  case SPI_GETWORKAREA:
    *static_cast<RECT*>(aData) = HostOf().WorkArea();
    return TRUE;
  case SPI_GETNONCLIENTMETRICS:
    *static_cast<NONCLIENTMETRICSW*>(aData) = NonClientMetrics();
    return TRUE;
  }
  return FALSE;
}

HFONT GetNonClientFont(NonClientFont aWhich) {
  static HFONT fonts[3] = {};
  HFONT& font = fonts[int(aWhich)];
  if (!font) {
    const NONCLIENTMETRICSW m = NonClientMetrics();
    const LOGFONTW& record = aWhich == NonClientFont::Caption        ? m.lfCaptionFont
                             : aWhich == NonClientFont::SmallCaption ? m.lfSmCaptionFont
                                                                     : m.lfMenuFont;
    font = CreateFontIndirectW(&record);
  }
  return font;
}

} // namespace platform
