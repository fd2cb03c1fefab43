#pragma once
// Window geometry and placement: rectangles, coordinate mapping, finding the
// window under a point, SetWindowPos and ShowWindow, window regions.
// User-interface thread only.

#include "platform/gfx/Font.h"
#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"

namespace platform {

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

constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
constexpr UINT SPI_GETWORKAREA = 0x0030;

// The sizes and fonts of the non-client area: the caption, the small caption
// of tool windows, menus, the status line and message boxes.
struct NONCLIENTMETRICSW {
  UINT cbSize = sizeof(NONCLIENTMETRICSW);
  int iBorderWidth = 0;
  int iScrollWidth = 0;
  int iScrollHeight = 0;
  int iCaptionWidth = 0;
  int iCaptionHeight = 0;
  LOGFONTW lfCaptionFont;
  int iSmCaptionWidth = 0;
  int iSmCaptionHeight = 0;
  LOGFONTW lfSmCaptionFont;
  int iMenuWidth = 0;
  int iMenuHeight = 0;
  LOGFONTW lfMenuFont;
  LOGFONTW lfStatusFont;
  LOGFONTW lfMessageFont;
};

// SPI_GETWORKAREA: the screen rectangle windows are placed and maximized in,
// the host's work area (aData points to a RECT). SPI_GETNONCLIENTMETRICS
// (aData points to a NONCLIENTMETRICSW): the sizes of the system metrics and
// the default GUI face at the default GUI height, bold for both captions.
// Other actions return FALSE.
BOOL SystemParametersInfoW(UINT aAction, UINT aParam, void* aData, UINT aWinIni);

// The font of a NONCLIENTMETRICSW entry, made on first use and kept for the
// process (DeleteObject must not be called on it).
enum class NonClientFont { Caption, SmallCaption, Menu };
HFONT GetNonClientFont(NonClientFont aWhich);

} // namespace platform
