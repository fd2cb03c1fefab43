#include "platform/gfx/Drawing.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "toolkit/StdClassState.h"
#include "toolkit/StdCtrlDefs.h"
#include "toolkit/StdWindowClasses.h"

#include <algorithm>
#include <string>
// The push button: click on release inside, the space key, the default
// style, owner drawing through WM_DRAWITEM.

namespace platform {

using namespace stdclass;

namespace {

struct ButtonState {
  bool Pushed = false;
  bool Captured = false;
  bool SpaceDown = false;
  bool Focused = false;
  HFONT Font = nullptr;
};

void Redraw(HWND aWnd) {
  InvalidateRect(aWnd, nullptr, FALSE);
}

void SetPushed(HWND aWnd, ButtonState& aState, bool aPushed) {
  if (aState.Pushed == aPushed)
    return;
  aState.Pushed = aPushed;
  Redraw(aWnd);
}

bool IsDefault(DWORD aStyle) {
  return (aStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// The mouse message's point lies on the button.
bool IsInside(HWND aWnd, LPARAM aLParam) {
  RECT r;
  GetClientRect(aWnd, &r);
  return r.Contains({ClientX(aLParam), ClientY(aLParam)});
}

// The ring of a default button and the raised or pushed face; returns the
// face's rectangle.
RECT PaintFace(HDC aDC, const RECT& aRect, bool aPushed, bool aDefault) {
  RECT face = aRect;
  if (aDefault) {
    // The default button has a dark ring around its face.
    FillSolidRect(aDC, &aRect, GetSysColor(COLOR_WINDOWFRAME));
    face = {aRect.Left + 1, aRect.Top + 1, aRect.Right - 1, aRect.Bottom - 1};
  }
  if (aPushed && aDefault) {
    // A pushed default button shows a flat shadow frame.
    FillSolidRect(aDC, &face, GetSysColor(COLOR_BTNSHADOW));
    RECT inner{face.Left + 1, face.Top + 1, face.Right - 1, face.Bottom - 1};
    FillSolidRect(aDC, &inner, GetSysColor(COLOR_BTNFACE));
  } else {
    DrawFrameControl(aDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (aPushed ? DFCS_PUSHED : 0));
  }
  return face;
}

// The caption on the face: centred, one line or word-wrapped, shifted down
// right while pushed, embossed while disabled.
void PaintCaption(HWND aWnd, const ButtonState& aState, HDC aDC, const RECT& aFace, DWORD aStyle,
                  bool aEnabled) {
  RECT text{aFace.Left + 2, aFace.Top + 2, aFace.Right - 2, aFace.Bottom - 2};
  if (aState.Pushed)
    text = text.Offset(1, 1);
  const std::string caption = GetWindowTextW(aWnd);
  HFONT old = SelectObject(aDC, aState.Font);
  SetBkMode(aDC, TRANSPARENT);
  UINT format = DT_CENTER;
  if (aStyle & BS_MULTILINE) {
    RECT calc = text;
    DrawTextW(aDC, caption, &calc, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int shift = (text.Height() - calc.Height()) / 2;
    text.Top += std::max(shift, 0);
    format |= DT_WORDBREAK;
  } else {
    format |= DT_VCENTER | DT_SINGLELINE;
  }
  if (aEnabled) {
    SetTextColor(aDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(aDC, caption, &text, format);
  } else {
    // Disabled text is embossed: a light copy one pixel down-right under it.
    RECT light = text.Offset(1, 1);
    SetTextColor(aDC, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(aDC, caption, &light, format);
    SetTextColor(aDC, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(aDC, caption, &text, format);
  }
  SelectObject(aDC, old);
}

void PaintButton(HWND aWnd, const ButtonState& aState, HDC aDC) {
  RECT r;
  GetClientRect(aWnd, &r);
  const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
  const bool enabled = IsWindowEnabled(aWnd) != FALSE;
  if ((style & BS_TYPEMASK) == BS_OWNERDRAW) {
    SendDrawItem(aWnd, ODT_BUTTON, aDC, r,
                 (aState.Pushed ? ODS_SELECTED : 0) | (aState.Focused ? ODS_FOCUS : 0) |
                     (enabled ? 0 : ODS_DISABLED));
    return;
  }
  const RECT face = PaintFace(aDC, r, aState.Pushed, IsDefault(style));
  PaintCaption(aWnd, aState, aDC, face, style, enabled);
  if (aState.Focused) {
    RECT focus{face.Left + 3, face.Top + 3, face.Right - 3, face.Bottom - 3};
    DrawFocusRect(aDC, &focus);
  }
}

ButtonState* CreateState(HWND) {
  return new ButtonState;
}

// ---- window messages ----

LRESULT WMGetDlgCode(HWND aWnd, ButtonState&, WPARAM, LPARAM) {
  return DLGC_BUTTON | (IsDefault(DWORD(GetWindowLongW(aWnd, GWL_STYLE))) ? DLGC_DEFPUSHBUTTON
                                                                          : DLGC_UNDEFPUSHBUTTON);
}

LRESULT WMSetFont(HWND aWnd, ButtonState& aState, WPARAM aWParam, LPARAM aLParam) {
  aState.Font = HFONT(aWParam);
  if (aLParam)
    Redraw(aWnd);
  return 0;
}

// The face covers the whole client area.
LRESULT WMEraseBkgnd(HWND, ButtonState&, WPARAM, LPARAM) {
  return 1;
}

LRESULT WMPaint(HWND aWnd, ButtonState& aState, WPARAM aWParam, LPARAM) {
  PaintClient(aWnd, aWParam, [&](HDC aDC) { PaintButton(aWnd, aState, aDC); });
  return 0;
}

LRESULT WMPrintClient(HWND aWnd, ButtonState& aState, WPARAM aWParam, LPARAM) {
  PaintButton(aWnd, aState, HDC(aWParam));
  return 0;
}

LRESULT WMSetFocus(HWND aWnd, ButtonState& aState, WPARAM, LPARAM) {
  aState.Focused = true;
  Redraw(aWnd);
  return 0;
}

// Losing the focus ends a press by mouse or space key without a click.
LRESULT WMKillFocus(HWND aWnd, ButtonState& aState, WPARAM, LPARAM) {
  aState.Focused = false;
  aState.SpaceDown = false;
  if (aState.Captured) {
    aState.Captured = false;
    ReleaseCapture();
  }
  aState.Pushed = false;
  Redraw(aWnd);
  return 0;
}

LRESULT WMLButtonDown(HWND aWnd, ButtonState& aState, WPARAM, LPARAM) {
  aState.Captured = true;
  SetCapture(aWnd);
  if (GetFocus() != aWnd)
    SetFocus(aWnd);
  // Taking the focus may have destroyed the window and the state with it.
  if (StateOf<ButtonState>(aWnd) == &aState)
    SetPushed(aWnd, aState, true);
  return 0;
}

LRESULT WMMouseMove(HWND aWnd, ButtonState& aState, WPARAM, LPARAM aLParam) {
  if (aState.Captured)
    SetPushed(aWnd, aState, IsInside(aWnd, aLParam));
  return 0;
}

// A release on the button clicks it.
LRESULT WMLButtonUp(HWND aWnd, ButtonState& aState, WPARAM, LPARAM aLParam) {
  if (!aState.Captured)
    return 0;
  const bool inside = IsInside(aWnd, aLParam);
  aState.Captured = false;
  SetPushed(aWnd, aState, false);
  ReleaseCapture();
  if (inside)
    NotifyParent(aWnd, BN_CLICKED);
  return 0;
}

LRESULT WMCaptureChanged(HWND aWnd, ButtonState& aState, WPARAM, LPARAM aLParam) {
  if (aState.Captured && HWND(aLParam) != aWnd) {
    aState.Captured = false;
    SetPushed(aWnd, aState, false);
  }
  return 0;
}

LRESULT WMKeyDown(HWND aWnd, ButtonState& aState, WPARAM aWParam, LPARAM) {
  if (aWParam == VK_SPACE && !aState.Captured) {
    aState.SpaceDown = true;
    SetPushed(aWnd, aState, true);
  }
  return 0;
}

LRESULT WMKeyUp(HWND aWnd, ButtonState& aState, WPARAM aWParam, LPARAM) {
  if (aWParam == VK_SPACE && aState.SpaceDown) {
    aState.SpaceDown = false;
    SetPushed(aWnd, aState, false);
    NotifyParent(aWnd, BN_CLICKED);
  }
  return 0;
}

LRESULT WMSetText(HWND aWnd, ButtonState&, WPARAM aWParam, LPARAM aLParam) {
  const LRESULT r = DefWindowProcW(aWnd, WM_SETTEXT, aWParam, aLParam);
  Redraw(aWnd);
  return r;
}

LRESULT WMEnable(HWND aWnd, ButtonState&, WPARAM, LPARAM) {
  Redraw(aWnd);
  return 0;
}

// ---- button messages ----

LRESULT BMGetState(HWND, ButtonState& aState, WPARAM, LPARAM) {
  return (aState.Pushed ? BST_PUSHED : 0) | (aState.Focused ? BST_FOCUS : 0);
}

LRESULT BMSetState(HWND aWnd, ButtonState& aState, WPARAM aWParam, LPARAM) {
  SetPushed(aWnd, aState, aWParam != 0);
  return 0;
}

LRESULT BMSetStyle(HWND aWnd, ButtonState&, WPARAM aWParam, LPARAM aLParam) {
  const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
  SetWindowLongW(aWnd, GWL_STYLE, LONG((style & ~BS_TYPEMASK) | (DWORD(aWParam) & BS_TYPEMASK)));
  if (aLParam)
    Redraw(aWnd);
  return 0;
}

LRESULT BMClick(HWND aWnd, ButtonState&, WPARAM, LPARAM) {
  NotifyParent(aWnd, BN_CLICKED);
  return 0;
}

constexpr MessageHandler<ButtonState> kHandlers[] = {
    {WM_GETDLGCODE, WMGetDlgCode},
    {WM_SETFONT, WMSetFont},
    {WM_GETFONT, WMGetFont<ButtonState>},
    {WM_ERASEBKGND, WMEraseBkgnd},
    {WM_PAINT, WMPaint},
    {WM_PRINTCLIENT, WMPrintClient},
    {WM_SETFOCUS, WMSetFocus},
    {WM_KILLFOCUS, WMKillFocus},
    {WM_LBUTTONDOWN, WMLButtonDown},
    {WM_LBUTTONDBLCLK, WMLButtonDown},
    {WM_MOUSEMOVE, WMMouseMove},
    {WM_LBUTTONUP, WMLButtonUp},
    {WM_CAPTURECHANGED, WMCaptureChanged},
    {WM_KEYDOWN, WMKeyDown},
    {WM_KEYUP, WMKeyUp},
    {WM_SETTEXT, WMSetText},
    {WM_ENABLE, WMEnable},
    {BM_GETSTATE, BMGetState},
    {BM_SETSTATE, BMSetState},
    {BM_SETSTYLE, BMSetStyle},
    {BM_CLICK, BMClick},
};

} // namespace

LRESULT ButtonWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  return HandleClassMessage(aWnd, aMsg, aWParam, aLParam, kHandlers, CreateState);
}

} // namespace platform
