#pragma once
// The scroll-bar tracking state of the process: which bar of which window is
// hovered or pressed, the part concerned, the timers and the thumb drag. Only
// one bar can be hovered or pressed at a time. User-interface thread only.

#include "platform/Types.h"
#include "platform/win/WinDefs.h"
#include "skin/controls/qcScrollGeometry.h"

// Timer ids on the adapted window.
inline constexpr platform::UINT_PTR kHoverTimer = 0xFFF2;
inline constexpr platform::UINT_PTR kFirstRepeatTimer = 0xFFFD;
inline constexpr platform::UINT_PTR kRepeatTimer = 0xFFFE;
// Their periods in milliseconds.
inline constexpr platform::UINT kHoverPeriod = 20;
inline constexpr platform::UINT kFirstRepeatDelay = 300;
inline constexpr platform::UINT kRepeatPeriod = 55;

struct TqcScrollTracking {
  platform::HWND Wnd = nullptr; // the window concerned
  int HoverBar = -1;            // -1 none, 0 horizontal, 1 vertical
  TRect HoverRect;              // the hovered bar, window coordinates
  TqcScrollPart HotPart = spNone;
  int PressedBar = -1;
  TqcScrollPart PressedPart = spNone;
  TqcScrollPart PartUnderMouse = spNone; // while pressed; spNone when it left
  platform::UINT ScrollMsg = 0;          // WM_HSCROLL or WM_VSCROLL
  // The thumb drag: the thumb's start and the bar at the press (window
  // coordinates), the grab offset and the last position sent.
  int ThumbStart = 0;
  TRect BarRect;
  int GrabOffset = 0;
  int LastPos = 0;

  bool Pressed(platform::HWND aWnd) const { return Wnd == aWnd && PressedBar >= 0; }
  bool Hovered(platform::HWND aWnd) const { return Wnd == aWnd && HoverBar >= 0; }
};

TqcScrollTracking& ScrollTracking();
// Back to nothing hovered or pressed.
void ClearScrollTracking();
