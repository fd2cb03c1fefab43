#pragma once
// What the standard window classes share: their state kept as a window
// property, client coordinates of a mouse message, the command a class
// sends its parent, and the window procedure that hands each message to
// the class's handler for it.

#include "platform/win/DefWindowProc.h"
#include "platform/win/Paint.h"
#include "platform/win/WinDefs.h"
#include "platform/win/Window.h"
#include "toolkit/StdCtrlDefs.h"

#include <cstdint>

namespace platform::stdclass {

inline constexpr const char* kStateProp = "StdCtlState";

inline int ClientX(LPARAM aLParam) {
  return std::int16_t(LOWORD(DWORD_PTR(aLParam)));
}
inline int ClientY(LPARAM aLParam) {
  return std::int16_t(HIWORD(DWORD_PTR(aLParam)));
}

// WM_COMMAND with the window's id and aCode to the parent.
inline void NotifyParent(HWND aWnd, WORD aCode) {
  const auto id = WORD(GetWindowLongPtrW(aWnd, GWLP_ID));
  if (HWND parent = GetParent(aWnd); parent != nullptr)
    SendMessageW(parent, WM_COMMAND, MAKELONG(id, aCode), LPARAM(aWnd));
}

// Asks the parent to draw all of aRect of an owner-drawn window or line.
inline void SendDrawItem(HWND aWnd, UINT aCtlType, HDC aDC, const RECT& aRect, UINT aItemState,
                         UINT aItemID = 0, DWORD_PTR aItemData = 0) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = aCtlType;
  dis.CtlID = UINT(GetWindowLongPtrW(aWnd, GWLP_ID));
  dis.itemID = aItemID;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = aItemState;
  dis.hwndItem = aWnd;
  dis.hDC = aDC;
  dis.rcItem = aRect;
  dis.itemData = aItemData;
  SendMessageW(GetParent(aWnd), WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
}

template <class T>
T* StateOf(HWND aWnd) {
  return static_cast<T*>(GetPropW(aWnd, kStateProp));
}

// One message of a class and what handles it.
template <class T>
struct MessageHandler {
  UINT Msg;
  LRESULT (*Handle)(HWND aWnd, T& aState, WPARAM aWParam, LPARAM aLParam);
};

// A class's window procedure: the state made by aCreate at WM_NCCREATE
// lives until WM_NCDESTROY; in between each message listed in aHandlers
// goes to its handler, and every other one to the default procedure.
template <class T, std::size_t N>
LRESULT HandleClassMessage(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam,
                           const MessageHandler<T> (&aHandlers)[N], T* (*aCreate)(HWND)) {
  auto* s = StateOf<T>(aWnd);
  if (aMsg == WM_NCCREATE)
    SetPropW(aWnd, kStateProp, aCreate(aWnd));
  else if (s != nullptr && aMsg == WM_NCDESTROY) {
    RemovePropW(aWnd, kStateProp);
    delete s;
  } else if (s != nullptr) {
    for (const MessageHandler<T>& h : aHandlers)
      if (h.Msg == aMsg)
        return h.Handle(aWnd, *s, aWParam, aLParam);
  }
  return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
}

// WM_PAINT: paints with aPaint into the DC that comes in aWParam, or else
// within the window's own paint cycle. Returns whether it painted: without
// a DC to paint into nothing is, and the window may be gone with its state
// (its non-client paint can destroy it).
template <class F>
bool PaintClient(HWND aWnd, WPARAM aWParam, F&& aPaint) {
  if (aWParam != 0) {
    aPaint(HDC(aWParam));
    return true;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(aWnd, &ps);
  if (dc == nullptr)
    return false;
  aPaint(dc);
  EndPaint(aWnd, &ps);
  return true;
}

// WM_GETFONT of a class that keeps the font WM_SETFONT gave it.
template <class T>
LRESULT WMGetFont(HWND, T& aState, WPARAM, LPARAM) {
  return LRESULT(aState.Font);
}

} // namespace platform::stdclass
