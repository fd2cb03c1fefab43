#pragma once
// Window classes, the window tree, window procedures and subclassing, window
// properties, text, geometry and visibility. Everything here runs on the
// user-interface thread (the thread that created the first window); only
// PostMessageW and the wake-up in MessageLoop.h may be called from others.

#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"

#include <functional>
#include <string>

namespace platform {

constexpr int CW_USEDEFAULT = int(0x80000000);

// Classes. The class name is matched exactly (case-sensitive, UTF-8).
// Returns 0 when the name is missing or already registered.
ATOM RegisterClassExW(const WNDCLASSEXW* aClass);
BOOL UnregisterClassW(const char* aClassName, HINSTANCE aInstance);
BOOL GetClassInfoExW(HINSTANCE aInstance, const char* aClassName, WNDCLASSEXW* aClass);
// Copies the class name (UTF-8, NUL-terminated, cut to aMaxCount - 1 bytes);
// returns the bytes copied, 0 for an invalid window.
int GetClassNameW(HWND aWnd, char* aBuffer, int aMaxCount);
std::string GetClassNameW(HWND aWnd);

// Creation and destruction. The standard dialog class "#32770" is always
// registered. Returns nullptr when the class is unknown, the parent invalid,
// a creation hook refuses or WM_NCCREATE/WM_CREATE fail.
HWND CreateWindowExW(DWORD aExStyle, const char* aClassName, const char* aWindowName, DWORD aStyle,
                     int aX, int aY, int aWidth, int aHeight, HWND aParent, HANDLE aMenu,
                     HINSTANCE aInstance, void* aParam);
BOOL DestroyWindow(HWND aWnd);
BOOL IsWindow(HWND aWnd);

// The tree. The desktop window is the parent of every top-level window.
HWND GetDesktopWindow();
HWND GetParent(HWND aWnd);
HWND SetParent(HWND aWnd, HWND aNewParent);
HWND GetAncestor(HWND aWnd, UINT aFlags);
HWND GetWindow(HWND aWnd, UINT aCommand);
HWND GetTopWindow(HWND aWnd);
BOOL IsChild(HWND aParent, HWND aWnd);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumChildWindows(HWND aParent, WNDENUMPROC aProc, LPARAM aParam);

// Procedures, styles and user data.
LONG_PTR GetWindowLongPtrW(HWND aWnd, int aIndex);
LONG_PTR SetWindowLongPtrW(HWND aWnd, int aIndex, LONG_PTR aValue);
LONG GetWindowLongW(HWND aWnd, int aIndex);
LONG SetWindowLongW(HWND aWnd, int aIndex, LONG aValue);
LRESULT CallWindowProcW(WNDPROC aProc, HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);

// A window procedure bound to a C++ object: MakeObjectInstance returns a
// procedure value for SetWindowLongPtrW(GWL_WNDPROC), RegisterClassExW and
// CallWindowProcW (never call it directly). FreeObjectInstance releases it;
// the window must not use it any more.
using ObjectWndProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
WNDPROC MakeObjectInstance(ObjectWndProc aMethod);
void FreeObjectInstance(WNDPROC aProc);

// Properties.
BOOL SetPropW(HWND aWnd, const char* aName, HANDLE aData);
HANDLE GetPropW(HWND aWnd, const char* aName);
HANDLE RemovePropW(HWND aWnd, const char* aName);

// Text (UTF-8). The buffer forms copy at most aMaxCount - 1 bytes and never
// cut a character in half.
BOOL SetWindowTextW(HWND aWnd, const char* aText);
int GetWindowTextW(HWND aWnd, char* aBuffer, int aMaxCount);
std::string GetWindowTextW(HWND aWnd);
int GetWindowTextLengthW(HWND aWnd);

// State.
BOOL IsWindowVisible(HWND aWnd);
BOOL IsWindowEnabled(HWND aWnd);
BOOL EnableWindow(HWND aWnd, BOOL aEnable);
BOOL IsIconic(HWND aWnd);
BOOL IsZoomed(HWND aWnd);

// Geometry. Window rectangles are in screen coordinates, client rectangles
// start at (0, 0).
BOOL GetWindowRect(HWND aWnd, RECT* aRect);
BOOL GetClientRect(HWND aWnd, RECT* aRect);
BOOL ClientToScreen(HWND aWnd, POINT* aPoint);
BOOL ScreenToClient(HWND aWnd, POINT* aPoint);
// Maps points from the client area of aFrom to that of aTo (nullptr: the
// screen). Returns the horizontal shift in the low word and the vertical one
// in the high word.
int MapWindowPoints(HWND aFrom, HWND aTo, POINT* aPoints, UINT aCount);
// The deepest visible window under a screen point, honouring window regions
// and skipping disabled children, transparent layered windows and windows that
// answer WM_NCHITTEST with HTTRANSPARENT.
HWND WindowFromPoint(POINT aPoint);
// The direct child of aParent (client coordinates) under the point, or
// aParent itself; nullptr outside aParent.
HWND ChildWindowFromPoint(HWND aParent, POINT aPoint);

BOOL SetWindowPos(HWND aWnd, HWND aInsertAfter, int aX, int aY, int aWidth, int aHeight,
                  UINT aFlags);
BOOL MoveWindow(HWND aWnd, int aX, int aY, int aWidth, int aHeight, BOOL aRepaint);
BOOL BringWindowToTop(HWND aWnd);
// Returns whether the window was visible before.
BOOL ShowWindow(HWND aWnd, int aCommand);
// The window's restored rectangle while it is minimized or maximized.
BOOL GetRestoredRect(HWND aWnd, RECT* aRect);

// The region (window coordinates) becomes the window's shape and belongs to
// the system; nullptr removes the shape. Returns 0 for an invalid window.
int SetWindowRgn(HWND aWnd, HRGN aRgn, BOOL aRedraw);
// Copies the shape into aRgn; returns ERROR when the window has none.
int GetWindowRgn(HWND aWnd, HRGN aRgn);

// The window rectangle that gives the client rectangle for a style.
BOOL AdjustWindowRectEx(RECT* aRect, DWORD aStyle, BOOL aMenu, DWORD aExStyle);

} // namespace platform
