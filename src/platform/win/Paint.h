#pragma once
// Update regions and the paint cycle, and the device contexts of windows.
//
// Invalidation only accumulates: a window's update region grows until the
// loop sends it WM_PAINT (after posted messages and input) or RDW_UPDATENOW /
// UpdateWindow paints it at once. BeginPaint sends WM_NCPAINT when the frame
// was invalidated and WM_ERASEBKGND when erasing was asked for, then returns a
// DC clipped to the update region. Window DCs draw into the backing bitmap of
// the top-level window, clipped to the visible part of the window (ancestors'
// client areas, window regions, siblings above with WS_CLIPSIBLINGS, children
// with WS_CLIPCHILDREN). Invalidating a hidden window (or one whose redrawing
// is off through WM_SETREDRAW) does nothing. User-interface thread only.

#include "platform/gfx/DeviceContext.h"
#include "platform/win/WinDefs.h"

namespace platform {

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint;
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
};

// A null aRect is the whole client area (RDW_INVALIDATE, plus RDW_ERASE when
// aErase); nullptr as the window invalidates every top-level window.
BOOL InvalidateRect(HWND aWnd, const RECT* aRect, BOOL aErase);
BOOL InvalidateRgn(HWND aWnd, HRGN aRgn, BOOL aErase);
BOOL ValidateRect(HWND aWnd, const RECT* aRect);
BOOL ValidateRgn(HWND aWnd, HRGN aRgn);
// Rectangles and regions are in client coordinates, also with RDW_FRAME.
BOOL RedrawWindow(HWND aWnd, const RECT* aUpdate, HRGN aUpdateRgn, UINT aFlags);
// Sends WM_PAINT now when the window has something to paint.
BOOL UpdateWindow(HWND aWnd);
// The bounds of the update region in client coordinates; returns whether it
// is non-empty. With aErase, a pending erase is done now.
BOOL GetUpdateRect(HWND aWnd, RECT* aRect, BOOL aErase);
int GetUpdateRgn(HWND aWnd, HRGN aRgn, BOOL aErase);

HDC BeginPaint(HWND aWnd, PAINTSTRUCT* aPaint);
BOOL EndPaint(HWND aWnd, const PAINTSTRUCT* aPaint);
// A DC of the client area (GetDC) or of the whole window (GetWindowDC);
// nullptr as the window gives a DC of the screen's top-level composition is
// not supported and returns nullptr. Release it with ReleaseDC.
HDC GetDC(HWND aWnd);
HDC GetWindowDC(HWND aWnd);
int ReleaseDC(HWND aWnd, HDC aDC);
// The window a DC from GetDC, GetWindowDC or BeginPaint belongs to.
HWND WindowFromDC(HDC aDC);

} // namespace platform
