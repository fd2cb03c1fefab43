#include "platform/win/Input.h"

#include "platform/gfx/SystemColors.h"
#include "platform/win/Cursor.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

#include <cstdlib>

namespace platform {

using namespace detail;

namespace {

constexpr DWORD DoubleClickTime = 500;
constexpr LRESULT MA_NOACTIVATE = 3;
constexpr LRESULT MA_NOACTIVATEANDEAT = 4;

bool InSubtree(HWND aWnd, const Window* aRoot) {
  for (Window* w = Live(aWnd); w; w = w->Parent)
    if (w == aRoot)
      return true;
  return false;
}

void SendToTopLevels(UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  std::vector<HWND> tops;
  for (Window* t : Ui().Desktop->Children)
    tops.push_back(t->Handle);
  for (HWND h : tops)
    if (Window* t = Live(h))
      Send(t, aMsg, aWParam, aLParam);
}

// Ends the active state of the active window; with aAppToo, the application
// loses activation as a whole.
void Deactivate(HWND aNewActive, bool aAppToo) {
  State& ui = Ui();
  HWND old = ui.Active;
  ui.Active = aNewActive;
  if (Window* o = Live(old)) {
    Send(o, WM_NCACTIVATE, FALSE, 0);
    if ((o = Live(old)))
      Send(o, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(aNewActive));
  }
  if (aAppToo && old)
    SendToTopLevels(WM_ACTIVATEAPP, FALSE, 0);
}

WPARAM MouseKeys() {
  const State& ui = Ui();
  WPARAM keys = 0;
  if (ui.KeyState[VK_LBUTTON] & 0x80)
    keys |= MK_LBUTTON;
  if (ui.KeyState[VK_RBUTTON] & 0x80)
    keys |= MK_RBUTTON;
  if (ui.KeyState[VK_MBUTTON] & 0x80)
    keys |= MK_MBUTTON;
  if (ui.KeyState[VK_SHIFT] & 0x80)
    keys |= MK_SHIFT;
  if (ui.KeyState[VK_CONTROL] & 0x80)
    keys |= MK_CONTROL;
  return keys;
}

MSG MakeMsg(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam, const RawInput& aInput) {
  MSG m;
  m.hwnd = aWnd;
  m.message = aMsg;
  m.wParam = aWParam;
  m.lParam = aLParam;
  m.time = aInput.Time;
  m.pt = Ui().Cursor;
  return m;
}

// The window the mouse is over and the hit code there.
struct MouseTarget {
  HWND Under = nullptr; // the window under the cursor
  LRESULT UnderHit = HTNOWHERE;
  HWND Wnd = nullptr; // the window that gets the message (capture first)
  LRESULT Hit = HTNOWHERE;
};

MouseTarget FindTarget(POINT aPt) {
  MouseTarget t;
  t.Under = WindowFromPoint(aPt);
  if (Window* w = Live(t.Under))
    t.UnderHit = Send(w, WM_NCHITTEST, 0, PointToLParam(aPt));
  if (Live(Ui().Capture)) {
    t.Wnd = Ui().Capture;
    t.Hit = HTCLIENT;
  } else {
    t.Wnd = t.Under;
    t.Hit = t.UnderHit;
  }
  return t;
}

void CheckLeave(const MouseTarget& aTarget, const RawInput& aInput, std::deque<MSG>& aOut) {
  State& ui = Ui();
  const bool inClient = aTarget.UnderHit == HTCLIENT;
  if (ui.Track.Wnd && (ui.Track.Wnd != aTarget.Under || !inClient)) {
    aOut.push_back(MakeMsg(ui.Track.Wnd, WM_MOUSELEAVE, 0, 0, aInput));
    ui.Track = {};
  }
  if (ui.NcTrack.Wnd &&
      (ui.NcTrack.Wnd != aTarget.Under || inClient || aTarget.UnderHit == HTNOWHERE)) {
    aOut.push_back(MakeMsg(ui.NcTrack.Wnd, WM_NCMOUSELEAVE, 0, 0, aInput));
    ui.NcTrack = {};
  }
  ui.MouseWnd = aTarget.Under;
  ui.MouseHit = aTarget.UnderHit;
}

LPARAM ClientPoint(HWND aWnd, POINT aScreen) {
  ScreenToClient(aWnd, &aScreen);
  return PointToLParam(aScreen);
}

// The key state of a mouse button: the high bit while down, the low bit
// toggled per press.
void UpdateButtonState(const RawInput& aInput) {
  const int buttonKeys[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  BYTE& key = Ui().KeyState[buttonKeys[aInput.Button]];
  key = aInput.Down ? BYTE((key ^ 1) | 0x80) : BYTE(key & ~0x80);
}

// Without capture a disabled window takes no mouse input, and the window
// under the cursor chooses its shape. False when the input goes nowhere.
bool SetCursorForMouse(const MouseTarget& aTarget, UINT aMouseMsg) {
  Window* w = Live(aTarget.Wnd);
  if ((w->Style & WS_DISABLED) || (TopLevelOf(w)->Style & WS_DISABLED))
    return false;
  // Nobody choosing a shape gives the arrow.
  if (!Send(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(aTarget.Wnd),
            MAKELPARAM(int(aTarget.Hit), int(aMouseMsg))))
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  return Live(aTarget.Wnd) != nullptr;
}

// A press in an inactive top-level window activates it unless the window
// answers WM_MOUSEACTIVATE otherwise. False when the press is eaten or the
// window went away.
bool ActivateOnPress(const MouseTarget& aTarget, UINT aMouseMsg) {
  Window* w = Live(aTarget.Wnd);
  Window* top = TopLevelOf(w);
  if (Ui().Active == top->Handle || (top->ExStyle & WS_EX_NOACTIVATE))
    return true;
  const LRESULT answer = Send(w, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->Handle),
                              MAKELPARAM(int(aTarget.Hit), int(aMouseMsg)));
  if (answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT)
    ActivateWindow(top->Handle, true);
  return answer != MA_NOACTIVATEANDEAT && Live(aTarget.Wnd);
}

// A press that repeats the last one soon enough at about the same spot is a
// double click: in the client area only for a class that asks for them.
UINT WithDoubleClick(const MouseTarget& aTarget, UINT aMouseMsg, const RawInput& aInput) {
  State& ui = Ui();
  const bool sameSpot =
      std::abs(aInput.Pt.X - ui.LastClickPoint.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
      std::abs(aInput.Pt.Y - ui.LastClickPoint.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  const bool dbl = ui.LastClickMsg == aMouseMsg && ui.LastClickWnd == aTarget.Wnd && sameSpot &&
                   aInput.Time - ui.LastClickTime <= DoubleClickTime;
  const Window* w = Live(aTarget.Wnd);
  if (dbl && (aTarget.Hit != HTCLIENT || (w->Class->Style & CS_DBLCLKS))) {
    ui.LastClickMsg = 0;
    return aMouseMsg + 2;
  }
  ui.LastClickMsg = aMouseMsg;
  ui.LastClickWnd = aTarget.Wnd;
  ui.LastClickTime = aInput.Time;
  ui.LastClickPoint = aInput.Pt;
  return aMouseMsg;
}

void ConvertMouse(const RawInput& aInput, std::deque<MSG>& aOut) {
  State& ui = Ui();
  ui.Cursor = aInput.Pt;
  const bool button = aInput.What == RawInput::Kind::Button;
  if (button)
    UpdateButtonState(aInput);
  const MouseTarget target = FindTarget(aInput.Pt);
  CheckLeave(target, aInput, aOut);
  if (!Live(target.Wnd))
    return;
  if (aInput.What == RawInput::Kind::Wheel) {
    aOut.push_back(MakeMsg(target.Wnd, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeys()), aInput.Delta),
                           PointToLParam(aInput.Pt), aInput));
    return;
  }
  const UINT buttonMsgs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  UINT mouseMsg = button ? buttonMsgs[aInput.Button] + (aInput.Down ? 0 : 1) : WM_MOUSEMOVE;
  if (!ui.Capture && !SetCursorForMouse(target, mouseMsg))
    return;
  if (button && aInput.Down && !ui.Capture && !ActivateOnPress(target, mouseMsg))
    return;
  if (button && aInput.Down)
    mouseMsg = WithDoubleClick(target, mouseMsg, aInput);
  if (target.Hit == HTCLIENT)
    aOut.push_back(
        MakeMsg(target.Wnd, mouseMsg, MouseKeys(), ClientPoint(target.Wnd, aInput.Pt), aInput));
  else if (target.Hit != HTNOWHERE && target.Hit != HTERROR)
    aOut.push_back(MakeMsg(target.Wnd, mouseMsg - WM_MOUSEMOVE + WM_NCMOUSEMOVE, WPARAM(target.Hit),
                           PointToLParam(aInput.Pt), aInput));
}

void ConvertKey(const RawInput& aInput, std::deque<MSG>& aOut) {
  State& ui = Ui();
  BYTE& key = ui.KeyState[aInput.VirtKey & 0xFF];
  const bool wasDown = (key & 0x80) != 0;
  key = aInput.Down ? BYTE((wasDown ? key : key ^ 1) | 0x80) : BYTE(key & ~0x80);
  HWND target = Live(ui.Focus) ? ui.Focus : ui.Active;
  if (!Live(target))
    return;
  LPARAM lParam = 1;
  if (wasDown)
    lParam |= LPARAM(1) << 30;
  if (!aInput.Down)
    lParam |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
  // Keys pressed with Alt held are system keys (bit 29: the context code).
  const bool alt = (ui.KeyState[VK_MENU] & 0x80) && aInput.VirtKey != VK_MENU;
  if (alt)
    lParam |= LPARAM(1) << 29;
  const UINT msg =
      alt ? (aInput.Down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (aInput.Down ? WM_KEYDOWN : WM_KEYUP);
  MSG m = MakeMsg(target, msg, WPARAM(aInput.VirtKey), LPARAM(DWORD(lParam)), aInput);
  if (aInput.Down)
    m.lPrivate = DWORD(aInput.Char);
  aOut.push_back(m);
}

void Queue(RawInput aInput) {
  aInput.Time = TickCount();
  QueueInput(aInput);
}

} // namespace

namespace detail {

void ActivateWindow(HWND aWnd, bool aMouse) {
  State& ui = Ui();
  Window* w = Live(aWnd);
  if (!w)
    return;
  w = TopLevelOf(w);
  const HWND target = w->Handle;
  if (ui.Active == target)
    return;
  CBTACTIVATESTRUCT info{aMouse ? TRUE : FALSE, ui.Active};
  if (CallHooks(HCBT_ACTIVATE, reinterpret_cast<WPARAM>(target), reinterpret_cast<LPARAM>(&info)))
    return;
  if (!Live(target))
    return;
  const HWND old = ui.Active;
  Deactivate(target, false);
  if (!old)
    SendToTopLevels(WM_ACTIVATEAPP, TRUE, 0);
  if (!(w = Live(target)) || ui.Active != target)
    return;
  if (w->Parent && w->Parent->Children.front() != w)
    SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!(w = Live(target)))
    return;
  Send(w, WM_NCACTIVATE, TRUE, 0);
  if (!(w = Live(target)))
    return;
  Send(w, WM_ACTIVATE, aMouse ? WA_CLICKACTIVE : WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  if (Live(target))
    HostOf().Activated(target);
}

void WindowGoingAway(Window* aWnd) {
  State& ui = Ui();
  const HWND handle = aWnd->Handle;
  if (ui.Capture && InSubtree(ui.Capture, aWnd))
    ReleaseCapture();
  if (ui.Track.Wnd && InSubtree(ui.Track.Wnd, aWnd))
    ui.Track = {};
  if (ui.NcTrack.Wnd && InSubtree(ui.NcTrack.Wnd, aWnd))
    ui.NcTrack = {};
  if (!(aWnd = Live(handle)))
    return;
  if (ui.Active == handle) {
    // The owner takes over, else the topmost other visible top-level window.
    HWND next = nullptr;
    if (Window* o = Live(aWnd->Owner); o && IsShowing(o) && !(o->Style & WS_DISABLED))
      next = o->Handle;
    for (Window* t : ui.Desktop->Children)
      if (!next && t != aWnd && IsShowing(t) && !(t->Style & WS_DISABLED) &&
          !(t->ExStyle & WS_EX_NOACTIVATE) && !(t->Style & WS_CHILD))
        next = t->Handle;
    if (next) {
      ActivateWindow(next, false);
    } else {
      Deactivate(nullptr, true);
    }
  }
  if (!(aWnd = Live(handle)))
    return;
  if (ui.Focus && InSubtree(ui.Focus, aWnd)) {
    if (!aWnd->IsTopLevel() && aWnd->Parent)
      SetFocus(aWnd->Parent->Handle);
    else
      SetFocus(nullptr);
  }
  if (ui.MouseWnd && InSubtree(ui.MouseWnd, aWnd))
    ui.MouseWnd = nullptr;
}

void ConvertInput(const RawInput& aInput, std::deque<MSG>& aOut) {
  switch (aInput.What) {
  case RawInput::Kind::Move:
  case RawInput::Kind::Button:
  case RawInput::Kind::Wheel:
    ConvertMouse(aInput, aOut);
    break;
  case RawInput::Kind::Key:
    ConvertKey(aInput, aOut);
    break;
  case RawInput::Kind::AppFocus:
    if (aInput.Down) {
      if (!Ui().Active)
        for (Window* t : Ui().Desktop->Children)
          if (IsShowing(t) && !(t->ExStyle & WS_EX_NOACTIVATE)) {
            ActivateWindow(t->Handle, false);
            break;
          }
    } else if (Ui().Active) {
      Deactivate(nullptr, true);
      SetFocus(nullptr);
    }
    break;
  }
}

} // namespace detail

HWND SetFocus(HWND aWnd) {
  State& ui = Ui();
  const HWND old = ui.Focus;
  if (aWnd) {
    Window* w = Live(aWnd);
    if (!w || (w->Style & WS_DISABLED))
      return nullptr;
    if (aWnd == old)
      return old;
    if (CallHooks(HCBT_SETFOCUS, reinterpret_cast<WPARAM>(aWnd), reinterpret_cast<LPARAM>(old)))
      return nullptr;
    Window* top = TopLevelOf(Live(aWnd));
    if (!top)
      return nullptr;
    if (ui.Active != top->Handle) {
      ActivateWindow(top->Handle, false);
      if (ui.Active != top->Handle || !Live(aWnd))
        return nullptr;
      if (ui.Focus == aWnd)
        return old;
    }
  } else if (!old) {
    return nullptr;
  }
  const HWND previous = ui.Focus;
  ui.Focus = aWnd;
  if (Window* o = Live(previous))
    Send(o, WM_KILLFOCUS, reinterpret_cast<WPARAM>(aWnd), 0);
  if (Window* n = Live(aWnd); n && ui.Focus == aWnd)
    Send(n, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return old;
}

HWND GetFocus() {
  return Live(Ui().Focus) ? Ui().Focus : nullptr;
}

HWND SetActiveWindow(HWND aWnd) {
  const HWND old = Ui().Active;
  Window* w = Live(aWnd);
  if (!w || !IsShowing(w))
    return nullptr;
  ActivateWindow(aWnd, false);
  return old;
}

HWND GetActiveWindow() {
  return Live(Ui().Active) ? Ui().Active : nullptr;
}

BOOL SetForegroundWindow(HWND aWnd) {
  return SetActiveWindow(aWnd) || GetActiveWindow() == GetAncestor(aWnd, GA_ROOT);
}

HWND GetForegroundWindow() {
  return GetActiveWindow();
}

HWND SetCapture(HWND aWnd) {
  State& ui = Ui();
  const HWND old = ui.Capture;
  if (!Live(aWnd) || old == aWnd)
    return Live(old) ? old : nullptr;
  ui.Capture = aWnd;
  if (Window* o = Live(old))
    Send(o, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(aWnd));
  return Live(old) ? old : nullptr;
}

BOOL ReleaseCapture() {
  State& ui = Ui();
  const HWND old = ui.Capture;
  if (!old)
    return TRUE;
  ui.Capture = nullptr;
  if (Window* o = Live(old))
    Send(o, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  return Live(Ui().Capture) ? Ui().Capture : nullptr;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* aEvent) {
  State& ui = Ui();
  if (!aEvent)
    return FALSE;
  const bool nonClient = (aEvent->dwFlags & TME_NONCLIENT) != 0;
  MouseTrack& track = nonClient ? ui.NcTrack : ui.Track;
  if (aEvent->dwFlags & TME_QUERY) {
    const MouseTrack& t = ui.Track.Wnd ? ui.Track : ui.NcTrack;
    aEvent->hwndTrack = t.Wnd;
    aEvent->dwFlags = t.Wnd ? t.Flags : 0;
    return TRUE;
  }
  if (aEvent->dwFlags & TME_CANCEL) {
    if (track.Wnd == aEvent->hwndTrack)
      track = {};
    return TRUE;
  }
  if (!(aEvent->dwFlags & TME_LEAVE) || !Live(aEvent->hwndTrack))
    return FALSE;
  const bool over =
      ui.MouseWnd == aEvent->hwndTrack &&
      (nonClient ? (ui.MouseHit != HTCLIENT && ui.MouseHit != HTNOWHERE) : ui.MouseHit == HTCLIENT);
  if (!over) {
    // Already outside: the leave message comes at once.
    PostMessageW(aEvent->hwndTrack, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    track = {};
    return TRUE;
  }
  track = {aEvent->hwndTrack, aEvent->dwFlags & (TME_LEAVE | TME_NONCLIENT)};
  return TRUE;
}

short GetKeyState(int aVirtKey) {
  const BYTE s = Ui().KeyState[aVirtKey & 0xFF];
  return short(((s & 0x80) ? 0x8000 : 0) | (s & 1));
}

short GetAsyncKeyState(int aVirtKey) {
  return short((Ui().KeyState[aVirtKey & 0xFF] & 0x80) ? 0x8000 : 0);
}

BOOL GetCursorPos(POINT* aPoint) {
  if (!aPoint)
    return FALSE;
  *aPoint = Ui().Cursor;
  return TRUE;
}

BOOL SetCursorPos(int aX, int aY) {
  InputMouseMove({aX, aY});
  return TRUE;
}

void InputMouseMove(POINT aScreen) {
  RawInput in;
  in.What = RawInput::Kind::Move;
  in.Pt = aScreen;
  Queue(in);
}

void InputMouseButton(MouseButton aButton, bool aDown, POINT aScreen) {
  RawInput in;
  in.What = RawInput::Kind::Button;
  in.Button = int(aButton);
  in.Down = aDown;
  in.Pt = aScreen;
  Queue(in);
}

void InputMouseWheel(int aDelta, POINT aScreen) {
  RawInput in;
  in.What = RawInput::Kind::Wheel;
  in.Delta = aDelta;
  in.Pt = aScreen;
  Queue(in);
}

void InputKey(int aVirtKey, bool aDown, char32_t aChar) {
  RawInput in;
  in.What = RawInput::Kind::Key;
  in.VirtKey = aVirtKey;
  in.Down = aDown;
  in.Char = aChar;
  Queue(in);
}

void InputAppFocus(bool aActive) {
  RawInput in;
  in.What = RawInput::Kind::AppFocus;
  in.Down = aActive;
  Queue(in);
}

} // namespace platform
