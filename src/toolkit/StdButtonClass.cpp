#include "platform/gfx/Drawing.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/Window.h"
#include "toolkit/StdClassState.h"
#include "toolkit/StdCtrlDefs.h"
#include "toolkit/StdWindowClasses.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
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

void SetPushed(HWND aWnd, ButtonState& aState, bool aPushed) {
  if (aState.Pushed == aPushed)
    return;
  aState.Pushed = aPushed;
  InvalidateRect(aWnd, nullptr, FALSE);
}

void PaintButton(HWND aWnd, const ButtonState& aState, HDC aDC) {
  RECT r;
  GetClientRect(aWnd, &r);
  const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
  const bool enabled = IsWindowEnabled(aWnd) != FALSE;
  if ((style & BS_TYPEMASK) == BS_OWNERDRAW) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = UINT(GetWindowLongPtrW(aWnd, GWLP_ID));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = (aState.Pushed ? ODS_SELECTED : 0) | (aState.Focused ? ODS_FOCUS : 0) |
                    (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = aWnd;
    dis.hDC = aDC;
    dis.rcItem = r;
    SendMessageW(GetParent(aWnd), WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
    return;
  }
  RECT face = r;
  const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  if (isDefault) {
    // The default button has a dark ring around its face.
    FillSolidRect(aDC, &r, GetSysColor(COLOR_WINDOWFRAME));
    face = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  if (aState.Pushed && isDefault) {
    // A pushed default button shows a flat shadow frame.
    FillSolidRect(aDC, &face, GetSysColor(COLOR_BTNSHADOW));
    RECT inner{face.Left + 1, face.Top + 1, face.Right - 1, face.Bottom - 1};
    FillSolidRect(aDC, &inner, GetSysColor(COLOR_BTNFACE));
  } else {
    DrawFrameControl(aDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (aState.Pushed ? DFCS_PUSHED : 0));
  }
  RECT text{face.Left + 2, face.Top + 2, face.Right - 2, face.Bottom - 2};
  if (aState.Pushed)
    text = text.Offset(1, 1);
  const std::string caption = GetWindowTextW(aWnd);
  HFONT old = SelectObject(aDC, aState.Font);
  SetBkMode(aDC, TRANSPARENT);
  UINT format = DT_CENTER;
  if (style & BS_MULTILINE) {
    RECT calc = text;
    DrawTextW(aDC, caption, &calc, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int shift = (text.Height() - calc.Height()) / 2;
    text.Top += std::max(shift, 0);
    format |= DT_WORDBREAK;
  } else {
    format |= DT_VCENTER | DT_SINGLELINE;
  }
  if (enabled) {
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
  if (aState.Focused) {
    RECT focus{face.Left + 3, face.Top + 3, face.Right - 3, face.Bottom - 3};
    DrawFocusRect(aDC, &focus);
  }
}

} // namespace

LRESULT ButtonWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  auto* s = StateOf<ButtonState>(aWnd);
  if (aMsg == WM_NCCREATE) {
    SetPropW(aWnd, kStateProp, new ButtonState);
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  }
  if (s == nullptr)
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  switch (aMsg) {
  case WM_NCDESTROY:
    RemovePropW(aWnd, kStateProp);
    delete s;
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  case WM_GETDLGCODE:
    return DLGC_BUTTON | ((DWORD(GetWindowLongW(aWnd, GWL_STYLE)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON
                              ? DLGC_DEFPUSHBUTTON
                              : DLGC_UNDEFPUSHBUTTON);
  case WM_SETFONT:
    s->Font = HFONT(aWParam);
    if (aLParam)
      InvalidateRect(aWnd, nullptr, FALSE);
    return 0;
  case WM_GETFONT:
    return LRESULT(s->Font);
  case WM_ERASEBKGND:
    return 1;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = aWParam != 0 ? HDC(aWParam) : BeginPaint(aWnd, &ps);
    PaintButton(aWnd, *s, dc);
    if (aWParam == 0)
      EndPaint(aWnd, &ps);
    return 0;
  }
  case WM_PRINTCLIENT:
    PaintButton(aWnd, *s, HDC(aWParam));
    return 0;
  case WM_SETFOCUS:
    s->Focused = true;
    InvalidateRect(aWnd, nullptr, FALSE);
    return 0;
  case WM_KILLFOCUS:
    s->Focused = false;
    s->SpaceDown = false;
    if (s->Captured) {
      s->Captured = false;
      ReleaseCapture();
    }
    s->Pushed = false;
    InvalidateRect(aWnd, nullptr, FALSE);
    return 0;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    s->Captured = true;
    SetCapture(aWnd);
    if (GetFocus() != aWnd)
      SetFocus(aWnd);
    if (StateOf<ButtonState>(aWnd) == s)
      SetPushed(aWnd, *s, true);
    return 0;
  case WM_MOUSEMOVE:
    if (s->Captured) {
      RECT r;
      GetClientRect(aWnd, &r);
      SetPushed(aWnd, *s, r.Contains({ClientX(aLParam), ClientY(aLParam)}));
    }
    return 0;
  case WM_LBUTTONUP:
    if (s->Captured) {
      RECT r;
      GetClientRect(aWnd, &r);
      const bool inside = r.Contains({ClientX(aLParam), ClientY(aLParam)});
      s->Captured = false;
      SetPushed(aWnd, *s, false);
      ReleaseCapture();
      if (inside)
        NotifyParent(aWnd, BN_CLICKED);
    }
    return 0;
  case WM_CAPTURECHANGED:
    if (s->Captured && HWND(aLParam) != aWnd) {
      s->Captured = false;
      SetPushed(aWnd, *s, false);
    }
    return 0;
  case WM_KEYDOWN:
    if (aWParam == VK_SPACE && !s->Captured) {
      s->SpaceDown = true;
      SetPushed(aWnd, *s, true);
    }
    return 0;
  case WM_KEYUP:
    if (aWParam == VK_SPACE && s->SpaceDown) {
      s->SpaceDown = false;
      SetPushed(aWnd, *s, false);
      NotifyParent(aWnd, BN_CLICKED);
    }
    return 0;
  case BM_GETSTATE:
    return (s->Pushed ? BST_PUSHED : 0) | (s->Focused ? BST_FOCUS : 0);
  case BM_SETSTATE:
    SetPushed(aWnd, *s, aWParam != 0);
    return 0;
  case BM_SETSTYLE: {
    const DWORD style = DWORD(GetWindowLongW(aWnd, GWL_STYLE));
    SetWindowLongW(aWnd, GWL_STYLE, LONG((style & ~BS_TYPEMASK) | (DWORD(aWParam) & BS_TYPEMASK)));
    if (aLParam)
      InvalidateRect(aWnd, nullptr, FALSE);
    return 0;
  }
  case BM_CLICK:
    NotifyParent(aWnd, BN_CLICKED);
    return 0;
  case WM_SETTEXT: {
    const LRESULT r = DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
    InvalidateRect(aWnd, nullptr, FALSE);
    return r;
  }
  case WM_ENABLE:
    InvalidateRect(aWnd, nullptr, FALSE);
    return 0;
  default:
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  }
}

} // namespace platform
