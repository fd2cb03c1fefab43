#pragma once
// Native scroll bars of windows with WS_VSCROLL / WS_HSCROLL: their scroll
// information, their geometry and the default tracking that turns clicks and
// drags into WM_VSCROLL / WM_HSCROLL. The default handling never changes the
// position itself; the window answers the scroll messages.

#include "platform/win/WinDefs.h"

namespace platform {

// SB_HORZ or SB_VERT; returns FALSE for SB_CTL and invalid windows.
BOOL GetScrollInfo(HWND aWnd, int aBar, SCROLLINFO* aInfo);
// Returns the new position. The page is clamped to the range and the position
// to [nMin, nMax - max(nPage - 1, 0)]; SIF_TRACKPOS sets the tracking
// position (clamped alike) for a bar the window's owner draws and drags
// itself. With aRedraw the bar is repainted.
int SetScrollInfo(HWND aWnd, int aBar, const SCROLLINFO* aInfo, BOOL aRedraw);
int GetScrollPos(HWND aWnd, int aBar);
int SetScrollPos(HWND aWnd, int aBar, int aPos, BOOL aRedraw);
BOOL SetScrollRange(HWND aWnd, int aBar, int aMinPos, int aMaxPos, BOOL aRedraw);

// The parts of a scroll bar rectangle (window coordinates).
struct ScrollBarLayout {
  TRect Bar;
  TRect ArrowUp;   // up or left arrow
  TRect ArrowDown; // down or right arrow
  TRect Thumb;     // empty when the bar cannot scroll
  TRect PageUp;    // the track before the thumb
  TRect PageDown;  // the track after the thumb
};
ScrollBarLayout ComputeScrollBar(const TRect& aBar, bool aVertical, const SCROLLINFO& aInfo);
// The position a thumb dragged by aOffset pixels from its place at aStartPos
// stands for.
int ThumbPosition(const TRect& aBar, bool aVertical, const SCROLLINFO& aInfo, int aStartPos,
                  int aOffset);

// The default handling of a click on a window's scroll bar at a screen point
// (run by WM_SYSCOMMAND with SC_VSCROLL / SC_HSCROLL): a modal loop until the
// left button is released.
void TrackScrollBar(HWND aWnd, int aBar, POINT aScreen);

} // namespace platform
