#pragma once
// Window procedures and subclassing, styles and user data through the window
// longs, class values, and procedures bound to C++ objects. User-interface
// thread only.

#include "platform/win/WinDefs.h"

#include <functional>

namespace platform {

// Procedures, styles and user data.
LONG_PTR GetWindowLongPtrW(HWND aWnd, int aIndex);
LONG_PTR SetWindowLongPtrW(HWND aWnd, int aIndex, LONG_PTR aValue);
LONG GetWindowLongW(HWND aWnd, int aIndex);
LONG SetWindowLongW(HWND aWnd, int aIndex, LONG aValue);
LRESULT CallWindowProcW(WNDPROC aProc, HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);

// Class values of a window's class; a change applies to every window of it.
constexpr int GCLP_HBRBACKGROUND = -10;
constexpr int GCLP_HCURSOR = -12;
constexpr int GCLP_HICON = -14;
constexpr int GCLP_WNDPROC = -24;
constexpr int GCL_STYLE = -26;
constexpr int GCLP_HICONSM = -34;
ULONG_PTR GetClassLongPtrW(HWND aWnd, int aIndex);
ULONG_PTR SetClassLongPtrW(HWND aWnd, int aIndex, LONG_PTR aValue);

// A window procedure bound to a C++ object: MakeObjectInstance returns a
// procedure value for SetWindowLongPtrW(GWL_WNDPROC), RegisterClassExW and
// CallWindowProcW (never call it directly). FreeObjectInstance releases it;
// the window must not use it any more.
using ObjectWndProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
WNDPROC MakeObjectInstance(ObjectWndProc aMethod);
void FreeObjectInstance(WNDPROC aProc);

} // namespace platform
