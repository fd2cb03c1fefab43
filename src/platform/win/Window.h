#pragma once
// Window classes, the window tree, window procedures and subclassing, window
// properties, text, geometry and visibility. Everything here runs on the
// user-interface thread (the thread that created the first window); only
// PostMessageW and the wake-up in MessageLoop.h may be called from others.

#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"
#include "platform/win/WindowGeometry.h"

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

} // namespace platform
