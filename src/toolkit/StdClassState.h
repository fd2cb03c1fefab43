#pragma once
// What the standard window classes share: their state kept as a window
// property, client coordinates of a mouse message, and the command a class
// sends its parent.

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

template <class T>
T* StateOf(HWND aWnd) {
  return static_cast<T*>(GetPropW(aWnd, kStateProp));
}

} // namespace platform::stdclass
