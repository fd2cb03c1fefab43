#pragma once
// Window classes, the window tree, window properties, text, geometry and
// visibility; procedures and subclassing are in WindowProcedures.h, included
// here. Everything here runs on the user-interface thread (the thread that
// created the first window); only PostMessageW and the wake-up in
// MessageLoop.h may be called from others.

#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowProcedures.h"

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
